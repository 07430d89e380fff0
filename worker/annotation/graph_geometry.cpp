#include "worker/annotation/graph_geometry.h"

#include <cmath>
#include <limits>

namespace kestrow {
namespace {

// Truncation toward zero that saturates instead of overflowing on degenerate input.
int TruncToInt(double v) {
    if (std::isnan(v)) return 0;
    if (v >= double(std::numeric_limits<int>::max())) return std::numeric_limits<int>::max();
    if (v <= double(std::numeric_limits<int>::min())) return std::numeric_limits<int>::min();
    return static_cast<int>(v);
}

bool Inside(Point p, const Rect& r) { return r.Contains(p); }

}  // namespace

Point LineCrossing(Point a1, Point a2, Point b1, Point b2) {
    const double A1 = double(a1.y) - a2.y, B1 = double(a2.x) - a1.x;
    const double C1 = double(a1.x) * a2.y - double(a1.y) * a2.x;
    const double A2 = double(b1.y) - b2.y, B2 = double(b2.x) - b1.x;
    const double C2 = double(b1.x) * b2.y - double(b1.y) * b2.x;
    // The determinant is taken in single precision, and a near-zero one is nudged
    // rather than divided by.
    float det = float(B1) * float(A2) - float(B2) * float(A1);
    if (std::fabs(det) < 1.0f) det = 0.0001f;  // its integer part is 0
    const int y = TruncToInt((A1 * C2 - C1 * A2) / det);
    double x;
    if (A1 == 0)
        x = (A2 == 0) ? double(b2.x) : (-B2 / A2) * y - C2 / A2;
    else
        x = (-B1 / A1) * y - C1 / A1;
    return {TruncToInt(x), y};
}

Point ClipSegmentEnd(Point s, Point p, const Rect& r) {
    if (!Inside(s, r) || Inside(p, r)) return p;
    const Rect grown{r.left - 1, r.top - 1, r.right + 1, r.bottom + 1};
    const Point tl{r.left, r.top}, tr{r.right, r.top}, bl{r.left, r.bottom}, br{r.right, r.bottom};
    auto cross = [&](Point a, Point b) { return LineCrossing(a, b, s, p); };
    // A corner case: the first border, or the second when the first crossing misses.
    auto either = [&](Point a1, Point a2, Point b1, Point b2) {
        Point c = cross(a1, a2);
        return Inside(c, grown) ? c : cross(b1, b2);
    };
    const bool midX = r.left < p.x && p.x < r.right;
    const bool midY = r.top < p.y && p.y < r.bottom;
    if (midX && p.y < r.top) return cross(tl, tr);
    if (p.x > r.right && midY) return cross(tr, br);
    if (midX && p.y > r.bottom) return cross(bl, br);
    if (p.x < r.left && midY) return cross(tl, bl);
    if (p.x < r.left && p.y < r.top) return either(tl, tr, tl, bl);
    if (p.x > r.right && p.y < r.top) return either(tl, tr, tr, br);
    if (p.x > r.right && p.y > r.bottom) return either(bl, br, tr, br);
    if (p.x < r.left && p.y > r.bottom) return either(bl, br, tl, bl);
    return p;
}

ArrowHead ArrowHeadFor(Point from, Point tip) {
    const float vx = float(tip.x - from.x), vy = float(tip.y - from.y);
    const float nx = -vy, ny = vx;
    const float length = std::sqrt(vx * vx + vy * vy);
    const float th = kArrowHeadWidth / (2.0f * length);
    const float ta = kArrowHeadWidth / (2.0f * (std::tan(kArrowHalfAngle) / 2.0f) * length);
    ArrowHead head;
    head.tip = tip;
    head.base = {TruncToInt(tip.x - ta * vx), TruncToInt(tip.y - ta * vy)};
    head.side1 = {TruncToInt(head.base.x + th * nx), TruncToInt(head.base.y + th * ny)};
    head.side2 = {TruncToInt(head.base.x - th * nx), TruncToInt(head.base.y - th * ny)};
    return head;
}

}  // namespace kestrow
