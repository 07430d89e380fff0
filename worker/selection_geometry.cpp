#include "worker/selection_geometry.h"

#include "common/dpi.h"

#include <cstdlib>
#include <utility>

namespace kestrow {

Point SelectionGeometry::HandlePoint(const Rect& r, int handle) {
    const int cx = r.left + (r.right - r.left) / 2;
    const int cy = r.top + (r.bottom - r.top) / 2;
    switch (handle) {
        case 0: return {r.left, r.top};
        case 1: return {r.right, r.top};
        case 2: return {r.right, r.bottom};
        case 3: return {r.left, r.bottom};
        case 4: return {cx, r.top};
        case 5: return {r.right, cy};
        case 6: return {cx, r.bottom};
        default: return {r.left, cy};
    }
}

Rect SelectionGeometry::HandleSquare(const Rect& r, int handle, int dpi) {
    const Point p = HandlePoint(r, handle);
    const int half = Scale(kHitMargin, dpi);
    return {p.x - half, p.y - half, p.x + half, p.y + half};
}

Rect SelectionGeometry::Normalized(const Rect& r) {
    Rect n = r;
    if (n.left > n.right) std::swap(n.left, n.right);
    if (n.top > n.bottom) std::swap(n.top, n.bottom);
    return n;
}

int SelectionGeometry::HitTest(int x, int y) const {
    // The grab margin is what is drawn: on a scaled monitor the handles are larger and
    // so is the reach of the pointer.
    const int margin = Scale(kHitMargin, dpi_);
    const Rect grown{rect_.left - margin, rect_.top - margin, rect_.right + margin, rect_.bottom + margin};
    if (!grown.Contains({x, y})) return kNoHandle;
    for (int h = 0; h < kHandleCount; ++h)
        if (HandleSquare(rect_, h, dpi_).Contains({x, y})) return h;
    return kMoveHandle;
}

bool SelectionGeometry::ShowsHandles() const {
    return !drawingNew_ && std::abs(rect_.Width()) >= kMinHandleSize &&
           std::abs(rect_.Height()) >= kMinHandleSize;
}

void SelectionGeometry::BeginNew(int x, int y) {
    active_ = true;
    drawingNew_ = true;
    rect_ = {x, y, x, y};
    handle_ = 2;
    last_ = {x, y};
}

bool SelectionGeometry::BeginDrag(int x, int y) {
    const int h = HitTest(x, y);
    if (h < 0) return false;
    handle_ = h;
    last_ = {x, y};
    return true;
}

bool SelectionGeometry::DragTo(int x, int y) {
    if (handle_ == kNoHandle) return false;
    if (handle_ == kMoveHandle) {
        const int w = rect_.Width(), h = rect_.Height();
        int left = rect_.left + (x - last_.x);
        int top = rect_.top + (y - last_.y);
        last_ = {x, y};
        if (left < 0) left = 0;
        if (left + w > screenWidth_) left = screenWidth_ - w;
        if (top < 0) top = 0;
        if (top + h > screenHeight_) top = screenHeight_ - h;
        rect_ = {left, top, left + w, top + h};
        return true;
    }
    // Resizing may turn the rectangle inside out; it is normalised on release.
    switch (handle_) {
        case 0:
            rect_.left = x;
            rect_.top = y;
            break;
        case 1:
            rect_.right = x;
            rect_.top = y;
            break;
        case 2:
            rect_.right = x;
            rect_.bottom = y;
            break;
        case 3:
            rect_.left = x;
            rect_.bottom = y;
            break;
        case 4: rect_.top = y; break;
        case 5: rect_.right = x; break;
        case 6: rect_.bottom = y; break;
        case 7: rect_.left = x; break;
    }
    return true;
}

bool SelectionGeometry::EndDrag() {
    drawingNew_ = false;
    rect_ = Normalized(rect_);
    handle_ = kNoHandle;
    if (rect_.Width() == 0 || rect_.Height() == 0) {
        active_ = false;
        rect_ = {};
    }
    return active_;
}

void SelectionGeometry::Select(const Rect& r) {
    active_ = true;
    rect_ = r;
    handle_ = kNoHandle;
}

void SelectionGeometry::Clear() {
    active_ = false;
    drawingNew_ = false;
    rect_ = {};
    handle_ = kNoHandle;
    last_ = {};
}

}  // namespace kestrow
