#include "worker/toolbar/x_tooltip_ctrl.h"

#include <commctrl.h>

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
    ::SendMessageW(tip_, TTM_SETMAXTIPWIDTH, 0, 300);
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

void XToolTipCtrl::Show(HWND hwnd, const wchar_t* text) {
    if (!Ensure()) return;
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
}

}  // namespace kestrow
