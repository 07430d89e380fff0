// The overlay's geometry with extreme rectangles and points: selection drags, tool bar
// and colour pane placement, the magnifier box, shape clipping and arrow heads.
#include <cstdlib>

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

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    FuzzedDataProvider in(data, size);
    switch (in.ConsumeIntegralInRange(0, 2)) {
        case 0: Selection(in); break;
        case 1: Placement(in); break;
        case 2: Shapes(in); break;
    }
    return 0;
}
