#include "launcher/online/x_thread.h"

#include <objbase.h>

#include "common/win/com.h"

namespace kestrow {

bool CXThread::Start() {
    if (thread_) return true;
    DWORD id = 0;
    // Created suspended: a self-deleting object could otherwise be gone before
    // its handle is stored here.
    HANDLE h = ::CreateThread(nullptr, 0, &CXThread::ThreadEntry, this, CREATE_SUSPENDED, &id);
    if (!h) return false;
    thread_.Reset(h);
    threadId_ = id;
    ::ResumeThread(h);
    return true;
}

DWORD WINAPI CXThread::ThreadEntry(void* self) {
    win::ComInit com;
    static_cast<CXThread*>(self)->Run();
    return 1;
}

}  // namespace kestrow
