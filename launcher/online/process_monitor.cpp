#include "launcher/online/process_monitor.h"

namespace kestrow {

CProcessMonitor::CProcessMonitor(HANDLE process, Callback callback, void* userData)
    : process_(process), userData_(userData), callback_(callback) {}

bool CProcessMonitor::Start() {
    stop_ = 0;
    return CXThread::Start();
}

void CProcessMonitor::FireCallback() {
    if (!callback_) return;
    const Callback cb = callback_;
    void* data = userData_;
    callback_ = nullptr;
    userData_ = nullptr;
    cb(data);
}

void CProcessMonitor::Run() {
    if (process_ && !stop_) {
        DWORD code = 0;
        if (::GetExitCodeProcess(process_.Get(), &code) && code == STILL_ACTIVE) {
            // Waits in slices; a failed wait ends the watch instead of spinning.
            while (!stop_) {
                const DWORD r = ::WaitForSingleObject(process_.Get(), kWaitSliceMs);
                if (r != WAIT_TIMEOUT) break;
            }
        }
        if (!stop_) FireCallback();
    } else {
        FireCallback();
    }
    if (autoDelete) delete this;
}

}  // namespace kestrow
