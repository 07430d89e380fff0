#include "worker/annotation/graph.h"

#include <algorithm>
#include <climits>
#include <cstdlib>
#include <initializer_list>

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

Rect ToRect(const RECT& r) { return {int(r.left), int(r.top), int(r.right), int(r.bottom)}; }

Rect Intersection(const Rect& a, const Rect& b) {
    return {std::max(a.left, b.left), std::max(a.top, b.top), std::min(a.right, b.right),
            std::min(a.bottom, b.bottom)};
}

Rect Inflate(const Rect& r, int d) { return {r.left - d, r.top - d, r.right + d, r.bottom + d}; }

// The points' box with room for a pen of `width` centred on them (and the pixel
// right of and below the last point).
Rect AroundPoints(std::initializer_list<POINT> points, int width) {
    Rect box{points.begin()->x, points.begin()->y, points.begin()->x, points.begin()->y};
    for (POINT p : points)
        box = {std::min<int>(box.left, p.x), std::min<int>(box.top, p.y), std::max<int>(box.right, p.x),
               std::max<int>(box.bottom, p.y)};
    return Inflate(box, std::max(width, 1) + 1);
}

}  // namespace

Rect Graph::Bounds(HDC) const { return {INT_MIN / 2, INT_MIN / 2, INT_MAX / 2, INT_MAX / 2}; }

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

Rect GraphRectagle::Bounds(HDC) const { return AroundPoints({start_, end_}, penWidth_); }

bool GraphEllipse::IsValid() const { return SpansBothAxes(start_, end_); }

void GraphEllipse::Draw(HDC dc, int) const { DrawFrame(dc, start_, end_, penWidth_, color_, ::Ellipse); }

Rect GraphEllipse::Bounds(HDC) const { return AroundPoints({start_, end_}, penWidth_); }

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

Rect GraphLine::Bounds(HDC) const {
    if (start_.x == end_.x && start_.y == end_.y) return {};
    const ArrowHead head = ArrowHeadFor(ToPoint(start_), ToPoint(end_));
    return AroundPoints({start_, end_, ToPOINT(head.side1), ToPOINT(head.side2)}, penWidth_);
}

