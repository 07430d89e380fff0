// Figures for the region capture's speed, printed into a file (Wine and pipes do not mix):
//   capture_bench measure OUT            StartCapture and one repaint against a screen grab and a memcpy,
//                                        bare and with 50 shapes of every kind on the selection
//   capture_bench firststart OUT         one new process's first StartCapture (measure runs it)
//   capture_bench firstpaint WORKER TRIVIAL OUT [STARTS]
//                                        where the start of Worker.exe goes, to its first overlay
//                                        pixel on screen, beside the trivial window (trivial_window.exe)
//   capture_bench firstuse WORKER OUT [RUNS]
//                                        the first selection and the first save of a new worker:
//                                        mouse release to tool bar on screen, save click to dialog
//   capture_bench hotkey INI OUT [RUNS [TRACE]]
//                                        WM_HOTKEY posted to the running launcher to the first
//                                        overlay pixel on screen, with "standby" 1 and 0 in
//                                        INI (the launcher's settings file), interleaved; with
//                                        the workers' marks when the launcher traces to TRACE
//   capture_bench waitoverlay            returns once the overlay's magnifier is on screen
//   capture_bench waitpin                returns once a pinned picture is on screen
#include <windows.h>
#include <shellapi.h>

#include <algorithm>
#include <cstdio>
#include <cstring>
#include <iterator>
#include <map>
#include <set>
#include <string>
#include <vector>

#include "common/result_message.h"
#include "common/win/command_line.h"
#include "common/win/com.h"
#include "common/win/gdi.h"
#include "common/win/handles.h"
#include "worker/annotation/annotation_layout.h"
#include "worker/annotation/tool_table.h"
#include "worker/screen_capture_wnd.h"
#include "worker/worker_ids.h"

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

// The steady screen grab every ratio is taken against: the median of 15 reads of the
// whole virtual screen into one bitmap.
double SteadyGrabMs(int w, int h) {
    kestrow::win::MemorySurface grab(nullptr, w, h);
    kestrow::win::WindowDC screen(nullptr);
    return Median(15, [&] {
        ::BitBlt(grab.dc(), 0, 0, w, h, screen.Get(), 0, 0, SRCCOPY);
        ::GdiFlush();
    });
}

// One process's first StartCapture beside its own steady screen grab: "grab first dimmed"
// in ms, appended to `out`. A first start happens once per process, so the figure
// is the median over several processes.
int FirstStart(const std::wstring& out) {
    kestrow::win::ComInit com;
    kestrow::win::GdiplusSession gdiplus(false);
    const double grabMs =
        SteadyGrabMs(::GetSystemMetrics(SM_CXVIRTUALSCREEN), ::GetSystemMetrics(SM_CYVIRTUALSCREEN));
    kestrow::CScreenCaptureWnd overlay(false);
    if (!overlay.Create(L"截屏工具", WS_POPUP, WS_EX_TOOLWINDOW)) return 3;
    const double t0 = Now();
    overlay.StartCapture();
    ::GdiFlush();
    const double firstMs = Now() - t0;
    overlay.dimmedDC();
    const double dimmedMs = Now() - t0;
    Write(out, Format("%f %f %f\n", grabMs, firstMs, dimmedMs));
    return 0;
}

struct FirstStarts {
    double ms = 0, dimmedMs = 0, ratio = 0, dimmedRatio = 0;
    int runs = 0;
};

