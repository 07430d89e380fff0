#include "worker/magnifier_layout.h"

#include <algorithm>
#include <cstdlib>

#include "common/dpi.h"

namespace kestrow {

Rect MagnifierBox(Point p, const Rect& m, int dpi) {
    const int w = Scale(kMagnifierWidth, dpi), h = Scale(kMagnifierHeight, dpi);
    const Rect topLeft{m.left, m.top, m.left + w, m.top + h};
    if (topLeft.Contains(p)) return {m.right - w, m.bottom - h, m.right, m.bottom};
    return topLeft;
}

Rect MagnifierBox(Point p, int w, int h) { return MagnifierBox(p, Rect{0, 0, w, h}); }

Rect MagnifierTextStrip(const Rect& box, int dpi) {
    return {box.left, box.top + Scale(kZoomSize, dpi), box.right, box.bottom};
}

ZoomCopy ZoomSourceCopy(Point p, int w, int h) {
    ZoomCopy c;
    c.source = {p.x - kZoomSource / 2, p.y - kZoomSource / 2, p.x + kZoomSource / 2, p.y + kZoomSource / 2};
    c.from = {std::max(c.source.left, 0), std::max(c.source.top, 0), std::min(c.source.right, w),
              std::min(c.source.bottom, h)};
    if (c.from.IsEmpty()) c.from = {};
    c.to = {c.from.left - c.source.left, c.from.top - c.source.top};
    return c;
}

Size ReadoutSize(bool trackWindow, const Rect& s, const Rect& t) {
    const bool selectionEmpty = s.left == s.right || s.top == s.bottom || s.IsEmpty();
    const Rect& r = (trackWindow && selectionEmpty) ? t : s;
    return {std::abs(r.left - r.right), std::abs(r.top - r.bottom)};
}

namespace {
std::wstring Limit(std::wstring s) {
    if (s.size() > 259) s.resize(259);
    return s;
}
}  // namespace

std::wstring PositionText(int x, int y) {
    return Limit(L"位置: (" + std::to_wstring(x) + L"," + std::to_wstring(y) + L")");
}

std::wstring SizeText(int width, int height) {
    return Limit(L"  大小: " + std::to_wstring(width) + L" \u00D7 " + std::to_wstring(height));
}

}  // namespace kestrow
