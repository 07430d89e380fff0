#pragma once
// The tracked window's rectangles: the one a click selects (clamped to the screen)
// and the one the highlight is drawn around (pulled inside the screen edges so the
// 3-pixel frame of a maximised window stays visible).
#include <array>

#include "common/geometry.h"

namespace kestrow {

// Clamped to `bounds`, the whole overlay.
Rect ClampWindowRect(const Rect& window, const Rect& bounds);
Rect ClampWindowRect(const Rect& window, int screenWidth, int screenHeight);
// Pulled inside `area`, the monitors the window is on.
Rect FrameWindowRect(const Rect& window, const Rect& area);
Rect FrameWindowRect(const Rect& window, int screenWidth, int screenHeight);

struct LineSegment {
    Point from;
    Point to;
    friend bool operator==(const LineSegment&, const LineSegment&) = default;
};

// The four 3-pixel-wide lines of the highlight around a frame rectangle: left,
// right, top, bottom.
std::array<LineSegment, 4> HighlightLines(const Rect& frame);

}  // namespace kestrow
