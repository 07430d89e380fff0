#pragma once
// CSelectionTracker: the selection of the region capture on screen. The geometry and
// the drag rules live in SelectionGeometry; this class draws them and sets cursors.
#include <windows.h>

#include "common/win/gdi.h"
#include "worker/selection_geometry.h"

namespace kestrow {

class CSelectionTracker {
public:
    static constexpr COLORREF kColor = 0xFFAE00;  // red 0, green 174, blue 255
    static constexpr int kStyle = 1 | 8 | 16;     // solid border and resize handles

    CSelectionTracker(int screenWidth, int screenHeight, HCURSOR defaultCursor);

    // The snapshot the inside is copied from, and the window whose cursor and
    // paint the selection drives.
    void Attach(HDC snapshot, HWND owner) {
        snapshot_ = snapshot;
        owner_ = owner;
    }

    HDC snapshot() const { return snapshot_; }
    SelectionGeometry& geometry() { return geometry_; }
    const SelectionGeometry& geometry() const { return geometry_; }
    bool HasSelection() const { return geometry_.active(); }
    bool IsDrawingNew() const { return geometry_.drawingNew(); }
    Rect GetRect() const { return geometry_.rect(); }

    // Sets the owner's class cursor from a hit test of the live pointer.
    void UpdateCursor();
    // The undimmed inside, the border and the handles.
    void Draw(HDC dc) const;
    // The DPI of the monitor showing the selection: the handles' size and reach.
    void SetDpi(int dpi) {
        dpi_ = dpi;
        geometry_.SetDpi(dpi);
    }
    int dpi() const { return dpi_; }
    // The one-pixel outline the zoom shows (drawn on the picture itself).
    void DrawOutline(HDC dc) const;

    static HCURSOR HandleCursor(int handle);

private:
    SelectionGeometry geometry_;
    HDC snapshot_ = nullptr;
    int dpi_ = 96;
    HWND owner_ = nullptr;
    HCURSOR defaultCursor_;
};

}  // namespace kestrow
