#include "worker/toolbar/x_toolbar.h"

#include "common/dpi.h"

#include <commctrl.h>
#include <windowsx.h>

#include "common/res_reader.h"
#include "common/win/gdi.h"
#include "worker/toolbar/x_tooltip_ctrl.h"
#include "worker/res/resource.h"

namespace kestrow {

namespace {

HMODULE g_resources = nullptr;

constexpr COLORREF kBackground = 0x00E8E8E8;
constexpr COLORREF kBorder = 0x00AA8A67;

}  // namespace

XToolbar::XToolbar()
    : background_(::CreateSolidBrush(kBackground)),
      border_(::CreatePen(PS_SOLID, 1, kBorder)),
      plain_(::CreatePen(PS_SOLID, 1, kBackground)) {}
XToolbar::~XToolbar() = default;

void XToolbar::SetResourceModule(HMODULE module) { g_resources = module; }

static HMODULE ResourceModule() { return g_resources ? g_resources : ::GetModuleHandleW(nullptr); }

void XToolbar::SetOwner(HWND owner) {
    owner_ = owner;
    frames_ = LoadPngResource(ResourceModule(), IDB_TOOLBAR_FRAMES);
    XToolTipCtrl::Instance().AddTool(owner);
}

void XToolbar::LoadIcons(UINT id, int count) {
    icons_ = LoadPngResource(ResourceModule(), id);
    if (icons_ && count > 0) {
        metrics_.iconWidth = int(icons_->GetWidth()) / count;
        metrics_.iconHeight = int(icons_->GetHeight());
    } else {
        metrics_.iconWidth = metrics_.iconHeight = 0;
    }
}

int XToolbar::AddItems(const StripItemInit* inits, int count) {
    for (int i = 0; i < count; ++i) {
        StripItem item;
        item.label = std::wstring(inits[i].label ? inits[i].label : L"").substr(0, 259);
        item.tooltip = std::wstring(inits[i].tooltip ? inits[i].tooltip : L"").substr(0, 259);
        item.id = inits[i].id;
        item.image = inits[i].image;
        item.state = inits[i].state;
        item.style = inits[i].style;
        items_.push_back(item);
    }
    auto measure = [](const StripItem& item) {
        win::WindowDC screen(nullptr);
        win::ScopedSelect font(screen.Get(), ::GetStockObject(DEFAULT_GUI_FONT));
        RECT r{0, 0, 0, 0};
        ::DrawTextW(screen.Get(), item.label.c_str(), int(item.label.size()), &r,
                    DT_CALCRECT | DT_SINGLELINE);
        return Size{r.right - r.left, r.bottom - r.top};
    };
    baseWidth_ = LayoutStripItems(items_, metrics_, measure);
    baseLayouts_.clear();
    for (const StripItem& item : items_) baseLayouts_.push_back(item.layout);
    SetDpi(dpi_);
    return width_;
}

void XToolbar::SetDpi(int dpi) {
    dpi_ = dpi;
    for (size_t i = 0; i < items_.size() && i < baseLayouts_.size(); ++i) {
        const Rect& b = baseLayouts_[i];
        items_[i].layout = {Scale(b.left, dpi), Scale(b.top, dpi), Scale(b.right, dpi), Scale(b.bottom, dpi)};
    }
    width_ = Scale(baseWidth_, dpi);
}

void XToolbar::SetChecked(int id, bool on) {
    std::vector<int> changed;
    state_.SetChecked(id, on, changed);
    Repaint(changed);
}

void XToolbar::SetValue(int id, int value) {
    if (StripItem* item = state_.Find(id)) item->value = value;
}

int XToolbar::ItemState(int id) const {
    for (const StripItem& item : items_)
        if (item.id == id) return item.state;
    return 0;
}

const wchar_t* XToolbar::TooltipText(int id) {
    static wchar_t buffer[260];
    buffer[0] = 0;
    for (const StripItem& item : items_)
        if (item.id == id) {
            const std::wstring& text = item.tooltip.empty() ? item.label : item.tooltip;
            lstrcpynW(buffer, text.c_str(), 260);
            break;
        }
    return buffer;
}

void XToolbar::DrawIcon(HDC dc, int image, int x, int y) {
    if (!icons_ || image < 0 || metrics_.iconWidth <= 0) return;
    Gdiplus::Graphics g(dc);
    g.SetInterpolationMode(Gdiplus::InterpolationModeNearestNeighbor);
    g.SetPixelOffsetMode(Gdiplus::PixelOffsetModeHalf);
    g.DrawImage(icons_.get(),
                Gdiplus::Rect(x, y, Scale(metrics_.iconWidth, dpi_), Scale(metrics_.iconHeight, dpi_)),
                image * metrics_.iconWidth, 0, metrics_.iconWidth, metrics_.iconHeight, Gdiplus::UnitPixel);
}

void XToolbar::PaintBackground(HDC dc, const RECT& r, bool noBorder) {
    win::ScopedSelect b(dc, background_.Get());
    win::ScopedSelect p(dc, noBorder ? plain_.Get() : border_.Get());
    ::Rectangle(dc, r.left, r.top, r.right, r.bottom);
}

void XToolbar::PaintStateFrame(HDC dc, const RECT& r, bool pressedFrame) {
    if (!frames_) return;
    Gdiplus::Graphics g(dc);
    g.SetInterpolationMode(Gdiplus::InterpolationModeNearestNeighbor);
    g.SetPixelOffsetMode(Gdiplus::PixelOffsetModeHalf);
    g.DrawImage(frames_.get(), Gdiplus::Rect(r.left, r.top, r.right - r.left, r.bottom - r.top),
                pressedFrame ? 22 : 0, 0, 22, int(frames_->GetHeight()), Gdiplus::UnitPixel);
}

void XToolbar::Paint(HDC dc) {
    if (!enabled_) return;
    if (drawBackground_) PaintBackground(dc, rect_, false);
    for (const StripItem& item : items_) {
        if (item.style & kItemSeparator) continue;
        DrawIcon(dc, item.image, rect_.left + item.layout.left + Scale(2, dpi_), rect_.top + Scale(5, dpi_));
        if (metrics_.showLabels && (item.style & kItemShowLabel)) {
            RECT tr{rect_.left + item.layout.left + metrics_.iconWidth + 4, rect_.top + item.layout.top,
                    rect_.left + item.layout.right, rect_.top + item.layout.bottom};
            win::ScopedSelect font(dc, ::GetStockObject(DEFAULT_GUI_FONT));
            ::SetBkMode(dc, TRANSPARENT);
            ::SetTextColor(dc, RGB(0, 0, 0));
            ::DrawTextW(dc, item.label.c_str(), int(item.label.size()), &tr, DT_SINGLELINE | DT_VCENTER);
        }
    }
    if (state_.hovered() > 0) PaintItem(state_.hovered(), dc);
    if (state_.checked() > 0 && state_.checked() != state_.hovered()) PaintItem(state_.checked(), dc);
}

void XToolbar::PaintItem(int id, HDC dc) {
    if (!enabled_) return;
    const StripItem* item = state_.Find(id);
    if (!item || SkipsItem(*item)) return;
    const int w = item->layout.Width(), h = item->layout.Height();
    win::MemorySurface buffer(dc, w, h);
    if (!buffer) return;
    const RECT all{0, 0, w, h};
    PaintBackground(buffer.dc(), all, true);
    PaintItemFace(buffer.dc(), *item, all);
    ::BitBlt(dc, rect_.left + item->layout.left, rect_.top + item->layout.top, w, h, buffer.dc(), 0, 0,
             SRCCOPY);
}

void XToolbar::PaintItemFace(HDC b, const StripItem& item, const RECT& all) {
    if (item.state & (kItemHover | kItemChecked | kItemPressed))
        PaintStateFrame(b, all, !(item.state & kItemHover));
    if (item.style & kItemSeparator) return;
    DrawIcon(b, item.image, Scale(2, dpi_), Scale(2, dpi_));
    if (metrics_.showLabels && (item.style & kItemShowLabel)) {
        RECT tr{metrics_.iconWidth + 4, 2, all.right - 2, all.bottom - 2};
        win::ScopedSelect font(b, ::GetStockObject(DEFAULT_GUI_FONT));
        ::SetBkMode(b, TRANSPARENT);
        ::DrawTextW(b, item.label.c_str(), int(item.label.size()), &tr, DT_SINGLELINE | DT_VCENTER);
    }
}

void XToolbar::Repaint(const std::vector<int>& ids) {
    if (!owner_ || ids.empty() || !::IsWindowVisible(owner_)) return;
    win::WindowDC dc(owner_);
    if (!dc) return;
    for (int id : ids) PaintItem(id, dc.Get());
}

int XToolbar::HitId(int x, int y) const {
    const Rect strip{rect_.left, rect_.top, rect_.right, rect_.bottom};
    const int index = HitTestStrip(items_, strip, x, y, dpi_);
    return index >= 0 ? items_[index].id : StripState::kNone;
}

bool XToolbar::HandleMessage(HWND hwnd, UINT msg, WPARAM wp, LPARAM lp) {
    std::vector<int> changed;
    switch (msg) {
        case WM_MOUSEMOVE: {
            const POINT p{GET_X_LPARAM(lp), GET_Y_LPARAM(lp)};
            if (!::PtInRect(&rect_, p)) return false;
            leave_.Track(hwnd);
            const int hit = HitId(p.x, p.y);
            if (state_.Hover(hit, changed)) {
                Repaint(changed);
                XToolTipCtrl::Instance().Show(owner_ ? owner_ : hwnd, hit > 0 ? TooltipText(hit) : L"", dpi_);
            }
            return true;
        }
        case WM_LBUTTONDOWN:
            state_.Press(changed);
            Repaint(changed);
            return true;
        case WM_LBUTTONUP: {
            const int command = state_.Release(changed);
            Repaint(changed);
            if (command > 0 && enabled_ && owner_)
                ::SendMessageW(owner_, WM_COMMAND, WPARAM(command), reinterpret_cast<LPARAM>(this));
            return true;
        }
        case WM_MOUSELEAVE:
            leave_.Left();
            XToolTipCtrl::Instance().Hide();
            state_.Leave(changed);
            Repaint(changed);
            return true;
        case WM_NOTIFY: {
            auto* hdr = reinterpret_cast<NMHDR*>(lp);
            if (!hdr || hdr->code != TTN_GETDISPINFOW) return false;
            auto* info = reinterpret_cast<NMTTDISPINFOW*>(lp);
            info->lpszText = const_cast<wchar_t*>(state_.hovered() > 0 ? TooltipText(state_.hovered()) : L"");
            return true;
        }
        case WM_DESTROY: leave_.Left(); return false;
    }
    return false;
}

}  // namespace kestrow