// Runs this program's FirstStart in `runs` new processes, one after another.
FirstStarts TimeFirstStarts(int runs) {
    wchar_t self[MAX_PATH], dir[MAX_PATH];
    ::GetModuleFileNameW(nullptr, self, MAX_PATH);
    ::GetTempPathW(MAX_PATH, dir);
    const std::wstring file = std::wstring(dir) + L"kestrow-firststart.txt";
    ::DeleteFileW(file.c_str());
    for (int i = 0; i < runs; ++i) {
        std::wstring command = L"\"" + std::wstring(self) + L"\" firststart \"" + file + L"\"";
        STARTUPINFOW si{sizeof(si)};
        PROCESS_INFORMATION pi{};
        if (!::CreateProcessW(nullptr, command.data(), nullptr, nullptr, FALSE, 0, nullptr, nullptr, &si,
                              &pi))
            continue;
        kestrow::win::UniqueHandle process(pi.hProcess), thread(pi.hThread);
        ::WaitForSingleObject(process.Get(), 60000);
        Pump();
    }
    std::vector<double> ms, dimmed, ratio, dimmedRatio;
    if (FILE* f = _wfopen(file.c_str(), L"r")) {
        double g, m, d;
        while (std::fscanf(f, "%lf %lf %lf", &g, &m, &d) == 3) {
            ms.push_back(m);
            dimmed.push_back(d);
            ratio.push_back(m / g);
            dimmedRatio.push_back(d / g);
        }
        std::fclose(f);
    }
    ::DeleteFileW(file.c_str());
    FirstStarts r;
    r.runs = int(ms.size());
    if (ms.empty()) return r;
    for (auto* v : {&ms, &dimmed, &ratio, &dimmedRatio}) std::sort(v->begin(), v->end());
    const size_t mid = ms.size() / 2;
    r.ms = ms[mid];
    r.dimmedMs = dimmed[mid];
    r.ratio = ratio[mid];
    r.dimmedRatio = dimmedRatio[mid];
    return r;
}

struct ShapesFigures {
    int each = 50, kinds = 0;
    double repaintMs = 0, remadeMs = 0, dragMs = 0, mosaicReleaseMs = 0;
    std::vector<double> afterKindMs;  // a repaint once each kind's shapes are added, cumulative
};

// A repaint of the standing selection with `each` shapes of every kind on it, spread
// over it by a fixed pseudo-random walk; and the release of one mosaic as large as the
// selection, which reads and averages what lies under it.
ShapesFigures TimeShapes(kestrow::CScreenCaptureWnd& overlay, int w, int h) {
    using namespace kestrow;
    ShapesFigures figures;
    ::SendMessageW(overlay.hwnd(), WM_COMMAND, ID_TOOL_RECTANGLE, 0);  // annotating from here
    CGraphManager& graphs = overlay.graphs();
    const int left = w / 4, top = h / 4, width = w / 4, height = h / 4;
    unsigned seed = 12345;
    auto next = [&seed](int range) {
        seed = seed * 1103515245u + 12345u;
        return int((seed >> 8) % unsigned(std::max(range, 1)));
    };
    figures.kinds = int(std::size(kTools));
    for (const ToolRow& tool : kTools) {
        overlay.colorPane().SetMode(tool.paneMode);
        graphs.SetActiveTool(tool.id);
        for (int i = 0; i < figures.each; ++i) {
            const int x = left + next(width), y = top + next(height);
            const int x1 = std::min(left + width - 1, x + 20 + next(width / 3));
            const int y1 = std::min(top + height - 1, y + 20 + next(height / 3));
            graphs.OnLButtonDown(x, y);
            if (tool.shape == ShapeKind::Text) {
                ::SetWindowTextW(graphs.textBox().hwnd(), L"annotation 注释 text");
                graphs.FitTextBox();
                graphs.CommitText();
                continue;
            }
            for (int step = 1; step <= 8; ++step)
                graphs.OnMouseMove(x + (x1 - x) * step / 8, y + (y1 - y) * ((step * step) % 9) / 8);
            graphs.OnLButtonUp(x1, y1);
        }
        Pump();
        figures.afterKindMs.push_back(Median(5, [&] {
            ::RedrawWindow(overlay.hwnd(), nullptr, nullptr, RDW_INVALIDATE | RDW_UPDATENOW);
            ::GdiFlush();
        }));
    }
    Pump();
    auto repaint = [&] {
        ::RedrawWindow(overlay.hwnd(), nullptr, nullptr, RDW_INVALIDATE | RDW_UPDATENOW);
        ::GdiFlush();
    };
    figures.repaintMs = Median(21, repaint);
    // Every shape drawn again, as after a change to the list (and at every repaint
    // before the overlay kept them in a layer).
    figures.remadeMs = Median(7, [&] {
        graphs.DropLayer();
        repaint();
    });
    // A new rectangle being dragged out, the pointer and so the magnifier moving along.
    overlay.colorPane().SetMode(kPaneShapes);
    graphs.SetActiveTool(ID_TOOL_RECTANGLE);
    graphs.OnLButtonDown(left + 10, top + 10);
    std::vector<double> drags;
    for (int step = 1; step <= 21; ++step) {
        const int x = left + 30 + (step * 7) % (width - 40), y = top + 30 + (step * 5) % (height - 40);
        ::SetCursorPos(x, y);  // a trip to the display, not timed
        const double t0 = Now();
        graphs.OnMouseMove(x, y);
        repaint();
        drags.push_back(Now() - t0);
    }
    std::sort(drags.begin(), drags.end());
    figures.dragMs = drags[drags.size() / 2];
    graphs.OnLButtonUp(left + 30, top + 30);
    graphs.Undo();
    overlay.colorPane().SetMode(kPaneMosaic);
    graphs.SetActiveTool(ID_TOOL_MOSAIC);
    figures.mosaicReleaseMs = Median(5, [&] {
        graphs.OnLButtonDown(left, top);
        graphs.OnMouseMove(left + width, top + height);
        graphs.OnLButtonUp(left + width, top + height);
        graphs.Undo();
    });
    return figures;
}

