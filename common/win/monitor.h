#pragma once
// Placing windows on the monitor they are on.
#include <windows.h>

namespace kestrow::win {

// Moves the window to the middle of its monitor's work area, keeping its size, its
// place in the Z order and its visibility.
inline void CentreOnWorkArea(HWND hwnd) {
    RECT rc{};
    ::GetWindowRect(hwnd, &rc);
    MONITORINFO mi{sizeof(mi)};
    if (!::GetMonitorInfoW(::MonitorFromWindow(hwnd, MONITOR_DEFAULTTONEAREST), &mi)) return;
    const RECT& wa = mi.rcWork;
    const int x = wa.left + (wa.right - wa.left - (rc.right - rc.left)) / 2;
    const int y = wa.top + (wa.bottom - wa.top - (rc.bottom - rc.top)) / 2;
    ::SetWindowPos(hwnd, nullptr, x, y, 0, 0, SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
}

}  // namespace kestrow::win
