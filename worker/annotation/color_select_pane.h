#pragma once
// CColorSelectPane: the small pane beside the tool bar holding the annotation colour,
// pen width and text font, with its width strip and two rows of colour swatches.
#include <windows.h>

#include <string>

#include "common/win/dialog.h"
#include "common/win/gdi.h"
#include "common/win/mouse_leave.h"
#include "worker/annotation/annotation_layout.h"
#include "worker/annotation/annotation_style.h"
#include "worker/toolbar/x_toolbar.h"

namespace kestrow {

// The three pen widths; icons centred in their items.
class CColorToolBarStyle : public XToolbar {
public:
    void Paint(HDC dc) override;

protected:
    void PaintItemFace(HDC dc, const StripItem& item, const RECT& all) override;
    bool SkipsItem(const StripItem& item) const override { return item.style & kItemSeparator; }

private:
    Point IconOffset(const StripItem& item) const;
};

// Colour swatches; an item's value is its COLORREF. No checked look.
class CColorToolBar : public XToolbar {
public:
    void Paint(HDC dc) override;

protected:
    void PaintItemFace(HDC dc, const StripItem& item, const RECT& all) override;
};

class CColorSelectPane : public win::Dialog {
public:
    ~CColorSelectPane() override;

    // The module holding the pane dialog (the program itself unless set).
    static void SetResourceModule(HMODULE module);

    // The hidden modeless pane owned by `owner`; true when it exists.
    bool Create(HWND owner);

    int GetPenWidth() const { return penWidth_; }
    COLORREF GetColor() const { return color_; }
    int mode() const { return mode_; }
    RECT colorBox() const { return colorBox_; }
    // The text font chosen in the lists: height in pixels and face. Image pixels, at
    // every DPI: the text box shows the text exactly as it is drawn into the capture.
    int FontHeight() const;
    std::wstring FaceName() const;
    // Colour, width and text font for new shapes.
    AnnotationStyle Style() const { return {color_, penWidth_, FontHeight(), FaceName()}; }
    void SetMode(int mode);
    // Lays the pane out for a monitor of this DPI (96 unless set).
    void SetDpi(int dpi);
    int dpi() const { return dpi_; }
    // The monitor the pane is shown on, in screen coordinates (by default the virtual
    // screen's width from 0).
    void SetScreenArea(const RECT& area) { area_ = area; }
    // Moves the pane left when its right edge lies past that monitor's.
    void KeepOnScreen();

    CColorToolBarStyle& widths() { return widths_; }
    CColorToolBar& upperColors() { return upper_; }
    CColorToolBar& lowerColors() { return lower_; }

    // The whole pane painted into `dc` (its client area).
    void Paint(HDC dc);

protected:
    INT_PTR HandleMessage(UINT msg, WPARAM wp, LPARAM lp) override;

private:
    void OnInitDialog();
    void OnCommand(WPARAM wp, LPARAM lp);
    void ApplyLayout();
    void SendFontChanged();

    CColorToolBarStyle widths_;
    CColorToolBar upper_;
    CColorToolBar lower_;
    int penWidth_ = 3;
    RECT colorBox_{90, 5, 118, 34};
    COLORREF color_ = 0x000000FF;
    int mode_ = kPaneShapes;
    int dpi_ = 96;
    int swatchInset_ = 2;
    RECT area_{0, 0, ::GetSystemMetrics(SM_CXVIRTUALSCREEN), ::GetSystemMetrics(SM_CYVIRTUALSCREEN)};
    win::MouseLeaveTracker leave_;
    win::Brush fill_;
    win::Pen outline_;
};

}  // namespace kestrow
