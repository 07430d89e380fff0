#include "worker/pin_view.h"

#include <algorithm>
#include <cmath>
#include <vector>

namespace kestrow {

int ScaledSide(int side, int zoom) { return std::max(1, int((int64_t(side) * zoom + 50) / 100)); }

Rect PinView::Picture() const {
    return {topLeft_.x, topLeft_.y, topLeft_.x + ScaledSide(image_.cx, zoom_),
            topLeft_.y + ScaledSide(image_.cy, zoom_)};
}

Rect PinView::Window() const {
    const Rect p = Picture();
    return {p.left - kBorder, p.top - kBorder, p.right + kBorder, p.bottom + kBorder};
}

void PinView::ZoomAt(int notches, Point pointer) {
    const int zoom = std::clamp(zoom_ + notches * kZoomStep, kMinZoom, kMaxZoom);
    if (zoom == zoom_) return;
    // The picture point under the pointer, in image pixels (fractional), before and after.
    const Rect before = Picture();
    const double ix = double(pointer.x - before.left) * image_.cx / before.Width();
    const double iy = double(pointer.y - before.top) * image_.cy / before.Height();
    zoom_ = zoom;
    const Rect after = Picture();
    topLeft_ = {pointer.x - int(std::lround(ix * after.Width() / image_.cx)),
                pointer.y - int(std::lround(iy * after.Height() / image_.cy))};
}

void PinView::ResetZoom() { zoom_ = 100; }

void PinView::MoveBy(int dx, int dy) { topLeft_ = {topLeft_.x + dx, topLeft_.y + dy}; }

void PinView::Fade(int notches) {
    opacity_ = std::clamp(opacity_ + notches * kOpacityStep, kMinOpacity, kMaxOpacity);
}

void ShrinkByAverage(const uint32_t* src, int sw, int sh, uint32_t* dst, int dw, int dh) {
    // Target column x takes source columns [cols[x], cols[x + 1]); never an empty span.
    std::vector<int> cols(size_t(dw) + 1);
    for (int x = 0; x <= dw; ++x) cols[size_t(x)] = int(int64_t(x) * sw / dw);
    std::vector<uint32_t> sums(size_t(dw) * 4);
    for (int y = 0; y < dh; ++y) {
        const int y0 = int(int64_t(y) * sh / dh), y1 = std::max(y0 + 1, int(int64_t(y + 1) * sh / dh));
        std::fill(sums.begin(), sums.end(), 0u);
        for (int sy = y0; sy < y1; ++sy) {
            const uint32_t* row = src + size_t(sy) * size_t(sw);
            for (int x = 0; x < dw; ++x) {
                uint32_t* s = &sums[size_t(x) * 4];
                const int x1 = std::max(cols[size_t(x)] + 1, cols[size_t(x) + 1]);
                for (int sx = cols[size_t(x)]; sx < x1; ++sx) {
                    const uint32_t p = row[sx];
                    s[0] += p & 0xFF;
                    s[1] += (p >> 8) & 0xFF;
                    s[2] += (p >> 16) & 0xFF;
                }
            }
        }
        uint32_t* out = dst + size_t(y) * size_t(dw);
        for (int x = 0; x < dw; ++x) {
            const uint32_t n = uint32_t(y1 - y0) *
                               uint32_t(std::max(cols[size_t(x)] + 1, cols[size_t(x) + 1]) - cols[size_t(x)]);
            const uint32_t* s = &sums[size_t(x) * 4];
            out[x] = ((s[0] + n / 2) / n) | (((s[1] + n / 2) / n) << 8) | (((s[2] + n / 2) / n) << 16);
        }
    }
}

}  // namespace kestrow
