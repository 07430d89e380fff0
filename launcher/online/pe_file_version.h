#pragma once
// The version resource of an executable: its fixed block and twelve standard texts
// in the translation that suits the user best.
#include <windows.h>

#include <array>
#include <string>

namespace kestrow {

class CPEFileVersion {
public:
    enum Text {
        kCompanyName,
        kFileDescription,
        kFileVersion,
        kInternalName,
        kLegalCopyright,
        kOriginalFileName,
        kProductName,
        kProductVersion,
        kComments,
        kLegalTrademarks,
        kPrivateBuild,
        kSpecialBuild,
        kTextCount
    };
    static const wchar_t* const kKeys[kTextCount];

    virtual ~CPEFileVersion() = default;
    virtual void Reset();

    bool Open(const std::wstring& path);

    const VS_FIXEDFILEINFO& fixedInfo() const { return fixed_; }
    const std::wstring& text(Text t) const { return texts_[t]; }
    const std::wstring& GetCompanyName() const { return texts_[kCompanyName]; }
    const std::wstring& GetFileDescription() const { return texts_[kFileDescription]; }
    const std::wstring& GetFileVersion() const { return texts_[kFileVersion]; }
    const std::wstring& GetInternalName() const { return texts_[kInternalName]; }
    const std::wstring& GetLegalCopyright() const { return texts_[kLegalCopyright]; }
    const std::wstring& GetOriginalFileName() const { return texts_[kOriginalFileName]; }
    const std::wstring& GetProductName() const { return texts_[kProductName]; }
    const std::wstring& GetProductVersion() const { return texts_[kProductVersion]; }
    const std::wstring& GetComments() const { return texts_[kComments]; }
    const std::wstring& GetLegalTrademarks() const { return texts_[kLegalTrademarks]; }
    const std::wstring& GetPrivateBuild() const { return texts_[kPrivateBuild]; }
    const std::wstring& GetSpecialBuild() const { return texts_[kSpecialBuild]; }

private:
    VS_FIXEDFILEINFO fixed_{};
    std::array<std::wstring, kTextCount> texts_;
};

}  // namespace kestrow