Rect GraphFluoreScence::Bounds(HDC) const {
    if (points_.size() < 2) return {};
    Rect box = AroundPoints({points_.front()}, penWidth_);
    for (POINT p : points_) {
        const Rect around = AroundPoints({p}, penWidth_);
        box = {std::min(box.left, around.left), std::min(box.top, around.top),
               std::max(box.right, around.right), std::max(box.bottom, around.bottom)};
    }
    return box;
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

// The text is clipped to its layout rectangle, inside this one.
Rect GraphText::Bounds(HDC) const {
    return text_.empty() ? Rect{} : Rect{int(start_.x), int(start_.y), int(end_.x), int(end_.y)};
}

MosaicGrid GraphMosaic::Grid() const {
    if (finished()) return grid_;
    Rect area = SpannedRect(ToPoint(start_), ToPoint(end_));
    const Rect clip = ToRect(clip_);
    if (!clip.IsEmpty()) area = Intersection(area, clip);
    return MosaicGridFor(area, penWidth_);
}

bool GraphMosaic::IsValid() const { return SpansBothAxes(start_, end_) && Grid().cols > 0; }

bool GraphMosaic::Finish(const PaintBelow& below) {
    const MosaicGrid grid = Grid();
    const Rect& a = grid.area;
    win::MemorySurface under;
    if (grid.cols == 0 || !under.CreateDib(a.Width(), a.Height())) return false;
    POINT origin;
    ::SetViewportOrgEx(under.dc(), -a.left, -a.top, &origin);
    if (below) below(under.dc());
    ::SetViewportOrgEx(under.dc(), origin.x, origin.y, nullptr);
    ::GdiFlush();
    averages_ = BlockAverages(grid, under.bits(), a.Width());
    grid_ = grid;
    return true;
}

Rect GraphMosaic::Bounds(HDC) const { return finished() ? grid_.area : Inflate(Grid().area, 1); }

void GraphMosaic::Draw(HDC dc, int) const {
    const MosaicGrid grid = Grid();
    const Rect& a = grid.area;
    if (!finished()) {
        // While dragged: only where it will go.
        if (!a.IsEmpty()) DrawFrame(dc, {a.left, a.top}, {a.right, a.bottom}, 1, color_, ::Rectangle);
        return;
    }
    // A block row at a time, expanded to its pixels and copied 1:1: stretching one
    // pixel per block would not do, as stretches sample pixel centres and make the
    // first and last block of a row half as wide as the others.
    const int width = a.Width();
    rows_.resize(size_t(width) * grid.block);
    uint32_t* line = rows_.data();
    BITMAPINFO bi{};
    for (int row = 0; row < grid.rows; ++row) {
        const int y = row * grid.block, height = std::min(grid.block, a.Height() - y);
        const uint32_t* colors = &averages_[size_t(row) * grid.cols];
        for (int x = 0; x < width; ++x) line[x] = colors[x / grid.block];
        for (int i = 1; i < height; ++i) std::copy(line, line + width, line + size_t(i) * width);
        bi.bmiHeader = {sizeof(BITMAPINFOHEADER), width, -height, 1, 32, BI_RGB};
        ::SetDIBitsToDevice(dc, a.left, a.top + y, DWORD(width), DWORD(height), 0, 0, 0, UINT(height), line,
                            &bi, DIB_RGB_COLORS);
    }
}

void GraphStepNumber::AddPoint(int x, int y) {
    start_ = end_ = {x, y};
    firstPointPending_ = false;
}

HFONT GraphStepNumber::NumberFont() const {
    if (!numberFont_ || fontDiameter_ != penWidth_) {
        numberFont_.Reset(::CreateFontW(-StepFontHeight(penWidth_), 0, 0, 0, FW_BOLD, 0, 0, 0,
                                        DEFAULT_CHARSET, OUT_DEFAULT_PRECIS, CLIP_DEFAULT_PRECIS,
                                        ANTIALIASED_QUALITY, VARIABLE_PITCH | FF_SWISS, L"Arial"));
        fontDiameter_ = penWidth_;
    }
    return numberFont_.Get();
}

RECT GraphStepNumber::CircleIn(HDC dc) const {
    if (measuredNumber_ != number_ || measuredDiameter_ != penWidth_ || measuredWidth_ <= 0) {
        const std::wstring text = std::to_wstring(number_);
        win::ScopedSelect font(dc, NumberFont());
        SIZE extent{};
        ::GetTextExtentPoint32W(dc, text.c_str(), int(text.size()), &extent);
        measuredNumber_ = number_;
        measuredDiameter_ = penWidth_;
        measuredWidth_ = extent.cx;
    }
    const Rect box = StepCircle(ToPoint(start_), StepDiameter(penWidth_, measuredWidth_), ToRect(clip_));
    return {box.left, box.top, box.right, box.bottom};
}

Rect GraphStepNumber::Bounds(HDC dc) const {
    if (firstPointPending_) return {};
    const RECT box = CircleIn(dc);
    return Inflate(ToRect(box), 1);
}

void GraphStepNumber::Draw(HDC dc, int) const {
    if (firstPointPending_) return;
    RECT box = CircleIn(dc);
    {
        // The DC's own pen and brush, coloured for this circle: nothing to make per paint.
        win::ScopedSelect selectPen(dc, ::GetStockObject(DC_PEN));
        win::ScopedSelect selectBrush(dc, ::GetStockObject(DC_BRUSH));
        const COLORREF oldPen = ::SetDCPenColor(dc, color_), oldBrush = ::SetDCBrushColor(dc, color_);
        ::Ellipse(dc, box.left, box.top, box.right, box.bottom);
        ::SetDCPenColor(dc, oldPen);
        ::SetDCBrushColor(dc, oldBrush);
    }
    const std::wstring text = std::to_wstring(number_);
    win::ScopedSelect font(dc, NumberFont());
    ::SetBkMode(dc, TRANSPARENT);
    ::SetTextColor(dc, IsLightColor(color_) ? RGB(0, 0, 0) : RGB(255, 255, 255));
    ::DrawTextW(dc, text.c_str(), int(text.size()), &box,
                DT_CENTER | DT_VCENTER | DT_SINGLELINE | DT_NOPREFIX);
}

std::unique_ptr<Graph> CreateGraph(ShapeKind kind) {
    switch (kind) {
        case ShapeKind::Rectangle: return std::make_unique<GraphRectagle>();
        case ShapeKind::Ellipse: return std::make_unique<GraphEllipse>();
        case ShapeKind::Arrow: return std::make_unique<GraphLine>();
        case ShapeKind::Brush: return std::make_unique<GraphFluoreScence>();
        case ShapeKind::Highlighter: {
            auto shape = std::make_unique<GraphFluoreScence>();
            shape->SetAlpha(180);
            return shape;
        }
        case ShapeKind::Text: return std::make_unique<GraphText>();
        case ShapeKind::Mosaic: return std::make_unique<GraphMosaic>();
        case ShapeKind::StepNumber: return std::make_unique<GraphStepNumber>();
    }
    return nullptr;
}

}  // namespace kestrow
