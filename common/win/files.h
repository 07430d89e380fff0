#pragma once
// Whether a file is there; where the system's own programs are.
#include <windows.h>

#include <string>

namespace kestrow::win {

// True for an existing file; false for a folder or nothing at that path.
inline bool FileExists(const std::wstring& path) {
    if (path.empty()) return false;
    const DWORD attrs = ::GetFileAttributesW(path.c_str());
    return attrs != INVALID_FILE_ATTRIBUTES && !(attrs & FILE_ATTRIBUTE_DIRECTORY);
}

// The paint program by its full path in the system folder: by bare name the shell would
// look in the current folder first, which others decide. Empty when there is none.
inline std::wstring SystemPaintProgram() {
    wchar_t folder[MAX_PATH] = {};
    const UINT n = ::GetSystemDirectoryW(folder, MAX_PATH);
    if (n == 0 || n >= MAX_PATH) return {};
    return std::wstring(folder, n) + L"\\mspaint.exe";
}

}  // namespace kestrow::win
