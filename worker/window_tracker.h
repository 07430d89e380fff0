#pragma once
// CWindowTracker: the deepest visible window under the mouse, below the overlay,
// framed before anything is selected; a click takes its rectangle.
#include <windows.h>

#include "common/geometry.h"
#include "common/screen_layout.h"
#include "common/win/gdi.h"

namespace kestrow {

class CWindowTracker {
public:
    static constexpr COLORREF kFrameColor = 0xEC7A00;  // red 0, green 122, blue 236

    CWindowTracker(int screenWidth, int screenHeight, HCURSOR cursor);

    // Wired by StartCapture only when tracking is on.
    void Attach(HWND overlay, HDC source) {
        overlay_ = overlay;
        source_ = source;
    }

    // The monitors; without it the screen is one monitor at (0,0).
    void SetLayout(const ScreenLayout& layout) { layout_ = layout; }

    // The mouse at (x, y) in overlay coordinates.
    void Update(int x, int y);
    Rect GetRect() const { return windowRect_; }
    Rect FrameRect() const { return frameRect_; }
    HWND tracked() const { return tracked_; }
    void Draw(HDC dc) const;

    // The deepest visible window containing `p` among the windows below `start`.
    static HWND FindWindowAt(HWND start, POINT p);

private:
    HWND tracked_ = nullptr;
    HWND overlay_ = nullptr;
    int x_ = 0, y_ = 0;
    Rect windowRect_;
    Rect frameRect_;
    HDC source_ = nullptr;
    ScreenLayout layout_;
    HCURSOR cursor_;
    win::Pen pen_;
};

}  // namespace kestrow
