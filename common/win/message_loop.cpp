#include "common/win/message_loop.h"

#include <algorithm>

namespace kestrow::win {

namespace {
thread_local MessageLoop* g_current = nullptr;
}

MessageLoop* MessageLoop::Current() { return g_current; }

void MessageLoop::AddFilter(MessageFilter* filter) {
    if (filter) filters_.push_back(filter);
}
void MessageLoop::RemoveFilter(MessageFilter* filter) {
    filters_.erase(std::remove(filters_.begin(), filters_.end(), filter), filters_.end());
}
void MessageLoop::AddIdleHandler(IdleHandler* handler) {
    if (handler) idle_.push_back(handler);
}
void MessageLoop::RemoveIdleHandler(IdleHandler* handler) {
    idle_.erase(std::remove(idle_.begin(), idle_.end(), handler), idle_.end());
}

bool MessageLoop::Filter(MSG& msg) {
    // A filter may remove itself (or another) while handling; walk a copy.
    const std::vector<MessageFilter*> chain(filters_.rbegin(), filters_.rend());
    for (MessageFilter* f : chain)
        if (std::find(filters_.begin(), filters_.end(), f) != filters_.end() && f->PreTranslateMessage(msg))
            return true;
    return false;
}

void MessageLoop::RunIdle() {
    const std::vector<IdleHandler*> handlers = idle_;
    for (IdleHandler* h : handlers)
        if (std::find(idle_.begin(), idle_.end(), h) != idle_.end()) h->OnIdle();
}

int MessageLoop::Run() {
    MessageLoop* previous = g_current;
    g_current = this;
    MSG msg{};
    int code = 0;
    for (;;) {
        if (!::PeekMessageW(&msg, nullptr, 0, 0, PM_NOREMOVE)) RunIdle();
        const BOOL got = ::GetMessageW(&msg, nullptr, 0, 0);
        if (got == 0) {
            code = static_cast<int>(msg.wParam);
            break;
        }
        if (got == -1) break;
        if (Filter(msg)) continue;
        ::TranslateMessage(&msg);
        ::DispatchMessageW(&msg);
    }
    g_current = previous;
    return code;
}

bool MessageLoop::PumpPending() {
    MSG msg{};
    while (::PeekMessageW(&msg, nullptr, 0, 0, PM_REMOVE)) {
        if (msg.message == WM_QUIT) {
            ::PostQuitMessage(static_cast<int>(msg.wParam));
            return false;
        }
        if (Filter(msg)) continue;
        ::TranslateMessage(&msg);
        ::DispatchMessageW(&msg);
    }
    return true;
}

}  // namespace kestrow::win
