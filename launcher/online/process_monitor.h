#pragma once
// Waits on its own thread for a process to end and then calls a callback once.
#include <windows.h>

#include "common/win/handles.h"
#include "launcher/online/x_thread.h"

namespace kestrow {

class CProcessMonitor : public CXThread {
public:
    using Callback = void (*)(void* userData);

    // Takes ownership of `process` (may be null: the callback then fires at once).
    CProcessMonitor(HANDLE process, Callback callback, void* userData);
    ~CProcessMonitor() override = default;

    bool Start() override;
    void Run() override;

    // When set, the object deletes itself as the thread's last act.
    int autoDelete = 0;

    static constexpr DWORD kWaitSliceMs = 5000;

private:
    void FireCallback();

    int stop_ = 1;
    win::UniqueHandle process_;
    void* userData_;
    Callback callback_;
};

}  // namespace kestrow
