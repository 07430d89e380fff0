// The overlay's geometry with extreme rectangles and points: selection drags, tool bar
// and colour pane placement, the magnifier box, the text box, shape clipping and arrow
// heads, each checked against what the rule promises.
#include <algorithm>
#include <cmath>
#include <cstdlib>

#include "common/dpi.h"
#include "tests/fuzz/fuzz_input.h"
#include "worker/annotation/annotation_layout.h"
#include "worker/annotation/graph_geometry.h"
#include "worker/magnifier_layout.h"
#include "worker/selection_geometry.h"
#include "worker/toolbar/toolbar_layout.h"

using namespace kestrow;

namespace {

void Check(bool holds) {
    if (!holds) std::abort();
}

int Dpi(FuzzedDataProvider& in) { return in.ConsumeIntegralInRange(48, 480); }

// Often near one of the selection's handles, where the hit test decides something.
Point PointNear(FuzzedDataProvider& in, const Rect& r) {
    if (in.ConsumeBool()) return fuzz::AnyPoint(in);
    const Point h = SelectionGeometry::HandlePoint(r, in.ConsumeIntegralInRange(0, 7));
    return {h.x + in.ConsumeIntegralInRange(-12, 12), h.y + in.ConsumeIntegralInRange(-12, 12)};
}

int OppositeHandle(int h) { return h < 4 ? (h + 2) % 4 : 4 + (h - 2) % 4; }

void Selection(FuzzedDataProvider& in) {
    const int w = in.ConsumeIntegralInRange(1, 1 << 16), h = in.ConsumeIntegralInRange(1, 1 << 16);
    SelectionGeometry s(w, h);
    s.SetDpi(Dpi(in));
    Point last;  // where the pointer was at the last step of a drag
    for (int step = 0; step < 32 && in.remaining_bytes() > 0; ++step) {
        const SelectionGeometry before = s;
        const Rect r = before.rect();
        const Point p = PointNear(in, r);
        switch (in.ConsumeIntegralInRange(0, 6)) {
            case 0:
                s.BeginNew(p.x, p.y);
                Check(s.rect() == Rect{p.x, p.y, p.x, p.y} && s.active() && s.drawingNew() &&
                      s.handle() == 2);
                last = p;
                break;
            case 1: {
                const int hit = before.HitTest(p.x, p.y);
                Check(s.BeginDrag(p.x, p.y) == (hit >= 0) && s.rect() == r);
                Check(s.handle() == (hit >= 0 ? hit : before.handle()));
                if (hit >= 0) last = p;
                break;
            }
            case 2: {
                const bool moved = s.DragTo(p.x, p.y);
                const int handle = before.handle();
                Check(moved == (handle != SelectionGeometry::kNoHandle));
                if (!moved) {
                    Check(s.rect() == r);
                } else if (handle == SelectionGeometry::kMoveHandle) {
                    // The size stays; the selection follows the pointer and stays on the
                    // screen when it fits there.
                    const Rect n = s.rect();
                    Check(n.Width() == r.Width() && n.Height() == r.Height());
                    const int left = r.left + (p.x - last.x), top = r.top + (p.y - last.y);
                    if (left >= 0 && left + r.Width() <= w) Check(n.left == left);
                    if (top >= 0 && top + r.Height() <= h) Check(n.top == top);
                    if (r.Width() >= 0 && r.Width() <= w) Check(n.left >= 0 && n.right <= w);
                    if (r.Height() >= 0 && r.Height() <= h) Check(n.top >= 0 && n.bottom <= h);
                } else {
                    // The grabbed handle goes where the pointer is; the opposite one stays.
                    const Point grabbed = SelectionGeometry::HandlePoint(s.rect(), handle);
                    if (handle != 4 && handle != 6) Check(grabbed.x == p.x);
                    if (handle != 5 && handle != 7) Check(grabbed.y == p.y);
                    const int opposite = OppositeHandle(handle);
                    Check(SelectionGeometry::HandlePoint(s.rect(), opposite) ==
                          SelectionGeometry::HandlePoint(r, opposite));
                }
                last = p;
                break;
            }
            case 3: {
                const bool kept = s.EndDrag();
                const Rect n{std::min(r.left, r.right), std::min(r.top, r.bottom), std::max(r.left, r.right),
                             std::max(r.top, r.bottom)};
                const bool area = n.Width() > 0 && n.Height() > 0;
                Check(kept == (before.active() && area) && s.rect() == (area ? n : Rect{}));
                Check(!s.drawingNew() && s.handle() == SelectionGeometry::kNoHandle);
                break;
            }
            case 4: {
                // On a finished selection: a handle square, else the inside or the grab
                // margin around it moves, else nothing.
                s.Select(SelectionGeometry::Normalized(r));
                const int margin = Scale(SelectionGeometry::kHitMargin, s.dpi());
                const Rect n = s.rect();
                const int hit = s.HitTest(p.x, p.y);
                const bool nearby = n.left - margin <= p.x && p.x < n.right + margin &&
                                    n.top - margin <= p.y && p.y < n.bottom + margin;
                Check((hit == SelectionGeometry::kNoHandle) == !nearby);
                for (int k = 0; k < SelectionGeometry::kHandleCount; ++k) {
                    const Point c = SelectionGeometry::HandlePoint(n, k);
                    const bool on = c.x - margin <= p.x && p.x < c.x + margin && c.y - margin <= p.y &&
                                    p.y < c.y + margin;
                    if (on) Check(hit <= k && hit >= 0);
                    if (hit == k) Check(on);
                }
                break;
            }
            case 5: s.Select(fuzz::AnyRect(in)); break;
            case 6:
                s.Clear();
                Check(!s.active() && s.rect() == Rect{} && s.handle() == SelectionGeometry::kNoHandle);
                break;
        }
        Check(s.ShowsHandles() == (!s.drawingNew() && std::abs(int64_t(s.rect().Width())) >= 10 &&
                                   std::abs(int64_t(s.rect().Height())) >= 10));
    }
}

void Placement(FuzzedDataProvider& in) {
    const Rect selection = SelectionGeometry::Normalized(fuzz::AnyRect(in));
    const Rect area = SelectionGeometry::Normalized(fuzz::AnyRect(in));
    const int dpi = Dpi(in), width = in.ConsumeIntegralInRange(0, 4096);

    // The tool bar: its own size; below the selection when it fits, above it when there
    // is room, else inside its top edge; right-aligned with it and on the monitor.
    const Rect bar = PlaceToolbarRect(selection, width, area, dpi);
    const int height = Scale(kToolbarHeight, dpi), gap = Scale(5, dpi), above = Scale(31, dpi);
    Check(bar.Width() == width && bar.Height() == height);
    if (selection.bottom + gap + height <= area.bottom)
        Check(bar.top == selection.bottom + gap);
    else
        Check(bar.top == (selection.top - area.top > above ? selection.top - above : selection.top + gap));
    if (width <= area.Width())
        Check(area.left <= bar.left &&
              bar.right == std::max(std::min(selection.right, area.right), area.left + width));
    else
        Check(bar.left == area.left);

    // The colour pane: under the tool bar's left edge, and never over the tool bar.
    const PanePlacement pane = PlaceColorPane(bar, selection, area, dpi);
    const int barTop = pane.toolbarTop.value_or(bar.top);
    Check(pane.pane.x == bar.left);
    Check(pane.pane.y + Scale(39, dpi) <= barTop || pane.pane.y >= barTop + height);

    const int paneLeft = fuzz::Coord(in), paneWidth = in.ConsumeIntegralInRange(0, 4096);
    const int kept = KeepPaneOnScreen(paneLeft, paneWidth, area, dpi);
    Check(kept == (paneLeft + paneWidth <= area.right ? paneLeft : area.right - Scale(5, dpi) - paneWidth));

    // The text box keeps its corner, stays within the limit and holds text that fits.
    const Rect placement = fuzz::AnyRect(in), limit = fuzz::AnyRect(in);
    const int textWidth = in.ConsumeIntegralInRange(0, 1 << 16),
              textHeight = in.ConsumeIntegralInRange(0, 1 << 16);
    const Rect box = FitTextBox(placement, limit, textWidth, textHeight);
    Check(box.left == placement.left && box.top == placement.top);
    Check(box.right == std::min(placement.left + textWidth + 30, limit.right) && box.bottom <= limit.bottom);
    if (placement.top + textHeight + 30 <= limit.bottom && box.right == placement.left + textWidth + 30)
        Check(box.bottom == placement.top + textHeight + 30);

    const Point p = fuzz::AnyPoint(in);
    const Point clamped = ClampToSelection(p, selection);
    Check(clamped.x == std::min(std::max(p.x, selection.left), selection.right) &&
          clamped.y == std::min(std::max(p.y, selection.top), selection.bottom));

    // The magnifier in the top-left corner, unless the mouse is there.
    const int sw = in.ConsumeIntegralInRange(1, 1 << 16), sh = in.ConsumeIntegralInRange(1, 1 << 16);
    const Rect corner{0, 0, kMagnifierWidth, kMagnifierHeight};
    const Rect magnifier = MagnifierBox(p, sw, sh);
    Check(magnifier ==
          (corner.Contains(p) ? Rect{sw - kMagnifierWidth, sh - kMagnifierHeight, sw, sh} : corner));
}

// Within a 4096-pixel desktop: the crossing's determinant is single precision, exact
// only while its products stay within 2^24. Past that a crossing can round onto the
// grown border's far side and the drag end goes to the other border's crossing, off
// the selection.
Point ScreenPoint(FuzzedDataProvider& in) {
    return {in.ConsumeIntegralInRange(-2048, 2048), in.ConsumeIntegralInRange(-2048, 2048)};
}

void Shapes(FuzzedDataProvider& in) {
    const Point a = ScreenPoint(in), b = ScreenPoint(in);
    const Rect clip = SelectionGeometry::Normalized({a.x, a.y, b.x, b.y});
    const Point start = in.ConsumeBool()
                            ? ScreenPoint(in)
                            : Point{in.ConsumeIntegralInRange(clip.left, std::max(clip.left, clip.right - 1)),
                                    in.ConsumeIntegralInRange(clip.top, std::max(clip.top, clip.bottom - 1))};
    const Point end = ScreenPoint(in);
    // A drag out of the selection stops at its border (a pixel either way for the
    // truncation); any other drag is left alone, as is an end on a border's line,
    // which the strict comparisons of the rule leave out.
    const Point stop = ClipSegmentEnd(start, end, clip);
    const bool onLine =
        end.x == clip.left || end.x == clip.right || end.y == clip.top || end.y == clip.bottom;
    if (!clip.Contains(start) || clip.Contains(end) || onLine)
        Check(stop == end);
    else
        Check(clip.left - 1 <= stop.x && stop.x <= clip.right + 1 && clip.top - 1 <= stop.y &&
              stop.y <= clip.bottom + 1);

    // The arrow head: its tip on the shaft's end, its base about 32.3 pixels back along
    // the shaft, its sides 5 pixels either side of the base.
    if (a == b) return;
    const ArrowHead head = ArrowHeadFor(a, b);
    const double dx = b.x - a.x, dy = b.y - a.y, length = std::hypot(dx, dy);
    const double back = kArrowHeadWidth / std::tan(double(kArrowHalfAngle));
    Check(head.tip == b);
    Check(std::abs(head.base.x - (b.x - back * dx / length)) < 2 &&
          std::abs(head.base.y - (b.y - back * dy / length)) < 2);
    for (const Point side : {head.side1, head.side2}) {
        const double off = std::hypot(side.x - head.base.x, side.y - head.base.y);
        Check(std::abs(off - kArrowHeadWidth / 2.0) < 2);
    }
    Check(std::abs(head.side1.x + head.side2.x - 2 * head.base.x) <= 2 &&
          std::abs(head.side1.y + head.side2.y - 2 * head.base.y) <= 2);
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
