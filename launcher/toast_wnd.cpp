#include "launcher/toast_wnd.h"

#include <cwchar>
#include <memory>
#include <vector>

#include "common/win/monitor.h"

namespace kestrow {

namespace {

// The shown toasts. Toasts live on the UI thread only.
ToastQueue<CToastWnd*>& LiveToasts() {
    static ToastQueue<CToastWnd*> toasts;
    return toasts;
}

bool RegisterToastClass() { return win::RegisterStandardClass(kToastWndClass); }

}  // namespace

HWND CToastWnd::CreateToast() {
    if (!RegisterToastClass()) return nullptr;
    HWND hwnd = Create({.className = kToastWndClass,
                        .title = kToastWndClass,
                        .exStyle = WS_EX_LAYERED | WS_EX_TOOLWINDOW | WS_EX_TOPMOST,
                        .x = 0,
                        .y = 0,
                        .width = 0,
                        .height = 0});
    if (!hwnd) return nullptr;
    // It stands on the primary monitor's work area, where it was just created.
    if (dpi_ <= 0) dpi_ = win::WindowDpi(hwnd);
    font_.Reset(::CreateFontW(ToastMetricsFor(dpi_).fontHeight, 0, 0, 0, FW_BOLD, FALSE, FALSE, FALSE,
                              CHINESEBIG5_CHARSET, OUT_CHARACTER_PRECIS, CLIP_CHARACTER_PRECIS,
                              DEFAULT_QUALITY, FF_MODERN, L"Tahoma"));
    return hwnd;
}

void CToastWnd::Show(const std::wstring& text) {
    HWND hwnd = this->hwnd();
    const ToastMetrics size = ToastMetricsFor(dpi_);
    ::MoveWindow(hwnd, 0, 0, size.width, size.height, FALSE);
    win::CentreOnWorkArea(hwnd);
    ::SetWindowTextW(hwnd, text.c_str());
    const ToastStep first = fade_.Start();
    ::SetLayeredWindowAttributes(hwnd, 0, BYTE(fade_.alpha()), LWA_ALPHA);
    ::ShowWindow(hwnd, SW_SHOWNOACTIVATE);
    Apply(first);
}

LRESULT CToastWnd::HandleMessage(UINT msg, WPARAM wp, LPARAM lp) {
    switch (msg) {
        case WM_TIMER: OnTimer(wp); return 0;
        case WM_PAINT: OnPaint(); return 0;
        case WM_ERASEBKGND: return 1;
    }
    return DefaultMessage(msg, wp, lp);
}

void CToastWnd::OnTimer(UINT_PTR id) { Apply(fade_.OnTimer(static_cast<unsigned>(id))); }

void CToastWnd::Apply(const ToastStep& step) {
    HWND hwnd = this->hwnd();
    if (step.killTimer) ::KillTimer(hwnd, step.killTimer);
    if (step.startTimer) ::SetTimer(hwnd, step.startTimer, step.period, nullptr);
    if (step.applyAlpha) ::SetLayeredWindowAttributes(hwnd, 0, BYTE(fade_.alpha()), LWA_ALPHA);
    if (step.close) ::DestroyWindow(hwnd);
}

void CToastWnd::OnPaint() {
    PAINTSTRUCT ps;
    HDC dc = ::BeginPaint(hwnd(), &ps);
    RECT rc{};
    ::GetClientRect(hwnd(), &rc);
    ::FillRect(dc, &rc, static_cast<HBRUSH>(::GetStockObject(BLACK_BRUSH)));
    wchar_t text[512] = {};
    ::GetWindowTextW(hwnd(), text, 512);
    {
        win::ScopedSelect font(dc, font_.Get());
        ::SetBkMode(dc, TRANSPARENT);
        ::SetTextColor(dc, RGB(255, 255, 255));
        ::DrawTextW(dc, text, -1, &rc, DT_CENTER | DT_VCENTER | DT_SINGLELINE);
    }
    ::EndPaint(hwnd(), &ps);
}

// A shown toast frees itself once its window is gone; nobody else holds it. Before
// that, ShowToast's pointer owns it, also when creation fails after WM_NCCREATE.
void CToastWnd::OnFinalMessage() {
    LiveToasts().Remove(this);
    if (ownsSelf_) delete this;
}

HWND ShowToast(const std::wstring& text) { return ShowToast(std::make_unique<CToastWnd>(), text); }

HWND ShowToast(std::unique_ptr<CToastWnd> toast, const std::wstring& text) {
    // Room first, so no more than kMaxToasts ever stand.
    LiveToasts().MakeRoom([](CToastWnd* oldest) { ::DestroyWindow(oldest->hwnd()); });
    HWND hwnd = toast->CreateToast();
    if (!hwnd) return nullptr;
    toast->ownsSelf_ = true;
    CToastWnd* shown = toast.release();
    shown->Show(text);
    LiveToasts().Add(shown);
    return hwnd;
}

namespace {
BOOL CALLBACK CloseIfToast(HWND hwnd, LPARAM) {
    wchar_t cls[32] = {};
    ::GetClassNameW(hwnd, cls, 32);
    if (std::wcscmp(cls, kToastWndClass) == 0) ::DestroyWindow(hwnd);
    return TRUE;
}
}  // namespace

void CloseToasts() { ::EnumThreadWindows(::GetCurrentThreadId(), &CloseIfToast, 0); }

}  // namespace kestrow
