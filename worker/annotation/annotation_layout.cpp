#include "worker/annotation/annotation_layout.h"

#include <algorithm>
#include <cstdint>

namespace kestrow {

Point ClampToSelection(Point p, const Rect& s) {
    return {std::clamp(p.x, s.left, std::max(s.left, s.right)),
            std::clamp(p.y, s.top, std::max(s.top, s.bottom))};
}

Rect FitTextBox(const Rect& placement, const Rect& limit, int textWidth, int textHeight) {
    // In 64 bits: a long pasted text times its line height can pass the int range.
    const int right = int(std::min<int64_t>(int64_t(placement.left) + textWidth + 30, limit.right));
    int lineWidth = right - placement.left - 30;
    if (lineWidth <= 0) lineWidth = right - placement.left;
    if (lineWidth <= 0) lineWidth = 1;
    // The fewest lines of that width that hold the text.
    const int lines = std::max(1, (textWidth + lineWidth - 1) / lineWidth);
    const int bottom = int(std::min<int64_t>(placement.top + int64_t(textHeight) * lines + 30, limit.bottom));
    return {placement.left, placement.top, right, bottom};
}

PanePlacement PlaceColorPane(const Rect& t, const Rect& s, int screenHeight) {
    PanePlacement out;
    out.pane.x = t.left;
    if (s.bottom < t.top) {  // the tool bar lies below the selection
        if (screenHeight - t.bottom > 44) {
            out.pane.y = t.bottom + 5;
        } else if (s.top > 76) {
            out.toolbarTop = s.top - 32;
            out.pane.y = s.top - 76;
        } else {
            out.toolbarTop = s.top > 32 ? s.top - 32 : s.top + 5;
            out.pane.y = *out.toolbarTop + kToolbarHeight + 5;
        }
    } else {
        out.pane.y = t.top > 44 ? t.top - 44 : t.bottom + 5;
    }
    return out;
}

int KeepPaneOnScreen(int left, int width, int screenWidth) {
    return left + width > screenWidth ? screenWidth - 5 - width : left;
}

PaneLayout PaneLayoutFor(int mode) {
    if (mode == kPaneText)
        return {{324, 39}, false, true, {180, 1, 324, 22}, {180, 18, 324, 50}, {150, 5, 178, 34}};
    return {{264, 39}, true, false, {120, 1, 264, 22}, {120, 18, 264, 50}, {90, 5, 118, 34}};
}

int PenWidthFor(int buttonId, int mode) {
    const bool highlighter = mode == kPaneHighlighter;
    switch (buttonId) {
        case ID_WIDTH_THIN: return highlighter ? 5 : 1;
        case ID_WIDTH_MEDIUM: return highlighter ? 12 : 3;
        case ID_WIDTH_THICK: return highlighter ? 18 : 6;
    }
    return 0;
}

}  // namespace kestrow
