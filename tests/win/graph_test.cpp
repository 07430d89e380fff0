// Annotation shapes painted into a real memory DC and read back as pixels.
#include "worker/annotation/graph.h"

#include <gtest/gtest.h>

#include "tests/win/test_support.h"

namespace kestrow {
namespace {

constexpr COLORREF kRed = RGB(255, 0, 0);
constexpr unsigned kWhitePx = 0xFFFFFF, kRedPx = 0xFF0000;  // read back as 0x00RRGGBB

// A white 200 x 150 surface to paint one shape on.
struct Canvas {
    Canvas() : surface(nullptr, 200, 150) {
        RECT all{0, 0, 200, 150};
        ::FillRect(surface.dc(), &all, static_cast<HBRUSH>(::GetStockObject(WHITE_BRUSH)));
    }
    test::Pixels Paint(const Graph& g) {
        g.Draw(surface.dc(), 1);
        return test::ReadBitmap(surface.bitmap());
    }
    win::MemorySurface surface;
};

template <class Shape>
std::unique_ptr<Shape> Make(std::initializer_list<POINT> points, int width = 1, COLORREF color = kRed) {
    auto g = std::make_unique<Shape>();
    g->SetColor(color);
    g->SetPenWidth(width);
    RECT clip{0, 0, 200, 150};
    g->SetClipRect(&clip);
    for (POINT p : points) g->AddPoint(p.x, p.y);
    return g;
}

int CountColour(const test::Pixels& p, unsigned colour, RECT area) {
    int n = 0;
    for (int y = area.top; y < area.bottom; ++y)
        for (int x = area.left; x < area.right; ++x) n += p.At(x, y) == colour;
    return n;
}

TEST(GraphValidity, AClickWithoutMovementKeepsOnlyTheStroke) {
    EXPECT_FALSE(Make<GraphRectagle>({{40, 40}, {40, 40}})->IsValid());
    EXPECT_FALSE(Make<GraphEllipse>({{40, 40}, {40, 40}})->IsValid());
    EXPECT_FALSE(Make<GraphLine>({{40, 40}, {40, 40}})->IsValid());
    EXPECT_TRUE(Make<GraphFluoreScence>({{40, 40}, {40, 40}})->IsValid());
    EXPECT_FALSE(Make<GraphFluoreScence>({{40, 40}})->IsValid());
}

TEST(GraphValidity, OneSidedFramesAreDroppedButAFlatArrowIsKept) {
    EXPECT_FALSE(Make<GraphRectagle>({{10, 40}, {90, 40}})->IsValid());
    EXPECT_FALSE(Make<GraphEllipse>({{10, 40}, {10, 90}})->IsValid());
    EXPECT_TRUE(Make<GraphLine>({{10, 40}, {90, 40}})->IsValid());
    EXPECT_TRUE(Make<GraphLine>({{10, 40}, {10, 90}})->IsValid());
    EXPECT_TRUE(Make<GraphRectagle>({{10, 40}, {90, 41}})->IsValid());
}

TEST(GraphValidity, TextNeedsCharacters) {
    GraphText t;
    EXPECT_FALSE(t.IsValid());
    t.SetText(L"截图");
    EXPECT_TRUE(t.IsValid());
    t.SetText(L"");
    EXPECT_FALSE(t.IsValid());
}

TEST(GraphPoints, DragsStopAtTheClipRectangle) {
    auto g = std::make_unique<GraphRectagle>();
    RECT clip{20, 20, 120, 100};
    g->SetClipRect(&clip);
    g->AddPoint(60, 60);
    g->AddPoint(60, 0);
    EXPECT_EQ(g->end().y, 20);
    g->AddPoint(500, 60);
    EXPECT_EQ(g->end().x, 120);
    // Strokes and text take points as they come.
    auto s = Make<GraphFluoreScence>({{5, 5}, {500, 500}, {500, 500}});
    EXPECT_EQ(s->points().size(), 3u);
    EXPECT_EQ(s->points()[1].x, 500);
}

TEST(GraphPaint, RectangleFrameIsHollowAndTheSameEitherWay) {
    Canvas a, b;
    const auto forward = a.Paint(*Make<GraphRectagle>({{20, 30}, {120, 90}}));
    const auto backward = b.Paint(*Make<GraphRectagle>({{120, 90}, {20, 30}}));
    EXPECT_EQ(forward.data, backward.data);
    EXPECT_EQ(forward.At(20, 30), kRedPx);
    EXPECT_EQ(forward.At(119, 89), kRedPx);
    EXPECT_EQ(forward.At(70, 30), kRedPx);
    EXPECT_EQ(forward.At(70, 60), kWhitePx) << "hollow";
    EXPECT_EQ(forward.At(120, 90), kWhitePx) << "right and bottom are exclusive";
}

TEST(GraphPaint, PenWidthAndColourAreUsed) {
    Canvas c;
    const auto p = c.Paint(*Make<GraphRectagle>({{20, 30}, {120, 90}}, 5, RGB(0, 0, 255)));
    // A 5-pixel frame centred on the outline.
    EXPECT_EQ(p.At(70, 28), 0x0000FFu);
    EXPECT_EQ(p.At(70, 32), 0x0000FFu);
    EXPECT_EQ(p.At(70, 34), kWhitePx);
}

TEST(GraphPaint, EllipseIsInscribedAndHollow) {
    Canvas c;
    const auto p = c.Paint(*Make<GraphEllipse>({{20, 30}, {120, 90}}));
    EXPECT_EQ(p.At(70, 60), kWhitePx);
    EXPECT_EQ(p.At(20, 30), kWhitePx) << "corner of the box is outside the ellipse";
    EXPECT_GT(CountColour(p, kRedPx, {18, 55, 23, 65}), 0) << "left edge";
    EXPECT_GT(CountColour(p, kRedPx, {65, 28, 75, 33}), 0) << "top edge";
}

TEST(GraphPaint, ArrowHasAShaftAndAFilledHeadOfFixedSize) {
    Canvas c;
    const auto p = c.Paint(*Make<GraphLine>({{10, 50}, {150, 50}}));
    EXPECT_EQ(p.At(40, 50), kRedPx) << "shaft";
    EXPECT_EQ(p.At(40, 52), kWhitePx);
    // The head: from the tip back about 32 pixels, 10 wide at its base.
    EXPECT_EQ(p.At(140, 50), kRedPx);
    EXPECT_EQ(p.At(125, 53), kRedPx) << "filled";
    EXPECT_EQ(p.At(125, 47), kRedPx) << "filled";
    EXPECT_EQ(p.At(125, 57), kWhitePx);
    EXPECT_EQ(p.At(110, 50), kRedPx);
    EXPECT_EQ(p.At(110, 57), kWhitePx);
    EXPECT_EQ(CountColour(p, kRedPx, {100, 40, 116, 60}), 16) << "only the shaft before the base";
}

TEST(GraphPaint, ShortArrowHeadReachesBackPastItsStart) {
    Canvas c;
    const auto p = c.Paint(*Make<GraphLine>({{100, 70}, {110, 70}}));
    EXPECT_EQ(p.At(85, 72), kRedPx);
    EXPECT_EQ(p.At(85, 70), kRedPx);
}

TEST(GraphPaint, StrokeJoinsItsPoints) {
    Canvas c;
    const auto p = c.Paint(*Make<GraphFluoreScence>({{10, 10}, {60, 10}, {60, 80}}, 3));
    EXPECT_EQ(p.At(30, 10), kRedPx);
    EXPECT_EQ(p.At(30, 11), kRedPx) << "3 pixels wide";
    EXPECT_EQ(p.At(60, 50), kRedPx);
    EXPECT_EQ(p.At(30, 50), kWhitePx);
    Canvas one;
    const auto single = one.Paint(*Make<GraphFluoreScence>({{10, 10}}, 3));
    EXPECT_EQ(CountColour(single, kRedPx, {0, 0, 200, 150}), 0);
}

TEST(GraphPaint, TextIsWrappedInsideItsRectangle) {
    Canvas c;
    GraphText t;
    t.SetColor(RGB(0, 0, 0));
    t.SetText(L"Kestrow Kestrow Kestrow Kestrow");
    t.AddPoint(20, 20);
    t.AddPoint(90, 120);
    t.SetFont(::CreateFontW(-14, 0, 0, 0, FW_NORMAL, 0, 0, 0, GB2312_CHARSET, 0, 0, 0, 0, L"宋体"));
    const auto p = c.Paint(t);
    EXPECT_GT(CountColour(p, 0x000000, {21, 21, 89, 40}), 0) << "first line";
    EXPECT_GT(CountColour(p, 0x000000, {21, 40, 89, 119}), 0) << "wrapped lines";
    EXPECT_EQ(CountColour(p, 0x000000, {90, 0, 200, 150}), 0) << "nothing right of the box";
    EXPECT_EQ(CountColour(p, 0x000000, {0, 0, 20, 150}), 0) << "nothing left of the box";
    Canvas empty;
    GraphText none;
    EXPECT_EQ(CountColour(empty.Paint(none), 0x000000, {0, 0, 200, 150}), 0);
}

}  // namespace
}  // namespace kestrow
