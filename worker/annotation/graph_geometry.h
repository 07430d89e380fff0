#pragma once
// The arithmetic of annotation shapes, apart from painting: keeping a dragged end
// inside the selection, the points of an arrow head, a mosaic's blocks and a step
// number's circle.
#include <cstdint>
#include <vector>

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

// The rectangle two drag points span, in any order (right and bottom exclusive).
Rect SpannedRect(Point a, Point b);

// A mosaic's blocks: `block` x `block` pixels laid from the area's top-left corner; the
// last column and row are cut short by the area's right and bottom edges.
struct MosaicGrid {
    Rect area;
    int block = 1;
    int cols = 0;
    int rows = 0;
};
MosaicGrid MosaicGridFor(const Rect& area, int block);

// The average colour of each block, row by row, each channel rounded to the nearest
// value. `pixels` holds the grid's area as 0x00RRGGBB, top row first, `stride` pixels
// from one row to the next; the top byte is ignored and comes out 0.
std::vector<uint32_t> BlockAverages(const MosaicGrid& grid, const uint32_t* pixels, int stride);

// A step number is drawn in a font half as high as the circle's base diameter.
int StepFontHeight(int baseDiameter);
// The circle holding a number `textWidth` pixels wide: the base diameter while the
// number fits in it with room at both sides, wider once it does not.
int StepDiameter(int baseDiameter, int textWidth);
// The circle's box centred on `centre`, moved inside `clip` on each axis where it fits.
Rect StepCircle(Point centre, int diameter, const Rect& clip);
// Whether a number on this colour (COLORREF, 0x00BBGGRR) reads better in black than white.
bool IsLightColor(uint32_t color);

}  // namespace kestrow
