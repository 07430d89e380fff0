// The floors under Wine for the capture benchmark, with nothing but user32 and gdi32
// behind them. Without an argument: a topmost window over the whole primary screen that
// paints one colour (magenta), marking the same moments as the worker
// (KESTROW_START_TRACE). "wait": the display open and no window, waiting for messages,
// as the waiting worker does. "pin": an 800 x 600 picture in a topmost framed window,
// as a pinned capture shows it. The last two are there for their resident memory.
#include <windows.h>

#include <cstdint>
#include <span>
#include <string_view>

#include "common/win/gdi.h"
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

// The pin mode's picture, as the pin keeps it: a DIB section in a memory DC.
kestrow::win::MemorySurface g_picture;

LRESULT CALLBACK PictureProc(HWND hwnd, UINT msg, WPARAM wp, LPARAM lp) {
    if (msg != WM_PAINT) return ::DefWindowProcW(hwnd, msg, wp, lp);
    PAINTSTRUCT ps;
    HDC dc = ::BeginPaint(hwnd, &ps);
    ::BitBlt(dc, 0, 0, g_picture.width(), g_picture.height(), g_picture.dc(), 0, 0, SRCCOPY);
    ::EndPaint(hwnd, &ps);
    return 0;
}

int ShowPicture(HINSTANCE instance) {
    if (!g_picture.CreateDib(800, 600)) return 3;
    // Noise, so that no page of it is left untouched.
    uint32_t seed = 1;
    for (uint32_t& pixel : std::span(g_picture.bits(), 800 * 600))
        pixel = seed = seed * 1664525u + 1013904223u;
    WNDCLASSW wc{};
    wc.style = CS_DROPSHADOW;
    wc.lpfnWndProc = PictureProc;
    wc.hInstance = instance;
    wc.lpszClassName = L"KestrowBenchPicture";
    ::RegisterClassW(&wc);
    HWND hwnd =
        ::CreateWindowExW(WS_EX_TOPMOST | WS_EX_TOOLWINDOW, wc.lpszClassName, L"", WS_POPUP | WS_BORDER, 100,
                          100, 802, 602, nullptr, nullptr, instance, nullptr);
    if (!hwnd) return 3;
    ::ShowWindow(hwnd, SW_SHOW);
    return 0;
}

}  // namespace

int WINAPI wWinMain(HINSTANCE instance, HINSTANCE, LPWSTR args, int) {
    const std::wstring_view mode = args;
    if (mode == L"wait" || mode == L"pin") {
        if (mode == L"pin") {
            if (const int failed = ShowPicture(instance)) return failed;
        } else {
            const kestrow::win::WindowDC display(nullptr);  // opens the display connection
        }
        MSG msg;
        while (::GetMessageW(&msg, nullptr, 0, 0) > 0) ::DispatchMessageW(&msg);
        return 0;
    }
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
