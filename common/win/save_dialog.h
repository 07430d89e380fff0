#pragma once
// The system's save dialog as the worker and pagegrab show it.
#include <windows.h>

#include <commdlg.h>

#include <string>
#include <vector>

namespace kestrow::win {

// Owned by the active window, proposing `proposed` (cut to the buffer), with `filter`'s
// first entry selected, asking before it overwrites. Returns the chosen path, or an
// empty one when the dialog was cancelled. `maxChars` counts the terminator.
inline std::wstring AskSaveFileName(const std::wstring& proposed, const wchar_t* filter,
                                    const wchar_t* defaultExtension, size_t maxChars) {
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
    if (!::GetSaveFileNameW(&ofn)) return {};
    return file.data();
}

}  // namespace kestrow::win
