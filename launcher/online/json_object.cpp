#include "launcher/online/json_object.h"

#include <json/json.h>

#include <climits>
#include <memory>

#include "launcher/online/online_rules.h"

namespace kestrow {

namespace {

// Any value as text: the service is meant to send strings, but a number, a boolean or
// even an object must not make the launcher fail (JsonCpp's asString throws on those).
std::string ValueText(const Json::Value& v) {
    if (v.isNull()) return {};
    if (v.isArray() || v.isObject()) {
        Json::StreamWriterBuilder writer;
        writer["indentation"] = "";
        return Json::writeString(writer, v);
    }
    return v.asString();
}

// A member of an object, or null for a missing member or a root that is no object
// (JsonCpp asserts on lookups in other values).
const Json::Value* Member(const Json::Value& object, const char* key) {
    if (!object.isObject()) return nullptr;
    const Json::Value* v = object.find(key, key + std::char_traits<char>::length(key));
    return v && !v->isNull() ? v : nullptr;
}

}  // namespace

int LeadingInteger(const std::string& text) {
    size_t i = 0;
    while (i < text.size() && (text[i] == ' ' || text[i] == '\t' || text[i] == '\r' || text[i] == '\n' ||
                               text[i] == '\f' || text[i] == '\v'))
        ++i;
    bool negative = false;
    if (i < text.size() && (text[i] == '+' || text[i] == '-')) negative = text[i++] == '-';
    long long value = 0;
    for (; i < text.size() && text[i] >= '0' && text[i] <= '9'; ++i) {
        value = value * 10 + (text[i] - '0');
        if (value > static_cast<long long>(INT_MAX) + 1) value = static_cast<long long>(INT_MAX) + 1;
    }
    if (negative) value = -value;
    if (value > INT_MAX) value = INT_MAX;
    return static_cast<int>(value);
}

bool CJsonObject::Parse(const std::wstring& text) {
    const std::string utf8 = ToUtf8(text);
    Json::Value root;
    try {
        Json::CharReaderBuilder builder;
        builder["allowComments"] = true;
        builder["collectComments"] = false;
        std::unique_ptr<Json::CharReader> reader(builder.newCharReader());
        std::string errors;
        if (!reader->parse(utf8.data(), utf8.data() + utf8.size(), &root, &errors)) return false;
        parsed_ = true;
        FromJson(root);
    } catch (const std::exception&) {
        // A library fault must not cross into the caller's thread or window procedure.
        return false;
    }
    return true;
}

void CJsonObject::FromJson(const Json::Value& root) {
    const Json::Value* code = Member(root, "errorcode");
    errorCode_ = code ? LeadingInteger(ValueText(*code)) : -1;
    const Json::Value* desc = Member(root, "errordesc");
    errorDesc_ = desc ? FromUtf8(ValueText(*desc)) : std::wstring();
}

void CNewVersionObject::FromJson(const Json::Value& root) {
    CJsonObject::FromJson(root);
    const Json::Value* data = Member(root, "data");
    if (!data || !data->isArray() || data->empty()) return;
    const Json::Value& first = (*data)[0u];
    if (const Json::Value* v = Member(first, "clientversion")) clientVersion_ = FromUtf8(ValueText(*v));
    if (const Json::Value* v = Member(first, "url")) url_ = FromUtf8(ValueText(*v));
}

}  // namespace kestrow
