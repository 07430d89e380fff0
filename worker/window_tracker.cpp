#include "worker/window_tracker.h"

#include "common/win/rect.h"
#include "worker/window_rects.h"

namespace kestrow {

using win::ToRECT;
using win::ToRect;

namespace {

bool Qualifies(HWND w, POINT p) {
    RECT r;
    if (!::GetWindowRect(w, &r) || ::IsRectEmpty(&r)) return false;
    return ::PtInRect(&r, p) && ::IsWindowVisible(w);
}

}  // namespace

CWindowTracker::CWindowTracker(int w, int h, HCURSOR cursor)
    : layout_(ScreenLayout::Single(w, h)), cursor_(cursor), pen_(::CreatePen(PS_SOLID, 3, kFrameColor)) {}

HWND CWindowTracker::FindWindowAt(HWND start, POINT p) {
    HWND found = nullptr;
    for (HWND w = ::GetWindow(start, GW_HWNDNEXT); w; w = ::GetWindow(w, GW_HWNDNEXT))
        if (Qualifies(w, p)) {
            found = w;
            break;
        }
    if (!found) return nullptr;
    for (;;) {
        HWND next = nullptr;
        for (HWND c = ::GetWindow(found, GW_CHILD); c; c = ::GetWindow(c, GW_HWNDNEXT))
            if (Qualifies(c, p)) {
                next = c;
                break;
            }
        if (!next) return found;
        found = next;
    }
}

void CWindowTracker::Update(int x, int y) {
    if (overlay_) ::SetClassLongPtrW(overlay_, GCLP_HCURSOR, reinterpret_cast<LONG_PTR>(cursor_));
    x_ = x;
    y_ = y;
    const Point p = layout_.ToScreen(Point{x, y});
    HWND w = FindWindowAt(overlay_, POINT{p.x, p.y});
    RECT r;
    if (w && w != overlay_ && ::GetWindowRect(w, &r)) {
        tracked_ = w;
        const Rect window = layout_.ToOverlay(ToRect(r));
        // The frame stays on the monitor showing most of the window (a maximised window
        // reaches a few pixels onto its neighbours); the selection may span monitors.
        frameRect_ = FrameWindowRect(window, layout_.MonitorFor(window));
        windowRect_ = ClampWindowRect(window, layout_.Bounds());
    }
    if (overlay_) ::InvalidateRect(overlay_, nullptr, TRUE);
}

void CWindowTracker::Draw(HDC dc) const {
    if (frameRect_ == Rect{}) return;  // nothing found yet
    const Rect f = frameRect_;
    if (source_) ::BitBlt(dc, f.left, f.top, f.Width(), f.Height(), source_, f.left, f.top, SRCCOPY);
    const int saved = ::SaveDC(dc);
    ::SetMapMode(dc, MM_TEXT);
    ::SetViewportOrgEx(dc, 0, 0, nullptr);
    ::SetWindowOrgEx(dc, 0, 0, nullptr);
    ::SelectObject(dc, pen_.Get());
    for (const LineSegment& l : HighlightLines(f)) {
        ::MoveToEx(dc, l.from.x, l.from.y, nullptr);
        ::LineTo(dc, l.to.x, l.to.y);
    }
    ::RestoreDC(dc, saved);
}

}  // namespace kestrow
