#pragma once
// Where the colour picker's magnifier box goes and the texts it shows.
#include <string>

#include "common/geometry.h"

namespace kestrow {

inline constexpr int kPickerBoxWidth = 200;
inline constexpr int kPickerBoxHeight = 270;  // 200 of zoom, 70 of panel
inline constexpr int kPickerZoomSource = 50;  // source pixels a side, shown 4 times larger

// Top-left of the box: the top-left corner, or the bottom-right one while the cursor
// is inside the top-left box's zone.
Point PickerBoxOrigin(Point cursor, int screenWidth, int screenHeight);
// The same on the monitor `area` holding the cursor, the box scaled with its DPI.
Point PickerBoxOrigin(Point cursor, const Rect& area, int dpi = 96);

// "RGB: r, g, b", the panel's first line.
std::wstring ColorPanelText(int red, int green, int blue);

// The clipboard text: the panel line, CR LF, "Hex: #RRGGBB" in upper case, no final break.
std::wstring ColorClipboardText(int red, int green, int blue);

}  // namespace kestrow
