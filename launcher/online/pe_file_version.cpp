#include "launcher/online/pe_file_version.h"

#include <vector>

#include "launcher/online/online_rules.h"

namespace kestrow {

const wchar_t* const CPEFileVersion::kKeys[kTextCount] = {
    L"CompanyName",    L"FileDescription",  L"FileVersion",  L"InternalName",
    L"LegalCopyright", L"OriginalFileName", L"ProductName",  L"ProductVersion",
    L"Comments",       L"LegalTrademarks",  L"PrivateBuild", L"SpecialBuild",
};

void CPEFileVersion::Reset() {
    fixed_ = {};
    for (auto& t : texts_) t.clear();
}

bool CPEFileVersion::Open(const std::wstring& path) {
    Reset();
    DWORD ignored = 0;
    const DWORD size = ::GetFileVersionInfoSizeW(path.c_str(), &ignored);
    if (size == 0) return false;
    std::vector<unsigned char> data(size);
    if (!::GetFileVersionInfoW(path.c_str(), 0, size, data.data())) return false;

    void* block = nullptr;
    UINT blockSize = 0;
    if (::VerQueryValueW(data.data(), L"\\", &block, &blockSize) && blockSize == sizeof(VS_FIXEDFILEINFO))
        fixed_ = *static_cast<const VS_FIXEDFILEINFO*>(block);

    std::vector<Translation> translations;
    if (::VerQueryValueW(data.data(), L"\\VarFileInfo\\Translation", &block, &blockSize)) {
        const auto* pairs = static_cast<const WORD*>(block);
        for (UINT i = 0; i + 1 < blockSize / sizeof(WORD); i += 2)
            translations.push_back({pairs[i], pairs[i + 1]});
    }
    const int chosen = ChooseTranslation(translations, ::GetUserDefaultLangID());
    if (chosen < 0) return true;
    const std::wstring prefix = StringFileInfoPrefix(translations[size_t(chosen)]);
    for (int i = 0; i < kTextCount; ++i) {
        void* text = nullptr;
        UINT chars = 0;
        if (::VerQueryValueW(data.data(), (prefix + kKeys[i]).c_str(), &text, &chars) && text)
            texts_[size_t(i)].assign(static_cast<const wchar_t*>(text),
                                     wcsnlen(static_cast<const wchar_t*>(text), chars));
    }
    return true;
}

}  // namespace kestrow
