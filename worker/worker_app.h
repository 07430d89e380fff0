#pragma once
#include <windows.h>

#include <string>
#include <vector>

#include "common/win/handles.h"
#include "worker/task_options.h"

namespace kestrow {

// The worker process: one task from its command line, then exit.
class SCApp {
public:
    explicit SCApp(HINSTANCE instance) : instance_(instance) {}

    // Runs start-up, the task and shut-down; returns the process exit code. Started to
    // wait for the launcher's next request, it waits first and then runs that task.
    int Run(const wchar_t* commandLine);

    const TaskOptions& options() const { return options_; }

private:
    int RunTask(const std::vector<std::wstring>& args);
    int RunRegionCapture();
    int RunColorCapture();
    void TellShown(HWND window);
    static void StartLauncher();

    HINSTANCE instance_;
    TaskOptions options_;
    // Set in a worker woken by the launcher: released once the task's window is up.
    win::UniqueHandle shown_;
};

}  // namespace kestrow
