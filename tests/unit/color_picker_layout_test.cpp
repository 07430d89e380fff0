#include "worker/colorpicker/color_picker_layout.h"

#include <gtest/gtest.h>

namespace kestrow {
namespace {

TEST(PickerBox, JumpsToTheOppositeCornerWhileTheCursorIsInItsZone) {
    EXPECT_EQ(PickerBoxOrigin({10, 10}, 1024, 768), (Point{824, 498}));
    EXPECT_EQ(PickerBoxOrigin({0, 0}, 1024, 768), (Point{824, 498}));
    EXPECT_EQ(PickerBoxOrigin({199, 269}, 1024, 768), (Point{824, 498}));
    EXPECT_EQ(PickerBoxOrigin({200, 10}, 1024, 768), (Point{0, 0}));
    EXPECT_EQ(PickerBoxOrigin({10, 270}, 1024, 768), (Point{0, 0}));
    EXPECT_EQ(PickerBoxOrigin({500, 400}, 1920, 1080), (Point{0, 0}));
    EXPECT_EQ(PickerBoxOrigin({-5, 10}, 1024, 768), (Point{0, 0})) << "left of the zone";
}

TEST(PickerText, PanelLineIsDecimal) {
    EXPECT_EQ(ColorPanelText(10, 255, 0), L"RGB: 10, 255, 0");
    EXPECT_EQ(ColorPanelText(0, 0, 0), L"RGB: 0, 0, 0");
}

TEST(PickerText, ClipboardTextAddsUpperCaseHexWithoutAFinalBreak) {
    EXPECT_EQ(ColorClipboardText(10, 255, 0), L"RGB: 10, 255, 0\r\nHex: #0AFF00");
    EXPECT_EQ(ColorClipboardText(0, 0, 0), L"RGB: 0, 0, 0\r\nHex: #000000");
    EXPECT_EQ(ColorClipboardText(171, 205, 239), L"RGB: 171, 205, 239\r\nHex: #ABCDEF");
}

}  // namespace
}  // namespace kestrow
