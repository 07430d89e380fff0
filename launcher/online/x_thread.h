#pragma once
// Base of the launcher's background threads: Start runs Run on a new thread with
// COM initialised as a single-threaded apartment. Threads never touch windows;
// they post messages.
#include <windows.h>

#include "common/win/handles.h"

namespace kestrow {

class CXThread {
public:
    CXThread() = default;
    CXThread(const CXThread&) = delete;
    CXThread& operator=(const CXThread&) = delete;
    virtual ~CXThread() = default;

    // Starts the thread once; later calls do nothing. False when no thread could be made.
    virtual bool Start();
    virtual void Run() {}

    HANDLE thread() const { return thread_.Get(); }
    DWORD threadId() const { return threadId_; }

private:
    static DWORD WINAPI ThreadEntry(void* self);

    win::UniqueHandle thread_;
    DWORD threadId_ = 0;
};

}  // namespace kestrow
