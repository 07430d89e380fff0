#pragma once
// Asks once for a window's WM_MOUSELEAVE and remembers that it is due, so that every
// mouse move does not ask again.
#include <windows.h>

namespace kestrow::win {

class MouseLeaveTracker {
public:
    // On WM_MOUSEMOVE of `hwnd`.
    void Track(HWND hwnd) {
        if (tracking_) return;
        TRACKMOUSEEVENT tme{sizeof(tme), TME_LEAVE, hwnd, 0};
        tracking_ = ::TrackMouseEvent(&tme) != FALSE;
    }
    // On WM_MOUSELEAVE, and when the window goes.
    void Left() { tracking_ = false; }

private:
    bool tracking_ = false;
};

}  // namespace kestrow::win
