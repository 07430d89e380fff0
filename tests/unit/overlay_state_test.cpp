#include "worker/overlay_state.h"
#include "worker/worker_ids.h"

#include <gtest/gtest.h>

namespace kestrow {
namespace {

constexpr Rect kWindow{50, 60, 450, 360};

struct Overlay {
    explicit Overlay(bool track) : selection(1024, 768), machine(selection, track) {}
    SelectionGeometry selection;
    OverlayMachine machine;

    uint32_t Drag(int x0, int y0, int x1, int y1, bool tool = false) {
        uint32_t acts = machine.LeftDown(x0, y0, tool);
        acts |= machine.MouseMove(x1, y1);
        return acts | machine.LeftUp(x1, y1, kWindow);
    }
};

TEST(OverlayMachine, FirstDragSelectsAndPlacesTheToolbar) {
    Overlay o(false);
    EXPECT_EQ(o.machine.state(), OverlayState::Idle);
    o.machine.LeftDown(100, 100, false);
    EXPECT_EQ(o.machine.state(), OverlayState::Selecting);
    EXPECT_TRUE(o.selection.drawingNew());
    EXPECT_TRUE(o.machine.MouseMove(300, 200) & kActRepaint);
    const uint32_t up = o.machine.LeftUp(300, 200, kWindow);
    EXPECT_TRUE(up & kActPlaceToolbar);
    EXPECT_EQ(o.selection.rect(), (Rect{100, 100, 300, 200}));
}

TEST(OverlayMachine, ClickWithoutTrackingLeavesNoSelectionAndNoToolbar) {
    Overlay o(false);
    const uint32_t acts = o.Drag(100, 100, 100, 100);
    EXPECT_FALSE(acts & kActPlaceToolbar);
    EXPECT_FALSE(o.selection.active());
    EXPECT_EQ(o.machine.state(), OverlayState::Selecting);
    // The next press starts a new rectangle.
    o.Drag(10, 20, 30, 40);
    EXPECT_EQ(o.selection.rect(), (Rect{10, 20, 30, 40}));
}

TEST(OverlayMachine, ClickWithTrackingSelectsTheTrackedWindow) {
    Overlay o(true);
    EXPECT_TRUE(o.machine.MouseMove(70, 70) & kActTrackWindow);
    const uint32_t acts = o.Drag(70, 70, 70, 70);
    EXPECT_TRUE(acts & kActPlaceToolbar);
    EXPECT_EQ(o.selection.rect(), kWindow);
    // Once a selection stands the tracker is no longer updated.
    EXPECT_FALSE(o.machine.MouseMove(5, 5) & kActTrackWindow);
}

TEST(OverlayMachine, WithoutTrackingIdleMovesDoNotTrack) {
    Overlay o(false);
    EXPECT_EQ(o.machine.MouseMove(5, 5), uint32_t(kActInvalidate));
}

TEST(OverlayMachine, PressOnStandingSelectionMovesItAndHidesTheToolbar) {
    Overlay o(false);
    o.Drag(100, 100, 300, 200);
    uint32_t acts = o.machine.LeftDown(200, 150, false);
    EXPECT_TRUE(acts & kActHideToolbar);
    EXPECT_EQ(o.selection.handle(), SelectionGeometry::kMoveHandle);
    o.machine.MouseMove(210, 160);
    acts = o.machine.LeftUp(210, 160, kWindow);
    EXPECT_TRUE(acts & kActPlaceToolbar);
    EXPECT_EQ(o.selection.rect(), (Rect{110, 110, 310, 210}));
}

TEST(OverlayMachine, PressOutsideChangesNothingButHidesToolbarUntilRelease) {
    Overlay o(false);
    o.Drag(100, 100, 300, 200);
    EXPECT_TRUE(o.machine.LeftDown(600, 600, false) & kActHideToolbar);
    EXPECT_TRUE(o.machine.MouseMove(700, 700) & kActHandleCursor);
    EXPECT_TRUE(o.machine.LeftUp(700, 700, kWindow) & kActPlaceToolbar);
    EXPECT_EQ(o.selection.rect(), (Rect{100, 100, 300, 200}));
}

TEST(OverlayMachine, CheckedToolSendsPressesToTheAnnotationManager) {
    Overlay o(false);
    o.Drag(100, 100, 300, 200);
    EXPECT_EQ(o.machine.LeftDown(150, 150, true), uint32_t(kActAnnotateDown));
    EXPECT_EQ(o.machine.state(), OverlayState::Annotating);
    EXPECT_TRUE(o.machine.MouseMove(160, 160) & kActAnnotateMove);
    EXPECT_EQ(o.machine.LeftUp(160, 160, kWindow), uint32_t(kActAnnotateUp));
    EXPECT_EQ(o.machine.LeftDown(150, 150, false), uint32_t(kActAnnotateDown));
    EXPECT_EQ(o.selection.rect(), (Rect{100, 100, 300, 200}));
}

TEST(OverlayMachine, ToolCommandAnnotatesFromAnyState) {
    for (bool select : {false, true}) {
        Overlay o(false);
        if (select) o.Drag(100, 100, 300, 200);
        o.machine.ToolCommand();
        EXPECT_EQ(o.machine.state(), OverlayState::Annotating);
    }
}

TEST(OverlayMachine, RightClickResetsFromEveryStateAndKeepsTheCaptureOpen) {
    Overlay o(false);
    o.Drag(100, 100, 300, 200);
    o.machine.ToolCommand();
    const uint32_t acts = o.machine.RightUp();
    EXPECT_TRUE(acts & kActReset);
    EXPECT_TRUE(acts & kActCrosshairCursor);
    EXPECT_FALSE(acts & kActClose);
    EXPECT_EQ(o.machine.state(), OverlayState::Idle);
    EXPECT_FALSE(o.selection.active());
    EXPECT_EQ(o.machine.RightUp() & kActClose, 0u);
}

TEST(OverlayMachine, DoubleClickFinishesAndClosesInEveryState) {
    Overlay idle(false);
    EXPECT_EQ(idle.machine.DoubleClick(kWindow), uint32_t(kActFinish | kActClose));
    EXPECT_FALSE(idle.selection.active());  // nothing to output

    Overlay tracking(true);
    tracking.machine.DoubleClick(kWindow);
    EXPECT_EQ(tracking.selection.rect(), kWindow);
    EXPECT_EQ(tracking.machine.state(), OverlayState::Selecting);

    Overlay annotating(false);
    annotating.Drag(1, 1, 50, 50);
    annotating.machine.ToolCommand();
    EXPECT_TRUE(annotating.machine.DoubleClick(kWindow) & kActClose);
    EXPECT_EQ(annotating.selection.rect(), (Rect{1, 1, 50, 50}));
}

TEST(OverlayMachine, BackgroundIsDimmedOnlyWhileASelectionStands) {
    Overlay o(false);
    EXPECT_FALSE(ShowsDimmedBackground(o.machine.state(), o.selection));
    o.machine.LeftDown(100, 100, false);
    o.machine.MouseMove(200, 200);
    EXPECT_FALSE(ShowsDimmedBackground(o.machine.state(), o.selection));
    o.machine.LeftUp(200, 200, kWindow);
    EXPECT_TRUE(ShowsDimmedBackground(o.machine.state(), o.selection));
    o.machine.ToolCommand();
    EXPECT_TRUE(ShowsDimmedBackground(o.machine.state(), o.selection));
    o.machine.Reset();
    EXPECT_FALSE(ShowsDimmedBackground(o.machine.state(), o.selection));
}

TEST(OverlayKeys, EscAndPlusCloseArrowsMoveOthersRepost) {
    EXPECT_EQ(KeyActionFor(27), KeyAction::Close);
    EXPECT_EQ(KeyActionFor(0x2B), KeyAction::Close);
    EXPECT_EQ(KeyActionFor(9), KeyAction::Nothing);
    EXPECT_EQ(KeyActionFor(17), KeyAction::Nothing);
    EXPECT_EQ(KeyActionFor(37), KeyAction::MoveLeft);
    EXPECT_EQ(KeyActionFor(38), KeyAction::MoveUp);
    EXPECT_EQ(KeyActionFor(39), KeyAction::MoveRight);
    EXPECT_EQ(KeyActionFor(40), KeyAction::MoveDown);
    EXPECT_EQ(KeyActionFor('A'), KeyAction::Repost);
    EXPECT_EQ(KeyActionFor(13), KeyAction::Repost);
}

TEST(OverlayKeys, CtrlShortcutsNeedCtrlAndTheirExactShift) {
    EXPECT_EQ(ShortcutFor('C', true, false), ID_COPY);
    EXPECT_EQ(ShortcutFor('S', true, false), ID_SAVEAS);
    EXPECT_EQ(ShortcutFor('Z', true, false), ID_UNDO);
    EXPECT_EQ(ShortcutFor('Z', true, true), ID_REDO);
    EXPECT_EQ(ShortcutFor('Y', true, false), ID_REDO);
    EXPECT_EQ(ShortcutFor('C', false, false), 0);  // plain letters keep their meaning
    EXPECT_EQ(ShortcutFor('Z', false, true), 0);
    EXPECT_EQ(ShortcutFor('C', true, true), 0);
    EXPECT_EQ(ShortcutFor(27, true, false), 0);
    EXPECT_EQ(ShortcutFor(0x72, false, false), ID_PIN);  // F3 alone pins
    EXPECT_EQ(ShortcutFor(0x72, true, false), 0);
}

TEST(OverlaySaveWarning, OnlyBothSidesUnderFiveWarn) {
    EXPECT_TRUE(IsTooSmallToSave({0, 0, 3, 3}));
    EXPECT_TRUE(IsTooSmallToSave({0, 0, 4, 4}));
    EXPECT_FALSE(IsTooSmallToSave({0, 0, 3, 40}));
    EXPECT_FALSE(IsTooSmallToSave({0, 0, 40, 3}));
    EXPECT_FALSE(IsTooSmallToSave({0, 0, 5, 5}));
}

}  // namespace
}  // namespace kestrow
