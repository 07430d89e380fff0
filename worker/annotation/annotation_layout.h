#pragma once
// The arithmetic of annotating a selection: clamping points, fitting the text box to
// its text, and where the colour pane goes with which layout.
#include <array>
#include <cstdint>
#include <optional>

#include "common/geometry.h"
#include "worker/toolbar/toolbar_layout.h"  // kToolbarHeight
#include "worker/worker_ids.h"

namespace kestrow {

// Clamped into the selection with its edges included (x to [left, right], y to [top, bottom]).
Point ClampToSelection(Point p, const Rect& selection);

// The text box grown for text measuring `textWidth` x `textHeight` (widest line, all
// lines): right by the text plus 30, then down by whole estimated lines, never past
// the limit's right or bottom edge.
Rect FitTextBox(const Rect& placement, const Rect& limit, int textWidth, int textHeight);

// Pane modes. The mosaic's widths are its block sizes, the step numbers' their
// circle's diameter; both lay the pane out as the shapes do.
enum PaneMode { kPaneShapes = 1, kPaneText = 2, kPaneHighlighter = 3, kPaneMosaic = 4, kPaneStep = 5 };

struct PanePlacement {
    Point pane;                     // top-left of the colour pane
    std::optional<int> toolbarTop;  // new top of the tool bar when it must move
};

// Where the pane goes next to the tool bar `toolbar` of selection `selection` on the
// monitor `area` that holds them; the tool bar moves above the selection when there is
// no room below it. Gaps and heights grow with the monitor's DPI.
PanePlacement PlaceColorPane(const Rect& toolbar, const Rect& selection, const Rect& area, int dpi = 96);
// The same on one monitor at (0,0) `screenHeight` high.
PanePlacement PlaceColorPane(const Rect& toolbar, const Rect& selection, int screenHeight);

// The pane's left edge after keeping its right edge 5 pixels inside the monitor `area`.
int KeepPaneOnScreen(int left, int width, const Rect& area, int dpi = 96);
int KeepPaneOnScreen(int left, int width, int screenWidth);

struct PaneLayout {
    Size pane;
    bool widthStrip;  // enabled (modes 1 and 3) or disabled and unpainted (mode 2)
    bool fontLists;   // the face and size lists shown (mode 2)
    Rect upperStrip;
    Rect lowerStrip;
    Rect colorBox;
    Rect widths;    // the width strip
    Rect faceList;  // the lists with their drop-down height
    Rect sizeList;
    int swatchInset;  // between the colour box's outline and its colour
};
// The pane's layout in a mode on a monitor of `dpi` (96: the sizes as drawn everywhere).
PaneLayout PaneLayoutFor(int mode, int dpi = 96);

// The pen width a width button gives in a mode; 0 for other ids.
int PenWidthFor(int buttonId, int mode);
// The width button checked when the pane switches to a mode with widths; new shapes
// get its width in that mode.
inline constexpr int kDefaultWidthButton = ID_WIDTH_MEDIUM;

// The sixteen swatches, ID_FIRST_SWATCH onwards, as COLORREF values (0x00BBGGRR).
inline constexpr std::array<uint32_t, kSwatchCount> kSwatchColors = {
    0x00000000, 0x00808080, 0x00000080, 0x00008080, 0x00008000, 0x00800000, 0x00800080, 0x00808000,
    0x00FFFFFF, 0x00C0C0C0, 0x000000FF, 0x0000FF00, 0x0000FFFF, 0x00FF0000, 0x00FF00FF, 0x00FFFF00,
};

}  // namespace kestrow
