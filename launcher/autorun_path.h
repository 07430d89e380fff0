#pragma once
// The autorun Run value: what we write and how a stored value is matched against
// our own path. Platform-free.
#include <string>
#include <string_view>

namespace kestrow {

// The Run value for an executable path. Quoted: the system splits an unquoted
// value at its first blank, so "C:\Program Files\x.exe" could start C:\Program.exe.
std::wstring RunValueForPath(std::wstring_view exePath);

// The executable path in a Run value, quoted ("C:\a b\x.exe" -args) or not.
std::wstring PathFromRunValue(std::wstring_view value);

// Forward slashes become backslashes, then doubled backslashes are collapsed
// (four passes), so differently written forms of one path compare equal.
std::wstring NormalizeAutorunPath(std::wstring_view path);

}  // namespace kestrow
