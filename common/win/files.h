#pragma once
// Whether a file is there.
#include <windows.h>

#include <string>

namespace kestrow::win {

// True for an existing file; false for a folder or nothing at that path.
inline bool FileExists(const std::wstring& path) {
    if (path.empty()) return false;
    const DWORD attrs = ::GetFileAttributesW(path.c_str());
    return attrs != INVALID_FILE_ATTRIBUTES && !(attrs & FILE_ATTRIBUTE_DIRECTORY);
}

}  // namespace kestrow::win
