#pragma once
// A command line split by the platform's rules (quotes group, the program is first).
#include <windows.h>
#include <shellapi.h>

#include <string>
#include <vector>

namespace kestrow::win {

// Empty when the line cannot be split.
inline std::vector<std::wstring> SplitCommandLine(const wchar_t* commandLine) {
    int count = 0;
    LPWSTR* argv = ::CommandLineToArgvW(commandLine, &count);
    if (!argv) return {};
    std::vector<std::wstring> args(argv, argv + count);
    ::LocalFree(argv);
    return args;
}

}  // namespace kestrow::win
