#pragma once
// The desktop as the capture windows see it: the virtual screen and its monitors in
// screen coordinates, and the overlay that covers the virtual screen from its top-left
// corner. Everything the overlay draws and decides is in overlay coordinates (0,0 at
// the virtual screen's corner); screen coordinates come in from the cursor and from
// other windows and go out to pop-up windows, and are translated here and nowhere else.
#include <cstddef>
#include <vector>

#include "common/geometry.h"

namespace kestrow {

class ScreenLayout {
public:
    ScreenLayout() = default;
    // `monitors` in screen coordinates, the primary one first; none means the virtual
    // screen is one monitor. `dpis` gives each monitor's DPI (96 where missing).
    ScreenLayout(const Rect& virtualScreen, std::vector<Rect> monitors, std::vector<int> dpis = {});
    // One monitor of the given size at (0,0): screen and overlay coordinates agree.
    static ScreenLayout Single(int width, int height);

    int width() const { return virtual_.Width(); }
    int height() const { return virtual_.Height(); }
    Point origin() const { return {virtual_.left, virtual_.top}; }
    // The whole overlay, in overlay coordinates.
    Rect Bounds() const { return {0, 0, width(), height()}; }
    const std::vector<Rect>& monitors() const { return monitors_; }  // screen coordinates

    Point ToOverlay(Point screen) const { return {screen.x - virtual_.left, screen.y - virtual_.top}; }
    Point ToScreen(Point overlay) const { return {overlay.x + virtual_.left, overlay.y + virtual_.top}; }
    Rect ToOverlay(const Rect& screen) const;
    Rect ToScreen(const Rect& overlay) const;

    // In overlay coordinates: the monitor holding the point, or the nearest one when the
    // point lies in a gap between monitors (or off the desktop).
    Rect MonitorAt(Point overlay) const;
    // The monitor holding most of the rectangle; the one at its centre when it touches none.
    Rect MonitorFor(const Rect& overlay) const;
    // The DPI of those monitors.
    int DpiAt(Point overlay) const { return dpis_[IndexAt(overlay)]; }
    int DpiFor(const Rect& overlay) const { return dpis_[IndexFor(overlay)]; }

private:
    std::size_t IndexAt(Point overlay) const;
    std::size_t IndexFor(const Rect& overlay) const;

    Rect virtual_;
    std::vector<Rect> monitors_;
    std::vector<int> dpis_;
};

}  // namespace kestrow
