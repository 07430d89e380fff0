#include "worker/annotation/annotation_layout.h"

#include <algorithm>
#include <cstdint>

#include "common/dpi.h"

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

PanePlacement PlaceColorPane(const Rect& t, const Rect& s, const Rect& area, int dpi) {
    // The pane is 39 high with a gap of 5; the tool bar 27 with a gap of 5.
    const int gap = Scale(5, dpi), paneRoom = Scale(44, dpi), barRoom = Scale(32, dpi),
              bothRoom = Scale(76, dpi);
    PanePlacement out;
    out.pane.x = t.left;
    if (s.bottom < t.top) {  // the tool bar lies below the selection
        if (area.bottom - t.bottom > paneRoom) {
            out.pane.y = t.bottom + gap;
        } else if (s.top - area.top > bothRoom) {
            out.toolbarTop = s.top - barRoom;
            out.pane.y = s.top - bothRoom;
        } else {
            out.toolbarTop = s.top - area.top > barRoom ? s.top - barRoom : s.top + gap;
            out.pane.y = *out.toolbarTop + Scale(kToolbarHeight, dpi) + gap;
        }
    } else {
        out.pane.y = t.top - area.top > paneRoom ? t.top - paneRoom : t.bottom + gap;
    }
    return out;
}

PanePlacement PlaceColorPane(const Rect& t, const Rect& s, int screenHeight) {
    return PlaceColorPane(t, s, Rect{0, 0, 0, screenHeight});
}

int KeepPaneOnScreen(int left, int width, const Rect& area, int dpi) {
    return left + width > area.right ? area.right - Scale(5, dpi) - width : left;
}

int KeepPaneOnScreen(int left, int width, int screenWidth) {
    return KeepPaneOnScreen(left, width, Rect{0, 0, screenWidth, 0});
}

PaneLayout PaneLayoutFor(int mode, int dpi) {
    const bool text = mode == kPaneText;
    const int shift = text ? 60 : 0;  // the lists push the colours right
    const auto s = [dpi](int px) { return Scale(px, dpi); };
    const auto r = [&](int l, int t, int rt, int b) { return Rect{s(l), s(t), s(rt), s(b)}; };
    return {{s(264 + shift), s(39)},
            !text,
            text,
            r(120 + shift, 1, 264 + shift, 22),
            r(120 + shift, 18, 264 + shift, 50),
            r(90 + shift, 5, 118 + shift, 34),
            r(5, 5, 90, 30),
            r(5, 7, 5 + 85, 7 + 200),
            r(95, 7, 95 + 51, 7 + 200),
            s(2)};
}

int PenWidthFor(int buttonId, int mode) {
    if (buttonId < ID_WIDTH_THIN || buttonId > ID_WIDTH_THICK) return 0;
    // Thin, medium, thick; image pixels at every DPI, like the shapes they size.
    static constexpr int kWidths[][3] = {{1, 3, 6}, {5, 12, 18}, {8, 14, 24}, {20, 28, 36}};
    const int row = mode == kPaneHighlighter ? 1 : mode == kPaneMosaic ? 2 : mode == kPaneStep ? 3 : 0;
    return kWidths[row][buttonId - ID_WIDTH_THIN];
}

}  // namespace kestrow
