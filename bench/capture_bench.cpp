// Figures for the region capture's speed, printed into a file (Wine and pipes do not mix):
//   capture_bench measure OUT            StartCapture and one repaint against a screen grab and a memcpy
//   capture_bench firstpaint WORKER OUT  start-to-first-overlay-pixel of Worker.exe beside a trivial window
//   capture_bench waitoverlay            returns once the overlay's magnifier is on screen
//   capture_bench trivial                a full-screen window painted in one colour
#include <windows.h>
#include <shellapi.h>

#include <algorithm>
#include <cstdio>
#include <cstring>
#include <string>
#include <vector>

#include "common/win/command_line.h"
#include "common/win/com.h"
#include "common/win/gdi.h"
#include "worker/screen_capture_wnd.h"

namespace {

double Now() {
    static LARGE_INTEGER freq = [] {
        LARGE_INTEGER f;
        ::QueryPerformanceFrequency(&f);
        return f;
    }();
    LARGE_INTEGER t;
    ::QueryPerformanceCounter(&t);
    return double(t.QuadPart) * 1000.0 / double(freq.QuadPart);
}

template <class F>
double Median(int runs, F&& f) {
    std::vector<double> times;
    for (int i = 0; i < runs; ++i) {
        const double t0 = Now();
        f();
        times.push_back(Now() - t0);
    }
    std::sort(times.begin(), times.end());
    return times[times.size() / 2];
}

void Pump() {
    MSG msg;
    while (::PeekMessageW(&msg, nullptr, 0, 0, PM_REMOVE)) {
        ::TranslateMessage(&msg);
        ::DispatchMessageW(&msg);
    }
}

void Write(const std::wstring& path, const std::string& text) {
    FILE* f = _wfopen(path.c_str(), L"ab");
    if (!f) return;
    std::fwrite(text.data(), 1, text.size(), f);
    std::fclose(f);
}

std::string Format(const char* fmt, ...) {
    char buf[512];
    va_list args;
    va_start(args, fmt);
    std::vsnprintf(buf, sizeof(buf), fmt, args);
    va_end(args);
    return buf;
}

int Measure(const std::wstring& out) {
    kestrow::win::ComInit com;
    kestrow::win::GdiplusSession gdiplus(false);
    const int w = ::GetSystemMetrics(SM_CXVIRTUALSCREEN), h = ::GetSystemMetrics(SM_CYVIRTUALSCREEN);
    const size_t frame = size_t(w) * h * 4;

    kestrow::win::MemorySurface grab(nullptr, w, h);
    kestrow::win::WindowDC screen(nullptr);
    const double grabMs = Median(9, [&] {
        ::BitBlt(grab.dc(), 0, 0, w, h, screen.Get(), 0, 0, SRCCOPY);
        ::GdiFlush();
    });
    std::vector<char> a(frame, 1), b(frame, 2);
    const double memcpyMs = Median(21, [&] { std::memcpy(b.data(), a.data(), frame); });

    // Surfaces, snapshot and dim as a first start makes them, on fresh overlays.
    const double surfacesMs = Median(3, [&] {
        kestrow::CScreenCaptureWnd probe(false);
        probe.TakeSnapshot(w, h);
        probe.dimmedDC();
    });

    kestrow::CScreenCaptureWnd overlay(false);
    if (!overlay.Create(L"截屏工具", WS_POPUP, WS_EX_TOOLWINDOW)) return 3;
    double t0 = Now();
    overlay.StartCapture();
    ::GdiFlush();
    const double firstStartMs = Now() - t0;
    overlay.dimmedDC();
    const double firstDimmedMs = Now() - t0;
    std::vector<double> starts, dimmeds;
    for (int i = 0; i < 5; ++i) {
        Pump();
        t0 = Now();
        overlay.StartCapture();
        ::GdiFlush();
        starts.push_back(Now() - t0);
        overlay.dimmedDC();
        dimmeds.push_back(Now() - t0);
    }
    std::sort(starts.begin(), starts.end());
    std::sort(dimmeds.begin(), dimmeds.end());
    const double startMs = starts[2], dimmedMs = dimmeds[2];
    // A grab into a bitmap made for it, as a first start has to.
    const double freshGrabMs = Median(5, [&] {
        kestrow::win::MemorySurface fresh(nullptr, w, h);
        ::BitBlt(fresh.dc(), 0, 0, w, h, screen.Get(), 0, 0, SRCCOPY);
        ::GdiFlush();
    });
    Pump();
    const double snapshotMs = Median(5, [&] {
        overlay.TakeSnapshot(w, h);
        overlay.dimmedDC();
    });

    // A standing selection: dimmed background, undimmed inside, handles, tool bar.
    ::SendMessageW(overlay.hwnd(), WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(w / 4, h / 4));
    ::SendMessageW(overlay.hwnd(), WM_MOUSEMOVE, MK_LBUTTON, MAKELPARAM(w / 2, h / 2));
    ::SendMessageW(overlay.hwnd(), WM_LBUTTONUP, 0, MAKELPARAM(w / 2, h / 2));
    Pump();
    const double repaintMs = Median(21, [&] {
        ::RedrawWindow(overlay.hwnd(), nullptr, nullptr, RDW_INVALIDATE | RDW_UPDATENOW);
        ::GdiFlush();
    });
    kestrow::win::MemorySurface back(nullptr, w, h);
    const RECT client{0, 0, w, h};
    const double renderMs = Median(21, [&] {
        overlay.Render(back.dc(), client);
        ::GdiFlush();
    });

    std::string text;
    text += Format("screen %dx%d, frame %.1f MiB\n", w, h, frame / 1048576.0);
    text += Format("screen grab (screen-to-memory BitBlt)     %8.2f ms\n", grabMs);
    text += Format("  the same into a newly made bitmap       %8.2f ms\n", freshGrabMs);
    text += Format("memcpy of one 32-bit frame                %8.2f ms\n", memcpyMs);
    text +=
        Format("new surfaces + snapshot + dim (fresh)     %8.2f ms  = %.2f x grab, %.2f x new-bitmap grab\n",
               surfacesMs, surfacesMs / grabMs, surfacesMs / freshGrabMs);
    text +=
        Format("StartCapture, first (+ first window show) %8.2f ms  = %.2f x grab, %.2f x new-bitmap grab\n",
               firstStartMs, firstStartMs / grabMs, firstStartMs / freshGrabMs);
    text +=
        Format("  until its dimmed copy is ready          %8.2f ms  = %.2f x grab, %.2f x new-bitmap grab\n",
               firstDimmedMs, firstDimmedMs / grabMs, firstDimmedMs / freshGrabMs);
    text += Format("StartCapture, again                       %8.2f ms  = %.2f x grab\n", startMs,
                   startMs / grabMs);
    text += Format("  until its dimmed copy is ready          %8.2f ms  = %.2f x grab\n", dimmedMs,
                   dimmedMs / grabMs);
    text += Format("  of which grab and dim (TakeSnapshot)    %8.2f ms  = %.2f x grab\n", snapshotMs,
                   snapshotMs / grabMs);
    text += Format("full repaint to the window                %8.2f ms  = %.2f x memcpy\n", repaintMs,
                   repaintMs / memcpyMs);
    text += Format("render into the back buffer only          %8.2f ms  = %.2f x memcpy\n", renderMs,
                   renderMs / memcpyMs);
    Write(out, text);
    return 0;
}

bool OverlayOnScreen() {
    kestrow::win::WindowDC screen(nullptr);
    return ::GetPixel(screen.Get(), 198, 201) == RGB(127, 127, 127);
}

bool TrivialOnScreen() {
    kestrow::win::WindowDC screen(nullptr);
    const int w = ::GetSystemMetrics(SM_CXSCREEN), h = ::GetSystemMetrics(SM_CYSCREEN);
    return ::GetPixel(screen.Get(), w / 2, h / 2) == RGB(255, 0, 255);
}

// Milliseconds from starting `command` until `painted()` holds; the process is ended after.
double TimeToPixel(std::wstring command, bool (*painted)()) {
    STARTUPINFOW si{sizeof(si)};
    PROCESS_INFORMATION pi{};
    const double t0 = Now();
    if (!::CreateProcessW(nullptr, command.data(), nullptr, nullptr, FALSE, 0, nullptr, nullptr, &si, &pi))
        return -1;
    double result = -1;
    while (Now() - t0 < 30000) {
        if (painted()) {
            result = Now() - t0;
            break;
        }
        ::Sleep(1);
    }
    ::TerminateProcess(pi.hProcess, 0);
    ::WaitForSingleObject(pi.hProcess, 10000);
    ::CloseHandle(pi.hProcess);
    ::CloseHandle(pi.hThread);
    ::Sleep(300);
    return result;
}

int FirstPaint(const std::wstring& worker, const std::wstring& out) {
    wchar_t self[MAX_PATH];
    ::GetModuleFileNameW(nullptr, self, MAX_PATH);
    const std::wstring trivial = L"\"" + std::wstring(self) + L"\" trivial";
    const std::wstring capture = L"\"" + worker + L"\" -tasktype screencapture";
    ::SetCursorPos(600, 500);
    std::vector<double> workerMs, trivialMs;
    for (int i = 0; i < 5; ++i) {
        trivialMs.push_back(TimeToPixel(trivial, TrivialOnScreen));
        workerMs.push_back(TimeToPixel(capture, OverlayOnScreen));
    }
    std::sort(workerMs.begin(), workerMs.end());
    std::sort(trivialMs.begin(), trivialMs.end());
    Write(out, Format("start to first overlay pixel (median of 5) %8.1f ms\n", workerMs[2]));
    Write(out, Format("start to first pixel, trivial window       %8.1f ms  (worker = %.2f x)\n",
                      trivialMs[2], workerMs[2] / trivialMs[2]));
    return 0;
}

LRESULT CALLBACK TrivialProc(HWND hwnd, UINT msg, WPARAM wp, LPARAM lp) {
    if (msg == WM_PAINT) {
        PAINTSTRUCT ps;
        HDC dc = ::BeginPaint(hwnd, &ps);
        kestrow::win::Brush brush(::CreateSolidBrush(RGB(255, 0, 255)));
        ::FillRect(dc, &ps.rcPaint, brush.Get());
        ::EndPaint(hwnd, &ps);
        return 0;
    }
    if (msg == WM_ERASEBKGND) return 1;
    if (msg == WM_CLOSE) {
        ::PostQuitMessage(0);
        return 0;
    }
    return ::DefWindowProcW(hwnd, msg, wp, lp);
}

int Trivial() {
    WNDCLASSW wc{};
    wc.lpfnWndProc = TrivialProc;
    wc.hInstance = ::GetModuleHandleW(nullptr);
    wc.lpszClassName = L"KestrowBenchTrivial";
    ::RegisterClassW(&wc);
    HWND hwnd = ::CreateWindowExW(WS_EX_TOPMOST, wc.lpszClassName, L"", WS_POPUP | WS_VISIBLE, 0, 0,
                                  ::GetSystemMetrics(SM_CXSCREEN), ::GetSystemMetrics(SM_CYSCREEN), nullptr,
                                  nullptr, wc.hInstance, nullptr);
    if (!hwnd) return 3;
    MSG msg;
    while (::GetMessageW(&msg, nullptr, 0, 0) > 0) ::DispatchMessageW(&msg);
    return 0;
}

int WaitOverlay() {
    const double t0 = Now();
    while (Now() - t0 < 30000) {
        if (OverlayOnScreen()) return 0;
        ::Sleep(5);
    }
    return 1;
}

}  // namespace

int WINAPI wWinMain(HINSTANCE, HINSTANCE, LPWSTR, int) {
    const std::vector<std::wstring> args = kestrow::win::SplitCommandLine(::GetCommandLineW());
    const std::wstring job = args.size() > 1 ? args[1] : L"";
    if (job == L"measure" && args.size() == 3) return Measure(args[2]);
    if (job == L"firstpaint" && args.size() == 4) return FirstPaint(args[2], args[3]);
    if (job == L"waitoverlay") return WaitOverlay();
    if (job == L"trivial") return Trivial();
    return 64;
}
