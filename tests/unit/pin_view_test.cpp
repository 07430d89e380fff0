#include "worker/pin_view.h"

#include <gtest/gtest.h>

#include <vector>

namespace kestrow {
namespace {

TEST(PinView, OpensAt100PercentWhereThePictureStoodInsideAOnePixelFrame) {
    const PinView v({800, 600}, {-700, 50});
    EXPECT_EQ(v.Picture(), (Rect{-700, 50, 100, 650}));
    EXPECT_EQ(v.Window(), (Rect{-701, 49, 101, 651}));
    EXPECT_EQ(v.opacity(), 100);
}

TEST(PinView, WheelZoomKeepsThePointUnderThePointerAndStopsAtItsLimits) {
    PinView v({800, 600}, {100, 100});
    const Point pointer{300, 250};  // image point (200, 150)
    v.ZoomAt(1, pointer);
    EXPECT_EQ(v.zoom(), 110);
    EXPECT_EQ(v.Picture(), (Rect{80, 85, 80 + 880, 85 + 660}));
    v.ZoomAt(-3, pointer);
    EXPECT_EQ(v.zoom(), 80);
    EXPECT_EQ(v.Picture(), (Rect{140, 130, 140 + 640, 130 + 480}));
    v.ZoomAt(100, pointer);
    EXPECT_EQ(v.zoom(), 800);
    const Rect big = v.Picture();
    EXPECT_EQ(big.Width(), 6400);
    // The image point under the pointer is still (200, 150), to within a pixel.
    EXPECT_NEAR((pointer.x - big.left) / 8.0, 200, 1);
    EXPECT_NEAR((pointer.y - big.top) / 8.0, 150, 1);
    v.ZoomAt(1, pointer);
    EXPECT_EQ(v.Picture(), big) << "no step past 800 %";
    v.ZoomAt(-100, pointer);
    EXPECT_EQ(v.zoom(), 10);
    EXPECT_EQ(v.Picture().Width(), 80);
    // Back to 100 % exactly, the corner staying put.
    const Rect small = v.Picture();
    v.ResetZoom();
    EXPECT_EQ(v.Picture(), (Rect{small.left, small.top, small.left + 800, small.top + 600}));
}

TEST(PinView, ATinyPictureNeverShrinksToNothing) {
    PinView v({3, 1}, {0, 0});
    v.ZoomAt(-9, {0, 0});
    EXPECT_EQ(v.Picture(), (Rect{0, 0, 1, 1}));
}

TEST(PinView, MovesAndFadesWithinTheirRange) {
    PinView v({10, 10}, {0, 0});
    v.MoveBy(-10, 1);
    v.MoveBy(1, 0);
    EXPECT_EQ(v.Picture(), (Rect{-9, 1, 1, 11}));
    v.Fade(-3);
    EXPECT_EQ(v.opacity(), 70);
    v.Fade(-20);
    EXPECT_EQ(v.opacity(), 20);
    v.Fade(30);
    EXPECT_EQ(v.opacity(), 100);
}

TEST(PinShrink, EachPixelIsTheAverageOfWhatItCovers) {
    // A 4 x 2 black and white checkerboard with one red pixel, halved and thirded.
    std::vector<uint32_t> src = {0x000000, 0xFFFFFF, 0x000000, 0x0000FF,  //
                                 0xFFFFFF, 0x000000, 0xFFFFFF, 0x000000};
    std::vector<uint32_t> half(2);
    ShrinkByAverage(src.data(), 4, 2, half.data(), 2, 1);
    EXPECT_EQ(half[0], 0x808080u);  // two white of four, rounded
    EXPECT_EQ(half[1], 0x404080u);  // one white, one red of four
    // Uneven spans: columns {0}, {1}, {2, 3} for three targets from four.
    std::vector<uint32_t> third(3);
    ShrinkByAverage(src.data(), 4, 2, third.data(), 3, 1);
    EXPECT_EQ(third[0], 0x808080u);
    EXPECT_EQ(third[2], 0x404080u);
    // A one-pixel result is the average of everything.
    uint32_t one = 0;
    ShrinkByAverage(src.data(), 4, 2, &one, 1, 1);
    EXPECT_EQ(one, 0x606080u);
}

}  // namespace
}  // namespace kestrow
