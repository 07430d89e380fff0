// Desktops of any monitors and DPIs: a screen position survives the trip through overlay
// coordinates, the monitor chosen for a point is the nearest one and for a rectangle
// the one it covers most, and the magnifier stays on a monitor large enough to hold it.
#include <algorithm>
#include <cstdlib>

#include "common/dpi.h"
#include "common/screen_layout.h"
#include "tests/fuzz/fuzz_input.h"
#include "worker/magnifier_layout.h"
#include "worker/toolbar/toolbar_layout.h"

using namespace kestrow;

namespace {

void Check(bool holds) {
    if (!holds) std::abort();
}

int64_t Distance2(const Rect& m, Point p) {
    const int64_t dx = p.x - std::clamp(p.x, m.left, m.right - 1),
                  dy = p.y - std::clamp(p.y, m.top, m.bottom - 1);
    return dx * dx + dy * dy;
}

int64_t Overlap(const Rect& a, const Rect& b) {
    const int64_t w = int64_t(std::min(a.right, b.right)) - std::max(a.left, b.left);
    const int64_t h = int64_t(std::min(a.bottom, b.bottom)) - std::max(a.top, b.top);
    return w > 0 && h > 0 ? w * h : 0;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    FuzzedDataProvider in(data, size);
    const Rect virtualScreen = fuzz::AnyRect(in);
    std::vector<Rect> monitors;
    std::vector<int> dpis;
    for (int n = in.ConsumeIntegralInRange(0, 4); n > 0; --n) {
        monitors.push_back(fuzz::AnyRect(in));
        dpis.push_back(in.ConsumeIntegralInRange(48, 480));
    }
    const ScreenLayout layout(virtualScreen, monitors, dpis);
    const Point p = fuzz::AnyPoint(in);
    Check(layout.ToScreen(layout.ToOverlay(p)) == p);
    const Rect r = fuzz::AnyRect(in);
    Check(layout.ToScreen(layout.ToOverlay(r)) == r);

    // Empty monitors are no monitors; with none left the virtual screen is the one.
    std::vector<Rect> real;
    std::vector<int> realDpis;
    for (size_t i = 0; i < monitors.size(); ++i) {
        if (monitors[i].IsEmpty()) continue;
        real.push_back(monitors[i]);
        realDpis.push_back(dpis[i]);
    }
    if (real.empty()) {
        Check(layout.MonitorAt(p) == layout.Bounds() && layout.DpiAt(p) == (dpis.empty() ? 96 : dpis[0]));
        return 0;
    }

    // The nearest monitor to the point, the primary (first) one on a tie.
    const Point screenPoint = layout.ToScreen(p);
    size_t nearest = 0;
    for (size_t i = 1; i < real.size(); ++i)
        if (Distance2(real[i], screenPoint) < Distance2(real[nearest], screenPoint)) nearest = i;
    const Rect at = layout.MonitorAt(p);
    Check(at == layout.ToOverlay(real[nearest]) && layout.DpiAt(p) == realDpis[nearest]);

    // The monitor the rectangle covers most; the one at its centre when it covers none.
    const Rect screenRect = layout.ToScreen(r);
    size_t most = real.size();
    for (size_t i = 0; i < real.size(); ++i)
        if (Overlap(real[i], screenRect) > (most < real.size() ? Overlap(real[most], screenRect) : 0))
            most = i;
    const Rect holding = layout.MonitorFor(r);
    if (most < real.size())
        Check(holding == layout.ToOverlay(real[most]) && layout.DpiFor(r) == realDpis[most]);
    else
        Check(holding == layout.MonitorAt({r.left + r.Width() / 2, r.top + r.Height() / 2}));

    const int dpi = layout.DpiAt(p);
    const Rect box = MagnifierBox(p, at, dpi);
    if (at.Width() >= box.Width() && at.Height() >= box.Height())
        Check(box.left >= at.left && box.top >= at.top && box.right <= at.right && box.bottom <= at.bottom);
    // A tool bar narrower than the monitor holding the selection stays on it sideways.
    const int width = in.ConsumeIntegralInRange(0, 4096);
    const Rect bar = PlaceToolbarRect(r, Scale(width, dpi), holding, dpi);
    if (bar.Width() <= holding.Width()) Check(bar.left >= holding.left && bar.right <= holding.right);
    return 0;
}
