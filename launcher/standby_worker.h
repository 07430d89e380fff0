#pragma once
// A worker started ahead of the next request, waiting on a pipe that only this launcher
// can write to. It releases a signal semaphore three times: when it is ready to be woken,
// when a woken task has been read, and when that task has its window on screen. It ends
// on its own when the pipe breaks (this launcher closes it or ends in any way).
#include <windows.h>

#include <string>

#include "common/win/handles.h"

namespace kestrow {

class StandbyWorker {
public:
    // Starts `exePath` waiting; false when nothing started. Replaces a worker kept before.
    bool Start(const std::wstring& exePath);
    bool Exists() const { return bool(process_); }
    // Its process has ended (crashed, killed).
    bool Ended() const;

    // Wakes the worker with a task's parameter string; false when it is not ready (still
    // starting: it is kept for later; ended) or cannot be reached (it is ended).
    bool HandOver(const std::wstring& parameters);
    // After HandOver: the woken worker has read its task (takes that signal).
    bool Taken();

    // A woken worker, forgotten here: its process (to watch it) and its signal, released
    // once its window is on screen.
    struct Woken {
        win::UniqueHandle process, shown;
    };
    Woken TakeWoken();
    // Ends the worker and waits for it, so that a replacement cannot meet it on screen.
    void Kill();
    // Lets a waiting worker end by itself (it sees the broken pipe).
    void Release();

private:
    win::UniqueHandle process_;
    win::UniqueHandle pipe_;    // write end
    win::UniqueHandle signal_;  // ready, taken, shown
};

// Posts a message to a window once a handle is signalled, from the thread pool.
class SignalWatch {
public:
    // False when the wait could not be set up (the handle is then dropped).
    bool Start(win::UniqueHandle handle, HWND window, UINT message);
    bool Active() const { return bool(wait_); }
    // Ends the watch; a message already posted stays posted.
    void Stop();

private:
    static void CALLBACK Fired(void* self, BOOLEAN timedOut);

    win::UniqueHandle handle_;
    HWND window_ = nullptr;
    UINT message_ = 0;
    win::UniqueWait wait_;  // last: released first, before the handle it waits on
};

}  // namespace kestrow
