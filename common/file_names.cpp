#include "common/file_names.h"

#include "common/text.h"

namespace kestrow {
namespace {

bool IsSlash(wchar_t c) { return c == L'\\' || c == L'/'; }

bool IsDriveLetter(wchar_t c) { return (c >= L'A' && c <= L'Z') || (c >= L'a' && c <= L'z'); }

// "C:" or "C:\..." after a device-namespace prefix is a volume path, a file on it is not.
bool IsDrivePath(std::wstring_view rest) {
    return rest.size() >= 3 && IsDriveLetter(rest[0]) && rest[1] == L':' && IsSlash(rest[2]);
}

bool IsUncPath(std::wstring_view rest) {
    return rest.size() >= 4 && EqualsNoCase(rest.substr(0, 3), L"unc") && IsSlash(rest[3]);
}

bool IsReservedName(std::wstring_view name) {
    static constexpr std::wstring_view kPlain[] = {L"con", L"prn", L"aux", L"nul", L"conin$", L"conout$"};
    for (std::wstring_view reserved : kPlain)
        if (EqualsNoCase(name, reserved)) return true;
    // COM1-COM9 and LPT1-LPT9, with the superscript digits Windows also takes.
    if (name.size() != 4) return false;
    if (!EqualsNoCase(name.substr(0, 3), L"com") && !EqualsNoCase(name.substr(0, 3), L"lpt")) return false;
    const wchar_t d = name[3];
    return (d >= L'1' && d <= L'9') || d == L'\u00B9' || d == L'\u00B2' || d == L'\u00B3';
}

}  // namespace

bool IsDeviceName(std::wstring_view path) {
    if (path.size() >= 4 && IsSlash(path[0]) && IsSlash(path[1]) && (path[2] == L'.' || path[2] == L'?') &&
        IsSlash(path[3])) {
        const std::wstring_view rest = path.substr(4);
        if (!IsDrivePath(rest) && !IsUncPath(rest)) return true;
    }
    const size_t sep = path.find_last_of(L"\\/");
    std::wstring_view name = sep == std::wstring_view::npos ? path : path.substr(sep + 1);
    // "C:nul" names the device as well as "nul" does.
    if (sep == std::wstring_view::npos && name.size() >= 2 && IsDriveLetter(name[0]) && name[1] == L':')
        name.remove_prefix(2);
    // The system reads the device name up to the first dot or colon, spaces at its end ignored.
    name = name.substr(0, name.find_first_of(L".:"));
    while (!name.empty() && name.back() == L' ') name.remove_suffix(1);
    return IsReservedName(name);
}

}  // namespace kestrow
