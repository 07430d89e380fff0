#pragma once
// Starting the worker and pagegrab.
#include <windows.h>

#include <string>

#include "common/win/handles.h"

namespace kestrow {

class ProcessLauncher {
public:
    ProcessLauncher(std::wstring exePath, std::wstring parameters);

    // Starts the executable with the parameter string and returns the process, for
    // the caller to watch or let go. None when no file exists at the path or the
    // start failed.
    win::UniqueHandle Start();

private:
    std::wstring exePath_;
    std::wstring parameters_;
};

// Starts `exePath` with a parameter string through the shell's "open" verb, without the
// shell's error box; no existence test, the result is ignored.
void OpenWithShell(const std::wstring& exePath, const std::wstring& parameters, int show = SW_SHOWNORMAL);

}  // namespace kestrow
