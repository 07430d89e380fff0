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

}  // namespace
}  // namespace kestrow
