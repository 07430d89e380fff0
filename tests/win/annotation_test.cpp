// The annotation manager and the colour pane under Wine: shapes made from mouse
// events and painted into memory DCs, the text box, undo, and the pane's defaults,
// commands, modes and painting read back as pixels.
#include <gtest/gtest.h>

#include <cmath>
#include <memory>

#include "common/dpi.h"
#include "common/res_reader.h"
#include "common/win/com.h"
#include "common/win/window.h"
#include "tests/win/test_support.h"
#include "worker/annotation/color_select_pane.h"
#include "worker/annotation/graph.h"
#include "worker/annotation/graph_manager.h"
#include "worker/res/resource.h"
#include "worker/worker_ids.h"
#include "worker/selection_tracker.h"

namespace kestrow {
namespace {

bool Shown(HWND w) { return (::GetWindowLongW(w, GWL_STYLE) & WS_VISIBLE) != 0; }

unsigned ToRgb(COLORREF c) {
    return (unsigned(GetRValue(c)) << 16) | (unsigned(GetGValue(c)) << 8) | GetBValue(c);
}

constexpr unsigned kWhite = 0xFFFFFF, kRed = 0xFF0000, kBlue = 0x0000FF;

// A plain top-level window: the owner of the pane and the parent of the text box;
// it records the font notifications it is sent.
class Host : public win::Window {
public:
    bool Create() {
        WNDCLASSEXW wc{sizeof(wc)};
        wc.lpfnWndProc = Window::WindowProc;
        wc.hInstance = ::GetModuleHandleW(nullptr);
        wc.lpszClassName = L"KESTROW_AnnotationTestHost";
        if (!win::RegisterWindowClass(wc)) return false;
        return Window::Create({.className = wc.lpszClassName, .x = 0, .y = 0, .width = 800, .height = 600}) !=
               nullptr;
    }
    int fontHeight = 0;
    int fontMessages = 0;

protected:
    LRESULT HandleMessage(UINT msg, WPARAM wp, LPARAM lp) override {
        if (msg == WM_TEXT_FONT_CHANGED) {
            ++fontMessages;
            fontHeight = int(wp);
            return 0;
        }
        return DefaultMessage(msg, wp, lp);
    }
};

class Annotation : public ::testing::Test {
protected:
    void SetUp() override {
        ASSERT_TRUE(res.module);
        ASSERT_TRUE(host.Create());
        selection.geometry().Select({100, 100, 300, 250});
        ASSERT_TRUE(pane.Create(host.hwnd()));
        graphs.Create(host.hwnd());
        ASSERT_TRUE(graphs.textBox().hwnd());
    }

    void Stroke(int tool, std::initializer_list<POINT> points) {
        graphs.SetActiveTool(tool);
        auto p = points.begin();
        graphs.OnLButtonDown(p->x, p->y);
        POINT last = *p;
        for (++p; p != points.end(); ++p) {
            graphs.OnMouseMove(p->x, p->y);
            last = *p;
        }
        graphs.OnLButtonUp(last.x, last.y);
    }

    // All shapes painted onto white.
    test::Pixels Paint() {
        win::MemorySurface s(nullptr, 400, 300);
        ::PatBlt(s.dc(), 0, 0, 400, 300, WHITENESS);
        graphs.DrawAll(s.dc());
        ::GdiFlush();
        return test::ReadBitmap(s.bitmap());
    }

    test::Pixels PaintPane() {
        RECT client;
        ::GetClientRect(pane.hwnd(), &client);
        win::MemorySurface s(nullptr, client.right, client.bottom);
        pane.Paint(s.dc());
        ::GdiFlush();
        return test::ReadBitmap(s.bitmap());
    }

