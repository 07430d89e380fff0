#include "worker/toolbar/x_tooltip_ctrl.h"

#include <commctrl.h>

#include <utility>

#include "common/dpi.h"

namespace kestrow {

XToolTipCtrl& XToolTipCtrl::Instance() {
    static XToolTipCtrl instance;
    return instance;
}

bool XToolTipCtrl::Ensure() {
    if (tip_ && ::IsWindow(tip_)) return true;
    tip_ = ::CreateWindowExW(WS_EX_TOPMOST, TOOLTIPS_CLASSW, nullptr, WS_POPUP | TTS_ALWAYSTIP | TTS_NOPREFIX,
                             CW_USEDEFAULT, CW_USEDEFAULT, CW_USEDEFAULT, CW_USEDEFAULT, nullptr, nullptr,
                             ::GetModuleHandleW(nullptr), nullptr);
    if (!tip_) return false;
    ::SendMessageW(tip_, TTM_SETTIPBKCOLOR, 0x00F1FBFB, 0);
    ::SendMessageW(tip_, TTM_SETTIPTEXTCOLOR, RGB(0, 0, 0), 0);
    // A copy of what the font is: the control may free its own when given another.
    haveSystemFont_ = ::GetObjectW(reinterpret_cast<HFONT>(::SendMessageW(tip_, WM_GETFONT, 0, 0)),
                                   sizeof(systemFont_), &systemFont_) != 0;
    dpi_ = 0;
    SetDpi(kBaseDpi);
    ::SendMessageW(tip_, TTM_SETDELAYTIME, TTDT_INITIAL, 500);
    ::SendMessageW(tip_, TTM_SETDELAYTIME, TTDT_RESHOW, 3000);
    ::SendMessageW(tip_, TTM_ACTIVATE, TRUE, 0);
    return true;
}

namespace {
TOOLINFOW ToolFor(HWND hwnd) {
    TOOLINFOW ti{};
    ti.cbSize = TTTOOLINFOW_V2_SIZE;
    ti.uFlags = TTF_IDISHWND | TTF_TRANSPARENT;
    ti.hwnd = hwnd;
    ti.uId = reinterpret_cast<UINT_PTR>(hwnd);
    return ti;
}
}  // namespace

void XToolTipCtrl::AddTool(HWND hwnd) {
    if (!Ensure()) return;
    TOOLINFOW ti = ToolFor(hwnd);
    ti.lpszText = LPSTR_TEXTCALLBACKW;
    ::SendMessageW(tip_, TTM_ADDTOOLW, 0, reinterpret_cast<LPARAM>(&ti));
}

// The control takes its font from the system at the system's DPI; on a monitor of
// another DPI the same font is scaled from there, so the tip matches the strip under it.
void XToolTipCtrl::SetDpi(int dpi) {
    if (dpi <= 0 || dpi == dpi_) return;
    dpi_ = dpi;
    ::SendMessageW(tip_, TTM_SETMAXTIPWIDTH, 0, Scale(300, dpi));
    win::WindowDC screen(nullptr);
    const int caps = screen ? ::GetDeviceCaps(screen.Get(), LOGPIXELSY) : 0;
    const int systemDpi = caps > 0 ? caps : kBaseDpi;
    // Untouched at the system's DPI until another DPI has come: the control's own font.
    if (!haveSystemFont_ || (dpi == systemDpi && !scaledFont_)) return;
    LOGFONTW lf = systemFont_;
    lf.lfHeight = ::MulDiv(lf.lfHeight, dpi, systemDpi);
    lf.lfWidth = ::MulDiv(lf.lfWidth, dpi, systemDpi);
    win::Font font(::CreateFontIndirectW(&lf));
    if (!font) return;
    ::SendMessageW(tip_, WM_SETFONT, WPARAM(font.Get()), FALSE);
    scaledFont_ = std::move(font);  // the old one only after the control has let go of it
}

void XToolTipCtrl::Show(HWND hwnd, const wchar_t* text, int dpi) {
    if (!Ensure()) return;
    SetDpi(dpi);
    ::SendMessageW(tip_, TTM_ACTIVATE, TRUE, 0);
    TOOLINFOW ti = ToolFor(hwnd);
    ti.lpszText = const_cast<wchar_t*>(text ? text : L"");
    ::SendMessageW(tip_, TTM_UPDATETIPTEXTW, 0, reinterpret_cast<LPARAM>(&ti));
    MSG msg{hwnd, WM_MOUSEMOVE, 0, 0, DWORD(::GetMessageTime()), {}};
    ::GetCursorPos(&msg.pt);
    POINT client = msg.pt;
    ::ScreenToClient(hwnd, &client);
    msg.lParam = MAKELPARAM(client.x, client.y);
    ::SendMessageW(tip_, TTM_RELAYEVENT, 0, reinterpret_cast<LPARAM>(&msg));
    ::SendMessageW(tip_, TTM_UPDATE, 0, 0);
}

void XToolTipCtrl::Hide() {
    if (tip_) ::ShowWindow(tip_, SW_HIDE);
}

void XToolTipCtrl::Destroy() {
    if (tip_ && ::IsWindow(tip_)) ::DestroyWindow(tip_);
    tip_ = nullptr;
    scaledFont_.Reset();
    dpi_ = 0;
}

}  // namespace kestrow
