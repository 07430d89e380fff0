// CProcessMonitor and ProcessLauncher with real processes.
#include <gtest/gtest.h>

#include <atomic>
#include <memory>
#include <string>

#include "common/win/handles.h"
#include "launcher/online/process_monitor.h"
#include "launcher/process_launcher.h"
#include "tests/win/test_support.h"

namespace kestrow {
namespace {

// A stand-in child process that runs until the named event is signalled. It writes
// its log beside itself in the tests folder, which nothing here reads.
win::UniqueHandle StartWaitingChild(const std::wstring& eventName) {
    ::SetEnvironmentVariableW(L"KESTROW_STANDIN_WAIT", eventName.c_str());
    std::wstring cmd = L"\"" + test::TestsFolder() + L"\\standin.exe\"";
    STARTUPINFOW si{sizeof(si)};
    PROCESS_INFORMATION pi{};
    const BOOL ok =
        ::CreateProcessW(nullptr, cmd.data(), nullptr, nullptr, FALSE, 0, nullptr, nullptr, &si, &pi);
    ::SetEnvironmentVariableW(L"KESTROW_STANDIN_WAIT", nullptr);
    if (!ok) return {};
    ::CloseHandle(pi.hThread);
    return win::UniqueHandle(pi.hProcess);
}

struct Probe {
    std::atomic<int> calls{0};
    std::atomic<DWORD> threadId{0};
    std::atomic<DWORD> tick{0};
    std::atomic<DWORD> exitCode{0};
    std::atomic<DWORD> processId{0};
    win::UniqueHandle fired{::CreateEventW(nullptr, TRUE, FALSE, nullptr)};

    static void Callback(void* self, DWORD exitCode, DWORD processId) {
        auto* p = static_cast<Probe*>(self);
        p->exitCode = exitCode;
        p->processId = processId;
        p->threadId = ::GetCurrentThreadId();
        p->tick = ::GetTickCount();
        ++p->calls;
        ::SetEvent(p->fired.Get());
    }
    bool WaitFired(DWORD ms) { return ::WaitForSingleObject(fired.Get(), ms) == WAIT_OBJECT_0; }
};

// Waits for its stop signal, as a polling thread does between rounds.
struct StopWaiter : CXThread {
    explicit StopWaiter(std::atomic<bool>& ended) : ended(ended) {}
    ~StopWaiter() override { Stop(); }
    void Run() override {
        while (!WaitForStop(60000)) {}
        ended = true;
    }
    std::atomic<bool>& ended;
};

TEST(XThread, StopWakesRunAndTheEndWaitsForIt) {
    std::atomic<bool> ended{false};
    {
        StopWaiter waiter(ended);
        ASSERT_TRUE(waiter.Start());
        EXPECT_FALSE(waiter.Join(100));
        EXPECT_FALSE(waiter.Ended());
    }
    EXPECT_TRUE(ended);
}

// Run may end its own object at once (the update check and the feedback sender do), so
// the thread's handle and id must be in place before Run starts, never written after.
struct SelfDeleting : CXThread {
    SelfDeleting(std::atomic<int>& published, HANDLE begun) : published(published), begun(begun) {}
    void Run() override {
        if (thread() && threadId() == ::GetCurrentThreadId()) ++published;
        std::atomic<int>& counter = published;
        const HANDLE event = begun;
        delete this;
        ::SetEvent(event);
        ++counter;
    }
    std::atomic<int>& published;
    HANDLE begun;
};

// Under Wine a new thread takes long to reach its code, so a creator that publishes
// after CreateThread returns would always win the race. While this lives, the test
// program's CreateThread holds its caller until a thread created running has passed
// Run (at most a second), so that publishing late is caught every time.
class HeldCreateThread {
public:
    explicit HeldCreateThread(HANDLE begun) : slot_(ImportSlot(reinterpret_cast<void*>(&::CreateThread))) {
        if (!slot_) return;
        // The slot's own value: the address taken above may be a jump through the slot.
        real_ = reinterpret_cast<decltype(real_)>(*slot_);
        begun_ = begun;
        Patch(reinterpret_cast<void*>(&Held));
    }
    ~HeldCreateThread() {
        if (slot_) Patch(reinterpret_cast<void*>(real_));
    }
    explicit operator bool() const { return slot_ != nullptr; }

private:
    static HANDLE WINAPI Held(LPSECURITY_ATTRIBUTES sa, SIZE_T stack, LPTHREAD_START_ROUTINE start, void* arg,
                              DWORD flags, DWORD* id) {
        const HANDLE h = real_(sa, stack, start, arg, flags, id);
        if (h && !(flags & CREATE_SUSPENDED)) ::WaitForSingleObject(begun_, 1000);
        return h;
    }
    // The entry of this program's import table that holds `target`.
    static void** ImportSlot(void* target) {
        auto* base = reinterpret_cast<BYTE*>(::GetModuleHandleW(nullptr));
        const auto* nt =
            reinterpret_cast<IMAGE_NT_HEADERS*>(base + reinterpret_cast<IMAGE_DOS_HEADER*>(base)->e_lfanew);
        const DWORD imports = nt->OptionalHeader.DataDirectory[IMAGE_DIRECTORY_ENTRY_IMPORT].VirtualAddress;
        for (auto* d = reinterpret_cast<IMAGE_IMPORT_DESCRIPTOR*>(base + imports); d->Name; ++d)
            for (auto* t = reinterpret_cast<IMAGE_THUNK_DATA*>(base + d->FirstThunk); t->u1.Function; ++t)
                if (reinterpret_cast<void*>(ULONG_PTR(t->u1.Function)) == target)
                    return reinterpret_cast<void**>(&t->u1.Function);
        return nullptr;
    }
    void Patch(void* to) {
        DWORD old = 0;
        ::VirtualProtect(slot_, sizeof(void*), PAGE_READWRITE, &old);
        *slot_ = to;
        ::VirtualProtect(slot_, sizeof(void*), old, &old);
    }

