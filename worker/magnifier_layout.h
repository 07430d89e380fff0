#pragma once
// Geometry and texts of the zoom box and readout that follow the mouse.
#include <string>

#include "common/geometry.h"

namespace kestrow {

inline constexpr int kMagnifierWidth = 200;
inline constexpr int kMagnifierHeight = 220;
inline constexpr int kZoomSource = 50;  // shown four times enlarged
inline constexpr int kZoomSize = 200;

// Top-left corner of the monitor `area` that holds the mouse, its bottom-right corner
// while the mouse is inside that box; 200 x 220 at 96 DPI, scaled with the monitor's DPI.
Rect MagnifierBox(Point mouse, const Rect& area, int dpi = 96);
Rect MagnifierBox(Point mouse, int screenWidth, int screenHeight);
// The 20-pixel strip under the zoom area (scaled like the box).
Rect MagnifierTextStrip(const Rect& box, int dpi = 96);

// The 50 x 50 source square centred on the mouse, and which part of it lies on a
// surface of the given size: `from` in surface coordinates, `to` inside the square.
struct ZoomCopy {
    Rect source;  // may reach outside the surface
    Rect from;    // clipped to the surface; empty when nothing is on it
    Point to;
};
ZoomCopy ZoomSourceCopy(Point mouse, int surfaceWidth, int surfaceHeight);

// Red lines through the mouse across the screen: before a selection stands.
inline bool ShowsScreenCrosshair(bool drawingNew, const Rect& selection) {
    return drawingNew || selection.IsEmpty();
}
// The cross over the zoom's hot spot is left out while a new rectangle is dragged.
inline bool ShowsZoomCross(bool drawingNew) { return !drawingNew; }

// Width and height of the readout: the tracked window's before any selection.
Size ReadoutSize(bool trackWindow, const Rect& selection, const Rect& trackedWindow);

std::wstring PositionText(int x, int y);
std::wstring SizeText(int width, int height);

}  // namespace kestrow
