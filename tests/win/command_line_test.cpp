// The worker's command line as the platform splits it, then read by the task grammar.
#include <gtest/gtest.h>

#include "common/win/command_line.h"
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

}  // namespace
}  // namespace kestrow
