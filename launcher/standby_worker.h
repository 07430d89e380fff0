#pragma once
// A worker started ahead of the next request, waiting on a pipe that only this launcher
// can write to. It signals one event twice: when it is ready to be woken, and when a
// woken task has its window on screen. It ends on its own when the pipe breaks (this
// launcher closes it or ends in any way).
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
    // After HandOver: the woken task has put its window on screen.
    bool Shown() const;

    // Takes the process of a woken worker (to watch it), forgetting the rest.
    win::UniqueHandle TakeProcess();
    // Ends the worker and waits for it, so that a replacement cannot meet it on screen.
    void Kill();
    // Lets a waiting worker end by itself (it sees the broken pipe).
    void Release();

private:
    win::UniqueHandle process_;
    win::UniqueHandle pipe_;   // write end
    win::UniqueHandle event_;  // ready, then shown
};

}  // namespace kestrow
