#include "worker/annotation/annotation_layout.h"

#include <gtest/gtest.h>

namespace kestrow {
namespace {

const Rect kSel{100, 100, 400, 300};

TEST(AnnotationClamp, PointsStayOnTheSelectionWithItsEdges) {
    EXPECT_EQ(ClampToSelection({50, 150}, kSel), (Point{100, 150})) << "left";
    EXPECT_EQ(ClampToSelection({150, 20}, kSel), (Point{150, 100})) << "above";
    EXPECT_EQ(ClampToSelection({900, 900}, kSel), (Point{400, 300})) << "edges included";
    EXPECT_EQ(ClampToSelection({250, 200}, kSel), (Point{250, 200}));
    // Presses right of or below the selection clamp onto an edge that is not inside it,
    // which is how they start nothing.
    EXPECT_FALSE(kSel.Contains(ClampToSelection({500, 200}, kSel)));
    EXPECT_TRUE(kSel.Contains(ClampToSelection({-50, -50}, kSel)));
}

TEST(TextBoxFit, GrowsRightByTheTextPlusThirty) {
    const Rect box{120, 130, 150, 160};
    EXPECT_EQ(FitTextBox(box, kSel, 50, 14), (Rect{120, 130, 200, 174}));
    EXPECT_EQ(FitTextBox(box, kSel, 0, 14), (Rect{120, 130, 150, 174})) << "empty text";
}

TEST(TextBoxFit, ThenDownByWholeLinesUpToTheLimit) {
    const Rect box{120, 130, 150, 160};
    // 400 - 120 - 30 = 250 pixels a line; 600 pixels of text need 3 lines.
    EXPECT_EQ(FitTextBox(box, kSel, 600, 14), (Rect{120, 130, 400, 202}));
    EXPECT_EQ(FitTextBox(box, kSel, 500, 14), (Rect{120, 130, 400, 188})) << "exactly 2 lines";
    EXPECT_EQ(FitTextBox(box, kSel, 5000, 14), (Rect{120, 130, 400, 300})) << "bottom limit";
    // So many lines that their height passes the int range: still the limit (found by fuzzing).
    EXPECT_EQ(FitTextBox(box, kSel, 1 << 24, 1 << 16), (Rect{120, 130, 400, 300}));
}

TEST(TextBoxFit, NarrowBoxesStillCountLines) {
    // A box 20 pixels from the right edge: the line width falls back to the whole box.
    const Rect nearEdge{380, 130, 400, 160};
    EXPECT_EQ(FitTextBox(nearEdge, kSel, 60, 10), (Rect{380, 130, 400, 190}));
    // No width at all: one pixel a line, so three lines for three pixels of text.
    const Rect atEdge{400, 130, 400, 160};
    EXPECT_EQ(FitTextBox(atEdge, kSel, 3, 10), (Rect{400, 130, 400, 190}));
}

TEST(ColorPanePlacement, BelowTheToolbarWhenThereIsRoom) {
    const Rect toolbar{208, 305, 400, 332};
    const PanePlacement p = PlaceColorPane(toolbar, kSel, 768);
    EXPECT_EQ(p.pane, (Point{208, 337}));
    EXPECT_FALSE(p.toolbarTop);
}

TEST(ColorPanePlacement, LowSelectionMovesTheToolbarAbove) {
    const Rect low{100, 600, 400, 700};
    const Rect toolbar{208, 705, 400, 732};  // 36 pixels left below it
    PanePlacement p = PlaceColorPane(toolbar, low, 768);
    EXPECT_EQ(p.toolbarTop, 568);
    EXPECT_EQ(p.pane, (Point{208, 524})) << "above the moved tool bar";

    const Rect midHigh{100, 60, 400, 700};
    p = PlaceColorPane(toolbar, midHigh, 768);
    EXPECT_EQ(p.toolbarTop, 28);
    EXPECT_EQ(p.pane.y, 28 + 27 + 5) << "below the moved tool bar";

    const Rect top{100, 20, 400, 700};
    p = PlaceColorPane(toolbar, top, 768);
    EXPECT_EQ(p.toolbarTop, 25) << "inside the selection";
    EXPECT_EQ(p.pane.y, 57);
}

TEST(ColorPanePlacement, ToolbarAboveOrInsideTheSelection) {
    EXPECT_EQ(PlaceColorPane({208, 69, 400, 96}, kSel, 768).pane, (Point{208, 25}));
    EXPECT_EQ(PlaceColorPane({208, 40, 400, 67}, kSel, 768).pane, (Point{208, 72}));
    EXPECT_EQ(PlaceColorPane({208, 268, 400, 295}, {0, 0, 1024, 768}, 768).pane, (Point{208, 224}));
}

TEST(ColorPanePlacement, KeptFivePixelsInsideTheRightEdge) {
    EXPECT_EQ(KeepPaneOnScreen(900, 264, 1024), 755);
    EXPECT_EQ(KeepPaneOnScreen(760, 264, 1024), 760) << "fits: unchanged";
    EXPECT_EQ(KeepPaneOnScreen(701, 324, 1024), 695);
    EXPECT_EQ(KeepPaneOnScreen(700, 324, 1024), 700) << "touching the edge is on screen";
}

TEST(ColorPaneModes, LayoutsAndWidths) {
    const PaneLayout shapes = PaneLayoutFor(kPaneShapes);
    EXPECT_EQ(shapes.pane, (Size{264, 39}));
    EXPECT_TRUE(shapes.widthStrip);
    EXPECT_FALSE(shapes.fontLists);
    EXPECT_EQ(shapes.colorBox, (Rect{90, 5, 118, 34}));
    const PaneLayout text = PaneLayoutFor(kPaneText);
    EXPECT_EQ(text.pane, (Size{324, 39}));
    EXPECT_FALSE(text.widthStrip);
    EXPECT_EQ(text.upperStrip, (Rect{180, 1, 324, 22}));
    EXPECT_EQ(PaneLayoutFor(kPaneHighlighter).upperStrip, shapes.upperStrip);
    EXPECT_EQ(text.faceList, (Rect{5, 7, 90, 207}));
    EXPECT_EQ(text.sizeList, (Rect{95, 7, 146, 207}));
    EXPECT_EQ(shapes.widths, (Rect{5, 5, 90, 30}));
    EXPECT_EQ(shapes.swatchInset, 2);

    EXPECT_EQ(PenWidthFor(ID_WIDTH_THIN, kPaneShapes), 1);
    EXPECT_EQ(PenWidthFor(ID_WIDTH_MEDIUM, kPaneText), 3);
    EXPECT_EQ(PenWidthFor(ID_WIDTH_THICK, kPaneShapes), 6);
    EXPECT_EQ(PenWidthFor(ID_WIDTH_THIN, kPaneHighlighter), 5);
    EXPECT_EQ(PenWidthFor(ID_WIDTH_THICK, kPaneHighlighter), 18);
    EXPECT_EQ(PenWidthFor(ID_TOOL_RECTANGLE, kPaneShapes), 0);  // a tool id is no width
    const int blocks[] = {8, 14, 24}, diameters[] = {20, 28, 36};
    for (int i = 0; i < 3; ++i) {
        EXPECT_EQ(PenWidthFor(ID_WIDTH_THIN + i, kPaneMosaic), blocks[i]);
        EXPECT_EQ(PenWidthFor(ID_WIDTH_THIN + i, kPaneStep), diameters[i]);
    }
    EXPECT_EQ(PaneLayoutFor(kPaneMosaic).pane, shapes.pane);
    EXPECT_EQ(kSwatchColors[0x60A - ID_FIRST_SWATCH], 0x000000FFu) << "pure red";
}

TEST(ColorPaneModes, LayoutsGrowWithTheMonitorsDpi) {
    const PaneLayout shapes = PaneLayoutFor(kPaneShapes, 144);
    EXPECT_EQ(shapes.pane, (Size{396, 59}));
    EXPECT_EQ(shapes.widths, (Rect{8, 8, 135, 45}));
    EXPECT_EQ(shapes.upperStrip, (Rect{180, 2, 396, 33}));
    EXPECT_EQ(shapes.lowerStrip, (Rect{180, 27, 396, 75}));
    EXPECT_EQ(shapes.colorBox, (Rect{135, 8, 177, 51}));
    EXPECT_EQ(shapes.swatchInset, 3);
    const PaneLayout text = PaneLayoutFor(kPaneText, 144);
    EXPECT_EQ(text.pane, (Size{486, 59}));
    EXPECT_EQ(text.colorBox, (Rect{225, 8, 267, 51}));
    EXPECT_EQ(text.faceList, (Rect{8, 11, 135, 311}));
    EXPECT_EQ(text.sizeList, (Rect{143, 11, 219, 311}));
}

}  // namespace
}  // namespace kestrow
