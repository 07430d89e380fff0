// The message loop's filter chain and idle handlers, with real thread messages.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "common/win/message_loop.h"

namespace kestrow {
namespace {

constexpr UINT kProbe = WM_APP + 1;

struct Filter : win::MessageFilter {
    Filter(std::string name, std::vector<std::string>& log, bool eat)
        : name(std::move(name)), log(log), eat(eat) {}
    bool PreTranslateMessage(MSG& msg) override {
        if (msg.message != kProbe) return false;
        log.push_back(name);
        if (removeSelf) loop->RemoveFilter(this);
        return eat;
    }
    std::string name;
    std::vector<std::string>& log;
    bool eat;
    bool removeSelf = false;
    win::MessageLoop* loop = nullptr;
};

struct Idle : win::IdleHandler {
    void OnIdle() override {
        ++calls;
        // Quit from the first idle turn after the probes were handled.
        if (quitWhenIdle) ::PostQuitMessage(7);
    }
    int calls = 0;
    bool quitWhenIdle = false;
};

TEST(MessageLoopFilters, NewestFirstAndAnEatenMessageStopsTheChain) {
    std::vector<std::string> log;
    win::MessageLoop loop;
    Filter older("older", log, false), newer("newer", log, true);
    loop.AddFilter(&older);
    loop.AddFilter(&newer);
    Idle idle;
    idle.quitWhenIdle = true;
    loop.AddIdleHandler(&idle);
    ::PostThreadMessageW(::GetCurrentThreadId(), kProbe, 0, 0);
    EXPECT_EQ(loop.Run(), 7);
    EXPECT_EQ(log, (std::vector<std::string>{"newer"}));
    EXPECT_GE(idle.calls, 1);
}

TEST(MessageLoopFilters, AFilterMayRemoveItselfWhileHandling) {
    std::vector<std::string> log;
    win::MessageLoop loop;
    Filter first("first", log, false), second("second", log, false);
    second.removeSelf = true;
    second.loop = &loop;
    loop.AddFilter(&first);
    loop.AddFilter(&second);
    ::PostThreadMessageW(::GetCurrentThreadId(), kProbe, 0, 0);
    ::PostThreadMessageW(::GetCurrentThreadId(), kProbe, 0, 0);
    ::PostQuitMessage(3);
    EXPECT_EQ(loop.Run(), 3);
    EXPECT_EQ(log, (std::vector<std::string>{"second", "first", "first"}));
    EXPECT_EQ(win::MessageLoop::Current(), nullptr);  // only while running
}

TEST(MessageLoopFilters, RemovedIdleHandlersAreNotCalled) {
    win::MessageLoop loop;
    Idle kept, removed;
    kept.quitWhenIdle = true;
    loop.AddIdleHandler(&removed);
    loop.AddIdleHandler(&kept);
    loop.RemoveIdleHandler(&removed);
    EXPECT_EQ(loop.Run(), 7);
    EXPECT_EQ(removed.calls, 0);
    EXPECT_GE(kept.calls, 1);
}

}  // namespace
}  // namespace kestrow