int Measure(const std::wstring& out) {
    const FirstStarts first = TimeFirstStarts(7);

    kestrow::win::ComInit com;
    kestrow::win::GdiplusSession gdiplus(false);
    const int w = ::GetSystemMetrics(SM_CXVIRTUALSCREEN), h = ::GetSystemMetrics(SM_CYVIRTUALSCREEN);
    const size_t frame = size_t(w) * h * 4;

    kestrow::win::WindowDC screen(nullptr);
    const double grabMs = SteadyGrabMs(w, h);
    // The yardstick for a repaint is one frame's copy between frames that are not in
    // the processor's cache, as the overlay's are not: its snapshot, dimmed copy, back
    // buffer and window surface are four frames. Copying the same two frames again and
    // again measures the cache instead where it holds them both (a 32 MiB cache holds
    // two 1920x1080 frames), so that figure is printed only beside it.
    std::vector<std::vector<char>> frames(std::max<size_t>(2, (size_t(128) << 20) / frame + 1));
    for (size_t i = 0; i < frames.size(); ++i) frames[i].assign(frame, char(i));
    size_t next = 0;
    const double memcpyMs = Median(21, [&] {
        std::memcpy(frames[(next + 1) % frames.size()].data(), frames[next % frames.size()].data(), frame);
        next += 2;
    });
    const double cachedMemcpyMs = Median(21, [&] { std::memcpy(frames[1].data(), frames[0].data(), frame); });
    frames = {};

    // Surfaces, snapshot and dim as a first start makes them, on fresh overlays.
    const double surfacesMs = Median(3, [&] {
        kestrow::CScreenCaptureWnd probe(false);
        probe.TakeSnapshot(w, h);
        probe.dimmedDC();
    });

    kestrow::CScreenCaptureWnd overlay(false);
    if (!overlay.Create(L"截屏工具", WS_POPUP, WS_EX_TOOLWINDOW)) return 3;
    overlay.StartCapture();  // the first, timed in new processes above
    overlay.dimmedDC();
    std::vector<double> starts, dimmeds;
    for (int i = 0; i < 5; ++i) {
        Pump();
        const double t0 = Now();
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
    const ShapesFigures shapes = TimeShapes(overlay, w, h);

    std::string text;
    text += Format("screen %dx%d, frame %.1f MiB\n", w, h, frame / 1048576.0);
    text += Format("screen grab (screen-to-memory BitBlt)     %8.2f ms\n", grabMs);
    text += Format("  the same into a newly made bitmap       %8.2f ms\n", freshGrabMs);
    // The overlay reads the screen in bands of a bounded size: the same read in bands of
    // each size, into one bitmap.
    {
        kestrow::win::MemorySurface grab(nullptr, w, h);
        for (const int64_t kib : {int64_t(0), int64_t(2048), int64_t(960), int64_t(480), int64_t(240),
                                  int64_t(120), int64_t(60)}) {
            const int bands =
                kib ? int(std::max<int64_t>(1, (int64_t(frame) + (kib << 10) - 1) / (kib << 10))) : 1;
            const double ms = Median(15, [&] {
                for (int band = 0; band < bands; ++band) {
                    const int top = h * band / bands, bottom = h * (band + 1) / bands;
                    ::BitBlt(grab.dc(), 0, top, w, bottom - top, screen.Get(), 0, top, SRCCOPY);
                }
                ::GdiFlush();
            });
            text += kib ? Format("  in bands of at most %4d KiB (%4d)     %8.2f ms\n", int(kib), bands, ms)
                        : Format("  in one piece                            %8.2f ms\n", ms);
        }
    }
    text +=
        Format("memcpy of one 32-bit frame                %8.2f ms  (frames not in the cache)\n", memcpyMs);
    text +=
        Format("  the same two frames again and again     %8.2f ms  (both in the cache if it holds them)\n",
               cachedMemcpyMs);
    text +=
        Format("new surfaces + snapshot + dim (fresh)     %8.2f ms  = %.2f x grab, %.2f x new-bitmap grab\n",
               surfacesMs, surfacesMs / grabMs, surfacesMs / freshGrabMs);
    text += Format(
        "StartCapture, first (+ first window show) %8.2f ms  = %.2f x grab (goal <= 2.5 x), %.2f x "
        "new-bitmap grab\n",
        first.ms, first.ratio, first.ms / freshGrabMs);
    text +=
        Format("  until its dimmed copy is ready          %8.2f ms  = %.2f x grab, %.2f x new-bitmap grab\n",
               first.dimmedMs, first.dimmedRatio, first.dimmedMs / freshGrabMs);
    text += Format("  (medians of %d new processes, each against its own grab)\n", first.runs);
    text += Format("StartCapture, again                       %8.2f ms  = %.2f x grab\n", startMs,
                   startMs / grabMs);
    text += Format("  until its dimmed copy is ready          %8.2f ms  = %.2f x grab\n", dimmedMs,
                   dimmedMs / grabMs);
    text += Format("  of which grab and dim (TakeSnapshot)    %8.2f ms  = %.2f x grab\n", snapshotMs,
                   snapshotMs / grabMs);
    text += Format("full repaint to the window                %8.2f ms  = %.2f x memcpy (keep <= 3 x)\n",
                   repaintMs, repaintMs / memcpyMs);
    text += Format("render into the back buffer only          %8.2f ms  = %.2f x memcpy\n", renderMs,
                   renderMs / memcpyMs);
    text += Format("full repaint, %d shapes of each of %d kinds %7.2f ms  = %.2f x memcpy (keep <= 3 x)\n",
                   shapes.each, shapes.kinds, shapes.repaintMs, shapes.repaintMs / memcpyMs);
    text += Format("  during a drag of one more rectangle      %7.2f ms  = %.2f x memcpy\n", shapes.dragMs,
                   shapes.dragMs / memcpyMs);
    text += Format("  with every shape drawn again (a change) %8.2f ms  = %.2f x memcpy\n", shapes.remadeMs,
                   shapes.remadeMs / memcpyMs);
    text += Format("  mosaic over the whole selection, release %7.2f ms\n", shapes.mosaicReleaseMs);
    text += "  the same once each kind is added, in tool bar order:";
    for (double ms : shapes.afterKindMs) text += Format(" %.2f", ms);
    text += " ms\n";
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

struct Start {
    double onScreen = -1;                 // first pixel seen on screen, ms after CreateProcess
    std::map<std::string, double> marks;  // the program's own marks, ms after CreateProcess
};

std::map<std::string, double> ReadMarks(const std::wstring& path, double t0) {
    std::map<std::string, double> marks;
    FILE* f = _wfopen(path.c_str(), L"rb");
    if (!f) return marks;
    char name[64];
    long long us;
    while (std::fscanf(f, "%63s %lld", name, &us) == 2) marks[name] = double(us) / 1000.0 - t0;
    std::fclose(f);
    return marks;
}

// Starts `command` with its start trace going to `trace`, waits until `painted()` holds
// and the trace has `lastMark`, then ends the process.
Start TimeStart(std::wstring command, bool (*painted)(), const std::wstring& trace, const char* lastMark) {
    ::DeleteFileW(trace.c_str());
    ::SetEnvironmentVariableW(L"KESTROW_START_TRACE", trace.c_str());
    STARTUPINFOW si{sizeof(si)};
    PROCESS_INFORMATION pi{};
    Start start;
    const double t0 = Now();
    if (!::CreateProcessW(nullptr, command.data(), nullptr, nullptr, FALSE, 0, nullptr, nullptr, &si, &pi))
        return start;
    kestrow::win::UniqueHandle process(pi.hProcess), thread(pi.hThread);
    while (Now() - t0 < 30000) {
        if (painted()) {
            start.onScreen = Now() - t0;
            break;
        }
        ::Sleep(1);
    }
    for (const double t1 = Now(); Now() - t1 < 5000; ::Sleep(10)) {
        start.marks = ReadMarks(trace, t0);
        if (start.marks.count(lastMark)) break;
    }
    ::TerminateProcess(process.Get(), 0);
    ::WaitForSingleObject(process.Get(), 10000);
    ::SetEnvironmentVariableW(L"KESTROW_START_TRACE", nullptr);
    ::Sleep(300);  // the screen settles before the next start
    return start;
}

struct Spread {
    double min = -1, median = -1, max = -1;
};

Spread SpreadOf(std::vector<double> v) {
    std::erase_if(v, [](double x) { return x < 0; });
    if (v.empty()) return {};
    std::sort(v.begin(), v.end());
    return {v.front(), v[v.size() / 2], v.back()};
}

Spread MarkSpread(const std::vector<Start>& starts, const char* mark) {
    std::vector<double> v;
    for (const Start& s : starts) {
        auto it = s.marks.find(mark);
        v.push_back(it == s.marks.end() ? -1 : it->second);
    }
    return SpreadOf(v);
}

std::string Cell(const Spread& s) {
    if (s.median < 0) return Format("%23s", "-");
    return Format("%7.1f %7.1f %7.1f", s.min, s.median, s.max);
}

int FirstPaint(const std::wstring& worker, const std::wstring& trivialExe, const std::wstring& out,
               int runs) {
    const int w = ::GetSystemMetrics(SM_CXVIRTUALSCREEN), h = ::GetSystemMetrics(SM_CYVIRTUALSCREEN);
    const double grabMs = SteadyGrabMs(w, h);
    wchar_t temp[MAX_PATH];
    ::GetTempPathW(MAX_PATH, temp);
    const std::wstring trace = std::wstring(temp) + L"kestrow-start-trace.txt";
    const std::wstring trivial = L"\"" + trivialExe + L"\"";
    const std::wstring capture = L"\"" + worker + L"\" -tasktype screencapture";
    ::SetCursorPos(600, 500);
    std::vector<Start> workerStarts, trivialStarts;
    for (int i = 0; i < runs; ++i) {
        trivialStarts.push_back(TimeStart(trivial, TrivialOnScreen, trace, "painted"));
        workerStarts.push_back(TimeStart(capture, OverlayOnScreen, trace, "ready"));
    }
    ::DeleteFileW(trace.c_str());

    // The moments both programs mark, under their names here; any other mark a program
    // sets is printed by its own name, so a finer trace needs no change to this table.
    const std::map<std::string, const char*> labels = {
        {"entry", "entry point"},
        {"initialised", "COM, GDI+, common controls up"},
        {"window", "overlay window created"},
        {"snapshot", "snapshot taken"},
        {"shown", "window shown"},
        {"painted", "first paint done"},
        {"ready", "after it: tool bar, GDI+, COM ready"},
    };
    auto onScreen = [](const std::vector<Start>& starts) {
        std::vector<double> v;
        for (const Start& s : starts) v.push_back(s.onScreen);
        return SpreadOf(v);
    };
    struct Row {
        std::string label;
        Spread trivial, worker;
    };
    std::vector<Row> rows = {
        {"first pixel on screen (read from X)", onScreen(trivialStarts), onScreen(workerStarts)}};
    std::set<std::string> names;
    for (const auto* starts : {&trivialStarts, &workerStarts})
        for (const Start& s : *starts)
            for (const auto& [name, at] : s.marks) names.insert(name);
    for (const std::string& name : names) {
        auto known = labels.find(name);
        rows.push_back({known == labels.end() ? name : known->second, MarkSpread(trivialStarts, name.c_str()),
                        MarkSpread(workerStarts, name.c_str())});
    }
    std::stable_sort(rows.begin(), rows.end(), [](const Row& a, const Row& b) {
        return (a.worker.median >= 0 ? a.worker.median : a.trivial.median) <
               (b.worker.median >= 0 ? b.worker.median : b.trivial.median);
    });
    std::string text =
        Format("start to first pixel, %d starts each, ms after CreateProcess (min median max)\n", runs);
    text += Format("%-38s %23s   %23s\n", "", "trivial window", "Worker.exe screencapture");
    for (const Row& row : rows)
        text +=
            Format("%-38s %s   %s\n", row.label.c_str(), Cell(row.trivial).c_str(), Cell(row.worker).c_str());
    const Spread first = onScreen(workerStarts), floor = onScreen(trivialStarts);
    const double goal = double(w) * h > 1920.0 * 1080.0 ? 2.0 : 1.25;
    text += Format("first pixel, worker / trivial window (medians)  %.2f x  (goal <= %.2f x)\n",
                   first.median / floor.median, goal);
    std::vector<double> startCapture;
    for (const Start& s : workerStarts)
        if (s.marks.count("window") && s.marks.count("shown"))
            startCapture.push_back(s.marks.at("shown") - s.marks.at("window"));
    const Spread sc = SpreadOf(startCapture);
    text += Format(
        "first StartCapture in a new worker (median)  %.1f ms = %.2f x grab of %.1f ms (a new process's "
        "first read)\n",
        sc.median, sc.median / grabMs, grabMs);
    Write(out, text);
    return 0;
}

// Mouse input as the user gives it, through the system's input queue.
void MouseAt(int x, int y, DWORD button) {
    ::SetCursorPos(x, y);
    INPUT in{};
    in.type = INPUT_MOUSE;
    in.mi.dwFlags = button;
    if (button) ::SendInput(1, &in, sizeof(in));
}

// The tool bar's frame on screen (its top-left pixel in the frame colour), not merely shown.
bool ToolbarOnScreen(RECT* rect) {
    HWND bar = ::FindWindowW(L"KESTROW_ToolbarWndClass", nullptr);
    if (!bar || !::IsWindowVisible(bar) || !::GetWindowRect(bar, rect)) return false;
    kestrow::win::WindowDC screen(nullptr);
    return ::GetPixel(screen.Get(), rect->left, rect->top) == RGB(103, 138, 170);
}

HWND VisibleDialogOf(DWORD pid) {
    for (HWND w = ::FindWindowW(L"#32770", nullptr); w; w = ::FindWindowExW(nullptr, w, L"#32770", nullptr)) {
        DWORD owner = 0;
        ::GetWindowThreadProcessId(w, &owner);
        if (owner == pid && ::IsWindowVisible(w)) return w;
    }
    return nullptr;
}

struct FirstUseTimes {
    double toolbar = -1;  // mouse release to tool bar on screen
    double dialog = -1;   // save click to save dialog shown
};

// One new worker: `pause` ms after its overlay is on screen a selection is pressed, dragged
// for `drag` ms and released; then its save button is clicked; the dialog is cancelled.
FirstUseTimes TimeFirstUse(const std::wstring& worker, int pause, int drag) {
    const int w = ::GetSystemMetrics(SM_CXVIRTUALSCREEN), h = ::GetSystemMetrics(SM_CYVIRTUALSCREEN);
    std::wstring command = L"\"" + worker + L"\" -tasktype screencapture";
    FirstUseTimes times;
    MouseAt(600, 500, 0);
    STARTUPINFOW si{sizeof(si)};
    PROCESS_INFORMATION pi{};
    if (!::CreateProcessW(nullptr, command.data(), nullptr, nullptr, FALSE, 0, nullptr, nullptr, &si, &pi))
        return times;
    kestrow::win::UniqueHandle process(pi.hProcess), thread(pi.hThread);
    double t0 = Now();
    while (!OverlayOnScreen() && Now() - t0 < 30000) ::Sleep(1);
    if (pause) ::Sleep(pause);
    MouseAt(w / 4, h / 4, MOUSEEVENTF_LEFTDOWN);
    MouseAt(w * 3 / 8, h * 3 / 8, 0);
    if (drag) ::Sleep(drag);
    MouseAt(w / 2, h / 2, MOUSEEVENTF_LEFTUP);
    t0 = Now();
    RECT bar{};
    while (!ToolbarOnScreen(&bar) && Now() - t0 < 10000) ::Sleep(1);
    if (ToolbarOnScreen(&bar)) times.toolbar = Now() - t0;
    ::Sleep(200);
    const int saveX = bar.left + 343 + 12, saveY = bar.top + 13;  // the save button, the last item
    MouseAt(saveX, saveY, MOUSEEVENTF_LEFTDOWN);
    MouseAt(saveX, saveY, MOUSEEVENTF_LEFTUP);
    t0 = Now();
    HWND box = nullptr;
    while (!(box = VisibleDialogOf(pi.dwProcessId)) && Now() - t0 < 10000) ::Sleep(1);
    if (box) {
        times.dialog = Now() - t0;
        ::PostMessageW(box, WM_COMMAND, IDCANCEL, 0);
    }
    if (::WaitForSingleObject(process.Get(), 5000) != WAIT_OBJECT_0) ::TerminateProcess(process.Get(), 0);
    ::WaitForSingleObject(process.Get(), 10000);
    ::Sleep(300);  // the screen settles before the next start
    return times;
}

// The first selection and the first save of new workers: dragged at once (press as soon
// as the overlay shows, release with no pause: the worst case for work left until after
// the first frame) and as a person does (a reaction time, then a drag of a tenth of a
// second).
int FirstUse(const std::wstring& worker, const std::wstring& out, int runs) {
    struct Way {
        const char* label;
        int pause, drag;
    } const ways[] = {{"at once", 0, 0}, {"after 300 ms, 100 ms drag", 300, 100}};
    std::string text = Format("first use of a new worker, %d runs each (min median max, ms)\n", runs);
    for (const Way& way : ways) {
        std::vector<double> toolbar, dialog;
        for (int i = 0; i < runs; ++i) {
            const FirstUseTimes t = TimeFirstUse(worker, way.pause, way.drag);
            toolbar.push_back(t.toolbar);
            dialog.push_back(t.dialog);
        }
        text +=
            Format("selection %-26s release to tool bar %s\n", way.label, Cell(SpreadOf(toolbar)).c_str());
        text += Format("%-36s save click to dialog %s\n", "", Cell(SpreadOf(dialog)).c_str());
    }
    Write(out, text);
    return 0;
}

// One region-capture request through the launcher's hotkey handler: ms from the post to
// the first overlay pixel read back from the display (or -1), and the worker's own marks
// when the launcher was started with a start trace going to `trace`. The capture is then
// closed and its window waited out.
Start TimeHotkey(HWND launcher, const std::wstring& trace) {
    ::SetCursorPos(600, 500);
    if (!trace.empty()) ::DeleteFileW(trace.c_str());
    Start start;
    const double t0 = Now();
    ::PostMessageW(launcher, WM_HOTKEY, 1568, MAKELPARAM(MOD_CONTROL | MOD_ALT, 'J'));
    while (Now() - t0 < 10000) {
        if (OverlayOnScreen()) {
            start.onScreen = Now() - t0;
            break;
        }
        ::Sleep(1);
    }
    HWND overlay = nullptr;
    for (const double t1 = Now(); !overlay && Now() - t1 < 5000; ::Sleep(10))
        overlay = ::FindWindowW(kestrow::CScreenCaptureWnd::kClassName, nullptr);
    for (const double t1 = Now(); !trace.empty() && Now() - t1 < 3000; ::Sleep(10)) {
        start.marks = ReadMarks(trace, t0);
        if (start.marks.count("ready")) break;
    }
    if (overlay) ::PostMessageW(overlay, WM_CLOSE, 0, 0);
    for (const double t1 = Now();
         ::FindWindowW(kestrow::CScreenCaptureWnd::kClassName, nullptr) && Now() - t1 < 5000; ::Sleep(10)) {}
    // The launcher hears of the end through its process watcher; the next waiting worker
    // gets its libraries loaded. Both before the next request.
    ::Sleep(1500);
    return start;
}

int Hotkey(const std::wstring& ini, const std::wstring& out, int runs, const std::wstring& trace) {
    HWND launcher = ::FindWindowW(L"#32770", L"Snaptrel");
    if (!launcher) return 2;
    auto set = [&](bool on) {
        ::WritePrivateProfileStringW(L"config", L"standby", on ? L"1" : L"0", ini.c_str());
    };
    std::vector<Start> on, off;
    for (int i = 0; i < runs; ++i) {
        set(true);
        // After a request with it off there is no waiting worker: this one starts it.
        if (i > 0) TimeHotkey(launcher, trace);
        on.push_back(TimeHotkey(launcher, trace));
        set(false);
        off.push_back(TimeHotkey(launcher, trace));
    }
    set(true);
    auto onScreen = [](const std::vector<Start>& starts) {
        std::vector<double> v;
        for (const Start& s : starts) v.push_back(s.onScreen);
        return SpreadOf(v);
    };
    std::string text = Format(
        "hotkey (WM_HOTKEY posted to the launcher) to first overlay pixel read from X, %d runs each "
        "(min median max, ms)\n",
        runs);
    text += Format("  standby 1 (waiting worker woken)       %s\n", Cell(onScreen(on)).c_str());
    text += Format("  standby 0 (new worker started)         %s\n", Cell(onScreen(off)).c_str());
    // Where the time goes: the worker's marks in ms after the post (a waiting worker's
    // marks from before the request are negative and left out), in the order they come.
    std::set<std::string> names;
    for (const auto* starts : {&on, &off})
        for (const Start& s : *starts)
            for (const auto& [name, at] : s.marks)
                if (at >= 0) names.insert(name);
    std::vector<std::pair<double, std::string>> rows;
    for (const std::string& name : names) {
        const Spread first = MarkSpread(on, name.c_str());
        rows.push_back({first.median >= 0 ? first.median : MarkSpread(off, name.c_str()).median, name});
    }
    std::sort(rows.begin(), rows.end());
    if (!rows.empty())
        text += Format("  worker marks, ms after the post       %23s   %23s\n", "standby 1", "standby 0");
    for (const auto& [at, name] : rows)
        text += Format("    %-34s %s   %s\n", name.c_str(), Cell(MarkSpread(on, name.c_str())).c_str(),
                       Cell(MarkSpread(off, name.c_str())).c_str());
    Write(out, text);
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

int WaitPin() {
    const double t0 = Now();
    while (Now() - t0 < 30000) {
        const HWND pin = ::FindWindowW(kestrow::kPinWindowClass, nullptr);
        if (pin && ::IsWindowVisible(pin)) return 0;
        ::Sleep(5);
    }
    return 1;
}

}  // namespace

int WINAPI wWinMain(HINSTANCE, HINSTANCE, LPWSTR, int) {
    const std::vector<std::wstring> args = kestrow::win::SplitCommandLine(::GetCommandLineW());
    const std::wstring job = args.size() > 1 ? args[1] : L"";
    if (job == L"measure" && args.size() == 3) return Measure(args[2]);
    if (job == L"firststart" && args.size() == 3) return FirstStart(args[2]);
    if (job == L"firstpaint" && args.size() >= 5)
        return FirstPaint(args[2], args[3], args[4],
                          args.size() > 5 ? std::max(1, _wtoi(args[5].c_str())) : 15);
    if (job == L"firstuse" && args.size() >= 4)
        return FirstUse(args[2], args[3], args.size() > 4 ? std::max(1, _wtoi(args[4].c_str())) : 15);
    if (job == L"hotkey" && args.size() >= 4)
        return Hotkey(args[2], args[3], args.size() > 4 ? std::max(1, _wtoi(args[4].c_str())) : 9,
                      args.size() > 5 ? args[5] : L"");
    if (job == L"waitoverlay") return WaitOverlay();
    if (job == L"waitpin") return WaitPin();
    return 64;
}