    void** slot_;
    static inline decltype(&::CreateThread) real_ = nullptr;
    static inline HANDLE begun_ = nullptr;
};

TEST(XThread, HandleAndIdArePublishedBeforeRunAndASelfDeletingRunEndsCleanly) {
    constexpr int kThreads = 5;
    std::atomic<int> published{0};
    win::UniqueHandle begun(::CreateEventW(nullptr, FALSE, FALSE, nullptr));
    HeldCreateThread held(begun.Get());
    ASSERT_TRUE(held);
    for (int i = 0; i < kThreads; ++i) ASSERT_TRUE((new SelfDeleting(published, begun.Get()))->Start());
    for (int i = 0; i < 500 && published < 2 * kThreads; ++i) ::Sleep(10);
    EXPECT_EQ(published.load(), 2 * kThreads);
}

TEST(ProcessMonitor, WithoutAProcessFiresAtOnceOnItsOwnThread) {
    Probe probe;
    CProcessMonitor monitor({}, &Probe::Callback, &probe);
    ASSERT_TRUE(monitor.Start());
    ASSERT_TRUE(probe.WaitFired(2000));
    EXPECT_NE(probe.threadId.load(), ::GetCurrentThreadId());
    EXPECT_EQ(probe.exitCode.load(), DWORD(STILL_ACTIVE));  // no exit code to tell
    EXPECT_TRUE(monitor.Join(2000));
    EXPECT_EQ(probe.calls.load(), 1);
}

TEST(ProcessMonitor, AProcessThatHasEndedFiresAtOnce) {
    win::UniqueHandle ev(::CreateEventW(nullptr, TRUE, TRUE, L"kestrow-monitor-ended"));
    win::UniqueHandle child = StartWaitingChild(L"kestrow-monitor-ended");
    ASSERT_TRUE(child);
    ASSERT_EQ(::WaitForSingleObject(child.Get(), 30000), WAIT_OBJECT_0);
    Probe probe;
    CProcessMonitor monitor(std::move(child), &Probe::Callback, &probe);
    const DWORD start = ::GetTickCount();
    ASSERT_TRUE(monitor.Start());
    ASSERT_TRUE(probe.WaitFired(4000));
    EXPECT_LT(probe.tick - start, 4000u);
    EXPECT_EQ(probe.exitCode.load(), 0u);
    EXPECT_TRUE(monitor.Join(5000));
    EXPECT_TRUE(monitor.Start());  // already started: no second thread, no second call
    EXPECT_EQ(probe.calls.load(), 1);
}

TEST(ProcessMonitor, WaitsSliceAfterSliceAndFiresOnceWhenTheProcessEnds) {
    win::UniqueHandle release(::CreateEventW(nullptr, TRUE, FALSE, L"kestrow-monitor-later"));
    win::UniqueHandle child = StartWaitingChild(L"kestrow-monitor-later");
    ASSERT_TRUE(child);
    const DWORD pid = ::GetProcessId(child.Get());
    Probe probe;
    CProcessMonitor monitor(std::move(child), &Probe::Callback, &probe, 20);
    ASSERT_TRUE(monitor.Start());
    EXPECT_FALSE(probe.WaitFired(300));  // many slices, the process still running
    win::UniqueHandle killer(::OpenProcess(PROCESS_TERMINATE, FALSE, pid));
    ::TerminateProcess(killer.Get(), 3);
    ASSERT_TRUE(probe.WaitFired(20000));
    EXPECT_EQ(probe.exitCode.load(), 3u);    // the callback learns how it ended
    EXPECT_EQ(probe.processId.load(), pid);  // and which process it was
    EXPECT_TRUE(monitor.Join(5000));
    EXPECT_EQ(probe.calls.load(), 1);
}

TEST(ProcessMonitor, AQuickProcessFiresBeforeTheFirstSliceEnds) {
    win::UniqueHandle release(::CreateEventW(nullptr, TRUE, FALSE, L"kestrow-monitor-quick"));
    win::UniqueHandle child = StartWaitingChild(L"kestrow-monitor-quick");
    ASSERT_TRUE(child);
    Probe probe;
    CProcessMonitor monitor(std::move(child), &Probe::Callback, &probe);
    ASSERT_TRUE(monitor.Start());
    ::Sleep(300);
    const DWORD released = ::GetTickCount();
    ::SetEvent(release.Get());
    ASSERT_TRUE(probe.WaitFired(20000));
    EXPECT_LT(probe.tick - released, 4000u);
}

TEST(ProcessMonitor, EndingTheWatchStopsItsThreadWithoutTheCallback) {
    win::UniqueHandle release(::CreateEventW(nullptr, TRUE, FALSE, L"kestrow-monitor-stop"));
    win::UniqueHandle child = StartWaitingChild(L"kestrow-monitor-stop");
    ASSERT_TRUE(child);
    Probe probe;
    auto monitor = std::make_unique<CProcessMonitor>(std::move(child), &Probe::Callback, &probe);
    ASSERT_TRUE(monitor->Start());
    HANDLE thread = nullptr;
    ASSERT_TRUE(::DuplicateHandle(::GetCurrentProcess(), monitor->thread(), ::GetCurrentProcess(), &thread,
                                  SYNCHRONIZE, FALSE, 0));
    win::UniqueHandle ownThread(thread);
    ::Sleep(100);
    const DWORD start = ::GetTickCount();
    monitor.reset();  // signals and joins: the thread is gone when this returns
    const DWORD ended = ::GetTickCount() - start;
    EXPECT_EQ(::WaitForSingleObject(ownThread.Get(), 0), WAIT_OBJECT_0);
    EXPECT_LT(ended, 2500u);  // woken, not left to finish its 5-second slice
    EXPECT_EQ(probe.calls.load(), 0);
    ::SetEvent(release.Get());
}

TEST(ProcessMonitor, AHandleThatCannotBeWaitedOnEndsTheWatchOnce) {
    win::UniqueHandle release(::CreateEventW(nullptr, TRUE, FALSE, L"kestrow-monitor-nowait"));
    win::UniqueHandle child = StartWaitingChild(L"kestrow-monitor-nowait");
    ASSERT_TRUE(child);
    // Query rights only: the exit code reads as still active, but the wait is refused.
    HANDLE limited = ::OpenProcess(PROCESS_QUERY_INFORMATION, FALSE, ::GetProcessId(child.Get()));
    ASSERT_TRUE(limited);
    ASSERT_EQ(::WaitForSingleObject(limited, 0), WAIT_FAILED);
    DWORD code = 0;
    ASSERT_TRUE(::GetExitCodeProcess(limited, &code));
    ASSERT_EQ(code, STILL_ACTIVE);
    Probe probe;
    CProcessMonitor monitor(win::UniqueHandle(limited), &Probe::Callback, &probe);
    ASSERT_TRUE(monitor.Start());
    ASSERT_TRUE(probe.WaitFired(3000));
    EXPECT_EQ(::WaitForSingleObject(monitor.thread(), 3000), WAIT_OBJECT_0);  // not spinning
    EXPECT_EQ(probe.calls.load(), 1);
    EXPECT_EQ(probe.exitCode.load(), DWORD(STILL_ACTIVE));           // not taken for an ending
    EXPECT_EQ(::WaitForSingleObject(child.Get(), 0), WAIT_TIMEOUT);  // fired on the failed wait
    ::SetEvent(release.Get());
    ::WaitForSingleObject(child.Get(), 10000);
}

bool WaitForText(const std::wstring& path, DWORD ms, std::string& text) {
    for (DWORD waited = 0; waited < ms; waited += 50) {
        text = test::ReadSmallFile(path);
        if (!text.empty() && text.back() == '\n') return true;
        ::Sleep(50);
    }
    return false;
}

TEST(ProcessLauncherStart, StartsTheExecutableWithTheWholeParameterString) {
    test::TempDir dir;
    const std::wstring worker = dir.File(L"Worker.exe");
    ASSERT_TRUE(::CopyFileW((test::TestsFolder() + L"\\standin.exe").c_str(), worker.c_str(), FALSE));
    ProcessLauncher launcher(worker, L"-tasktype screencapture -trackwindow true");
    win::UniqueHandle process = launcher.Start();
    ASSERT_TRUE(process);
    EXPECT_EQ(::WaitForSingleObject(process.Get(), 10000), WAIT_OBJECT_0);  // the process itself
    std::string log;
    ASSERT_TRUE(WaitForText(dir.File(L"Worker.log"), 10000, log));
    EXPECT_NE(log.find("Worker.exe\" -tasktype screencapture -trackwindow true\n"), std::string::npos) << log;
    ::DeleteFileW(worker.c_str());
}

BOOL CALLBACK CloseBox(HWND box, LPARAM shown) {
    *reinterpret_cast<bool*>(shown) = true;
    ::PostMessageW(box, WM_COMMAND, IDOK, 0);
    return TRUE;
}

TEST(ProcessLauncherStart, AFailedStartShowsNoErrorBox) {
    test::TempDir dir;
    struct Attempt {
        std::wstring exe;
        bool started = true;
        static DWORD WINAPI Run(void* p) {
            auto* a = static_cast<Attempt*>(p);
            a->started = bool(ProcessLauncher(a->exe, L"-tasktype colorcapture").Start());
            return 0;
        }
    } attempt{dir.File(L"Worker.exe")};
    {
        win::UniqueFile f(
            ::CreateFileW(attempt.exe.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, 0, nullptr));
        DWORD n = 0;
        ::WriteFile(f.Get(), "not a program", 13, &n, nullptr);
    }
    // Started aside: a box would hold the starting thread until someone closes it.
    DWORD threadId = 0;
    win::UniqueHandle t(::CreateThread(nullptr, 0, &Attempt::Run, &attempt, 0, &threadId));
    bool boxShown = false;
    for (int i = 0; i < 500 && ::WaitForSingleObject(t.Get(), 20) == WAIT_TIMEOUT; ++i)
        ::EnumThreadWindows(threadId, &CloseBox, reinterpret_cast<LPARAM>(&boxShown));
    ASSERT_EQ(::WaitForSingleObject(t.Get(), 0), WAIT_OBJECT_0);
    EXPECT_FALSE(boxShown);
    EXPECT_FALSE(attempt.started);
}

TEST(ProcessLauncherStart, AMissingExecutableStartsNothing) {
    test::TempDir dir;
    ProcessLauncher launcher(dir.File(L"Worker.exe"), L"-tasktype colorcapture");
    EXPECT_FALSE(launcher.Start());
    ProcessLauncher folder(dir.File(L""), L"");  // a folder is not a program
    EXPECT_FALSE(folder.Start());
}

}  // namespace
}  // namespace kestrow
