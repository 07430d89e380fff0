#pragma once
#include <windows.h>

#include <string>
#include <vector>

#include "worker/task_options.h"

namespace kestrow {

// The worker process: one task from its command line, then exit.
class SCApp {
public:
    explicit SCApp(HINSTANCE instance) : instance_(instance) {}

    // Runs start-up, the task and shut-down; returns the process exit code.
    int Run(const wchar_t* commandLine);

    const TaskOptions& options() const { return options_; }

private:
    void RunFullScreenToFile();
    // True once the clipboard holds the screen.
    bool RunFullScreenToClipboard();
    int RunRegionCapture();
    int RunColorCapture();
    static void StartLauncher();

    HINSTANCE instance_;
    TaskOptions options_;
};

// Splits a command line by the platform's rules; empty when it cannot be split.
std::vector<std::wstring> SplitCommandLine(const wchar_t* commandLine);

}  // namespace kestrow
