#pragma once
// Base of the launcher's background threads: Start runs Run on a new thread with
// COM initialised as a single-threaded apartment. Threads never touch windows;
// they post messages. Every thread has a stop signal and is joined before its
// object goes.
#include <windows.h>

#include "common/win/handles.h"

namespace kestrow {

class CXThread {
public:
    CXThread();
    CXThread(const CXThread&) = delete;
    CXThread& operator=(const CXThread&) = delete;
    // Signals and waits. A class whose Run uses its own members calls Stop() in its
    // own destructor, before those members go.
    virtual ~CXThread();

    // Starts the thread once; later calls do nothing. False when no thread could be made.
    virtual bool Start();
    virtual void Run() {}

    // Asks Run to end; Run sees it through StopRequested, WaitForStop or stopEvent().
    void RequestStop();
    // Waits for the thread to end; true once it has (or when it never started).
    bool Join(DWORD timeoutMs = INFINITE);
    // RequestStop, then Join.
    void Stop();

    // True once a started thread has ended.
    bool Ended() const;
    HANDLE thread() const { return thread_.Get(); }
    DWORD threadId() const { return threadId_; }

protected:
    bool StopRequested() const;
    // Sleeps up to `ms`, waking early on a stop request; true when stop was requested.
    bool WaitForStop(DWORD ms) const;
    HANDLE stopEvent() const { return stop_.Get(); }

private:
    static DWORD WINAPI ThreadEntry(void* self);

    win::UniqueHandle stop_;
    win::UniqueHandle thread_;
    DWORD threadId_ = 0;
};

}  // namespace kestrow
