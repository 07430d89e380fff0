// The overlay's geometry with extreme rectangles and points: selection drags, tool bar
// and colour pane placement, the magnifier box, shape clipping and arrow heads, and
// desktops of any monitors and DPIs.
#include <cstdlib>

#include "common/dpi.h"
#include "common/screen_layout.h"
#include "tests/fuzz/fuzz_input.h"
#include "worker/annotation/annotation_layout.h"
#include "worker/annotation/graph_geometry.h"
#include "worker/magnifier_layout.h"
#include "worker/selection_geometry.h"
#include "worker/toolbar/toolbar_layout.h"

using namespace kestrow;

namespace {

void Selection(FuzzedDataProvider& in) {
    const int w = in.ConsumeIntegralInRange(1, 1 << 16), h = in.ConsumeIntegralInRange(1, 1 << 16);
    SelectionGeometry s(w, h);
    for (int step = 0; step < 32 && in.remaining_bytes() > 0; ++step) {
        const Point p = fuzz::AnyPoint(in);
        switch (in.ConsumeIntegralInRange(0, 6)) {
            case 0: s.BeginNew(p.x, p.y); break;
            case 1: s.BeginDrag(p.x, p.y); break;
            case 2: s.DragTo(p.x, p.y); break;
            case 3: s.EndDrag(); break;
            case 4: s.HitTest(p.x, p.y); break;
            case 5: s.Select(fuzz::AnyRect(in)); break;
            case 6: s.Clear(); break;
        }
        s.ShowsHandles();
        for (int handle = 0; handle < SelectionGeometry::kHandleCount; ++handle)
            SelectionGeometry::HandleSquare(s.rect(), handle);
    }
    // A finished drag leaves a normalised rectangle.
    if (s.EndDrag() && (s.rect().right < s.rect().left || s.rect().bottom < s.rect().top)) std::abort();
}

void Placement(FuzzedDataProvider& in) {
    const Rect selection = fuzz::AnyRect(in), client = fuzz::AnyRect(in);
    const Rect bar = PlaceToolbarRect(selection, in.ConsumeIntegralInRange(0, 4096), client);
    PlaceColorPane(bar, selection, fuzz::Coord(in));
    KeepPaneOnScreen(fuzz::Coord(in), in.ConsumeIntegralInRange(0, 4096), fuzz::Coord(in));
    FitTextBox(fuzz::AnyRect(in), fuzz::AnyRect(in), in.ConsumeIntegralInRange(0, 1 << 16),
               in.ConsumeIntegralInRange(0, 1 << 16));
    ClampToSelection(fuzz::AnyPoint(in), selection);
    MagnifierBox(fuzz::AnyPoint(in), in.ConsumeIntegralInRange(1, 1 << 16),
                 in.ConsumeIntegralInRange(1, 1 << 16));
}

void Shapes(FuzzedDataProvider& in) {
    const Point a = fuzz::AnyPoint(in), b = fuzz::AnyPoint(in);
    ClipSegmentEnd(a, b, fuzz::AnyRect(in));
    LineCrossing(a, b, fuzz::AnyPoint(in), fuzz::AnyPoint(in));
    ArrowHeadFor(a, b);
}

// Any desktop: a screen position survives the trip through overlay coordinates, the
// monitor chosen for a point or a rectangle is one of the desktop's, and the magnifier
// stays on a monitor large enough to hold it.
void Desktop(FuzzedDataProvider& in) {
    const Rect virtualScreen = fuzz::AnyRect(in);
    std::vector<Rect> monitors;
    std::vector<int> dpis;
    for (int n = in.ConsumeIntegralInRange(0, 4); n > 0; --n) {
        monitors.push_back(fuzz::AnyRect(in));
        dpis.push_back(in.ConsumeIntegralInRange(48, 480));
    }
    const ScreenLayout layout(virtualScreen, monitors, dpis);
    const Point p = fuzz::AnyPoint(in);
    if (layout.ToScreen(layout.ToOverlay(p)) != p) std::abort();
    const Rect r = fuzz::AnyRect(in);
    if (layout.ToScreen(layout.ToOverlay(r)) != r) std::abort();

    auto known = [&](const Rect& area) {
        // Empty monitors are no monitors; with none left the virtual screen is the one.
        bool any = false;
        for (const Rect& m : monitors) {
            if (m.IsEmpty()) continue;
            any = true;
            if (layout.ToOverlay(m) == area) return true;
        }
        return !any && area == layout.Bounds();
    };
    const Rect at = layout.MonitorAt(p), holding = layout.MonitorFor(r);
    if (!known(at) || !known(holding)) std::abort();
    const int dpi = layout.DpiAt(p);
    if (dpi < 48 || dpi > 480) std::abort();

    const Rect box = MagnifierBox(p, at, dpi);
    if (at.Width() >= box.Width() && at.Height() >= box.Height() &&
        (box.left < at.left || box.top < at.top || box.right > at.right || box.bottom > at.bottom))
        std::abort();
    const Rect bar = PlaceToolbarRect(r, Scale(in.ConsumeIntegralInRange(0, 4096), dpi), holding, dpi);
    PlaceColorPane(bar, r, holding, dpi);
    KeepPaneOnScreen(fuzz::Coord(in), in.ConsumeIntegralInRange(0, 4096), holding, dpi);
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    FuzzedDataProvider in(data, size);
    switch (in.ConsumeIntegralInRange(0, 3)) {
        case 0: Selection(in); break;
        case 1: Placement(in); break;
        case 2: Shapes(in); break;
        case 3: Desktop(in); break;
    }
    return 0;
}
