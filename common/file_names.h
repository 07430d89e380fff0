#pragma once
// What a path names before anything is written to it: a file, or one of the system's
// devices that accept writes and keep nothing.
#include <string_view>

namespace kestrow {

// True when writing to `path` would reach a device rather than a file: a reserved name
// as the last component ("NUL.png", "con", "COM1 .txt", "aux:"), or a name in the
// device namespace that is not a drive or share path ("\\.\NUL", "\\?\GLOBALROOT").
bool IsDeviceName(std::wstring_view path);

}  // namespace kestrow
