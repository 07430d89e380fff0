#include "worker/annotation/graph_geometry.h"

#include <algorithm>
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

Rect SpannedRect(Point a, Point b) {
    return {std::min(a.x, b.x), std::min(a.y, b.y), std::max(a.x, b.x), std::max(a.y, b.y)};
}

MosaicGrid MosaicGridFor(const Rect& area, int block) {
    MosaicGrid grid{area, std::max(block, 1)};
    if (area.IsEmpty()) return grid;
    grid.cols = (area.Width() + grid.block - 1) / grid.block;
    grid.rows = (area.Height() + grid.block - 1) / grid.block;
    return grid;
}

std::vector<uint32_t> BlockAverages(const MosaicGrid& grid, const uint32_t* pixels, int stride) {
    std::vector<uint32_t> out(size_t(grid.cols) * grid.rows);
    const int width = grid.area.Width(), height = grid.area.Height();
    // One pass over the pixels, a row of blocks at a time: red, green, blue sums per column.
    std::vector<uint64_t> sums(size_t(grid.cols) * 3);
    for (int row = 0; row < grid.rows; ++row) {
        std::fill(sums.begin(), sums.end(), 0);
        const int y0 = row * grid.block, y1 = std::min(height, y0 + grid.block);
        for (int y = y0; y < y1; ++y) {
            const uint32_t* line = pixels + size_t(y) * stride;
            for (int x = 0; x < width; ++x) {
                uint64_t* s = &sums[size_t(x / grid.block) * 3];
                s[0] += (line[x] >> 16) & 0xFF;
                s[1] += (line[x] >> 8) & 0xFF;
                s[2] += line[x] & 0xFF;
            }
        }
        for (int col = 0; col < grid.cols; ++col) {
            const uint64_t n =
                uint64_t(std::min(width, (col + 1) * grid.block) - col * grid.block) * (y1 - y0);
            const uint64_t* s = &sums[size_t(col) * 3];
            auto mean = [n](uint64_t sum) { return uint32_t((sum + n / 2) / n); };
            out[size_t(row) * grid.cols + col] = (mean(s[0]) << 16) | (mean(s[1]) << 8) | mean(s[2]);
        }
    }
    return out;
}

int StepFontHeight(int baseDiameter) { return std::max(1, baseDiameter / 2); }

int StepDiameter(int baseDiameter, int textWidth) {
    // An eighth of the base at each side keeps the digits clear of the rim.
    return std::max(baseDiameter, textWidth + 2 * (baseDiameter / 8));
}

Rect StepCircle(Point centre, int diameter, const Rect& clip) {
    auto place = [diameter](int c, int lo, int hi) {
        const int start = c - diameter / 2;
        if (hi - lo < diameter) return start;  // does not fit: stays centred
        return std::clamp(start, lo, hi - diameter);
    };
    const int left = place(centre.x, clip.left, clip.right), top = place(centre.y, clip.top, clip.bottom);
    return {left, top, left + diameter, top + diameter};
}

bool IsLightColor(uint32_t color) {
    const uint32_t r = color & 0xFF, g = (color >> 8) & 0xFF, b = (color >> 16) & 0xFF;
    // Perceived brightness; pure green, yellow, cyan, white and light grey count as light.
    return 299 * r + 587 * g + 114 * b >= 140000;
}

}  // namespace kestrow
