#include "launcher/online/x_thread.h"

#include <objbase.h>

#include "common/win/com.h"

namespace kestrow {

CXThread::CXThread() : stop_(::CreateEventW(nullptr, TRUE, FALSE, nullptr)) {}

CXThread::~CXThread() { Stop(); }

bool CXThread::Start() {
    if (thread_) return true;
    // Without a stop signal the thread could never be asked to end.
    if (!stop_) return false;
    // Created suspended: handle and id are in place before Run can start, and Run may
    // end the object (self-deleting threads), after which nothing here touches it.
    DWORD id = 0;
    HANDLE h = ::CreateThread(nullptr, 0, &CXThread::ThreadEntry, this, CREATE_SUSPENDED, &id);
    if (!h) return false;
    thread_.Reset(h);
    threadId_ = id;
    if (::ResumeThread(h) == DWORD(-1)) {
        // It never ran a line of ours; a thread that can never run must not be waited for.
        ::TerminateThread(h, 0);
        thread_.Reset();
        threadId_ = 0;
        return false;
    }
    return true;
}

void CXThread::RequestStop() {
    if (stop_) ::SetEvent(stop_.Get());
}

bool CXThread::Join(DWORD timeoutMs) {
    if (!thread_) return true;
    // Run itself may end its object; it cannot wait for its own end.
    if (::GetCurrentThreadId() == threadId_) return false;
    return ::WaitForSingleObject(thread_.Get(), timeoutMs) == WAIT_OBJECT_0;
}

void CXThread::Stop() {
    RequestStop();
    Join();
}

bool CXThread::Ended() const { return thread_ && ::WaitForSingleObject(thread_.Get(), 0) == WAIT_OBJECT_0; }

bool CXThread::StopRequested() const { return WaitForStop(0); }

bool CXThread::WaitForStop(DWORD ms) const { return ::WaitForSingleObject(stop_.Get(), ms) == WAIT_OBJECT_0; }

DWORD WINAPI CXThread::ThreadEntry(void* self) {
    win::ComInit com;
    static_cast<CXThread*>(self)->Run();
    return 1;
}

}  // namespace kestrow
