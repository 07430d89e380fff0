#include "worker/window_rects.h"

#include <gtest/gtest.h>

namespace kestrow {
namespace {

TEST(WindowRects, MaximisedWindowIsSelectedWholeAndFramedInside) {
    const int W = 1024, H = 768;
    const Rect maximised{-8, -8, W + 8, H + 8};
    EXPECT_EQ(ClampWindowRect(maximised, W, H), (Rect{0, 0, W, H}));
    const Rect frame = FrameWindowRect(maximised, W, H);
    EXPECT_EQ(frame, (Rect{3, 3, W - 2, H - 2}));
    const auto lines = HighlightLines(frame);
    EXPECT_EQ(lines[0], (LineSegment{{0, 0}, {0, H - 2}}));
    EXPECT_EQ(lines[1], (LineSegment{{W - 2, 0}, {W - 2, H - 2}}));
    EXPECT_EQ(lines[2], (LineSegment{{0, 0}, {W - 2, 0}}));
    EXPECT_EQ(lines[3], (LineSegment{{0, H - 2}, {W - 2, H - 2}}));
}

TEST(WindowRects, EdgesExactlyOnTheScreenBorder) {
    const Rect exact{0, 0, 1024, 768};
    EXPECT_EQ(ClampWindowRect(exact, 1024, 768), exact);
    EXPECT_EQ(FrameWindowRect(exact, 1024, 768), (Rect{3, 3, 1022, 766}));
}

TEST(WindowRects, InnerWindowIsUnchangedAndFramedOutside) {
    const Rect w{100, 80, 300, 200};
    EXPECT_EQ(ClampWindowRect(w, 1024, 768), w);
    EXPECT_EQ(FrameWindowRect(w, 1024, 768), w);
    const auto lines = HighlightLines(w);
    EXPECT_EQ(lines[0], (LineSegment{{97, 77}, {97, 200}}));
    EXPECT_EQ(lines[1], (LineSegment{{300, 77}, {300, 200}}));
}

}  // namespace
}  // namespace kestrow
