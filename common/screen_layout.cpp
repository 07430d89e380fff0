#include "common/screen_layout.h"

#include <algorithm>
#include <cstdint>

namespace kestrow {
namespace {

Rect Intersection(const Rect& a, const Rect& b) {
    return {std::max(a.left, b.left), std::max(a.top, b.top), std::min(a.right, b.right),
            std::min(a.bottom, b.bottom)};
}

int64_t Area(const Rect& r) { return r.IsEmpty() ? 0 : int64_t(r.Width()) * r.Height(); }

// Squared distance from the point to the nearest pixel of the rectangle.
int64_t Distance2(const Rect& r, Point p) {
    const int64_t dx = p.x < r.left ? r.left - p.x : p.x >= r.right ? p.x - (r.right - 1) : 0;
    const int64_t dy = p.y < r.top ? r.top - p.y : p.y >= r.bottom ? p.y - (r.bottom - 1) : 0;
    return dx * dx + dy * dy;
}

}  // namespace

ScreenLayout::ScreenLayout(const Rect& virtualScreen, std::vector<Rect> monitors, std::vector<int> dpis)
    : virtual_(virtualScreen) {
    for (size_t i = 0; i < monitors.size(); ++i) {
        if (monitors[i].IsEmpty()) continue;
        monitors_.push_back(monitors[i]);
        dpis_.push_back(i < dpis.size() && dpis[i] > 0 ? dpis[i] : 96);
    }
    if (monitors_.empty()) {
        monitors_.push_back(virtual_);
        dpis_.push_back(!dpis.empty() && dpis[0] > 0 ? dpis[0] : 96);
    }
}

ScreenLayout ScreenLayout::Single(int width, int height) { return ScreenLayout({0, 0, width, height}, {}); }

Rect ScreenLayout::ToOverlay(const Rect& r) const {
    return {r.left - virtual_.left, r.top - virtual_.top, r.right - virtual_.left, r.bottom - virtual_.top};
}

Rect ScreenLayout::ToScreen(const Rect& r) const {
    return {r.left + virtual_.left, r.top + virtual_.top, r.right + virtual_.left, r.bottom + virtual_.top};
}

size_t ScreenLayout::IndexAt(Point p) const {
    const Point s = ToScreen(p);
    size_t best = 0;
    int64_t bestDistance = Distance2(monitors_[0], s);
    for (size_t i = 1; i < monitors_.size(); ++i) {
        const int64_t d = Distance2(monitors_[i], s);
        if (d < bestDistance) {
            best = i;
            bestDistance = d;
        }
    }
    return best;
}

size_t ScreenLayout::IndexFor(const Rect& r) const {
    const Rect s = ToScreen(r);
    size_t best = monitors_.size();
    int64_t bestArea = 0;
    for (size_t i = 0; i < monitors_.size(); ++i) {
        const int64_t a = Area(Intersection(monitors_[i], s));
        if (a > bestArea) {
            best = i;
            bestArea = a;
        }
    }
    return best < monitors_.size() ? best : IndexAt({r.left + r.Width() / 2, r.top + r.Height() / 2});
}

Rect ScreenLayout::MonitorAt(Point p) const { return ToOverlay(monitors_[IndexAt(p)]); }
Rect ScreenLayout::MonitorFor(const Rect& r) const { return ToOverlay(monitors_[IndexFor(r)]); }

}  // namespace kestrow
