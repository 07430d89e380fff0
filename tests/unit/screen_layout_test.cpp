// The three-monitor desktop of the multi-monitor scenarios: a primary 1920 x 1080 at
// (0,0), a 1280 x 1024 monitor to its left and a 1024 x 768 one above it.
#include "common/screen_layout.h"

#include <gtest/gtest.h>

#include "common/dpi.h"
#include "worker/annotation/annotation_layout.h"
#include "worker/colorpicker/color_picker_layout.h"
#include "worker/magnifier_layout.h"
#include "worker/save_naming.h"
#include "worker/toolbar/toolbar_layout.h"
#include "worker/window_rects.h"

namespace kestrow {
namespace {

const ScreenLayout kThree({-1280, -768, 1920, 1080},
                          {{0, 0, 1920, 1080}, {-1280, 0, 0, 1024}, {0, -768, 1024, 0}});
// The same monitors in overlay coordinates.
constexpr Rect kPrimary{1280, 768, 3200, 1848};
constexpr Rect kLeft{0, 768, 1280, 1792};
constexpr Rect kTop{1280, 0, 2304, 768};

TEST(ScreenLayout, TranslatesBetweenScreenAndOverlay) {
    EXPECT_EQ(kThree.width(), 3200);
    EXPECT_EQ(kThree.height(), 1848);
    EXPECT_EQ(kThree.ToOverlay(Point{-1180, 132}), (Point{100, 900}));
    EXPECT_EQ(kThree.ToScreen(Point{100, 900}), (Point{-1180, 132}));
    EXPECT_EQ(kThree.ToOverlay(Rect{-1280, 0, 0, 1024}), kLeft);
    EXPECT_EQ(kThree.ToScreen(kTop), (Rect{0, -768, 1024, 0}));
    const ScreenLayout one = ScreenLayout::Single(1024, 768);
    EXPECT_EQ(one.ToOverlay(Point{5, 7}), (Point{5, 7}));
    EXPECT_EQ(one.MonitorAt({5, 7}), (Rect{0, 0, 1024, 768}));
    EXPECT_EQ(ScreenLayout({0, 0, 800, 600}, {}).monitors().size(), 1u) << "no monitors: the virtual screen";
}

TEST(ScreenLayout, MonitorOfAPointIsTheNearestOneInAGap) {
    EXPECT_EQ(kThree.MonitorAt({100, 900}), kLeft);
    EXPECT_EQ(kThree.MonitorAt({1279, 768}), kLeft);
    EXPECT_EQ(kThree.MonitorAt({1280, 768}), kPrimary);
    EXPECT_EQ(kThree.MonitorAt({2000, 767}), kTop);
    // The top-left corner of the virtual screen is covered by no monitor.
    EXPECT_EQ(kThree.MonitorAt({1200, 10}), kTop);
    EXPECT_EQ(kThree.MonitorAt({10, 700}), kLeft);
    EXPECT_EQ(kThree.MonitorAt({3000, 300}), kPrimary);
}

TEST(ScreenLayout, MonitorOfARectangleHoldsMostOfIt) {
    EXPECT_EQ(kThree.MonitorFor({1200, 900, 1300, 950}), kLeft) << "80 of 100 columns on the left";
    EXPECT_EQ(kThree.MonitorFor({1250, 900, 1400, 950}), kPrimary);
    EXPECT_EQ(kThree.MonitorFor({10, 10, 20, 20}), kLeft) << "touches none: the nearest to its centre";
    const ScreenLayout scaled({-1280, 0, 1920, 1080}, {{0, 0, 1920, 1080}, {-1280, 0, 0, 1024}}, {144, 120});
    EXPECT_EQ(scaled.DpiAt({100, 100}), 120);
    EXPECT_EQ(scaled.DpiFor({1250, 100, 1400, 200}), 144);
    EXPECT_EQ(kThree.DpiAt({100, 900}), 96) << "none given";
}

TEST(MultiMonitorPlacement, ToolbarStaysOnTheSelectionsMonitor) {
    // Low on the left monitor, whose bottom (1792) lies above the virtual screen's (1848).
    EXPECT_EQ(PlaceToolbarRect({100, 1500, 400, 1780}, 192, kLeft), (Rect{208, 1469, 400, 1496}));
    // Against the left monitor's left edge.
    EXPECT_EQ(PlaceToolbarRect({0, 900, 100, 1000}, 192, kLeft), (Rect{0, 1005, 192, 1032}));
    // Low on the primary, near its top: inside the selection's top edge. 31 pixels below the
    // monitor's top is not "room above" although it is far below the virtual screen's top.
    EXPECT_EQ(PlaceToolbarRect({1400, 799, 1700, 1846}, 192, kPrimary), (Rect{1508, 804, 1700, 831}));
    EXPECT_EQ(PlaceToolbarRect({1400, 800, 1700, 1846}, 192, kPrimary), (Rect{1508, 769, 1700, 796}));
    // Right edge of the top monitor, not of the virtual screen.
    EXPECT_EQ(PlaceToolbarRect({2200, 100, 2304, 200}, 192, kTop), (Rect{2112, 205, 2304, 232}));
}

TEST(MultiMonitorPlacement, PaneStaysOnTheSelectionsMonitor) {
    // Tool bar below a selection low on the left monitor: no room for the pane below.
    const Rect sel{100, 1600, 400, 1740};
    const Rect bar = PlaceToolbarRect(sel, 192, kLeft);
    ASSERT_EQ(bar, (Rect{208, 1745, 400, 1772}));
    PanePlacement p = PlaceColorPane(bar, sel, kLeft);
    EXPECT_EQ(p.toolbarTop, 1568);
    EXPECT_EQ(p.pane, (Point{208, 1524}));
    // Tool bar inside the top edge of a selection near the primary's top.
    p = PlaceColorPane({1508, 804, 1700, 831}, {1400, 799, 1700, 1846}, kPrimary);
    EXPECT_EQ(p.pane, (Point{1508, 836})) << "44 below the monitor's top is no room above";
    EXPECT_EQ(KeepPaneOnScreen(2200, 264, kTop), 2304 - 5 - 264);
    EXPECT_EQ(KeepPaneOnScreen(1100, 264, kLeft), 1280 - 5 - 264);
    EXPECT_EQ(KeepPaneOnScreen(1000, 264, kLeft), 1000);
}

TEST(MultiMonitorPlacement, MagnifierAndPickerUseTheMonitorUnderTheMouse) {
    EXPECT_EQ(MagnifierBox({600, 1200}, kLeft), (Rect{0, 768, 200, 988}));
    EXPECT_EQ(MagnifierBox({50, 800}, kLeft), (Rect{1080, 1572, 1280, 1792}));
    EXPECT_EQ(MagnifierBox({1300, 10}, kTop), (Rect{2104, 548, 2304, 768}));
    EXPECT_EQ(PickerBoxOrigin({600, 1200}, kLeft), (Point{0, 768}));
    EXPECT_EQ(PickerBoxOrigin({1290, 1000}, kPrimary), (Point{3000, 1578}));
}

TEST(MultiMonitorPlacement, TrackedWindowIsClampedToTheDesktopAndFramedOnItsMonitor) {
    // A window maximised on the left monitor reaches 8 pixels past its edges, onto the
    // neighbouring monitors too; its frame stays on the left monitor.
    const Rect maximised{-8, 760, 1288, 1800};
    EXPECT_EQ(ClampWindowRect(maximised, kThree.Bounds()), (Rect{0, 760, 1288, 1800}));
    EXPECT_EQ(FrameWindowRect(maximised, kThree.MonitorFor(maximised)), (Rect{3, 771, 1278, 1790}));
    EXPECT_EQ(FrameWindowRect({-8, 760, 1272, 1800}, kLeft), (Rect{3, 771, 1272, 1790}));
}

TEST(MultiMonitorPlacement, RegionCopyIsClippedToTheVirtualScreen) {
    EXPECT_EQ(ClampCopyRect({3100, 1800, 3300, 1900}, kThree.Bounds()), (Rect{3100, 1800, 3200, 1848}));
    EXPECT_EQ(ClampCopyRect({-5, 10, 50, 20}, kThree.Bounds()), (Rect{0, 10, 50, 20}));
}

TEST(DpiScale, RoundsToTheNearestPixel) {
    EXPECT_EQ(Scale(27, 96), 27);
    EXPECT_EQ(Scale(27, 144), 41);
    EXPECT_EQ(Scale(200, 144), 300);
    EXPECT_EQ(Scale(5, 120), 6);
    EXPECT_EQ(Scale(-5, 144), -8);
    EXPECT_EQ(Scale(7, 0), 7) << "no DPI known: unscaled";
}

TEST(DpiScale, FurnitureGrowsWithTheMonitorsDpi) {
    const Rect screen{0, 0, 1920, 1080};
    EXPECT_EQ(MagnifierBox({900, 700}, screen, 144), (Rect{0, 0, 300, 330}));
    EXPECT_EQ(MagnifierBox({10, 10}, screen, 144), (Rect{1620, 750, 1920, 1080}));
    EXPECT_EQ(MagnifierTextStrip({0, 0, 300, 330}, 144), (Rect{0, 300, 300, 330}));
    EXPECT_EQ(PickerBoxOrigin({250, 300}, screen, 144), (Point{1620, 675}));
    EXPECT_EQ(PlaceToolbarRect({100, 100, 400, 300}, 288, screen, 144), (Rect{112, 308, 400, 349}));
    EXPECT_EQ(PlaceToolbarRect({100, 100, 400, 1050}, 288, screen, 144), (Rect{112, 53, 400, 94}));
    const PanePlacement p = PlaceColorPane({112, 308, 400, 349}, {100, 100, 400, 300}, screen, 144);
    EXPECT_EQ(p.pane, (Point{112, 357}));
}

}  // namespace
}  // namespace kestrow
