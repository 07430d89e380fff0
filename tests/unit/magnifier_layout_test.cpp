#include "worker/magnifier_layout.h"

#include <gtest/gtest.h>

namespace kestrow {
namespace {

constexpr int W = 1024, H = 768;
constexpr Rect kTopLeft{0, 0, 200, 220};
constexpr Rect kBottomRight{W - 200, H - 220, W, H};

TEST(MagnifierBox, SwitchesCornerAtTheExactEdges) {
    EXPECT_EQ(MagnifierBox({10, 10}, W, H), kBottomRight);
    EXPECT_EQ(MagnifierBox({0, 0}, W, H), kBottomRight);
    EXPECT_EQ(MagnifierBox({199, 219}, W, H), kBottomRight);
    EXPECT_EQ(MagnifierBox({200, 10}, W, H), kTopLeft);
    EXPECT_EQ(MagnifierBox({10, 220}, W, H), kTopLeft);
    EXPECT_EQ(MagnifierBox({900, 700}, W, H), kTopLeft);
    EXPECT_EQ(MagnifierTextStrip(kBottomRight), (Rect{W - 200, H - 20, W, H}));
}

TEST(MagnifierZoom, SourceSquareIsClippedToTheSurface) {
    ZoomCopy c = ZoomSourceCopy({500, 400}, W, H);
    EXPECT_EQ(c.source, (Rect{475, 375, 525, 425}));
    EXPECT_EQ(c.from, c.source);
    EXPECT_EQ(c.to, (Point{0, 0}));
    // At (0,0) the top-left 25 x 25 pixels land in the lower-right quarter.
    c = ZoomSourceCopy({0, 0}, W, H);
    EXPECT_EQ(c.from, (Rect{0, 0, 25, 25}));
    EXPECT_EQ(c.to, (Point{25, 25}));
    c = ZoomSourceCopy({W - 1, H - 1}, W, H);
    EXPECT_EQ(c.from, (Rect{W - 26, H - 26, W, H}));
    EXPECT_EQ(c.to, (Point{0, 0}));
}

TEST(MagnifierCrosses, ShownAndHiddenBySelectionState) {
    EXPECT_TRUE(ShowsScreenCrosshair(false, {}));
    EXPECT_TRUE(ShowsScreenCrosshair(true, {10, 10, 50, 50}));
    EXPECT_FALSE(ShowsScreenCrosshair(false, {10, 10, 50, 50}));
    EXPECT_FALSE(ShowsZoomCross(true));
    EXPECT_TRUE(ShowsZoomCross(false));
}

TEST(MagnifierReadout, SizeComesFromTheWindowBeforeAnySelection) {
    const Rect window{10, 20, 310, 220};
    EXPECT_EQ(ReadoutSize(true, {}, window), (Size{300, 200}));
    EXPECT_EQ(ReadoutSize(false, {}, window), (Size{0, 0}));
    EXPECT_EQ(ReadoutSize(true, {5, 5, 45, 25}, window), (Size{40, 20}));
    EXPECT_EQ(ReadoutSize(false, {45, 25, 5, 5}, window), (Size{40, 20}));  // mid-drag, inside out
}

TEST(MagnifierReadout, Texts) {
    EXPECT_EQ(PositionText(12, 345), L"位置: (12,345)");
    EXPECT_EQ(SizeText(300, 40), L"  大小: 300 \u00D7 40");
    EXPECT_EQ(SizeText(0, 0), L"  大小: 0 × 0");
}

}  // namespace
}  // namespace kestrow