    win::GdiplusSession gdiplus;
    test::WorkerResources res;
    Host host;
    CSelectionTracker selection{800, 600, nullptr};
    CColorSelectPane pane;
    CGraphManager graphs{selection, [this] { return pane.Style(); }};
};

TEST_F(Annotation, ShapesTakeThePaneColourAndWidthAndStayInTheSelection) {
    Stroke(ID_TOOL_RECTANGLE, {{150, 150}, {200, 180}, {250, 200}});
    // Dragged far outside: the end stays on the selection's border.
    Stroke(ID_TOOL_ELLIPSE, {{120, 120}, {500, 500}});
    ASSERT_EQ(graphs.ShapeCount(), 2);
    const Graph* rect = graphs.shape(0);
    EXPECT_EQ(rect->color(), 0x000000FFu);
    EXPECT_EQ(rect->penWidth(), 3);
    EXPECT_EQ(rect->GetId(), 0);
    EXPECT_EQ(graphs.shape(1)->GetId(), 1);
    EXPECT_EQ(graphs.shape(1)->end().x, 300);
    EXPECT_EQ(graphs.shape(1)->end().y, 250);
    const test::Pixels p = Paint();
    for (int x : {149, 150, 151}) EXPECT_EQ(p.At(x, 175), kRed) << x;
    EXPECT_EQ(p.At(147, 175), kWhite);
    EXPECT_EQ(p.At(200, 175), kWhite);
}

TEST_F(Annotation, PressesOutsideLeftClampAndOnTheFarEdgesStartNothing) {
    Stroke(ID_TOOL_RECTANGLE, {{50, 50}, {200, 200}});
    ASSERT_EQ(graphs.ShapeCount(), 1);
    EXPECT_EQ(graphs.shape(0)->start().x, 100);
    EXPECT_EQ(graphs.shape(0)->start().y, 100);
    Stroke(ID_TOOL_RECTANGLE, {{350, 150}, {200, 200}});  // right of it: clamps onto the right edge
    Stroke(ID_TOOL_RECTANGLE, {{150, 260}, {200, 200}});  // below it
    Stroke(-1, {{150, 150}, {200, 200}});                 // no tool
    EXPECT_EQ(graphs.ShapeCount(), 1);
    EXPECT_EQ(graphs.current(), nullptr);
}

TEST_F(Annotation, ClicksLeaveOnlyAStroke) {
    for (int tool : {ID_TOOL_RECTANGLE, ID_TOOL_ELLIPSE, ID_TOOL_ARROW})
        Stroke(tool, {{150, 150}, {150, 150}});
    EXPECT_EQ(graphs.ShapeCount(), 0);
    Stroke(ID_TOOL_BRUSH, {{150, 150}, {150, 150}});
    EXPECT_EQ(graphs.ShapeCount(), 1);
    // A horizontal arrow is kept; a one-sided rectangle is not.
    Stroke(ID_TOOL_ARROW, {{120, 200}, {280, 200}});
    Stroke(ID_TOOL_RECTANGLE, {{120, 200}, {280, 200}});
    EXPECT_EQ(graphs.ShapeCount(), 2);
}

TEST_F(Annotation, HighlighterIsTranslucentAndUsesItsOwnWidths) {
    pane.SetMode(kPaneHighlighter);
    Stroke(ID_TOOL_HIGHLIGHTER, {{120, 200}, {280, 200}});
    ASSERT_EQ(graphs.ShapeCount(), 1);
    EXPECT_EQ(graphs.shape(0)->alpha(), 180);
    EXPECT_EQ(graphs.shape(0)->penWidth(), 12);
    // Output carries it at full opacity.
    const test::Pixels p = Paint();
    EXPECT_EQ(p.At(200, 196), kRed);
    EXPECT_EQ(p.At(200, 204), kRed);
    EXPECT_EQ(p.At(200, 190), kWhite);
}

TEST_F(Annotation, UndoRemovesNewestFirstAndClearDropsEverything) {
    Stroke(ID_TOOL_RECTANGLE, {{110, 110}, {150, 150}});
    Stroke(ID_TOOL_RECTANGLE, {{160, 110}, {200, 150}});
    Stroke(ID_TOOL_RECTANGLE, {{210, 110}, {250, 150}});
    graphs.Undo();
    ASSERT_EQ(graphs.ShapeCount(), 2);
    test::Pixels p = Paint();
    EXPECT_EQ(p.At(110, 130), kRed);
    EXPECT_EQ(p.At(160, 130), kRed);
    EXPECT_EQ(p.At(210, 130), kWhite);
    graphs.Undo();
    graphs.Undo();
    graphs.Undo();  // nothing left: harmless
    EXPECT_EQ(graphs.ShapeCount(), 0);
    Stroke(ID_TOOL_BRUSH, {{110, 110}, {150, 150}});
    graphs.Clear();
    EXPECT_EQ(graphs.ShapeCount(), 0);
    EXPECT_EQ(graphs.current(), nullptr);
}

TEST_F(Annotation, TextBoxGrowsWithItsTextAndCommitsIntoThatRectangle) {
    HWND box = graphs.textBox().hwnd();
    Stroke(ID_TOOL_TEXT, {{120, 120}, {130, 130}});
    ASSERT_TRUE(Shown(box));
    EXPECT_EQ(graphs.ShapeCount(), 0);
    ASSERT_NE(graphs.current(), nullptr);  // the text shape waits for the commit
    RECT r = graphs.textBox().placement();
    EXPECT_EQ(r.left, 120);
    EXPECT_EQ(r.right, 150);
    ::SetWindowTextW(box, L"a long line of text that is wider than the selection is");
    graphs.FitTextBox();
    r = graphs.textBox().placement();
    EXPECT_EQ(r.right, 300);               // up to the selection's right edge
    EXPECT_GT(r.bottom - r.top, 30 + 12);  // then more than one line
    EXPECT_LE(r.bottom, 250);
    RECT window;
    ::GetWindowRect(box, &window);
    EXPECT_EQ(window.right - window.left, 180);
    // The first press only commits.
    graphs.OnLButtonDown(200, 200);
    EXPECT_FALSE(Shown(box));
    ASSERT_EQ(graphs.ShapeCount(), 1);
    const Graph* text = graphs.shape(0);
    EXPECT_EQ(text->start().x, 120);
    EXPECT_EQ(text->end().x, 300);
    EXPECT_EQ(text->end().y, r.bottom);
    EXPECT_EQ(graphs.current(), nullptr);
    const test::Pixels p = Paint();
    int red = 0;
    for (int y = 121; y < r.bottom; ++y)
        for (int x = 121; x < 300; ++x) red += (p.At(x, y) != kWhite);
    EXPECT_GT(red, 50);
}

TEST_F(Annotation, NewTextBoxNearTheCornerStaysInsideTheSelection) {
    Stroke(ID_TOOL_TEXT, {{290, 240}});
    RECT window;
    ::GetWindowRect(graphs.textBox().hwnd(), &window);
    EXPECT_EQ(window.right - window.left, 10);
    EXPECT_EQ(window.bottom - window.top, 10);
}

TEST_F(Annotation, EmptyTextIsDiscardedAndOpenTextIsNotPainted) {
    Stroke(ID_TOOL_TEXT, {{120, 120}});
    graphs.CommitText();
    EXPECT_EQ(graphs.ShapeCount(), 0);
    EXPECT_EQ(graphs.current(), nullptr);
    Stroke(ID_TOOL_TEXT, {{120, 120}});
    ::SetWindowTextW(graphs.textBox().hwnd(), L"WWW");
    const test::Pixels p = Paint();
    for (int y = 120; y < 160; ++y)
        for (int x = 120; x < 200; ++x) ASSERT_EQ(p.At(x, y), kWhite) << x << "," << y;
}

TEST_F(Annotation, CursorShowsWhereAPressWouldDraw) {
    auto classCursor = [&] {
        return reinterpret_cast<HCURSOR>(::GetClassLongPtrW(host.hwnd(), GCLP_HCURSOR));
    };
    const HCURSOR cross = ::LoadCursorW(nullptr, IDC_CROSS);
    graphs.OnMouseMove(150, 150);
    EXPECT_EQ(classCursor(), cross);
    graphs.OnMouseMove(300, 150);  // on the right edge: outside by PtInRect rules
    EXPECT_NE(classCursor(), cross);
    graphs.OnMouseMove(50, 50);
    EXPECT_NE(classCursor(), cross);
    // While dragging, the clamped point counts: it is back on the selection.
    graphs.SetActiveTool(ID_TOOL_RECTANGLE);
    graphs.OnLButtonDown(150, 150);
    graphs.OnMouseMove(50, 150);
    EXPECT_EQ(classCursor(), cross);
    graphs.OnLButtonUp(50, 150);
    graphs.SetActiveTool(ID_TOOL_TEXT);
    graphs.OnLButtonDown(150, 150);
    EXPECT_EQ(classCursor(), ::LoadCursorW(nullptr, IDC_IBEAM));
}

// A frozen screen of distinct pixels under the selection, as the overlay attaches it.
class AnnotationOnPicture : public Annotation {
protected:
    void SetUp() override {
        Annotation::SetUp();
        ASSERT_TRUE(frozen.CreateDib(400, 300));
        for (int y = 0; y < 300; ++y)
            for (int x = 0; x < 400; ++x) frozen.bits()[y * 400 + x] = test::Unique(x * 3, y * 5);
        selection.Attach(frozen.dc(), host.hwnd());
    }
    // The picture with all shapes on it, as the output is made.
    test::Pixels Compose() {
        win::MemorySurface s(nullptr, 400, 300);
        ::BitBlt(s.dc(), 0, 0, 400, 300, frozen.dc(), 0, 0, SRCCOPY);
        graphs.DrawAll(s.dc());
        ::GdiFlush();
        return test::ReadBitmap(s.bitmap());
    }
    win::MemorySurface frozen;
};

TEST_F(AnnotationOnPicture, MosaicHoldsOnlyBlockAveragesOfThePictureAndTheShapesBeforeIt) {
    Stroke(ID_TOOL_RECTANGLE, {{120, 115}, {160, 200}});
    const test::Pixels before = Compose();
    pane.SetMode(kPaneMosaic);
    // 61 x 40 pixels in blocks of 14: the last column is 5 wide, the last row 12 high.
    graphs.SetActiveTool(ID_TOOL_MOSAIC);
    graphs.OnLButtonDown(110, 110);
    graphs.OnMouseMove(171, 150);
    test::Pixels p = Compose();
    EXPECT_EQ(p.At(110, 130), kRed) << "an outline while dragged";
    EXPECT_EQ(p.At(130, 130), before.At(130, 130));
    graphs.OnLButtonUp(171, 150);
    ASSERT_EQ(graphs.ShapeCount(), 2);
    p = Compose();
    const MosaicGrid grid = MosaicGridFor({110, 110, 171, 150}, 14);
    const std::vector<uint32_t> mean = BlockAverages(grid, &before.data[110 * 400 + 110], 400);
    for (int y = 110; y < 150; ++y)
        for (int x = 110; x < 171; ++x)
            ASSERT_EQ(p.At(x, y), mean[size_t((y - 110) / 14 * grid.cols + (x - 110) / 14)]) << x << "," << y;
    for (int x = 100; x < 200; ++x) ASSERT_EQ(p.At(x, 150), before.At(x, 150)) << "below it, " << x;
    for (int y = 100; y < 200; ++y) ASSERT_EQ(p.At(171, y), before.At(171, y)) << "right of it, " << y;
}

TEST_F(AnnotationOnPicture, MosaicIsClippedToTheSelectionAndAClickMakesNone) {
    pane.SetMode(kPaneMosaic);
    Stroke(ID_TOOL_MOSAIC, {{150, 150}, {150, 150}});
    EXPECT_EQ(graphs.ShapeCount(), 0);
    Stroke(ID_TOOL_MOSAIC, {{280, 230}, {600, 500}});
    ASSERT_EQ(graphs.ShapeCount(), 1);
    const test::Pixels p = Compose();
    EXPECT_EQ(p.At(299, 249), p.At(294, 244)) << "one block up to the corner";
    EXPECT_EQ(p.At(300, 240), test::Unique(900, 1200)) << "right of the selection untouched";
    EXPECT_EQ(p.At(290, 250), test::Unique(870, 1250)) << "below it untouched";
}

TEST_F(Annotation, StepNumbersCountOnFromTheHighestStillThere) {
    pane.SetMode(kPaneStep);
    for (int i = 0; i < 3; ++i) Stroke(ID_TOOL_STEP, {{130 + 40 * i, 150}});
    ASSERT_EQ(graphs.ShapeCount(), 3);
    EXPECT_EQ(graphs.shape(2)->StepNumber(), 3);
    graphs.Undo();
    Stroke(ID_TOOL_STEP, {{210, 150}, {220, 160}});  // dragged: placed where released
    EXPECT_EQ(graphs.shape(2)->StepNumber(), 3);
    EXPECT_EQ(graphs.shape(2)->start().x, 220);
    Stroke(ID_TOOL_RECTANGLE, {{110, 110}, {130, 130}});
    Stroke(ID_TOOL_STEP, {{250, 200}});
    EXPECT_EQ(graphs.shape(4)->StepNumber(), 4) << "other shapes do not count";
}

// A step number drawn alone onto green. Its ink is what is neither green nor the circle's
// `fill`: pure black or white pixels, and any past the rim.
struct StepInk {
    RECT box{};
    test::Pixels p;
    int black = 0, white = 0, outside = 0;
};
StepInk DrawStep(const GraphStepNumber& step, unsigned fill) {
    constexpr unsigned kGreen = 0x00FF00;
    StepInk r;
    win::MemorySurface s(nullptr, 400, 300);
    win::ScopedSelect brush(s.dc(), ::GetStockObject(DC_BRUSH));
    ::SetDCBrushColor(s.dc(), RGB(0, 255, 0));
    ::PatBlt(s.dc(), 0, 0, 400, 300, PATCOPY);
    r.box = step.CircleIn(s.dc());
    step.Draw(s.dc(), 1);
    ::GdiFlush();
    r.p = test::ReadBitmap(s.bitmap());
    const double cx = (r.box.left + r.box.right) / 2.0, cy = (r.box.top + r.box.bottom) / 2.0;
    for (int y = r.box.top - 4; y < r.box.bottom + 4; ++y)
        for (int x = r.box.left - 4; x < r.box.right + 4; ++x) {
            const unsigned v = r.p.At(x, y);
            if (v == fill || v == kGreen) continue;
            r.black += v == 0;
            r.white += v == kWhite;
            r.outside += std::hypot(x + 0.5 - cx, y + 0.5 - cy) > (r.box.right - r.box.left) / 2.0;
        }
    return r;
}

TEST_F(Annotation, StepNumberIsAFilledCircleWithItsNumberInsideGrowingPast99) {
    pane.SetMode(kPaneStep);
    Stroke(ID_TOOL_STEP, {{150, 150}});
    StepInk one = DrawStep(*static_cast<const GraphStepNumber*>(graphs.shape(0)), kRed);
    EXPECT_EQ(one.p.At(138, 150), kRed);  // 28 across, centred on the click
    EXPECT_EQ(one.p.At(134, 150), 0x00FF00u);
    EXPECT_GT(one.white, 10) << "white on red";
    EXPECT_EQ(one.outside, 0);
    // Black on yellow; wider circles only past two digits.
    GraphStepNumber step;
    step.SetPenWidth(28);
    step.SetColor(0x0000FFFF);
    step.AddPoint(200, 150);
    for (int number : {99, 100, 12345}) {
        step.SetStepNumber(number);
        const StepInk r = DrawStep(step, 0xFFFF00);
        EXPECT_EQ(r.box.right - r.box.left > 28, number > 99) << number;
        EXPECT_GT(r.black, 10) << number;
        EXPECT_EQ(r.white, 0) << number;
        EXPECT_EQ(r.outside, 0) << number;
    }
}

// The overlay's layer and the magnifier's piece leave out what lies outside a shape's
// bounds: every pixel a shape paints must lie inside them, at the selection's edges too.
TEST(ShapeBounds, HoldEveryPixelEachKindPaints) {
    const RECT clip{40, 40, 160, 130};
    struct Case {
        ShapeKind kind;
        int width;
        std::vector<POINT> points;
    };
    const Case cases[] = {
        {ShapeKind::Rectangle, 18, {{40, 40}, {159, 129}}},
        {ShapeKind::Ellipse, 18, {{159, 129}, {40, 40}}},
        {ShapeKind::Arrow, 18, {{150, 120}, {40, 41}}},
        {ShapeKind::Brush, 18, {{40, 40}, {159, 40}, {159, 129}, {40, 129}}},
        {ShapeKind::Highlighter, 18, {{41, 128}, {158, 42}}},
        {ShapeKind::Text, 1, {{40, 40}, {160, 130}}},
        {ShapeKind::Mosaic, 24, {{20, 20}, {200, 200}}},
        {ShapeKind::StepNumber, 36, {{41, 41}}},
    };
    for (const Case& c : cases) {
        for (bool finished : {false, true}) {
            std::unique_ptr<Graph> shape = CreateGraph(c.kind);
            shape->SetClipRect(&clip);
            shape->SetPenWidth(c.width);
            shape->SetColor(RGB(0, 0, 255));
            shape->SetStepNumber(12345);
            for (POINT p : c.points) shape->AddPoint(p.x, p.y);
            shape->SetText(L"注释 annotation text that wraps onto more lines than fit in its box");
            shape->SetFont(::CreateFontW(30, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, L"宋体"));
            if (finished) shape->Finish([](HDC dc) { ::PatBlt(dc, 0, 0, 400, 400, BLACKNESS); });
            win::MemorySurface s(nullptr, 200, 170);
            ::PatBlt(s.dc(), 0, 0, 200, 170, WHITENESS);
            shape->Draw(s.dc(), 1);
            const Rect b = shape->Bounds(s.dc());
            ::GdiFlush();
            const test::Pixels p = test::ReadBitmap(s.bitmap());
            int inside = 0, outside = 0;
            for (int y = 0; y < 170; ++y)
                for (int x = 0; x < 200; ++x)
                    if (p.At(x, y) != kWhite) ++(b.Contains({x, y}) ? inside : outside);
            EXPECT_GT(inside, 0) << int(c.kind) << " " << finished;
            EXPECT_EQ(outside, 0) << int(c.kind) << " " << finished;
        }
    }
}

TEST_F(Annotation, PaneStartsRedThreePixelsWithTheMiddleWidthChecked) {
    EXPECT_EQ(pane.GetColor(), 0x000000FFu);
    EXPECT_EQ(pane.GetPenWidth(), 3);
    EXPECT_EQ(pane.widths().GetChecked(), ID_WIDTH_MEDIUM);
    EXPECT_EQ(pane.mode(), kPaneShapes);
    RECT client;
    ::GetClientRect(pane.hwnd(), &client);
    EXPECT_EQ(client.right, 264);
    EXPECT_EQ(client.bottom, 39);
    const test::Pixels p = PaintPane();
    EXPECT_EQ(p.At(0, 0), 0x678AAAu);    // outline
    EXPECT_EQ(p.At(60, 2), 0xE8E8E8u);   // background
    EXPECT_EQ(p.At(90, 20), 0x678AAAu);  // colour box outline
    EXPECT_EQ(p.At(91, 20), ToRgb(::GetSysColor(COLOR_WINDOW)));
    EXPECT_EQ(p.At(104, 20), kRed);  // the colour
    // The sixteen swatches in order, outlined in black.
    for (int i = 0; i < 16; ++i) {
        const int x = 120 + 3 + 17 * (i % 8), y = (i < 8 ? 1 : 18) + 3;
        EXPECT_EQ(p.At(x + 7, y + 7), ToRgb(kSwatchColors[size_t(i)])) << i;
        EXPECT_EQ(p.At(x + 1, y + 7), 0u) << i;
    }
}

TEST_F(Annotation, PaneAt144DpiIsHalfAsLargeAgainAndItsSwatchesHitWhereDrawn) {
    pane.SetDpi(144);
    RECT client;
    ::GetClientRect(pane.hwnd(), &client);
    EXPECT_EQ(client.right, 396);
    EXPECT_EQ(client.bottom, 59);
    test::Pixels p = PaintPane();
    EXPECT_EQ(p.At(395, 58), 0x678AAAu);  // outline at the scaled corner
    EXPECT_EQ(p.At(135, 30), 0x678AAAu);  // colour box (135, 8, 177, 51) with a 3-pixel inset
    EXPECT_EQ(p.At(137, 30), ToRgb(::GetSysColor(COLOR_WINDOW)));
    EXPECT_EQ(p.At(138, 30), kRed);
    // Swatches 21 x 21 at 180 + 1.5 x (3 + 17 i), outlined in black.
    for (int i = 0; i < 16; ++i) {
        const int x = 180 + Scale(3 + 17 * (i % 8), 144), y = (i < 8 ? 2 : 27) + 5;
        EXPECT_EQ(p.At(x + 10, y + 10), ToRgb(kSwatchColors[size_t(i)])) << i;
        EXPECT_EQ(p.At(x + 1, y + 10), 0u) << i;
    }
    // The checked middle width shows its frame at its scaled place (8 + 30, 8 + 5).
    auto frames = LoadPngResource(res.module, 204);
    ASSERT_TRUE(frames);
    Gdiplus::Color edge;
    frames->GetPixel(22, 0, &edge);
    EXPECT_EQ(p.At(38, 13), edge.GetValue() & 0xFFFFFFu);
    // A click on the blue swatch (lower row, sixth) where it is drawn picks it.
    const int bx = 180 + Scale(3 + 17 * 5, 144) + 10, by = 27 + 5 + 10;
    ::ShowWindow(pane.hwnd(), SW_SHOWNA);
    for (UINT msg : {WM_MOUSEMOVE, WM_LBUTTONDOWN, WM_LBUTTONUP})
        ::SendMessageW(pane.hwnd(), msg, 0, MAKELPARAM(bx, by));
    EXPECT_EQ(pane.GetColor(), 0x00FF0000u);
    // Text mode: the lists move with the layout.
    pane.SetMode(kPaneText);
    ::GetClientRect(pane.hwnd(), &client);
    EXPECT_EQ(client.right, 486);
    RECT face;
    ::GetWindowRect(::GetDlgItem(pane.hwnd(), IDC_FONT_FACE), &face);
    ::MapWindowPoints(nullptr, pane.hwnd(), reinterpret_cast<POINT*>(&face), 2);
    EXPECT_EQ(face.left, 8);
    EXPECT_EQ(face.top, 11);
    EXPECT_EQ(face.right - face.left, 127);
    EXPECT_EQ(PaintPane().At(246, 30), kBlue);  // the colour box moved right with the lists
}

TEST_F(Annotation, PaneCommandsSetColourAndWidthPerMode) {
    ::SendMessageW(pane.hwnd(), WM_COMMAND, 0x60D, reinterpret_cast<LPARAM>(&pane.lowerColors()));
    EXPECT_EQ(pane.GetColor(), 0x00FF0000u);
    EXPECT_EQ(PaintPane().At(104, 20), kBlue);
    ::SendMessageW(pane.hwnd(), WM_COMMAND, ID_WIDTH_THICK, 0);
    EXPECT_EQ(pane.GetPenWidth(), 6);
    pane.SetMode(kPaneHighlighter);
    EXPECT_EQ(pane.widths().GetChecked(), ID_WIDTH_MEDIUM);
    EXPECT_EQ(pane.GetPenWidth(), 12);
    ::SendMessageW(pane.hwnd(), WM_COMMAND, ID_WIDTH_THIN, 0);
    EXPECT_EQ(pane.GetPenWidth(), 5);
    EXPECT_EQ(host.fontMessages, 0);
    // Text mode: wider, lists shown, the colour box moved; a colour change re-sends the font.
    pane.SetMode(kPaneText);
    RECT client;
    ::GetClientRect(pane.hwnd(), &client);
    EXPECT_EQ(client.right, 324);
    EXPECT_TRUE(::GetWindowLongW(::GetDlgItem(pane.hwnd(), IDC_FONT_FACE), GWL_STYLE) & WS_VISIBLE);
    ::SendMessageW(pane.hwnd(), WM_COMMAND, 0x600, reinterpret_cast<LPARAM>(&pane.upperColors()));
    EXPECT_EQ(pane.GetColor(), 0u);
    EXPECT_EQ(host.fontMessages, 1);
    EXPECT_EQ(host.fontHeight, 12);
    EXPECT_EQ(PaintPane().At(164, 20), 0u);
    pane.SetMode(kPaneShapes);
    EXPECT_EQ(pane.GetPenWidth(), 3);
    EXPECT_EQ(pane.widths().GetChecked(), ID_WIDTH_MEDIUM);
    EXPECT_FALSE(::GetWindowLongW(::GetDlgItem(pane.hwnd(), IDC_FONT_FACE), GWL_STYLE) & WS_VISIBLE);
}

TEST_F(Annotation, PaneListsSizesAndTextFontFollowsThem) {
    HWND sizes = ::GetDlgItem(pane.hwnd(), IDC_FONT_SIZE);
    ASSERT_EQ(::SendMessageW(sizes, CB_GETCOUNT, 0, 0), 13);
    EXPECT_EQ(::SendMessageW(sizes, CB_GETCURSEL, 0, 0), 4);
    EXPECT_GT(::SendMessageW(::GetDlgItem(pane.hwnd(), IDC_FONT_FACE), CB_GETCOUNT, 0, 0), 0);
    ::SendMessageW(sizes, CB_SETCURSEL, 12, 0);
    ::SendMessageW(pane.hwnd(), WM_COMMAND, MAKEWPARAM(IDC_FONT_SIZE, CBN_SELCHANGE), LPARAM(sizes));
    EXPECT_EQ(host.fontMessages, 1);
    EXPECT_EQ(host.fontHeight, 20);
    EXPECT_EQ(pane.Style().fontHeight, 20);
}

}  // namespace
}  // namespace kestrow
