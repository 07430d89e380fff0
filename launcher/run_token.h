#pragma once
// The value that the main window's private messages from the launcher's own threads
// carry in lParam. It is drawn at random once per run and never leaves the process, so a
// message with the same number posted by another program lacks it and is ignored.
#include <windows.h>

namespace kestrow {

LPARAM RunToken();

inline bool FromThisRun(LPARAM lp) { return lp == RunToken(); }

// Posts `msg` with the run value to `hwnd` if that window still exists.
inline void PostFromThisRun(HWND hwnd, UINT msg, WPARAM wp) {
    if (::IsWindow(hwnd)) ::PostMessageW(hwnd, msg, wp, RunToken());
}

}  // namespace kestrow
