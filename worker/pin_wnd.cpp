#include "worker/pin_wnd.h"

#include <windowsx.h>

#include <deque>
#include <utility>

#include "common/win/rect.h"
#include "worker/capture_output.h"
#include "worker/image_output.h"
#include "worker/result_sender.h"
#include "worker/worker_ids.h"

namespace kestrow {

namespace {

constexpr COLORREF kFrameColor = RGB(0x2B, 0x6C, 0xC4);

}  // namespace

bool CPinWnd::Open(win::Bitmap picture, Point topLeft) {
    BITMAP size{};
    if (!picture || !::GetObjectW(picture.Get(), sizeof(size), &size)) return false;
    // Its pixels are read to shrink it smoothly.
    if (!picture_.CreateDib(size.bmWidth, size.bmHeight)) return false;
    {
        win::MemoryDC from(::CreateCompatibleDC(picture_.dc()));
        win::ScopedSelect hold(from.Get(), picture.Get());
        ::BitBlt(picture_.dc(), 0, 0, size.bmWidth, size.bmHeight, from.Get(), 0, 0, SRCCOPY);
    }
    picture.Reset();
    view_ = PinView({size.bmWidth, size.bmHeight}, topLeft);
    frame_.Reset(::CreateSolidBrush(kFrameColor));
    WNDCLASSEXW wc{sizeof(wc)};
    wc.style = CS_DBLCLKS | CS_DROPSHADOW;
    wc.lpfnWndProc = Window::WindowProc;
    wc.hInstance = ::GetModuleHandleW(nullptr);
    wc.hCursor = ::LoadCursorW(nullptr, IDC_SIZEALL);
    wc.lpszClassName = kClassName;
    if (!win::RegisterWindowClass(wc)) return false;
    const Rect w = view_.Window();
    if (!Create({.className = kClassName,
                 .title = L"贴图",
                 .exStyle = WS_EX_TOPMOST | WS_EX_TOOLWINDOW,
                 .x = w.left,
                 .y = w.top,
                 .width = w.Width(),
                 .height = w.Height()}))
        return false;
    ::ShowWindow(hwnd(), SW_SHOW);
    ::UpdateWindow(hwnd());
    ::SetForegroundWindow(hwnd());
    ::SetFocus(hwnd());
    return true;
}

void CPinWnd::TakeOverCachedDCs() const {
    // More than a process of ours ever holds at once; the cache lends the free ones first.
    constexpr int kCachedDCs = 16;
    std::deque<win::WindowDC> borrowed;
    for (int i = 0; i < kCachedDCs; ++i) borrowed.emplace_back(hwnd());
}

// After every change of the view: the window follows the picture's place and size, a
// zoom below 100 % gets its smooth copy (any other drops it), and the opacity is set.
void CPinWnd::Apply(bool zoomChanged) {
    if (zoomChanged) {
        const Rect p = view_.Picture();
        shrunk_.Reset();
        if (view_.zoom() < 100 && shrunk_.CreateDib(p.Width(), p.Height())) {
            ::GdiFlush();
            ShrinkByAverage(picture_.bits(), picture_.width(), picture_.height(), shrunk_.bits(), p.Width(),
                            p.Height());
        }
    }
    const Rect w = view_.Window();
    ::SetWindowPos(hwnd(), nullptr, w.left, w.top, w.Width(), w.Height(),
                   SWP_NOZORDER | SWP_NOACTIVATE | (zoomChanged ? 0 : SWP_NOSIZE));
    const LONG_PTR ex = ::GetWindowLongPtrW(hwnd(), GWL_EXSTYLE);
    // Only a faded pin is layered: an opaque one is drawn like any window.
    if (view_.opacity() < PinView::kMaxOpacity) {
        if (!(ex & WS_EX_LAYERED)) ::SetWindowLongPtrW(hwnd(), GWL_EXSTYLE, ex | WS_EX_LAYERED);
        ::SetLayeredWindowAttributes(hwnd(), 0, BYTE(view_.opacity() * 255 / 100), LWA_ALPHA);
    } else if (ex & WS_EX_LAYERED) {
        ::SetWindowLongPtrW(hwnd(), GWL_EXSTYLE, ex & ~WS_EX_LAYERED);
    }
    if (zoomChanged) ::InvalidateRect(hwnd(), nullptr, FALSE);
}

void CPinWnd::Paint(HDC dc) {
    const Rect w = view_.Window();
    const int width = w.Width(), height = w.Height(), b = PinView::kBorder;
    const Size image = view_.image();
    if (view_.zoom() == 100) {
        ::BitBlt(dc, b, b, image.cx, image.cy, picture_.dc(), 0, 0, SRCCOPY);
    } else if (shrunk_) {
        ::BitBlt(dc, b, b, shrunk_.width(), shrunk_.height(), shrunk_.dc(), 0, 0, SRCCOPY);
    } else {
        // Enlarged: every pixel a sharp block; the paint's clipping keeps the work to
        // what is on screen.
        ::SetStretchBltMode(dc, COLORONCOLOR);
        ::StretchBlt(dc, b, b, width - 2 * b, height - 2 * b, picture_.dc(), 0, 0, image.cx, image.cy,
                     SRCCOPY);
    }
    const RECT all{0, 0, width, height};
    ::FrameRect(dc, &all, frame_.Get());
}

win::Bitmap CPinWnd::TakePicture() const {
    return CopyRegion(picture_.dc(), RECT{0, 0, picture_.width(), picture_.height()});
}

// As the region capture copies: a clipboard kept busy by another program is told, and
// the pin stays for another try.
void CPinWnd::Copy() {
    win::Bitmap bitmap = TakePicture();
    if (!bitmap) return;
    bool copied = false;
    {
        win::ClipboardSession clipboard(hwnd(), kClipboardPatienceMs);
        if (!clipboard.IsOpen()) {
            ::MessageBoxW(hwnd(), kClipboardBusyText, L"", MB_OK | MB_ICONWARNING);
            return;
        }
        copied = PutOnClipboard(std::move(bitmap), clipboard);
    }
    if (copied) SendResultInt(RESULT_REGION_COPIED, 0);
}

win::UniqueMenu CPinWnd::MakeMenu() const {
    win::UniqueMenu menu(::CreatePopupMenu());
    if (!menu) return menu;
    ::AppendMenuW(menu.Get(), MF_STRING, ID_PIN_COPY, L"复制");
    ::AppendMenuW(menu.Get(), MF_STRING, ID_PIN_SAVEAS, L"另存为...");
    ::AppendMenuW(menu.Get(), MF_STRING, ID_PIN_ACTUAL_SIZE, L"原始大小");
    ::AppendMenuW(menu.Get(), MF_STRING | (topmost_ ? MF_CHECKED : MF_UNCHECKED), ID_PIN_TOPMOST, L"置顶");
    ::AppendMenuW(menu.Get(), MF_STRING, ID_PIN_CLOSE, L"关闭");
    return menu;
}

void CPinWnd::OnContextMenu(Point at) {
    if (at.x == -1 && at.y == -1) {  // from the keyboard: at the picture's corner
        const Rect p = view_.Picture();
        at = {p.left, p.top};
    }
    win::UniqueMenu menu = MakeMenu();
    if (!menu) return;
    const int id =
        int(::TrackPopupMenu(menu.Get(), TPM_RETURNCMD | TPM_RIGHTBUTTON, at.x, at.y, 0, hwnd(), nullptr));
    if (id) RunCommand(id);
}

void CPinWnd::RunCommand(int id) {
    switch (id) {
        case ID_PIN_COPY: Copy(); break;
        case ID_PIN_SAVEAS: {
            win::Bitmap bitmap = TakePicture();
            OutputToFile(bitmap.Get(), RESULT_REGION_SAVED);
            break;
        }
        case ID_PIN_ACTUAL_SIZE:
            view_.ResetZoom();
            Apply(true);
            break;
        case ID_PIN_TOPMOST:
            topmost_ = !topmost_;
            ::SetWindowPos(hwnd(), topmost_ ? HWND_TOPMOST : HWND_NOTOPMOST, 0, 0, 0, 0,
                           SWP_NOMOVE | SWP_NOSIZE | SWP_NOACTIVATE);
            break;
        case ID_PIN_CLOSE: ::PostMessageW(hwnd(), WM_CLOSE, 0, 0); break;
    }
}

void CPinWnd::OnKeyDown(UINT vk) {
    const int step = ::GetKeyState(VK_SHIFT) < 0 ? 10 : 1;
    switch (vk) {
        case VK_ESCAPE: ::PostMessageW(hwnd(), WM_CLOSE, 0, 0); return;
        case VK_LEFT: view_.MoveBy(-step, 0); break;
        case VK_RIGHT: view_.MoveBy(step, 0); break;
        case VK_UP: view_.MoveBy(0, -step); break;
        case VK_DOWN: view_.MoveBy(0, step); break;
        case '1':
        case VK_NUMPAD1: RunCommand(ID_PIN_ACTUAL_SIZE); return;
        default: return;
    }
    Apply(false);
}

void CPinWnd::OnWheel(int delta, bool ctrl, Point pointer) {
    wheelRest_ += delta;
    const int notches = wheelRest_ / WHEEL_DELTA;
    wheelRest_ -= notches * WHEEL_DELTA;
    if (!notches) return;
    if (ctrl) {
        view_.Fade(notches);
        Apply(false);
    } else {
        const int before = view_.zoom();
        view_.ZoomAt(notches, pointer);
        if (view_.zoom() != before) Apply(true);
    }
}

LRESULT CPinWnd::HandleMessage(UINT msg, WPARAM wp, LPARAM lp) {
    const Point at{GET_X_LPARAM(lp), GET_Y_LPARAM(lp)};
    switch (msg) {
        case WM_PAINT: {
            PAINTSTRUCT ps;
            if (HDC dc = ::BeginPaint(hwnd(), &ps)) Paint(dc);
            ::EndPaint(hwnd(), &ps);
            return 0;
        }
        case WM_ERASEBKGND: return 1;
        case WM_PRINTCLIENT: Paint(reinterpret_cast<HDC>(wp)); return 0;
        case WM_LBUTTONDOWN: {
            POINT p{at.x, at.y};
            ::ClientToScreen(hwnd(), &p);
            const Rect pic = view_.Picture();
            dragging_ = true;
            dragPointer_ = {p.x, p.y};
            dragCorner_ = {pic.left, pic.top};
            ::SetCapture(hwnd());
            return 0;
        }
        case WM_MOUSEMOVE:
            if (dragging_) {
                POINT p{at.x, at.y};
                ::ClientToScreen(hwnd(), &p);
                view_.MoveTo({dragCorner_.x + p.x - dragPointer_.x, dragCorner_.y + p.y - dragPointer_.y});
                Apply(false);
            }
            return 0;
        case WM_LBUTTONUP:
            if (dragging_) ::ReleaseCapture();
            return 0;
        case WM_CAPTURECHANGED: dragging_ = false; return 0;
        case WM_LBUTTONDBLCLK: ::PostMessageW(hwnd(), WM_CLOSE, 0, 0); return 0;
        case WM_MOUSEWHEEL:
            OnWheel(GET_WHEEL_DELTA_WPARAM(wp), (GET_KEYSTATE_WPARAM(wp) & MK_CONTROL) != 0, at);
            return 0;
        case WM_KEYDOWN: OnKeyDown(UINT(wp)); return 0;
        case WM_CONTEXTMENU: OnContextMenu(at); return 0;
        case WM_COMMAND: RunCommand(LOWORD(wp)); return 0;  // the menu's commands, also sent by others
        case WM_GETMINMAXINFO: {
            // A zoomed pin may be larger than any monitor.
            auto* info = reinterpret_cast<MINMAXINFO*>(lp);
            info->ptMaxTrackSize = {0x7FFF, 0x7FFF};
            info->ptMinTrackSize = {1, 1};
            return 0;
        }
        case WM_DPICHANGED: return 0;  // shown in physical pixels on every monitor
        case WM_DESTROY: ::PostQuitMessage(0); return 0;
    }
    return DefaultMessage(msg, wp, lp);
}

}  // namespace kestrow
