#pragma once
// File output for the test helpers: Wine's services may hold a stdout pipe open,
// so helpers report through files that the scenarios read.
#include <windows.h>

#include <string>

namespace kestrow::testtools {

inline std::string ToUtf8(const std::wstring& text) {
    if (text.empty()) return {};
    int n = ::WideCharToMultiByte(CP_UTF8, 0, text.data(), int(text.size()), nullptr, 0, nullptr, nullptr);
    std::string out(n, '\0');
    ::WideCharToMultiByte(CP_UTF8, 0, text.data(), int(text.size()), out.data(), n, nullptr, nullptr);
    return out;
}

// Writes (or appends) bytes and closes the file at once, so a reader sees whole lines.
inline bool WriteFileBytes(const std::wstring& path, const std::string& bytes, bool append) {
    HANDLE f = ::CreateFileW(path.c_str(), append ? FILE_APPEND_DATA : GENERIC_WRITE,
                             FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr,
                             append ? OPEN_ALWAYS : CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr);
    if (f == INVALID_HANDLE_VALUE) return false;
    DWORD written = 0;
    BOOL ok = ::WriteFile(f, bytes.data(), DWORD(bytes.size()), &written, nullptr);
    ::CloseHandle(f);
    return ok && written == bytes.size();
}

}  // namespace kestrow::testtools
