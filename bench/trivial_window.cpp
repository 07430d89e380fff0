// The floor under Wine for the start benchmark: a topmost window over the whole primary
// screen that paints one colour (magenta), with nothing but user32 and gdi32 behind it.
// It marks the same moments as the worker (KESTROW_START_TRACE).
#include <windows.h>

#include "common/win/start_trace.h"

namespace {

namespace trace = kestrow::win::start_trace;

LRESULT CALLBACK TrivialProc(HWND hwnd, UINT msg, WPARAM wp, LPARAM lp) {
    if (msg == WM_PAINT) {
        PAINTSTRUCT ps;
        HDC dc = ::BeginPaint(hwnd, &ps);
        ::SetDCBrushColor(dc, RGB(255, 0, 255));
        ::FillRect(dc, &ps.rcPaint, static_cast<HBRUSH>(::GetStockObject(DC_BRUSH)));
        ::EndPaint(hwnd, &ps);
        trace::Mark("painted");
        trace::Write();
        return 0;
    }
    if (msg == WM_ERASEBKGND) return 1;
    if (msg == WM_CLOSE) {
        ::PostQuitMessage(0);
        return 0;
    }
    return ::DefWindowProcW(hwnd, msg, wp, lp);
}

}  // namespace

int WINAPI wWinMain(HINSTANCE instance, HINSTANCE, LPWSTR, int) {
    trace::Mark("entry");
    WNDCLASSW wc{};
    wc.lpfnWndProc = TrivialProc;
    wc.hInstance = instance;
    wc.lpszClassName = L"KestrowBenchTrivial";
    ::RegisterClassW(&wc);
    HWND hwnd = ::CreateWindowExW(WS_EX_TOPMOST | WS_EX_TOOLWINDOW, wc.lpszClassName, L"", WS_POPUP, 0, 0,
                                  ::GetSystemMetrics(SM_CXSCREEN), ::GetSystemMetrics(SM_CYSCREEN), nullptr,
                                  nullptr, instance, nullptr);
    if (!hwnd) return 3;
    trace::Mark("window");
    ::ShowWindow(hwnd, SW_SHOW);
    trace::Mark("shown");
    MSG msg;
    while (::GetMessageW(&msg, nullptr, 0, 0) > 0) ::DispatchMessageW(&msg);
    return 0;
}
