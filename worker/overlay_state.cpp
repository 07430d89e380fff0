#include "worker/overlay_state.h"

#include "worker/worker_ids.h"

namespace kestrow {

KeyAction KeyActionFor(unsigned vk) {
    switch (vk) {
        case 27:
        case 0x2B: return KeyAction::Close;
        case 9:
        case 17: return KeyAction::Nothing;
        case 37: return KeyAction::MoveLeft;
        case 39: return KeyAction::MoveRight;
        case 38: return KeyAction::MoveUp;
        case 40: return KeyAction::MoveDown;
        default: return KeyAction::Repost;
    }
}

int ShortcutFor(unsigned vk, bool ctrl, bool shift) {
    if (vk == 0x72) return ctrl || shift ? 0 : ID_PIN;  // F3
    if (!ctrl) return 0;
    switch (vk) {
        case 'C': return shift ? 0 : ID_COPY;
        case 'S': return shift ? 0 : ID_SAVEAS;
        case 'Z': return shift ? ID_REDO : ID_UNDO;
        case 'Y': return shift ? 0 : ID_REDO;
    }
    return 0;
}

uint32_t OverlayMachine::MouseMove(int x, int y) {
    uint32_t acts = kActInvalidate;
    switch (state_) {
        case OverlayState::Idle:
            if (trackWindow_) acts |= kActCrosshairCursor | kActTrackWindow;
            break;
        case OverlayState::Selecting: acts |= selection_.DragTo(x, y) ? kActRepaint : kActHandleCursor; break;
        case OverlayState::Annotating: acts |= kActAnnotateMove; break;
    }
    return acts;
}

uint32_t OverlayMachine::LeftDown(int x, int y, bool toolChecked) {
    switch (state_) {
        case OverlayState::Idle:
            state_ = OverlayState::Selecting;
            selection_.BeginNew(x, y);
            return kActRepaint;
        case OverlayState::Selecting:
            if (toolChecked) {
                state_ = OverlayState::Annotating;
                return kActAnnotateDown;
            }
            if (selection_.active())
                selection_.BeginDrag(x, y);
            else
                selection_.BeginNew(x, y);
            return kActHideToolbar | kActRepaint;
        case OverlayState::Annotating: return kActAnnotateDown;
    }
    return kActNone;
}

uint32_t OverlayMachine::LeftUp(int x, int y, const Rect& trackedRect) {
    switch (state_) {
        case OverlayState::Idle: return kActNone;
        case OverlayState::Selecting:
            // A click that leaves no rectangle takes the window under the mouse when tracking.
            if (!selection_.EndDrag() && trackWindow_) selection_.Select(trackedRect);
            return kActRepaint | (selection_.active() ? kActPlaceToolbar : kActNone);
        case OverlayState::Annotating: return kActAnnotateUp;
    }
    return kActNone;
}

uint32_t OverlayMachine::RightUp() { return Reset() | kActCrosshairCursor; }

uint32_t OverlayMachine::DoubleClick(const Rect& trackedRect) {
    if (state_ == OverlayState::Idle && trackWindow_) {
        selection_.Select(trackedRect);
        state_ = OverlayState::Selecting;
    }
    return kActFinish | kActClose;
}

uint32_t OverlayMachine::ToolCommand() {
    state_ = OverlayState::Annotating;
    return kActNone;
}

uint32_t OverlayMachine::Reset() {
    state_ = OverlayState::Idle;
    selection_.Clear();
    return kActReset | kActRepaint;
}

}  // namespace kestrow
