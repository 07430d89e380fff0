#pragma once
// The selected rectangle of the region capture and how the mouse changes it:
// eight resize handles, a move handle (the inside), hit testing, dragging with
// clamping, and normalising on release. No platform calls.
#include "common/geometry.h"

namespace kestrow {

class SelectionGeometry {
public:
    static constexpr int kNoHandle = -1;
    static constexpr int kMoveHandle = 8;
    static constexpr int kHandleCount = 8;
    static constexpr int kHitMargin = 3;       // half a handle square, and the grab margin
    static constexpr int kMinHandleSize = 10;  // smaller selections draw no handles

    SelectionGeometry(int screenWidth, int screenHeight)
        : screenWidth_(screenWidth), screenHeight_(screenHeight) {}

    bool active() const { return active_; }
    bool drawingNew() const { return drawingNew_; }
    int handle() const { return handle_; }
    const Rect& rect() const { return rect_; }
    int screenWidth() const { return screenWidth_; }
    int screenHeight() const { return screenHeight_; }

    // Corner points 0-3 (clockwise from top-left), edge middles 4-7 (top, right, bottom, left).
    static Point HandlePoint(const Rect& r, int handle);
    // The 6 x 6 square centred on a handle point (scaled with the monitor's DPI).
    static Rect HandleSquare(const Rect& r, int handle, int dpi = 96);
    // The rectangle with left <= right and top <= bottom.
    static Rect Normalized(const Rect& r);

    // Handle index 0-7, kMoveHandle inside, kNoHandle outside the 3-pixel margin
    // (scaled, as the handles, with the DPI of the selection's monitor).
    int HitTest(int x, int y) const;
    void SetDpi(int dpi) { dpi_ = dpi; }
    int dpi() const { return dpi_; }
    // Handles are drawn only for a finished selection of at least 10 x 10.
    bool ShowsHandles() const;

    void BeginNew(int x, int y);
    // False, and nothing changes, when the point misses the selection.
    bool BeginDrag(int x, int y);
    // Returns false when no drag is in progress (the caller only updates the cursor).
    bool DragTo(int x, int y);
    // Normalises; a rectangle without area is dropped. Returns whether a selection remains.
    bool EndDrag();
    void Select(const Rect& r);
    void Clear();

private:
    int screenWidth_;
    int screenHeight_;
    Rect rect_;
    bool active_ = false;
    bool drawingNew_ = false;
    Point last_;
    int handle_ = kNoHandle;
    int dpi_ = 96;
};

}  // namespace kestrow
