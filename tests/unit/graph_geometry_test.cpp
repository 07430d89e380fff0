#include "worker/annotation/graph_geometry.h"

#include <gtest/gtest.h>

#include <cmath>

namespace kestrow {
namespace {

const Rect kClip{10, 20, 110, 220};
const Point kCentre{60, 120};

TEST(ClipSegmentEnd, LeavesTheEndAloneWhenNothingCrosses) {
    EXPECT_EQ(ClipSegmentEnd(kCentre, {50, 50}, kClip), (Point{50, 50})) << "end inside";
    EXPECT_EQ(ClipSegmentEnd({0, 0}, {500, 500}, kClip), (Point{500, 500})) << "start outside";
}

TEST(ClipSegmentEnd, StopsAtTheBorderFacingTheEnd) {
    EXPECT_EQ(ClipSegmentEnd(kCentre, {60, 0}, kClip), (Point{60, 20})) << "above";
    EXPECT_EQ(ClipSegmentEnd(kCentre, {300, 120}, kClip), (Point{110, 120})) << "right";
    EXPECT_EQ(ClipSegmentEnd(kCentre, {60, 400}, kClip), (Point{60, 220})) << "below";
    EXPECT_EQ(ClipSegmentEnd(kCentre, {0, 120}, kClip), (Point{10, 120})) << "left";
}

TEST(ClipSegmentEnd, DiagonalEndsTryTheSecondBorderWhenTheFirstMisses) {
    // Through the top-left corner exactly: the top border's crossing is kept.
    EXPECT_EQ(ClipSegmentEnd(kCentre, {0, 0}, kClip), (Point{10, 20}));
    // The top border is crossed at x = 5.45, outside the grown rectangle: left border.
    EXPECT_EQ(ClipSegmentEnd(kCentre, {0, 10}, kClip), (Point{10, 28}));
    // Steep towards the top right: the top border holds (x = 60 + 100 * 40 / 200 = 80).
    EXPECT_EQ(ClipSegmentEnd(kCentre, {100, -80}, kClip), (Point{80, 20}));
    // Flat towards the bottom right: the bottom border misses, the right one holds.
    EXPECT_EQ(ClipSegmentEnd(kCentre, {400, 240}, kClip), (Point{110, 137}));
    // Flat towards the bottom left.
    EXPECT_EQ(ClipSegmentEnd(kCentre, {-300, 240}, kClip), (Point{10, 136}));
}

TEST(ClipSegmentEnd, EndsOnTheRightOrBottomLineAreUnchanged) {
    EXPECT_EQ(ClipSegmentEnd(kCentre, {110, 120}, kClip), (Point{110, 120}));
    EXPECT_EQ(ClipSegmentEnd(kCentre, {110, 500}, kClip), (Point{110, 500}));
    EXPECT_EQ(ClipSegmentEnd(kCentre, {60, 220}, kClip), (Point{60, 220}));
    EXPECT_EQ(ClipSegmentEnd(kCentre, {-40, 220}, kClip), (Point{-40, 220}));
}

TEST(LineCrossing, TruncatesTowardZero) {
    // y = -17.5 becomes -17, not -18.
    EXPECT_EQ(LineCrossing({-50, -50}, {-50, 50}, {0, 0}, {-100, -35}), (Point{-50, -17}));
    EXPECT_EQ(ClipSegmentEnd({0, 0}, {-100, -35}, Rect{-50, -50, 50, 50}), (Point{-50, -17}));
}

TEST(LineCrossing, ParallelLinesDoNotDivideByZero) {
    const Point c = LineCrossing({0, 0}, {100, 0}, {0, 5}, {50, 5});
    EXPECT_EQ(c.x, 50);  // the far end of the second line, rather than garbage
}

double Distance(Point a, Point b) { return std::hypot(a.x - b.x, a.y - b.y); }

TEST(ArrowHead, HorizontalArrow) {
    const ArrowHead h = ArrowHeadFor({0, 0}, {100, 0});
    EXPECT_EQ(h.tip, (Point{100, 0}));
    EXPECT_EQ(h.base, (Point{67, 0}));
    EXPECT_EQ(h.side1, (Point{67, 5}));
    EXPECT_EQ(h.side2, (Point{67, -5}));
}

TEST(ArrowHead, UpwardAndDiagonalArrows) {
    const ArrowHead up = ArrowHeadFor({50, 100}, {50, 0});
    EXPECT_EQ(up.base, (Point{50, 32}));
    EXPECT_EQ(up.side1, (Point{55, 32}));
    EXPECT_EQ(up.side2, (Point{45, 32}));

    const ArrowHead d = ArrowHeadFor({0, 0}, {30, 40});
    EXPECT_EQ(d.base, (Point{10, 14}));
    EXPECT_EQ(d.side1, (Point{6, 17}));
    EXPECT_EQ(d.side2, (Point{14, 11}));
}

TEST(ArrowHead, SizeDoesNotDependOnTheShaft) {
    for (int len : {10, 33, 200, 1500}) {
        const ArrowHead h = ArrowHeadFor({0, 0}, {len, 0});
        EXPECT_NEAR(Distance(h.tip, h.base), 32.3, 1.0) << len;
        EXPECT_EQ(Distance(h.side1, h.side2), 10) << len;
    }
    // A short arrow's head reaches back past its start.
    EXPECT_EQ(ArrowHeadFor({0, 0}, {10, 0}).base, (Point{-22, 0}));
}

TEST(Mosaic, BlocksStartAtTheCornerAndTheLastOnesAreCutShort) {
    const MosaicGrid grid = MosaicGridFor({5, 7, 15, 14}, 4);  // 10 x 7
    EXPECT_EQ(grid.cols, 3);
    EXPECT_EQ(grid.rows, 2);
    EXPECT_EQ(MosaicGridFor({5, 7, 5, 14}, 4).cols, 0) << "empty area";
    EXPECT_EQ(MosaicGridFor({0, 0, 3, 3}, 0).block, 1) << "no block size is one pixel";
}

TEST(Mosaic, EachBlockIsTheRoundedMeanOfItsOwnPixels) {
    // 5 x 3 pixels in a buffer 6 wide, blocks of 2: columns 2, 2, 1 and rows 2, 1.
    const MosaicGrid grid = MosaicGridFor({0, 0, 5, 3}, 2);
    const uint32_t X = 0xDEADBEEF;  // outside the area: never read
    const uint32_t pixels[] = {
        0xFF000000, 0x00000001, 0x00100000, 0x00300000, 0x00000A00, X,
        0x00000000, 0x00000001, 0x00100000, 0x00300000, 0x00000B00, X,
        0x00FFFFFF, 0x00FFFFFF, 0x00000200, 0x00000300, 0x00000C00, X,
    };
    const std::vector<uint32_t> avg = BlockAverages(grid, pixels, 6);
    ASSERT_EQ(avg.size(), 6u);
    EXPECT_EQ(avg[0], 0x00000001u) << "blue 2/4 rounds up; the top byte is ignored";
    EXPECT_EQ(avg[1], 0x00200000u) << "red channel on its own";
    EXPECT_EQ(avg[2], 0x00000B00u) << "a one-pixel-wide column of two";
    EXPECT_EQ(avg[3], 0x00FFFFFFu) << "a one-pixel-high row";
    EXPECT_EQ(avg[4], 0x00000300u) << "green 2.5 rounds up";
    EXPECT_EQ(avg[5], 0x00000C00u) << "the corner: a single pixel";
}

TEST(StepNumber, CircleGrowsOnlyForNumbersTooWideForIt) {
    EXPECT_EQ(StepFontHeight(28), 14);
    EXPECT_EQ(StepDiameter(28, 10), 28);
    EXPECT_EQ(StepDiameter(28, 22), 28) << "fits with 3 pixels each side";
    EXPECT_EQ(StepDiameter(28, 23), 29);
    EXPECT_EQ(StepDiameter(20, 30), 34);
}

TEST(StepNumber, CircleIsCentredAndKeptInsideTheSelection) {
    const Rect sel{100, 100, 200, 160};
    EXPECT_EQ(StepCircle({150, 130}, 20, sel), (Rect{140, 120, 160, 140}));
    EXPECT_EQ(StepCircle({100, 159}, 20, sel), (Rect{100, 140, 120, 160})) << "pushed in from the corner";
    EXPECT_EQ(StepCircle({150, 130}, 70, sel), (Rect{115, 95, 185, 165})) << "taller than it: stays centred";
}

TEST(StepNumber, LightColoursTakeBlackNumbers) {
    for (uint32_t light : {0x00FFFFFFu, 0x00C0C0C0u, 0x0000FFFFu, 0x0000FF00u, 0x00FFFF00u})
        EXPECT_TRUE(IsLightColor(light)) << std::hex << light;
    for (uint32_t dark : {0x00000000u, 0x00808080u, 0x000000FFu, 0x00FF0000u, 0x00FF00FFu, 0x00008080u})
        EXPECT_FALSE(IsLightColor(dark)) << std::hex << dark;
}

}  // namespace
}  // namespace kestrow
