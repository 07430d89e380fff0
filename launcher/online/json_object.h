#pragma once
// The update manifest, parsed with JsonCpp. Platform-free.
#include <string>

namespace Json {
class Value;
}

namespace kestrow {

// A service answer with "errorcode" and "errordesc" at its top level.
class CJsonObject {
public:
    virtual ~CJsonObject() = default;

    // Parses the response text as JSON (comments allowed) and reads it with FromJson.
    // False when the text is not JSON; the error code then stays -1.
    virtual bool Parse(const std::wstring& text);
    virtual void FromJson(const Json::Value& root);

    bool parsed() const { return parsed_; }
    int errorCode() const { return errorCode_; }
    const std::wstring& errorDesc() const { return errorDesc_; }

private:
    bool parsed_ = false;
    int errorCode_ = -1;
    std::wstring errorDesc_;
};

// The manifest: the published version and its download page, from data[0].
class CNewVersionObject : public CJsonObject {
public:
    void FromJson(const Json::Value& root) override;

    bool valid() const { return errorCode() == 0; }
    const std::wstring& clientVersion() const { return clientVersion_; }
    const std::wstring& url() const { return url_; }

private:
    std::wstring clientVersion_;
    std::wstring url_;
};

// The leading decimal integer of a text (white space skipped, optional sign, clamped
// to int); 0 when the text does not begin with a number.
int LeadingInteger(const std::string& text);

}  // namespace kestrow
