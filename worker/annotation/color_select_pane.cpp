#include "worker/annotation/color_select_pane.h"

#include <windowsx.h>

#include <cwchar>
#include <iterator>

#include "common/dpi.h"
#include "common/win/rect.h"
#include "worker/res/resource.h"
#include "worker/worker_ids.h"

namespace kestrow {

using win::ToRECT;
using win::ToRect;

namespace {

constexpr COLORREF kPaneBackground = 0x00E8E8E8;
constexpr COLORREF kPaneOutline = 0x00AA8A67;
constexpr wchar_t kDefaultFace[] = L"宋体";
HMODULE g_dialogModule = nullptr;

const StripItemInit kWidthItems[] = {
    {L"矩形", L"", ID_WIDTH_THIN, 0, 0, kItemCheckGroup},
    {L"圆形", L"", ID_WIDTH_MEDIUM, 1, 0, kItemCheckGroup},
    {L"箭头", L"", ID_WIDTH_THICK, 2, 0, kItemCheckGroup},
    {L"", L"", 0, -1, 0, kItemSeparator},
};

// The swatch inside an item at (x, y), shrunk by one pixel unless it is to fill the item.
void PaintSwatch(HDC dc, int x, int y, int w, int h, COLORREF color, bool full) {
    win::Brush brush(::CreateSolidBrush(color));
    win::ScopedSelect select(dc, brush.Get());
    const int d = full ? 0 : 1;
    ::Rectangle(dc, x + d, y + d, x + w - d, y + h - d);
}

// Adds TrueType families not yet listed (by prefix, as the list finds names) and
// selects the default face when it comes by.
int CALLBACK AddFaceToList(const LOGFONTW* font, const TEXTMETRICW*, DWORD type, LPARAM list) {
    HWND combo = reinterpret_cast<HWND>(list);
    if (!(type & TRUETYPE_FONTTYPE)) return 1;
    const wchar_t* face = font->lfFaceName;
    if (::SendMessageW(combo, CB_FINDSTRING, WPARAM(-1), reinterpret_cast<LPARAM>(face)) != CB_ERR) return 1;
    const LRESULT at = ::SendMessageW(combo, CB_ADDSTRING, 0, reinterpret_cast<LPARAM>(face));
    if (at >= 0 && ::lstrcmpiW(face, kDefaultFace) == 0) ::SendMessageW(combo, CB_SETCURSEL, WPARAM(at), 0);
    return 1;
}

}  // namespace

Point CColorToolBarStyle::IconOffset(const StripItem& item) const {
    return {(item.layout.Width() - Scale(metrics_.iconWidth, dpi_)) / 2,
            (item.layout.Height() - Scale(metrics_.iconHeight, dpi_)) / 2};
}

void CColorToolBarStyle::Paint(HDC dc) {
    if (!enabled_) return;
    if (drawBackground_) PaintBackground(dc, rect_, false);
    for (const StripItem& item : items_) {
        if (item.style & kItemSeparator) continue;
        const Point o = IconOffset(item);
        DrawIcon(dc, item.image, rect_.left + item.layout.left + o.x, rect_.top + item.layout.top + o.y);
    }
    if (state_.hovered() > 0) PaintItem(state_.hovered(), dc);
    if (state_.checked() > 0 && state_.checked() != state_.hovered()) PaintItem(state_.checked(), dc);
}

void CColorToolBarStyle::PaintItemFace(HDC b, const StripItem& item, const RECT& all) {
    if (item.state & (kItemHover | kItemChecked | kItemPressed))
        PaintStateFrame(b, all, !(item.state & kItemHover));
    const Point o = IconOffset(item);
    DrawIcon(b, item.image, o.x, o.y);
}

void CColorToolBar::Paint(HDC dc) {
    if (!enabled_) return;
    for (const StripItem& item : items_) {
        if (item.style & kItemSeparator) continue;
        PaintSwatch(dc, rect_.left + item.layout.left, rect_.top + item.layout.top, item.layout.Width(),
                    item.layout.Height(), COLORREF(item.value), false);
    }
    if (state_.hovered() > 0) PaintItem(state_.hovered(), dc);
}

void CColorToolBar::PaintItemFace(HDC b, const StripItem& item, const RECT& all) {
    win::ScopedSelect pen(b, ::GetStockObject(BLACK_PEN));
    PaintSwatch(b, 0, 0, all.right, all.bottom, COLORREF(item.value), (item.state & kItemHover) != 0);
}

CColorSelectPane::~CColorSelectPane() { Destroy(); }

void CColorSelectPane::SetResourceModule(HMODULE module) { g_dialogModule = module; }

bool CColorSelectPane::Create(HWND owner) {
    return IsWindow() || CreateModeless(IDD_COLOR_PANE, owner, g_dialogModule) != nullptr;
}

void CColorSelectPane::OnInitDialog() {
    fill_.Reset(::CreateSolidBrush(kPaneBackground));
    outline_.Reset(::CreatePen(PS_SOLID, 1, kPaneOutline));

    widths_.SetEnabled(true);
    widths_.SetShowLabels(false);
    widths_.SetOwner(hwnd());
    widths_.SetDefaultItemSize(22, 22);
    widths_.SetDrawBackground(false);
    widths_.LoadIcons(IDB_WIDTH_ICONS, 3);
    widths_.AddItems(kWidthItems, int(std::size(kWidthItems)));
    widths_.SetChecked(kDefaultWidthButton, true);

    CColorToolBar* strips[2] = {&upper_, &lower_};
    for (int row = 0; row < 2; ++row) {
        CColorToolBar& strip = *strips[row];
        strip.SetEnabled(true);
        strip.SetShowLabels(false);
        strip.SetOwner(hwnd());
        strip.SetDefaultItemSize(14, 14);
        StripItemInit items[8];
        for (int i = 0; i < 8; ++i) items[i] = {L"", L"", ID_FIRST_SWATCH + row * 8 + i, -1, 0, 0};
        strip.AddItems(items, 8);
        for (int i = 0; i < 8; ++i)
            strip.SetValue(ID_FIRST_SWATCH + row * 8 + i, int(kSwatchColors[row * 8 + i]));
    }

    HWND sizes = ::GetDlgItem(hwnd(), IDC_FONT_SIZE);
    for (int size = 8; size <= 20; ++size)
        ::SendMessageW(sizes, CB_ADDSTRING, 0, reinterpret_cast<LPARAM>(std::to_wstring(size).c_str()));
    ::SendMessageW(sizes, CB_SETCURSEL, 4, 0);

    HWND faces = ::GetDlgItem(hwnd(), IDC_FONT_FACE);
    LOGFONTW query{};
    query.lfCharSet = DEFAULT_CHARSET;
    win::WindowDC dc(hwnd());
    ::EnumFontFamiliesExW(dc.Get(), &query, &AddFaceToList, reinterpret_cast<LPARAM>(faces), 0);
    // The sorted list may have moved the default face; select it again by name.
    const LRESULT def =
        ::SendMessageW(faces, CB_FINDSTRINGEXACT, WPARAM(-1), reinterpret_cast<LPARAM>(kDefaultFace));
    if (def != CB_ERR) ::SendMessageW(faces, CB_SETCURSEL, WPARAM(def), 0);

    ApplyLayout();
}

int CColorSelectPane::FontHeight() const {
    const LRESULT index = ::SendDlgItemMessageW(hwnd(), IDC_FONT_SIZE, CB_GETCURSEL, 0, 0);
    return int(index < 0 ? 4 : index) + 8;
}

std::wstring CColorSelectPane::FaceName() const {
    wchar_t face[LF_FACESIZE] = {};
    HWND faces = ::GetDlgItem(hwnd(), IDC_FONT_FACE);
    const LRESULT index = ::SendMessageW(faces, CB_GETCURSEL, 0, 0);
    if (index >= 0 && ::SendMessageW(faces, CB_GETLBTEXTLEN, WPARAM(index), 0) < LF_FACESIZE)
        ::SendMessageW(faces, CB_GETLBTEXT, WPARAM(index), reinterpret_cast<LPARAM>(face));
    return face;
}

void CColorSelectPane::SendFontChanged() {
    HWND parent = ::GetWindow(hwnd(), GW_OWNER);
    // Only the news travels: the receiver reads the face from the pane itself.
    if (parent) ::SendMessageW(parent, WM_TEXT_FONT_CHANGED, WPARAM(FontHeight()), 0);
}

void CColorSelectPane::OnCommand(WPARAM wp, LPARAM lp) {
    const int id = LOWORD(wp);
    if (HIWORD(wp) == CBN_SELCHANGE && (id == IDC_FONT_SIZE || id == IDC_FONT_FACE)) {
        SendFontChanged();
        return;
    }
    if (id >= ID_WIDTH_THIN && id <= ID_WIDTH_THICK) {
        penWidth_ = PenWidthFor(id, mode_);
        return;
    }
    if (id >= ID_FIRST_SWATCH && id < ID_FIRST_SWATCH + kSwatchCount) {
        color_ = COLORREF(kSwatchColors[size_t(id - ID_FIRST_SWATCH)]);
        if (mode_ == kPaneText) SendFontChanged();
        ::InvalidateRect(hwnd(), &colorBox_, FALSE);
    }
}

void CColorSelectPane::ApplyLayout() {
    const PaneLayout layout = PaneLayoutFor(mode_, dpi_);
    widths_.SetEnabled(layout.widthStrip);
    widths_.SetRect(ToRECT(layout.widths));
    upper_.SetRect(ToRECT(layout.upperStrip));
    lower_.SetRect(ToRECT(layout.lowerStrip));
    colorBox_ = ToRECT(layout.colorBox);
    swatchInset_ = layout.swatchInset;
    HWND faces = ::GetDlgItem(hwnd(), IDC_FONT_FACE), sizes = ::GetDlgItem(hwnd(), IDC_FONT_SIZE);
    if (layout.fontLists) {
        const Rect f = layout.faceList, z = layout.sizeList;
        ::SetWindowPos(faces, nullptr, f.left, f.top, f.Width(), f.Height(), SWP_NOZORDER | SWP_NOACTIVATE);
        ::SetWindowPos(sizes, nullptr, z.left, z.top, z.Width(), z.Height(), SWP_NOZORDER | SWP_NOACTIVATE);
    }
    ::ShowWindow(faces, layout.fontLists ? SW_SHOW : SW_HIDE);
    ::ShowWindow(sizes, layout.fontLists ? SW_SHOW : SW_HIDE);
    ::SetWindowPos(hwnd(), nullptr, 0, 0, layout.pane.cx, layout.pane.cy,
                   SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE);
}

void CColorSelectPane::SetMode(int mode) {
    if (mode == mode_ || !hwnd()) return;
    mode_ = mode;
    ApplyLayout();
    if (mode != kPaneText) {
        // The checked button always shows the width new shapes get.
        widths_.SetChecked(kDefaultWidthButton, true);
        penWidth_ = PenWidthFor(kDefaultWidthButton, mode);
    }
    KeepOnScreen();
    ::InvalidateRect(hwnd(), nullptr, TRUE);
}

// The strips keep their 96-DPI layout and scale it; the pane re-lays itself out around
// them. The lists keep the dialog's font, which the dialog manager scales already.
void CColorSelectPane::SetDpi(int dpi) {
    if (dpi <= 0 || dpi == dpi_) return;
    dpi_ = dpi;
    widths_.SetDpi(dpi);
    upper_.SetDpi(dpi);
    lower_.SetDpi(dpi);
    if (!hwnd()) return;
    ApplyLayout();
    KeepOnScreen();
    ::InvalidateRect(hwnd(), nullptr, TRUE);
}

void CColorSelectPane::KeepOnScreen() {
    RECT r;
    if (!hwnd() || !::GetWindowRect(hwnd(), &r)) return;
    const int left = KeepPaneOnScreen(r.left, r.right - r.left, win::ToRect(area_), dpi_);
    if (left != r.left)
        ::SetWindowPos(hwnd(), nullptr, left, r.top, 0, 0, SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
}

void CColorSelectPane::Paint(HDC dc) {
    RECT client;
    ::GetClientRect(hwnd(), &client);
    {
        win::ScopedSelect brush(dc, fill_.Get());
        win::ScopedSelect pen(dc, outline_.Get());
        ::Rectangle(dc, client.left, client.top, client.right, client.bottom);
        win::ScopedSelect window(dc, ::GetSysColorBrush(COLOR_WINDOW));
        ::Rectangle(dc, colorBox_.left, colorBox_.top, colorBox_.right, colorBox_.bottom);
    }
    win::Brush current(::CreateSolidBrush(color_));
    RECT inner = colorBox_;
    ::InflateRect(&inner, -swatchInset_, -swatchInset_);
    ::FillRect(dc, &inner, current.Get());
    win::ScopedSelect pen(dc, ::GetStockObject(BLACK_PEN));
    widths_.Paint(dc);
    upper_.Paint(dc);
    lower_.Paint(dc);
}

INT_PTR CColorSelectPane::HandleMessage(UINT msg, WPARAM wp, LPARAM lp) {
    switch (msg) {
        case WM_INITDIALOG: OnInitDialog(); return FALSE;  // no focus: the pane never takes the keyboard
        case WM_PAINT: {
            PAINTSTRUCT ps;
            HDC dc = ::BeginPaint(hwnd(), &ps);
            if (dc) Paint(dc);
            ::EndPaint(hwnd(), &ps);
            return TRUE;
        }
        case WM_ERASEBKGND: return TRUE;
        case WM_MOUSEACTIVATE: {
            // A click on a swatch or width leaves the overlay active, so its keys (Esc)
            // and an open text box keep working; the font lists activate as usual.
            POINT p;
            ::GetCursorPos(&p);
            ::ScreenToClient(hwnd(), &p);
            if (::ChildWindowFromPointEx(hwnd(), p, CWP_SKIPINVISIBLE) != hwnd()) return FALSE;
            return SetResult(MA_NOACTIVATE);
        }
        case WM_MOUSEMOVE:
            leave_.Track(hwnd());
            {
                // Strips overlap and keep a hover the pointer has left; a click must
                // reach only the strip under the pointer.
                const POINT p{GET_X_LPARAM(lp), GET_Y_LPARAM(lp)};
                XToolbar* strips[3] = {&widths_, &upper_, &lower_};
                for (XToolbar* strip : strips)
                    if (strip->GetHovered() > 0 && !::PtInRect(&strip->rect(), p))
                        strip->HandleMessage(hwnd(), WM_MOUSELEAVE, 0, 0);
            }
            [[fallthrough]];
        case WM_LBUTTONDOWN:
        case WM_LBUTTONUP:
            widths_.HandleMessage(hwnd(), msg, wp, lp);
            upper_.HandleMessage(hwnd(), msg, wp, lp);
            lower_.HandleMessage(hwnd(), msg, wp, lp);
            return TRUE;
        case WM_MOUSELEAVE:
            leave_.Left();
            widths_.HandleMessage(hwnd(), msg, wp, lp);
            upper_.HandleMessage(hwnd(), msg, wp, lp);
            lower_.HandleMessage(hwnd(), msg, wp, lp);
            return TRUE;
        case WM_NOTIFY:
            if (widths_.HandleMessage(hwnd(), msg, wp, lp)) return TRUE;
            return FALSE;
        case WM_COMMAND: OnCommand(wp, lp); return TRUE;
        case WM_CLOSE: ::DestroyWindow(hwnd()); return TRUE;
    }
    return FALSE;
}

}  // namespace kestrow
