#pragma once
// Waits on its own thread for a process to end and then calls a callback once.
#include <windows.h>

#include "common/win/handles.h"
#include "launcher/online/x_thread.h"

namespace kestrow {

class CProcessMonitor : public CXThread {
public:
    // Runs on the monitor's thread: it may post messages, never touch windows.
    // `exitCode` is the process's, or STILL_ACTIVE when it cannot be told; `processId`
    // is its id (0 without a process), telling apart the ends of several watched ones.
    using Callback = void (*)(void* userData, DWORD exitCode, DWORD processId);

    static constexpr DWORD kWaitSliceMs = 5000;

    // Watches `process` (may be empty: the callback then fires at once), waiting in
    // slices of `waitSliceMs`.
    CProcessMonitor(win::UniqueHandle process, Callback callback, void* userData,
                    DWORD waitSliceMs = kWaitSliceMs);
    // Ends the watch and waits for its thread; a callback that hasn't fired never will.
    ~CProcessMonitor() override;

    void Run() override;

private:
    void FireCallback(DWORD exitCode);

    win::UniqueHandle process_;
    const DWORD processId_;
    const DWORD waitSliceMs_;
    void* userData_;
    Callback callback_;
};

}  // namespace kestrow
