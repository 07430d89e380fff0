#include "launcher/online/process_monitor.h"

namespace kestrow {

CProcessMonitor::CProcessMonitor(win::UniqueHandle process, Callback callback, void* userData,
                                 DWORD waitSliceMs)
    : process_(std::move(process)),
      processId_(process_ ? ::GetProcessId(process_.Get()) : 0),
      waitSliceMs_(waitSliceMs),
      userData_(userData),
      callback_(callback) {}

CProcessMonitor::~CProcessMonitor() { Stop(); }

void CProcessMonitor::FireCallback(DWORD exitCode) {
    if (!callback_) return;
    const Callback cb = callback_;
    void* data = userData_;
    callback_ = nullptr;
    userData_ = nullptr;
    cb(data, exitCode, processId_);
}

void CProcessMonitor::Run() {
    DWORD code = STILL_ACTIVE;
    if (process_ && ::GetExitCodeProcess(process_.Get(), &code) && code == STILL_ACTIVE) {
        const HANDLE waits[] = {process_.Get(), stopEvent()};
        // Waits in slices; a failed wait ends the watch instead of spinning.
        DWORD r;
        do r = ::WaitForMultipleObjects(2, waits, FALSE, waitSliceMs_);
        while (r == WAIT_TIMEOUT);
        if (r == WAIT_OBJECT_0 + 1) return;
        if (r == WAIT_OBJECT_0) ::GetExitCodeProcess(process_.Get(), &code);
    }
    if (!StopRequested()) FireCallback(code);
}

}  // namespace kestrow
