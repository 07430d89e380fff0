// The worker's command line as the platform splits it, then read by the task grammar.
#include <gtest/gtest.h>

#include "common/standby_handover.h"
#include "common/win/command_line.h"
#include "common/win/handles.h"
#include "worker/standby_wait.h"
#include "worker/task_options.h"

namespace kestrow {
namespace {

TaskOptions Read(const wchar_t* line, bool* valid = nullptr) {
    TaskOptions o;
    const bool ok = ParseTaskArgs(win::SplitCommandLine(line), o);
    if (valid) *valid = ok;
    return o;
}

TEST(WorkerCommandLine, QuotesGroupAndTheProgramNameIsFirst) {
    const auto args = win::SplitCommandLine(
        L"\"C:\\Program Files\\Kestrow\\Worker.exe\" -tasktype \"color"
        L"capture\"");
    ASSERT_EQ(args.size(), 3u);
    EXPECT_EQ(args[0], L"C:\\Program Files\\Kestrow\\Worker.exe");
    EXPECT_EQ(args[2], L"colorcapture");
    EXPECT_EQ(Read(L"\"C:\\Program Files\\Worker.exe\" \"-tasktype\" \"colorcapture\"").taskType,
              TaskType::ColorCapture);
}

TEST(WorkerCommandLine, TheLaunchersLinesParse) {
    bool valid = false;
    TaskOptions o = Read(L"Worker.exe -tasktype screencapture -trackwindow true", &valid);
    EXPECT_TRUE(valid);
    EXPECT_EQ(o.taskType, TaskType::ScreenCapture);
    EXPECT_EQ(o.trackWindow, 1);
    o = Read(L"\"Z:\\a b\\Worker.exe\" -tasktype screenfullscreentoclipboard", &valid);
    EXPECT_TRUE(valid);
    EXPECT_EQ(o.taskType, TaskType::FullScreenToClipboard);
}

TEST(WorkerCommandLine, ProgramNameAloneIsInvalid) {
    bool valid = true;
    Read(L"\"C:\\Program Files\\Worker.exe\"", &valid);
    EXPECT_FALSE(valid);
    Read(L"Worker.exe   ", &valid);
    EXPECT_FALSE(valid);
}

// A waiting worker's ends of the pipe and signal, as the launcher makes them; the test
// keeps the write end and a second handle to the signal.
struct WaitingEnds {
    win::UniqueHandle writer, signal;
    StandbyHandles handles;
    WaitingEnds() {
        HANDLE r = nullptr, w = nullptr;
        EXPECT_TRUE(::CreatePipe(&r, &w, nullptr, 0));
        writer.Reset(w);
        signal.Reset(::CreateSemaphoreW(nullptr, 0, 3, nullptr));
        HANDLE theirs = nullptr;
        ::DuplicateHandle(::GetCurrentProcess(), signal.Get(), ::GetCurrentProcess(), &theirs, 0, FALSE,
                          DUPLICATE_SAME_ACCESS);
        handles = {reinterpret_cast<uintptr_t>(r), reinterpret_cast<uintptr_t>(theirs)};
    }
};

TEST(StandbyWait, WakesWithTheHandedTaskAsItsCommandLine) {
    WaitingEnds ends;
    const std::string record = EncodeHandover(L"-tasktype screencapture -trackwindow true");
    DWORD written = 0;
    ASSERT_TRUE(::WriteFile(ends.writer.Get(), record.data(), DWORD(record.size()), &written, nullptr));
    std::vector<std::wstring> args;
    win::UniqueHandle shown;
    ASSERT_EQ(WaitForTask(ends.handles, L"C:\\app\\Worker.exe", args, shown), StandbyOutcome::Woken);
    EXPECT_EQ(args, (std::vector<std::wstring>{L"C:\\app\\Worker.exe", L"-tasktype", L"screencapture",
                                               L"-trackwindow", L"true"}));
    EXPECT_EQ(::WaitForSingleObject(ends.signal.Get(), 0), WAIT_OBJECT_0) << "told it was ready";
    EXPECT_EQ(::WaitForSingleObject(ends.signal.Get(), 0), WAIT_OBJECT_0) << "told it took the task";
    EXPECT_EQ(::WaitForSingleObject(ends.signal.Get(), 0), WAIT_TIMEOUT) << "not yet shown";
    ASSERT_TRUE(shown);
    ::ReleaseSemaphore(shown.Get(), 1, nullptr);
    EXPECT_EQ(::WaitForSingleObject(ends.signal.Get(), 0), WAIT_OBJECT_0)
        << "the same signal tells it is shown";
}

TEST(StandbyWait, EndsWhenThePipeBreaksAndIgnoresHandlesThatAreNotAPipe) {
    WaitingEnds ends;
    ends.writer.Reset();  // the launcher has ended
    std::vector<std::wstring> args;
    win::UniqueHandle shown;
    EXPECT_EQ(WaitForTask(ends.handles, L"Worker.exe", args, shown), StandbyOutcome::LauncherGone);
    EXPECT_FALSE(shown);
    EXPECT_EQ(::WaitForSingleObject(ends.signal.Get(), 0), WAIT_OBJECT_0) << "ready before it read";
    EXPECT_EQ(::WaitForSingleObject(ends.signal.Get(), 0), WAIT_TIMEOUT) << "but took nothing";

    // A line typed by hand: its numbers name a semaphore (or nothing) where the pipe should be.
    EXPECT_EQ(WaitForTask({reinterpret_cast<uintptr_t>(ends.signal.Get()),
                           reinterpret_cast<uintptr_t>(ends.signal.Get())},
                          L"Worker.exe", args, shown),
              StandbyOutcome::NotStandby);
    EXPECT_EQ(::WaitForSingleObject(ends.signal.Get(), 0), WAIT_TIMEOUT) << "and is not signalled";
}

}  // namespace
}  // namespace kestrow
