#pragma once
// XToolbar: an owner-drawn strip of buttons inside another window (the tool bar and,
// later, the colour pane). Layout and button states live in toolbar_layout.h.
#include <windows.h>
#include <gdiplus.h>

#include <memory>
#include <string>
#include <vector>

#include "common/geometry.h"
#include "common/win/gdi.h"
#include "common/win/mouse_leave.h"
#include "worker/toolbar/toolbar_layout.h"

namespace kestrow {

// How a caller describes one item.
struct StripItemInit {
    const wchar_t* label;
    const wchar_t* tooltip;
    int id;
    int image;
    int state;
    int style;
};

class XToolbar {
public:
    XToolbar();
    virtual ~XToolbar();
    XToolbar(const XToolbar&) = delete;
    XToolbar& operator=(const XToolbar&) = delete;

    // The module the PNG resources come from (the program itself unless set).
    static void SetResourceModule(HMODULE module);

    void SetOwner(HWND owner);
    void LoadIcons(UINT resourceId, int count);
    int AddItems(const StripItemInit* items, int count);
    void SetRect(const RECT& rect) { rect_ = rect; }
    void SetEnabled(bool on) { enabled_ = on; }
    void SetShowLabels(bool on) { metrics_.showLabels = on; }
    void SetDrawBackground(bool on) { drawBackground_ = on; }
    void SetDefaultItemSize(int cx, int cy) { metrics_.defaultItem = {cx, cy}; }
    // Scales the laid-out items and their icons for a monitor of this DPI (96: as laid out).
    void SetDpi(int dpi);
    int dpi() const { return dpi_; }

    void SetChecked(int id, bool on);
    int GetChecked() const { return state_.checked(); }
    int GetHovered() const { return state_.hovered(); }
    void ResetStates() { state_.ResetStates(); }
    void SetValue(int id, int value);
    const wchar_t* TooltipText(int id);
    const std::vector<StripItem>& items() const { return items_; }
    int ItemState(int id) const;
    const RECT& rect() const { return rect_; }
    int width() const { return width_; }
    int iconWidth() const { return metrics_.iconWidth; }

    virtual void Paint(HDC dc);
    // Paints one item off screen (background, then its face) and copies it in place.
    void PaintItem(int id, HDC dc);
    virtual void PaintBackground(HDC dc, const RECT& rect, bool noBorder);
    virtual void PaintStateFrame(HDC dc, const RECT& rect, bool pressedFrame);

    // Mouse, leave, tooltip and destroy messages of the owner; true when handled.
    bool HandleMessage(HWND hwnd, UINT msg, WPARAM wp, LPARAM lp);

protected:
    // What an item shows over the background in its own rectangle `all` at (0,0):
    // its state frame, icon and label here; the colour strips draw their own.
    virtual void PaintItemFace(HDC dc, const StripItem& item, const RECT& all);
    // Items that PaintItem leaves alone (none here).
    virtual bool SkipsItem(const StripItem&) const { return false; }
    void DrawIcon(HDC dc, int image, int x, int y);
    void Repaint(const std::vector<int>& ids);
    int HitId(int x, int y) const;

    HWND owner_ = nullptr;
    std::unique_ptr<Gdiplus::Bitmap> icons_;
    std::unique_ptr<Gdiplus::Bitmap> frames_;
    RECT rect_{};
    win::MouseLeaveTracker leave_;
    bool drawBackground_ = true;
    bool enabled_ = true;
    StripMetrics metrics_;
    std::vector<StripItem> items_;
    StripState state_{items_};
    // Made once: every paint uses them.
    win::Brush background_;
    win::Pen border_;
    win::Pen plain_;
    int width_ = 0;
    // The layout at 96 DPI, which SetDpi scales.
    std::vector<Rect> baseLayouts_;
    int baseWidth_ = 0;
    int dpi_ = 96;
};

}  // namespace kestrow
