#pragma once
// The arithmetic of annotation shapes, apart from painting: keeping a dragged end
// inside the selection and the points of an arrow head.
#include "common/geometry.h"

namespace kestrow {

// Where a drag from `start` towards `end` stops at the border of `clip`. Unchanged when
// `start` is outside `clip`, when `end` is inside, and for ends lying exactly on the
// right or bottom line.
Point ClipSegmentEnd(Point start, Point end, const Rect& clip);

// The crossing of the line through a1-a2 (a border) with the line through b1-b2,
// in the integer arithmetic the shapes use (truncation toward zero).
Point LineCrossing(Point a1, Point a2, Point b1, Point b2);

// A filled arrow head at `tip` for a shaft from `from`: 10 pixels wide at its base and
// about 32.3 pixels long, whatever the shaft's length.
struct ArrowHead {
    Point tip;
    Point base;
    Point side1;
    Point side2;
};
ArrowHead ArrowHeadFor(Point from, Point tip);

inline constexpr int kArrowHeadWidth = 10;
inline constexpr float kArrowHalfAngle = 0.3f;

}  // namespace kestrow
