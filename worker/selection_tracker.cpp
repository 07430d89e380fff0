#include "worker/selection_tracker.h"

#include <cstdlib>

namespace kestrow {

namespace {

// Made once for every tracker of the process.
struct SharedTools {
    HCURSOR cursors[9];
    win::Pen border{::CreatePen(PS_SOLID, 1, CSelectionTracker::kColor)};
    win::Brush handles{::CreateSolidBrush(CSelectionTracker::kColor)};
    SharedTools() {
        const LPCWSTR ids[9] = {IDC_SIZENWSE, IDC_SIZENESW, IDC_SIZENWSE, IDC_SIZENESW, IDC_SIZENS,
                                IDC_SIZEWE,   IDC_SIZENS,   IDC_SIZEWE,   IDC_SIZEALL};
        for (int i = 0; i < 9; ++i) cursors[i] = ::LoadCursorW(nullptr, ids[i]);
    }
};

SharedTools& Tools() {
    static SharedTools tools;
    return tools;
}

}  // namespace

CSelectionTracker::CSelectionTracker(int w, int h, HCURSOR defaultCursor)
    : geometry_(w, h), defaultCursor_(defaultCursor) {
    Tools();
}

HCURSOR CSelectionTracker::HandleCursor(int handle) {
    return handle >= 0 && handle <= 8 ? Tools().cursors[handle] : nullptr;
}

void CSelectionTracker::UpdateCursor() {
    if (!owner_) return;
    POINT p;
    ::GetCursorPos(&p);
    ::ScreenToClient(owner_, &p);
    const int h = geometry_.HitTest(p.x, p.y);
    HCURSOR cursor = h >= 0 ? HandleCursor(h) : defaultCursor_;
    ::SetClassLongPtrW(owner_, GCLP_HCURSOR, reinterpret_cast<LONG_PTR>(cursor));
}

void CSelectionTracker::Draw(HDC dc) const {
    if (!geometry_.active()) return;
    const Rect r = geometry_.rect();
    const Rect n = SelectionGeometry::Normalized(r);
    // While a resize turns the rectangle inside out the area between the corners is shown.
    if (snapshot_) ::BitBlt(dc, n.left, n.top, n.Width(), n.Height(), snapshot_, n.left, n.top, SRCCOPY);

    const int saved = ::SaveDC(dc);
    ::SetMapMode(dc, MM_TEXT);
    ::SetROP2(dc, R2_COPYPEN);
    ::SelectObject(dc, Tools().border.Get());
    ::SelectObject(dc, ::GetStockObject(NULL_BRUSH));
    ::Rectangle(dc, n.left - 1, n.top - 1, n.right + 1, n.bottom + 1);
    if (geometry_.ShowsHandles()) {
        for (int h = 0; h < SelectionGeometry::kHandleCount; ++h) {
            const Rect s = SelectionGeometry::HandleSquare(r, h, dpi_);
            const RECT rc{s.left, s.top, s.right, s.bottom};
            ::FillRect(dc, &rc, Tools().handles.Get());
        }
    }
    ::RestoreDC(dc, saved);
}

void CSelectionTracker::DrawOutline(HDC dc) const {
    if (!geometry_.active()) return;
    const Rect r = geometry_.rect();
    win::ScopedSelect pen(dc, Tools().border.Get());
    POINT old;
    ::MoveToEx(dc, r.left, r.top, &old);
    ::LineTo(dc, r.right, r.top);
    ::LineTo(dc, r.right, r.bottom);
    ::LineTo(dc, r.left, r.bottom);
    ::LineTo(dc, r.left, r.top);
    ::MoveToEx(dc, old.x, old.y, nullptr);
}

}  // namespace kestrow
