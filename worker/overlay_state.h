#pragma once
// Where the region capture's input goes: the selection while Idle or Selecting, the
// annotation manager while Annotating. OverlayMachine turns each event into a state
// change, selection changes and a set of actions that the window carries out.
#include <cstdint>

#include "common/geometry.h"
#include "worker/selection_geometry.h"

namespace kestrow {

enum class OverlayState { Idle = 0, Selecting = 1, Annotating = 2 };

// Actions the overlay window performs after an event, in this order of meaning.
enum OverlayAction : uint32_t {
    kActNone = 0,
    kActTrackWindow = 1u << 0,      // window tracker update at the event point
    kActCrosshairCursor = 1u << 1,  // class cursor := crosshair
    kActHandleCursor = 1u << 2,     // class cursor from a hit test of the live pointer
    kActAnnotateMove = 1u << 3,
    kActAnnotateDown = 1u << 4,
    kActAnnotateUp = 1u << 5,
    kActHideToolbar = 1u << 6,
    kActPlaceToolbar = 1u << 7,
    kActReset = 1u << 8,        // hide tool bar and pane, delete all shapes
    kActFinish = 1u << 9,       // FinishCapture
    kActClose = 1u << 10,       // CloseCapture
    kActRepaint = 1u << 11,     // the selection changed: invalidate and paint now
    kActInvalidate = 1u << 12,  // invalidate the whole overlay
};

// What a key-down asks for.
enum class KeyAction { Close, Nothing, MoveLeft, MoveRight, MoveUp, MoveDown, Repost };
KeyAction KeyActionFor(unsigned virtualKey);
// The tool bar command a key with Ctrl (and Shift) held stands for, 0 for none:
// Ctrl+C copies, Ctrl+S saves, Ctrl+Z undoes, Ctrl+Y and Ctrl+Shift+Z redo.
int ShortcutFor(unsigned virtualKey, bool ctrl, bool shift);

class OverlayMachine {
public:
    OverlayMachine(SelectionGeometry& selection, bool trackWindow)
        : selection_(selection), trackWindow_(trackWindow) {}

    OverlayState state() const { return state_; }
    bool trackWindow() const { return trackWindow_; }

    uint32_t MouseMove(int x, int y);
    // `toolChecked`: the tool bar reports a current tool.
    uint32_t LeftDown(int x, int y, bool toolChecked);
    // `trackedRect`: the window tracker's rectangle, taken when a click selects nothing.
    uint32_t LeftUp(int x, int y, const Rect& trackedRect);
    uint32_t RightUp();
    uint32_t DoubleClick(const Rect& trackedRect);
    uint32_t ToolCommand();
    // Undo with no shapes left, and ResetSelection.
    uint32_t Reset();

private:
    SelectionGeometry& selection_;
    bool trackWindow_;
    OverlayState state_ = OverlayState::Idle;
};

// The background of a paint: the undimmed snapshot until a selection stands.
inline bool ShowsDimmedBackground(OverlayState state, const SelectionGeometry& s) {
    return state != OverlayState::Idle && !s.drawingNew() && !s.rect().IsEmpty();
}

// Both sides under 5 pixels earn the "too small" warning before saving.
inline bool IsTooSmallToSave(const Rect& r) {
    const int w = r.Width() < 0 ? -r.Width() : r.Width();
    const int h = r.Height() < 0 ? -r.Height() : r.Height();
    return w < 5 && h < 5;
}

}  // namespace kestrow
