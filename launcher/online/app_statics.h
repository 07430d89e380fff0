#pragma once
// The usage pings: URLs queued by the UI thread and sent one after the other by a
// thread of their own, with the product name and version filled in.
#include <windows.h>

#include <deque>
#include <mutex>
#include <string>

#include "launcher/online/x_thread.h"

namespace kestrow {

class CAppStatics : public CXThread {
public:
    // The process-wide sender. Never destroyed: its thread runs until the process ends,
    // so exit must not take its queue or lock away from under it.
    static CAppStatics& Get();

    explicit CAppStatics(std::wstring exePath);
    ~CAppStatics() override = default;

    // Starts the thread on first use, then queues `url` (placeholders unfilled).
    void Post(const std::wstring& url);
    void Run() override;

    static constexpr DWORD kIdlePollMs = 1000;

private:
    bool TakeNext(std::wstring& url);

    volatile LONG stop_ = 0;
    std::mutex lock_;
    std::deque<std::wstring> queue_;
    const std::wstring exePath_;
    std::wstring version_;  // used by the sender thread only
};

// Queues the start or exit ping for the configured service.
void PostStartPing();
void PostExitPing();

}  // namespace kestrow
