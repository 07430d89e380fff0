#pragma once
// Where a pinned picture stands and how it is shown: its zoom, its place on the
// screen and its opacity. Platform-free; the pin window asks it after every input.
#include <cstdint>

#include "common/geometry.h"

namespace kestrow {

class PinView {
public:
    static constexpr int kMinZoom = 10, kMaxZoom = 800, kZoomStep = 10;  // percent
    static constexpr int kMinOpacity = 20, kMaxOpacity = 100, kOpacityStep = 10;
    static constexpr int kBorder = 1;  // the frame around the picture, in pixels

    // The picture at 100 %, where it stood on the screen.
    PinView(Size image, Point topLeft) : image_(image), topLeft_(topLeft) {}

    // Zooms by whole wheel notches (up is positive) around `pointer`, in screen
    // coordinates: the picture point under it stays under it.
    void ZoomAt(int notches, Point pointer);
    // Back to 100 %, the top-left corner staying where it is.
    void ResetZoom();
    void MoveBy(int dx, int dy);
    void MoveTo(Point topLeft) { topLeft_ = topLeft; }
    void Fade(int notches);

    int zoom() const { return zoom_; }
    int opacity() const { return opacity_; }
    Size image() const { return image_; }
    // The picture as shown, in screen coordinates, and the window around it.
    Rect Picture() const;
    Rect Window() const;

private:
    Size image_;
    Point topLeft_;
    int zoom_ = 100;
    int opacity_ = kMaxOpacity;
};

// The picture's side at `zoom` percent: never below one pixel.
int ScaledSide(int side, int zoom);

// Shrinks 32-bit pixels by averaging every source pixel that falls in each target
// pixel (smooth, unlike picking one of them). `dst` is dw x dh; dw <= sw, dh <= sh.
void ShrinkByAverage(const uint32_t* src, int sw, int sh, uint32_t* dst, int dw, int dh);

}  // namespace kestrow
