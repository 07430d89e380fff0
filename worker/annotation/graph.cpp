#include "worker/annotation/graph.h"

#include <cstdlib>

#include "worker/annotation/graph_geometry.h"

namespace kestrow {
namespace {

Point ToPoint(POINT p) { return {int(p.x), int(p.y)}; }
POINT ToPOINT(Point p) { return {p.x, p.y}; }

// A hollow frame from `a` to `b` in any order: a rectangle or the ellipse inside it.
void DrawFrame(HDC dc, POINT a, POINT b, int width, COLORREF color,
               BOOL(WINAPI* shape)(HDC, int, int, int, int)) {
    ::SetBkMode(dc, TRANSPARENT);
    win::Pen pen(::CreatePen(PS_SOLID, width, color));
    win::ScopedSelect selectPen(dc, pen.Get());
    win::ScopedSelect selectBrush(dc, ::GetStockObject(NULL_BRUSH));
    shape(dc, a.x, a.y, b.x, b.y);
}

bool SpansBothAxes(POINT a, POINT b) { return std::abs(a.x - b.x) > 0 && std::abs(a.y - b.y) > 0; }

}  // namespace

void Graph::AddPoint(int x, int y) {
    if (firstPointPending_) {
        start_ = end_ = {x, y};
        firstPointPending_ = false;
        return;
    }
    const Rect clip{int(clip_.left), int(clip_.top), int(clip_.right), int(clip_.bottom)};
    end_ = ToPOINT(ClipSegmentEnd(ToPoint(start_), {x, y}, clip));
}

bool GraphRectagle::IsValid() const { return SpansBothAxes(start_, end_); }

void GraphRectagle::Draw(HDC dc, int) const { DrawFrame(dc, start_, end_, penWidth_, color_, ::Rectangle); }

bool GraphEllipse::IsValid() const { return SpansBothAxes(start_, end_); }

void GraphEllipse::Draw(HDC dc, int) const { DrawFrame(dc, start_, end_, penWidth_, color_, ::Ellipse); }

bool GraphLine::IsValid() const { return std::abs(start_.x - end_.x) > 0 || std::abs(start_.y - end_.y) > 0; }

void GraphLine::Draw(HDC dc, int) const {
    if (start_.x == end_.x && start_.y == end_.y) return;
    win::Pen pen(::CreatePen(PS_SOLID, penWidth_, color_));
    win::Brush brush(::CreateSolidBrush(color_));
    win::ScopedSelect selectPen(dc, pen.Get());
    win::ScopedSelect selectBrush(dc, brush.Get());
    const ArrowHead head = ArrowHeadFor(ToPoint(start_), ToPoint(end_));
    // The shaft runs to the tip, under the head.
    ::MoveToEx(dc, start_.x, start_.y, nullptr);
    ::LineTo(dc, end_.x, end_.y);
    const POINT triangle[3] = {ToPOINT(head.tip), ToPOINT(head.side1), ToPOINT(head.side2)};
    ::Polygon(dc, triangle, 3);
}

void GraphFluoreScence::Draw(HDC dc, int) const {
    if (points_.size() < 2) return;
    win::Pen pen(::CreatePen(PS_SOLID, penWidth_, color_));
    win::ScopedSelect selectPen(dc, pen.Get());
    for (size_t i = 0; i + 1 < points_.size(); ++i) {
        ::MoveToEx(dc, points_[i].x, points_[i].y, nullptr);
        ::LineTo(dc, points_[i + 1].x, points_[i + 1].y);
    }
}

void GraphText::AddPoint(int x, int y) {
    if (firstPointPending_) {
        start_ = {x, y};
        firstPointPending_ = false;
    } else {
        end_ = {x, y};
    }
}

void GraphText::Draw(HDC dc, int) const {
    if (text_.empty()) return;
    ::SetBkMode(dc, TRANSPARENT);
    ::SetTextColor(dc, color_);
    win::ScopedSelect selectFont(dc, font_.Get());
    RECT layout{start_.x + 1, start_.y + 1, end_.x - 1, end_.y - 1};
    ::DrawTextW(dc, text_.c_str(), int(text_.size()), &layout, DT_EDITCONTROL | DT_WORDBREAK);
}

}  // namespace kestrow
