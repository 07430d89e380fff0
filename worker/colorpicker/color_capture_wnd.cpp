#include "worker/colorpicker/color_capture_wnd.h"

#include <string>

#include "common/dpi.h"
#include "common/result_message.h"
#include "common/win/monitor.h"
#include "common/theme_manager.h"
#include "worker/capture_output.h"
#include "worker/colorpicker/color_picker_layout.h"
#include "worker/magnifier_layout.h"
#include "worker/res/resource.h"
#include "worker/result_sender.h"

namespace kestrow {
namespace {

constexpr COLORREF kPanelColor = 0x007F7F7F;
constexpr COLORREF kTextColor = 0x00FF0000;
constexpr COLORREF kCrossColor = 0x000000FF;
constexpr COLORREF kZoomOutside = 0x00333333;  // where the zoom reaches past the screen

void FillSolid(HDC dc, const RECT& rc, COLORREF color) {
    ::SetBkColor(dc, color);
    ::ExtTextOutW(dc, 0, 0, ETO_OPAQUE, &rc, nullptr, 0, nullptr);
}

void DrawLine(HDC dc, const std::wstring& text, RECT rc) {
    ::DrawTextW(dc, text.c_str(), int(text.size()), &rc, DT_SINGLELINE | DT_VCENTER);
}

// Frees a global block unless the clipboard took it.
struct GlobalBlock {
    GlobalBlock(ClipboardAllocator alloc, SIZE_T bytes) : h(alloc(GMEM_MOVEABLE, bytes)) {}
    ~GlobalBlock() {
        if (h) ::GlobalFree(h);
    }
    HGLOBAL h;
};

}  // namespace

bool PutTextOnClipboard(HWND owner, const std::wstring& text, ClipboardAllocator alloc) {
    // The block is ready before the clipboard is emptied: no block, nothing lost. Only a
    // block the clipboard has taken counts as a copy.
    GlobalBlock block(alloc, (text.size() + 1) * sizeof(wchar_t));
    if (!block.h) return false;
    void* data = ::GlobalLock(block.h);
    if (!data) return false;
    memcpy(data, text.c_str(), (text.size() + 1) * sizeof(wchar_t));
    ::GlobalUnlock(block.h);
    win::ClipboardSession clipboard(owner, kClipboardPatienceMs);
    if (!clipboard.IsOpen()) return false;
    ::EmptyClipboard();
    if (!::SetClipboardData(CF_UNICODETEXT, block.h)) return false;
    block.h = nullptr;
    return true;
}

bool CColorCaptureWnd::RegisterClass() { return win::RegisterStandardClass(kClassName); }

void CColorCaptureWnd::Start() {
    ::SetWindowPos(hwnd(), HWND_TOPMOST, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE);
    ::SetClassLongPtrW(
        hwnd(), GCLP_HCURSOR,
        reinterpret_cast<LONG_PTR>(::LoadCursorW(::GetModuleHandleW(nullptr), MAKEINTRESOURCEW(IDC_PICKER))));
    layout_ = win::ReadScreenLayout();
    screenWidth_ = layout_.width();
    screenHeight_ = layout_.height();
    win::WindowDC screen(nullptr);
    backBuffer_.Create(screen.Get(), screenWidth_, screenHeight_);
    snapshot_.Create(screen.Get(), screenWidth_, screenHeight_);
    zoom_.Create(screen.Get(), kPickerZoomSource, kPickerZoomSource);
    const Point origin = layout_.origin();
    if (snapshot_)
        ::BitBlt(snapshot_.dc(), 0, 0, screenWidth_, screenHeight_, screen.Get(), origin.x, origin.y,
                 SRCCOPY);
    crossPen_.Reset(::CreatePen(PS_SOLID, 1, kCrossColor));
    ::MoveWindow(hwnd(), origin.x, origin.y, screenWidth_, screenHeight_, TRUE);
}

LRESULT CColorCaptureWnd::HandleMessage(UINT msg, WPARAM wp, LPARAM lp) {
    switch (msg) {
        case WM_CREATE: OnCreate(); return 0;
        case WM_TIMER:
            if (wp == TIMER_ACTIVATE) ::SetActiveWindow(hwnd());  // keep the keyboard
            return 0;
        case WM_ERASEBKGND: return 1;
        case WM_PAINT: OnPaint(); return 0;
        case WM_PRINTCLIENT: Render(reinterpret_cast<HDC>(wp)); return 0;
        case WM_MOUSEMOVE: ::InvalidateRect(hwnd(), nullptr, TRUE); return 0;
        case WM_KEYDOWN: OnKeyDown(UINT(wp)); return 0;
        case WM_LBUTTONDOWN:
        case WM_LBUTTONUP:
        case WM_RBUTTONUP:
        case WM_LBUTTONDBLCLK:
        case WM_HOTKEY: return 0;  // picking is by keyboard only
        case WM_CLOSE: ::PostQuitMessage(0); return 0;
    }
    return DefaultMessage(msg, wp, lp);
}

void CColorCaptureWnd::OnCreate() {
    ::SetWindowLongPtrW(hwnd(), GWL_STYLE, ::GetWindowLongPtrW(hwnd(), GWL_STYLE) | WS_CLIPCHILDREN);
    ::SetTimer(hwnd(), TIMER_ACTIVATE, 1000, nullptr);
}

void CColorCaptureWnd::OnPaint() {
    PAINTSTRUCT ps;
    HDC dc = ::BeginPaint(hwnd(), &ps);
    Render(dc);
    ::EndPaint(hwnd(), &ps);
}

COLORREF CColorCaptureWnd::PickedColor(POINT pos) const {
    const Point p = layout_.ToOverlay(Point{pos.x, pos.y});
    return snapshot_ ? ::GetPixel(snapshot_.dc(), p.x, p.y) : 0;
}

void CColorCaptureWnd::Render(HDC target) {
    if (!backBuffer_ || !snapshot_) return;
    HDC back = backBuffer_.dc();
    ::BitBlt(back, 0, 0, screenWidth_, screenHeight_, snapshot_.dc(), 0, 0, SRCCOPY);

    POINT cursor{};
    ::GetCursorPos(&cursor);
    const COLORREF picked = PickedColor(cursor);
    const Point mouse = layout_.ToOverlay(Point{cursor.x, cursor.y});
    const int dpi = layout_.DpiAt(mouse);
    const auto s = [dpi](int px) { return Scale(px, dpi); };
    const Point box = PickerBoxOrigin(mouse, layout_.MonitorAt(mouse), dpi);

    if (zoom_) {
        const int half = kPickerZoomSource / 2;
        // Filled first: near an edge part of the square has no screen under it.
        FillSolid(zoom_.dc(), RECT{0, 0, kPickerZoomSource, kPickerZoomSource}, kZoomOutside);
        const ZoomCopy c = ZoomSourceCopy(mouse, screenWidth_, screenHeight_);
        if (!c.from.IsEmpty())
            ::BitBlt(zoom_.dc(), c.to.x, c.to.y, c.from.Width(), c.from.Height(), snapshot_.dc(), c.from.left,
                     c.from.top, SRCCOPY);
        {
            win::ScopedSelect pen(zoom_.dc(), crossPen_.Get());
            ::MoveToEx(zoom_.dc(), 12, half, nullptr);
            ::LineTo(zoom_.dc(), 37, half);
            ::MoveToEx(zoom_.dc(), half, 12, nullptr);
            ::LineTo(zoom_.dc(), half, 37);
        }
        ::SetPixel(zoom_.dc(), half, half, picked);
        ::StretchBlt(back, box.x, box.y, s(200), s(200), zoom_.dc(), 0, 0, kPickerZoomSource,
                     kPickerZoomSource, SRCCOPY);
    }

    FillSolid(back, RECT{box.x, box.y + s(200), box.x + s(200), box.y + s(270)}, kPanelColor);
    win::ScopedSelect font(back, CThemeManager::Instance().StandardFont(dpi));
    FillSolid(back, RECT{box.x + s(5), box.y + s(205), box.x + s(25), box.y + s(225)}, picked);
    ::SetBkMode(back, TRANSPARENT);
    ::SetTextColor(back, kTextColor);
    DrawLine(back, ColorPanelText(GetRValue(picked), GetGValue(picked), GetBValue(picked)),
             RECT{box.x + s(30), box.y + s(205), box.x + s(200), box.y + s(225)});
    DrawLine(back, L"按Esc结束取色", RECT{box.x + s(5), box.y + s(229), box.x + s(200), box.y + s(243)});
    DrawLine(back, L"按回车键复制RGB值到剪贴板",
             RECT{box.x + s(5), box.y + s(247), box.x + s(200), box.y + s(261)});

    ::BitBlt(target, 0, 0, screenWidth_, screenHeight_, back, 0, 0, SRCCOPY);
}

void CColorCaptureWnd::OnKeyDown(UINT key) {
    POINT pos{};
    ::GetCursorPos(&pos);
    switch (key) {
        case VK_ESCAPE: ::PostMessageW(hwnd(), WM_CLOSE, 0, 0); break;
        case VK_LEFT: --pos.x; break;
        case VK_RIGHT: ++pos.x; break;
        case VK_UP: --pos.y; break;
        case VK_DOWN: ++pos.y; break;
        case VK_RETURN:
            // A busy clipboard keeps the picker up for another try.
            if (!CopyColor(pos)) {
                ::MessageBoxW(hwnd(), kClipboardBusyText, L"", MB_OK | MB_ICONWARNING);
                break;
            }
            // Off the screen before the launcher is told, which may keep us waiting.
            ::ShowWindow(hwnd(), SW_HIDE);
            SendResultInt(RESULT_COLOR_COPIED, 0);
            ::PostMessageW(hwnd(), WM_CLOSE, 0, 0);
            break;
    }
    ::SetCursorPos(pos.x, pos.y);
}

bool CColorCaptureWnd::CopyColor(POINT pos) {
    const COLORREF c = PickedColor(pos);
    return PutTextOnClipboard(hwnd(), ColorClipboardText(GetRValue(c), GetGValue(c), GetBValue(c)));
}

}  // namespace kestrow
