#include "launcher/startup_wnd.h"

#include "common/res_reader.h"
#include "common/win/monitor.h"
#include "launcher/launcher_ids.h"
#include "launcher/res/resource.h"
#include "launcher/startup_flight.h"

namespace kestrow {

namespace {

Rect DesktopRect() {
    RECT rc{};
    ::GetWindowRect(::GetDesktopWindow(), &rc);
    return {rc.left, rc.top, rc.right, rc.bottom};
}

}  // namespace

bool CStartupWnd::Show(HWND notify, HMODULE resources) {
    if (IsWindow()) return true;
    if (!win::RegisterStandardClass(kStartupWndClass)) return false;
    if (!Create({.className = kStartupWndClass,
                 .title = kStartupWndClass,
                 .style = WS_POPUP,
                 .exStyle = WS_EX_LAYERED | WS_EX_TOOLWINDOW | WS_EX_TOPMOST,
                 .x = 0,
                 .y = 0,
                 .width = kSplashWidth,
                 .height = kSplashHeight}))
        return false;
    notify_ = notify;
    done_ = false;
    image_.reset();
    // Without a picture the splash still runs its course, painting nothing.
    image_ = LoadPngResource(resources ? resources : ::GetModuleHandleW(nullptr), IDR_SPLASH_PNG);
    ::SetWindowPos(hwnd(), HWND_TOPMOST, 0, 0, kSplashWidth, kSplashHeight, SWP_NOACTIVATE);
    win::CentreOnWorkArea(hwnd());
    ::SetLayeredWindowAttributes(hwnd(), 0, 255, LWA_ALPHA);
    ::ShowWindow(hwnd(), SW_SHOWNOACTIVATE);
    ::SetTimer(hwnd(), TIMER_SPLASH_HOLD, kSplashHoldMs, nullptr);
    const Rect desktop = DesktopRect();
    stopRight_ = desktop.right;
    stopBottom_ = desktop.bottom;
    return true;
}

LRESULT CStartupWnd::HandleMessage(UINT msg, WPARAM wp, LPARAM lp) {
    switch (msg) {
        case WM_TIMER: OnTimer(wp); return 0;
        case WM_PAINT: OnPaint(); return 0;
        case WM_ERASEBKGND: return 1;
    }
    return DefaultMessage(msg, wp, lp);
}

void CStartupWnd::OnTimer(UINT_PTR id) {
    if (id == TIMER_SPLASH_HOLD) {
        ::KillTimer(hwnd(), TIMER_SPLASH_HOLD);
        RECT rc{};
        ::GetWindowRect(hwnd(), &rc);
        flight_ = {rc.left, rc.top, rc.right, rc.bottom};
        ::SetTimer(hwnd(), TIMER_SPLASH_FLY, kSplashFlyStepMs, nullptr);
    } else if (id == TIMER_SPLASH_FLY) {
        Fly();
    }
}

// The steps continue from the rectangle the previous step asked for: the system
// clamps a window's inverted size to zero, and reading that back would speed the
// flight up once the splash has shrunk to nothing.
void CStartupWnd::Fly() {
    if (done_) return;
    const FlyStep step = FlyAwayStep(flight_, DesktopRect(), stopRight_, stopBottom_);
    flight_ = step.window;
    if (step.done) {
        done_ = true;
        ::KillTimer(hwnd(), TIMER_SPLASH_FLY);
        ::ShowWindow(hwnd(), SW_HIDE);
        ::PostMessageW(notify_, WM_STARTUP_DONE, 0, 0);
    }
    ::MoveWindow(hwnd(), flight_.left, flight_.top, flight_.Width(), flight_.Height(), TRUE);
}

void CStartupWnd::OnPaint() {
    PAINTSTRUCT ps;
    HDC dc = ::BeginPaint(hwnd(), &ps);
    if (image_) {
        RECT rc{};
        ::GetClientRect(hwnd(), &rc);
        Gdiplus::Graphics g(dc);
        g.DrawImage(image_.get(), Gdiplus::Rect(0, 0, rc.right, rc.bottom), 0, 0, INT(image_->GetWidth()),
                    INT(image_->GetHeight()), Gdiplus::UnitPixel);
    }
    ::EndPaint(hwnd(), &ps);
}

}  // namespace kestrow
