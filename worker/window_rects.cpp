#include "worker/window_rects.h"

namespace kestrow {

Rect ClampWindowRect(const Rect& w, const Rect& b) {
    Rect r = w;
    if (r.top < b.top) r.top = b.top;
    if (r.left < b.left) r.left = b.left;
    if (r.right > b.right) r.right = b.right;
    if (r.bottom > b.bottom) r.bottom = b.bottom;
    return r;
}

Rect ClampWindowRect(const Rect& w, int screenWidth, int screenHeight) {
    return ClampWindowRect(w, Rect{0, 0, screenWidth, screenHeight});
}

Rect FrameWindowRect(const Rect& w, const Rect& a) {
    Rect r = w;
    if (r.top <= a.top) r.top = a.top + 3;
    if (r.left <= a.left) r.left = a.left + 3;
    if (r.right >= a.right) r.right = a.right - 2;
    if (r.bottom >= a.bottom) r.bottom = a.bottom - 2;
    return r;
}

Rect FrameWindowRect(const Rect& w, int screenWidth, int screenHeight) {
    return FrameWindowRect(w, Rect{0, 0, screenWidth, screenHeight});
}

std::array<LineSegment, 4> HighlightLines(const Rect& f) {
    const Rect r{f.left - 3, f.top - 3, f.right + 3, f.bottom + 3};
    return {{
        {{r.left, r.top}, {r.left, r.bottom - 3}},
        {{r.right - 3, r.top}, {r.right - 3, r.bottom - 3}},
        {{r.left, r.top}, {r.right - 3, r.top}},
        {{r.left, r.bottom - 3}, {r.right - 3, r.bottom - 3}},
    }};
}

}  // namespace kestrow
