#pragma once
#include <string>
#include <string_view>

namespace kestrow {

// Case-insensitive comparison for the program's own ASCII keywords
// (command-line names, file extensions); other characters must match exactly.
inline wchar_t AsciiLower(wchar_t c) { return (c >= L'A' && c <= L'Z') ? wchar_t(c - L'A' + L'a') : c; }

inline bool EqualsNoCase(std::wstring_view a, std::wstring_view b) {
    if (a.size() != b.size()) return false;
    for (size_t i = 0; i < a.size(); ++i)
        if (AsciiLower(a[i]) != AsciiLower(b[i])) return false;
    return true;
}

}  // namespace kestrow
