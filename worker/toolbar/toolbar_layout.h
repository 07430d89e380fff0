#pragma once
// The button strip's geometry and button states without any drawing: item layout,
// hit test, hover/pressed/checked transitions, and where the tool bar goes next to
// a selection.
#include <string>
#include <vector>

#include "common/geometry.h"

namespace kestrow {

enum StripItemState : int { kItemPressed = 0x01, kItemChecked = 0x08, kItemHover = 0x40 };
enum StripItemStyle : int { kItemSeparator = 0x01, kItemCheckGroup = 0x02, kItemShowLabel = 0x40 };

struct StripItem {
    Rect layout;
    std::wstring label;
    std::wstring tooltip;
    int id = 0;
    int image = -1;
    int state = 0;
    int style = 0;
    int value = 0;
};

struct StripMetrics {
    int iconWidth = 0;
    int iconHeight = 0;
    Size defaultItem{16, 16};
    bool showLabels = false;
};

// Lays the items out left to right from x = 3; `labelSize(item)` measures a label
// that is shown. Returns the strip's total width.
template <class MeasureLabel>
int LayoutStripItems(std::vector<StripItem>& items, const StripMetrics& m, MeasureLabel labelSize) {
    int x = 3;
    for (StripItem& item : items) {
        int h = m.iconHeight + 4, w = 0;
        if (item.style & kItemSeparator) {
            w = 5;
        } else {
            if (m.showLabels && (item.style & kItemShowLabel)) {
                const Size text = labelSize(item);
                w = text.cx;
                if (text.cy + 4 > h) h = text.cy + 4;
            }
            if (item.image >= 0 && m.iconWidth > 0) w += m.iconWidth + 2;
            if (w < 1) {
                w = m.defaultItem.cx;
                h = m.defaultItem.cy;
            } else {
                w += 4;
            }
        }
        if (w > 0) {
            item.layout = {x, 3, x + w, 3 + h};
            x += w + 3;
        }
    }
    return x;
}

// The item index under (x, y) in owner coordinates, or -1. Only the horizontal
// position selects an item; the strip's 3-pixel border hits nothing.
int HitTestStrip(const std::vector<StripItem>& items, const Rect& strip, int x, int y, int dpi = 96);

// Hover, pressed and checked states of a strip. Each call returns whether anything
// changed; `changed` lists the item ids to repaint.
class StripState {
public:
    static constexpr int kNone = -1;
    static constexpr int kLeft = -2;

    explicit StripState(std::vector<StripItem>& items) : items_(items) {}

    int hovered() const { return hovered_; }
    int checked() const { return checked_; }
    StripItem* Find(int id);

    // The pointer is over item `hitId` (kNone for no item). Returns whether the hover moved.
    bool Hover(int hitId, std::vector<int>& changed);
    void Press(std::vector<int>& changed);
    // Returns the command id to send, or 0 for none.
    int Release(std::vector<int>& changed);
    void Leave(std::vector<int>& changed);
    void ResetStates();
    void SetChecked(int id, bool on, std::vector<int>& changed);

private:
    std::vector<StripItem>& items_;
    int hovered_ = kNone;
    int checked_ = kNone;
};

// The tool bar's place below the selection, right-aligned; above it (or inside its
// top edge) when there is no room below; always inside `area` horizontally. `area` is
// the monitor holding the selection; the gaps and the height grow with its DPI.
Rect PlaceToolbarRect(const Rect& selection, int toolbarWidth, const Rect& area, int dpi = 96);
inline constexpr int kToolbarHeight = 27;

}  // namespace kestrow
