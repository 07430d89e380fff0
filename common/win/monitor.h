#pragma once
// The monitors: where they are, their DPI, and placing windows on them.
#include <windows.h>

#include <vector>

#include "common/screen_layout.h"
#include "common/win/gdi.h"

namespace kestrow::win {

namespace detail {
// An entry point of a system library that older systems lack; null there.
template <class Fn>
Fn SystemEntry(const wchar_t* library, const char* name) {
    HMODULE module = ::GetModuleHandleW(library);
    if (!module) module = ::LoadLibraryW(library);
    return module ? reinterpret_cast<Fn>(reinterpret_cast<void*>(::GetProcAddress(module, name))) : nullptr;
}

// The system's DPI as every system reports it: the screen's logical pixels per inch.
inline int SystemDpi() {
    WindowDC screen(nullptr);
    const int dpi = screen ? ::GetDeviceCaps(screen.Get(), LOGPIXELSX) : 0;
    return dpi > 0 ? dpi : 96;
}
}  // namespace detail

// The DPI of a monitor: per monitor where the system knows it (shcore's
// GetDpiForMonitor, Windows 8.1 on), else the system's.
inline int MonitorDpi(HMONITOR monitor) {
    using GetDpiForMonitorFn = HRESULT(WINAPI*)(HMONITOR, int, UINT*, UINT*);
    static const auto getDpi = detail::SystemEntry<GetDpiForMonitorFn>(L"shcore.dll", "GetDpiForMonitor");
    UINT x = 0, y = 0;
    if (getDpi && monitor && SUCCEEDED(getDpi(monitor, 0 /* MDT_EFFECTIVE_DPI */, &x, &y)) && x > 0)
        return int(x);
    return detail::SystemDpi();
}

// The DPI a window is drawn at: the window's own where the system tracks it
// (GetDpiForWindow, Windows 10 1607 on), else that of the monitor nearest to it.
inline int WindowDpi(HWND hwnd) {
    using GetDpiForWindowFn = UINT(WINAPI*)(HWND);
    static const auto getDpi = detail::SystemEntry<GetDpiForWindowFn>(L"user32.dll", "GetDpiForWindow");
    if (getDpi && hwnd)
        if (const UINT dpi = getDpi(hwnd); dpi > 0) return int(dpi);
    return MonitorDpi(::MonitorFromWindow(hwnd, MONITOR_DEFAULTTONEAREST));
}

namespace detail {
struct FoundMonitors {
    std::vector<Rect> rects;
    std::vector<int> dpis;
};
inline BOOL CALLBACK AddMonitor(HMONITOR monitor, HDC, LPRECT, LPARAM data) {
    auto& f = *reinterpret_cast<FoundMonitors*>(data);
    MONITORINFO mi{sizeof(mi)};
    if (!::GetMonitorInfoW(monitor, &mi)) return TRUE;
    const Rect r{mi.rcMonitor.left, mi.rcMonitor.top, mi.rcMonitor.right, mi.rcMonitor.bottom};
    const bool primary = mi.dwFlags & MONITORINFOF_PRIMARY;
    f.rects.insert(primary ? f.rects.begin() : f.rects.end(), r);
    f.dpis.insert(primary ? f.dpis.begin() : f.dpis.end(), MonitorDpi(monitor));
    return TRUE;
}
}  // namespace detail

// The virtual screen and every monitor with its DPI, the primary monitor first.
inline ScreenLayout ReadScreenLayout() {
    const int x = ::GetSystemMetrics(SM_XVIRTUALSCREEN), y = ::GetSystemMetrics(SM_YVIRTUALSCREEN);
    const Rect virtualScreen{x, y, x + ::GetSystemMetrics(SM_CXVIRTUALSCREEN),
                             y + ::GetSystemMetrics(SM_CYVIRTUALSCREEN)};
    detail::FoundMonitors found;
    ::EnumDisplayMonitors(nullptr, nullptr, detail::AddMonitor, reinterpret_cast<LPARAM>(&found));
    return ScreenLayout(virtualScreen, std::move(found.rects), std::move(found.dpis));
}

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
