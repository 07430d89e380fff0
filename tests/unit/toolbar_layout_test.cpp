#include "worker/toolbar/toolbar_layout.h"

#include "common/dpi.h"

#include <gtest/gtest.h>

namespace kestrow {
namespace {

std::vector<StripItem> ToolItems() {
    std::vector<StripItem> items;
    const int ids[] = {0x500, 0x502, 0x503, 0x506, 0x509, 0x50B, 0x50C};
    const int images[] = {0, 1, 2, 4, 7, 5, 6};
    for (int i = 0; i < 7; ++i) {
        StripItem item;
        item.id = ids[i];
        item.image = images[i];
        item.style = i < 3 ? kItemCheckGroup : 0;
        item.label = L"x";
        items.push_back(item);
    }
    return items;
}

Size NoLabel(const StripItem&) { return {}; }

TEST(ToolbarLayout, SevenItemsOf24By22) {
    auto items = ToolItems();
    const int width = LayoutStripItems(items, {18, 18, {16, 16}, true}, NoLabel);
    EXPECT_EQ(width, 192);
    const int lefts[] = {3, 30, 57, 84, 111, 138, 165};
    for (int i = 0; i < 7; ++i) EXPECT_EQ(items[i].layout, (Rect{lefts[i], 3, lefts[i] + 24, 25}));
}

TEST(ToolbarLayout, SeparatorsLabelsAndMissingIcons) {
    std::vector<StripItem> items(3);
    items[0].image = 0;
    items[1].style = kItemSeparator;
    items[2].image = 1;
    items[2].style = kItemShowLabel;
    auto label = [](const StripItem&) { return Size{30, 20}; };
    int width = LayoutStripItems(items, {8, 8, {22, 22}, true}, label);
    EXPECT_EQ(items[0].layout, (Rect{3, 3, 17, 15}));
    EXPECT_EQ(items[1].layout, (Rect{20, 3, 25, 15}));
    EXPECT_EQ(items[2].layout, (Rect{28, 3, 72, 27}));  // 30 + 8 + 2 + 4 wide, 20 + 4 high
    EXPECT_EQ(width, 75);
    // Without the icon image (width 0) items fall back to the default size.
    width = LayoutStripItems(items, {0, 0, {22, 22}, false}, label);
    EXPECT_EQ(items[0].layout, (Rect{3, 3, 25, 25}));
    EXPECT_EQ(items[1].layout, (Rect{28, 3, 33, 7}));
}

TEST(ToolbarHitTest, HorizontalOnlyInsideTheBorder) {
    auto items = ToolItems();
    LayoutStripItems(items, {18, 18, {16, 16}, true}, NoLabel);
    const Rect strip{0, 0, 192, 27};
    EXPECT_EQ(HitTestStrip(items, strip, 3, 10), 0);
    EXPECT_EQ(HitTestStrip(items, strip, 27, 10), 0);   // the right edge belongs to the item
    EXPECT_EQ(HitTestStrip(items, strip, 28, 10), -1);  // the gap
    EXPECT_EQ(HitTestStrip(items, strip, 30, 3), 1);
    EXPECT_EQ(HitTestStrip(items, strip, 30, 23), 1);
    EXPECT_EQ(HitTestStrip(items, strip, 188, 10), 6);
    EXPECT_EQ(HitTestStrip(items, strip, 189, 10), -1);
    EXPECT_EQ(HitTestStrip(items, strip, 30, 2), -1);
    EXPECT_EQ(HitTestStrip(items, strip, 30, 24), -1);
    EXPECT_EQ(HitTestStrip(items, {100, 50, 292, 77}, 130, 60), 1);
}

TEST(ToolbarHitTest, BorderScalesWithTheItemsAt144Dpi) {
    auto items = ToolItems();
    LayoutStripItems(items, {18, 18, {16, 16}, true}, NoLabel);
    for (StripItem& item : items) {
        const Rect b = item.layout;
        item.layout = {Scale(b.left, 144), Scale(b.top, 144), Scale(b.right, 144), Scale(b.bottom, 144)};
    }
    const Rect strip{0, 0, 288, 41};
    EXPECT_EQ(HitTestStrip(items, strip, 5, 20, 144), 0);
    EXPECT_EQ(HitTestStrip(items, strip, 45, 5, 144), 1);
    EXPECT_EQ(HitTestStrip(items, strip, 45, 4, 144), -1);
    EXPECT_EQ(HitTestStrip(items, strip, 45, 35, 144), 1);
    EXPECT_EQ(HitTestStrip(items, strip, 45, 36, 144), -1);
    EXPECT_EQ(HitTestStrip(items, strip, 282, 20, 144), 6);
    EXPECT_EQ(HitTestStrip(items, strip, 283, 20, 144), -1);
}

struct Strip {
    Strip() : items(ToolItems()), state(items) {}
    std::vector<StripItem> items;
    StripState state;
    std::vector<int> changed;
    int Click(int id) {
        state.Hover(id, changed);
        state.Press(changed);
        return state.Release(changed);
    }
    int StateOf(int id) { return state.Find(id)->state; }
};

TEST(ToolbarStates, PushButtonSendsItsCommandAndStaysHovered) {
    Strip s;
    EXPECT_TRUE(s.state.Hover(0x50B, s.changed));
    EXPECT_EQ(s.StateOf(0x50B), kItemHover);
    s.state.Press(s.changed);
    EXPECT_EQ(s.StateOf(0x50B), kItemPressed);
    EXPECT_EQ(s.state.Release(s.changed), 0x50B);
    EXPECT_EQ(s.StateOf(0x50B), kItemHover);
    EXPECT_EQ(s.state.checked(), -1);
}

TEST(ToolbarStates, CheckGroupKeepsOneCheckedAndResendsWhenClickedAgain) {
    Strip s;
    EXPECT_EQ(s.Click(0x500), 0x500);
    EXPECT_EQ(s.state.checked(), 0x500);
    EXPECT_EQ(s.Click(0x502), 0x502);
    EXPECT_EQ(s.state.checked(), 0x502);
    EXPECT_FALSE(s.StateOf(0x500) & kItemChecked);
    EXPECT_TRUE(s.StateOf(0x502) & kItemChecked);
    EXPECT_EQ(s.Click(0x502), 0x502);
    EXPECT_EQ(s.state.checked(), 0x502);
    EXPECT_TRUE(s.StateOf(0x502) & kItemChecked);
}

TEST(ToolbarStates, PressThenLeaveSendsNothingAndClearsThePressedLook) {
    Strip s;
    s.state.Hover(0x509, s.changed);
    s.state.Press(s.changed);
    s.state.Leave(s.changed);
    EXPECT_EQ(s.state.hovered(), StripState::kLeft);
    EXPECT_EQ(s.StateOf(0x509), 0);
    EXPECT_EQ(s.state.Release(s.changed), 0);
    // Moving to the gap between items before releasing sends nothing either.
    s.state.Hover(0x509, s.changed);
    s.state.Press(s.changed);
    s.state.Hover(-1, s.changed);
    EXPECT_EQ(s.state.Release(s.changed), 0);
}

TEST(ToolbarStates, HoverRepaintsOldAndNewItem) {
    Strip s;
    s.state.Hover(0x500, s.changed);
    s.changed.clear();
    EXPECT_FALSE(s.state.Hover(0x500, s.changed));
    EXPECT_TRUE(s.state.Hover(0x506, s.changed));
    EXPECT_EQ(s.changed, (std::vector<int>{0x500, 0x506}));
    EXPECT_EQ(s.StateOf(0x500), 0);
}

TEST(ToolbarStates, SetCheckedAndResetStates) {
    Strip s;
    s.Click(0x503);
    s.state.SetChecked(0x500, true, s.changed);
    EXPECT_EQ(s.state.checked(), 0x500);
    EXPECT_EQ(s.StateOf(0x503), 0);
    s.state.SetChecked(0x50B, true, s.changed);  // not in the check group
    EXPECT_EQ(s.state.checked(), -1);
    s.Click(0x502);
    s.state.ResetStates();
    EXPECT_EQ(s.state.checked(), -1);
    EXPECT_EQ(s.state.hovered(), -1);
    for (auto& item : s.items) EXPECT_EQ(item.state, 0);
}

TEST(ToolbarPlacement, BelowRightAlignedAboveOrInsideWhenNoRoom) {
    const Rect client{0, 0, 1024, 768};
    EXPECT_EQ(PlaceToolbarRect({100, 100, 400, 300}, 192, client), (Rect{208, 305, 400, 332}));
    // 5 + 27 below would reach past 768: above, 31 pixels over the top.
    EXPECT_EQ(PlaceToolbarRect({100, 300, 400, 737}, 192, client), (Rect{208, 269, 400, 296}));
    EXPECT_EQ(PlaceToolbarRect({100, 300, 400, 736}, 192, client), (Rect{208, 741, 400, 768}));
    // No room above either: inside the top edge.
    EXPECT_EQ(PlaceToolbarRect({100, 31, 400, 760}, 192, client), (Rect{208, 36, 400, 63}));
    EXPECT_EQ(PlaceToolbarRect({100, 32, 400, 760}, 192, client), (Rect{208, 1, 400, 28}));
}

TEST(ToolbarPlacement, KeptInsideHorizontally) {
    const Rect client{0, 0, 1024, 768};
    EXPECT_EQ(PlaceToolbarRect({0, 0, 50, 50}, 192, client), (Rect{0, 55, 192, 82}));
    EXPECT_EQ(PlaceToolbarRect({900, 0, 1100, 50}, 192, client), (Rect{832, 55, 1024, 82}));
}

}  // namespace
}  // namespace kestrow
