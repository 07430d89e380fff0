#include "worker/selection_geometry.h"

#include <gtest/gtest.h>

namespace kestrow {
namespace {

constexpr int W = 1024, H = 768;

SelectionGeometry Drawn(int x0, int y0, int x1, int y1) {
    SelectionGeometry s(W, H);
    s.BeginNew(x0, y0);
    s.DragTo(x1, y1);
    s.EndDrag();
    return s;
}

TEST(SelectionDrag, NewRectangleFollowsTheMouseAndNormalisesOnRelease) {
    SelectionGeometry s(W, H);
    s.BeginNew(300, 200);
    EXPECT_TRUE(s.active());
    EXPECT_TRUE(s.drawingNew());
    EXPECT_EQ(s.handle(), 2);
    s.DragTo(100, 50);
    EXPECT_EQ(s.rect(), (Rect{300, 200, 100, 50}));  // inside out while dragging
    EXPECT_TRUE(s.EndDrag());
    EXPECT_FALSE(s.drawingNew());
    EXPECT_EQ(s.rect(), (Rect{100, 50, 300, 200}));
    EXPECT_EQ(Drawn(100, 50, 300, 200).rect(), Drawn(300, 200, 100, 50).rect());
}

TEST(SelectionDrag, ClickWithoutMovingOrFlatRectangleLeavesNoSelection) {
    SelectionGeometry s(W, H);
    s.BeginNew(40, 40);
    EXPECT_FALSE(s.EndDrag());
    EXPECT_FALSE(s.active());
    EXPECT_EQ(s.rect(), Rect{});
    EXPECT_FALSE(Drawn(10, 10, 200, 10).active());
    EXPECT_FALSE(Drawn(10, 10, 10, 200).active());
}

TEST(SelectionDrag, MovingKeepsTheSizeAndStopsAtTheScreenEdges) {
    SelectionGeometry s = Drawn(100, 100, 300, 250);
    ASSERT_EQ(s.HitTest(200, 170), SelectionGeometry::kMoveHandle);
    ASSERT_TRUE(s.BeginDrag(200, 170));
    s.DragTo(150, 120);
    EXPECT_EQ(s.rect(), (Rect{50, 50, 250, 200}));
    s.DragTo(-400, -400);
    EXPECT_EQ(s.rect(), (Rect{0, 0, 200, 150}));
    s.DragTo(5000, 5000);
    EXPECT_EQ(s.rect(), (Rect{W - 200, H - 150, W, H}));
    // The mouse came back a long way: the rectangle moves by the mouse's steps only.
    s.DragTo(4990, 4990);
    EXPECT_EQ(s.rect(), (Rect{W - 210, H - 160, W - 10, H - 10}));
    s.EndDrag();
    EXPECT_EQ(s.rect().Width(), 200);
    EXPECT_EQ(s.rect().Height(), 150);
}

TEST(SelectionDrag, EachHandleChangesOnlyItsEdges) {
    const Rect r{100, 100, 301, 201};
    const struct {
        int handle;
        Rect expected;
    } cases[] = {
        {0, {50, 60, 301, 201}},  {1, {100, 60, 50, 201}},  {2, {100, 100, 50, 60}},
        {3, {50, 100, 301, 60}},  {4, {100, 60, 301, 201}}, {5, {100, 100, 50, 201}},
        {6, {100, 100, 301, 60}}, {7, {50, 100, 301, 201}},
    };
    for (const auto& c : cases) {
        SelectionGeometry s(W, H);
        s.Select(r);
        const Point p = SelectionGeometry::HandlePoint(r, c.handle);
        ASSERT_EQ(s.HitTest(p.x, p.y), c.handle);
        ASSERT_TRUE(s.BeginDrag(p.x, p.y));
        s.DragTo(50, 60);
        EXPECT_EQ(s.rect(), c.expected) << "handle " << c.handle;
    }
}

TEST(SelectionDrag, LeftEdgePastTheRightEdgeTurnsInsideOutThenNormalises) {
    SelectionGeometry s = Drawn(100, 100, 200, 200);
    ASSERT_TRUE(s.BeginDrag(100, 150));
    EXPECT_EQ(s.handle(), 7);
    s.DragTo(260, 150);
    EXPECT_EQ(s.rect(), (Rect{260, 100, 200, 200}));
    s.EndDrag();
    EXPECT_EQ(s.rect(), (Rect{200, 100, 260, 200}));
}

TEST(SelectionHitTest, HandlesMarginAndMiss) {
    SelectionGeometry s(W, H);
    s.Select({100, 100, 200, 160});
    EXPECT_EQ(SelectionGeometry::HandlePoint(s.rect(), 4), (Point{150, 100}));
    EXPECT_EQ(SelectionGeometry::HandlePoint(s.rect(), 5), (Point{200, 130}));
    EXPECT_EQ(SelectionGeometry::HandleSquare(s.rect(), 0), (Rect{97, 97, 103, 103}));
    EXPECT_EQ(s.HitTest(97, 97), 0);
    EXPECT_EQ(s.HitTest(102, 102), 0);
    EXPECT_EQ(s.HitTest(103, 103), 8);
    EXPECT_EQ(s.HitTest(96, 130), -1);
    EXPECT_EQ(s.HitTest(97, 130), 7);
    EXPECT_EQ(s.HitTest(97, 120), 8);  // in the margin but not on a handle: moves
    EXPECT_EQ(s.HitTest(202, 162), 2);
    EXPECT_EQ(s.HitTest(203, 130), -1);
    EXPECT_FALSE(s.BeginDrag(500, 500));
    EXPECT_EQ(s.handle(), -1);
    EXPECT_FALSE(s.DragTo(10, 10));
    EXPECT_EQ(s.rect(), (Rect{100, 100, 200, 160}));
}

TEST(SelectionHitTest, MarginGrowsWithTheMonitorsDpi) {
    // At 144 DPI the handles are 10 x 10 and the grab margin 5 (3 x 1.5, rounded up).
    SelectionGeometry s(W, H);
    s.Select({100, 100, 200, 160});
    s.SetDpi(144);
    EXPECT_EQ(s.HitTest(95, 95), 0);
    EXPECT_EQ(s.HitTest(104, 104), 0);
    EXPECT_EQ(s.HitTest(105, 105), 8);
    EXPECT_EQ(s.HitTest(94, 130), -1);
    EXPECT_EQ(s.HitTest(95, 130), 7);
    EXPECT_EQ(s.HitTest(204, 164), 2);
    EXPECT_EQ(s.HitTest(205, 130), -1);
    ASSERT_TRUE(s.BeginDrag(204, 130));
    EXPECT_EQ(s.handle(), 5);
}

TEST(SelectionHitTest, MiddleOfAnOddEdgeRoundsTowardZero) {
    EXPECT_EQ(SelectionGeometry::HandlePoint({10, 10, 19, 20}, 4), (Point{14, 10}));
    EXPECT_EQ(SelectionGeometry::HandlePoint({10, 20, 19, 10}, 7), (Point{10, 15}));
}

TEST(SelectionHandles, NineWideShowsNoHandlesButItsEdgesStillResize) {
    SelectionGeometry s = Drawn(100, 100, 109, 200);
    EXPECT_FALSE(s.ShowsHandles());
    ASSERT_TRUE(s.BeginDrag(109, 150));
    EXPECT_EQ(s.handle(), 5);
    s.DragTo(140, 150);
    s.EndDrag();
    EXPECT_EQ(s.rect(), (Rect{100, 100, 140, 200}));
    EXPECT_TRUE(s.ShowsHandles());
    EXPECT_TRUE(Drawn(0, 0, 10, 10).ShowsHandles());
    EXPECT_FALSE(Drawn(0, 0, 10, 9).ShowsHandles());
}

TEST(SelectionHandles, NoHandlesWhileANewRectangleIsDragged) {
    SelectionGeometry s(W, H);
    s.BeginNew(10, 10);
    s.DragTo(200, 200);
    EXPECT_FALSE(s.ShowsHandles());
    s.EndDrag();
    EXPECT_TRUE(s.ShowsHandles());
}

TEST(SelectionSelect, SelectAndClear) {
    SelectionGeometry s(W, H);
    s.Select({0, 0, W, H});
    EXPECT_TRUE(s.active());
    EXPECT_EQ(s.handle(), -1);
    s.Clear();
    EXPECT_FALSE(s.active());
    EXPECT_EQ(s.rect(), Rect{});
}

}  // namespace
}  // namespace kestrow
