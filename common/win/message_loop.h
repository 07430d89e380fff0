#pragma once
// A message loop with a chain of message filters (newest first, e.g. a modeless
// dialog's IsDialogMessage) and idle handlers run when the queue has emptied.
#include <windows.h>

#include <vector>

namespace kestrow::win {

class MessageFilter {
public:
    // True when the message was handled and must not be dispatched.
    virtual bool PreTranslateMessage(MSG& msg) = 0;

protected:
    ~MessageFilter() = default;
};

class IdleHandler {
public:
    virtual void OnIdle() = 0;

protected:
    ~IdleHandler() = default;
};

class MessageLoop {
public:
    MessageLoop() = default;
    MessageLoop(const MessageLoop&) = delete;
    MessageLoop& operator=(const MessageLoop&) = delete;

    void AddFilter(MessageFilter* filter);
    void RemoveFilter(MessageFilter* filter);
    void AddIdleHandler(IdleHandler* handler);
    void RemoveIdleHandler(IdleHandler* handler);

    // Runs until WM_QUIT; returns its exit code.
    int Run();

    // Dispatches the messages already queued, through the filters, and returns: for a
    // long task on this thread that keeps its windows alive between steps. False when
    // it met WM_QUIT, which is posted again for the outer loop.
    bool PumpPending();

    // The loop running on the calling thread; null when none runs.
    static MessageLoop* Current();

private:
    bool Filter(MSG& msg);
    void RunIdle();

    std::vector<MessageFilter*> filters_;
    std::vector<IdleHandler*> idle_;
};

}  // namespace kestrow::win
