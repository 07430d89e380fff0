#pragma once
// The system's save dialog as the worker and pagegrab show it.
#include <windows.h>

#include <commdlg.h>

#include <string>
#include <vector>

namespace kestrow::win {

// The longest path the system takes (with the \\?\ prefix), terminator included: a
// buffer this size never makes the dialog refuse a name the file system would accept.
constexpr size_t kLongestPath = 32768;

// Owned by the active window, proposing `proposed` (cut to the buffer), with `filter`'s
// first entry selected, asking before it overwrites. Returns the chosen path, or an
// empty one when the dialog was cancelled or failed; `failure`, when given, is then
// the dialog's own error code (0 for a cancel). `maxChars` counts the terminator.
inline std::wstring AskSaveFileName(const std::wstring& proposed, const wchar_t* filter,
                                    const wchar_t* defaultExtension, size_t maxChars,
                                    DWORD* failure = nullptr) {
    std::vector<wchar_t> file(maxChars, L'\0');
    proposed.copy(file.data(), maxChars - 1);
    OPENFILENAMEW ofn{};
    ofn.lStructSize = sizeof(ofn);
    ofn.hwndOwner = ::GetActiveWindow();
    ofn.lpstrFilter = filter;
    ofn.nFilterIndex = 1;
    ofn.lpstrFile = file.data();
    ofn.nMaxFile = DWORD(maxChars);
    ofn.lpstrDefExt = defaultExtension;
    ofn.Flags = OFN_HIDEREADONLY | OFN_OVERWRITEPROMPT;
    const bool chosen = ::GetSaveFileNameW(&ofn) != FALSE;
    if (failure) *failure = chosen ? 0 : ::CommDlgExtendedError();
    if (!chosen) return {};
    return file.data();
}

}  // namespace kestrow::win
