#include "worker/window_rects.h"

namespace kestrow {

Rect ClampWindowRect(const Rect& w, int screenWidth, int screenHeight) {
    Rect r = w;
    if (r.top < 0) r.top = 0;
    if (r.left < 0) r.left = 0;
    if (r.right > screenWidth) r.right = screenWidth;
    if (r.bottom > screenHeight) r.bottom = screenHeight;
    return r;
}

Rect FrameWindowRect(const Rect& w, int screenWidth, int screenHeight) {
    Rect r = w;
    if (r.top <= 0) r.top = 3;
    if (r.left <= 0) r.left = 3;
    if (r.right >= screenWidth) r.right = screenWidth - 2;
    if (r.bottom >= screenHeight) r.bottom = screenHeight - 2;
    return r;
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
