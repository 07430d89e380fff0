// One helper program for the end-to-end scenarios; the first argument picks the job:
//   receiver LOG [hang]    the launcher's result window; logs each copy-data record and,
//                          on the next line, the classes of the other processes' visible
//                          top-level windows at that moment; with "hang" it never answers
//   clipdump OUT.bmp       writes the clipboard's CF_BITMAP as a 32-bit BMP (exit 2: none)
//   cliptext OUT           writes the clipboard's Unicode text as UTF-16LE (exit 2: none)
//   clipclear              empties the clipboard
//   pattern READY [all]    covers the primary screen with the known test pattern; with
//                          "all" the whole virtual screen, counted from its top-left corner
//   windows OUT            lists the visible top-level windows and their children
//   lock FILE READY        holds FILE open without sharing, so writes to it fail
//   cliphold READY         holds the clipboard open, as a busy program can, until killed
//   dialog READY [X Y]     a topmost window at (200,150) (or X,Y) 400 x 300 with a button 60,80
//                          inside it, 120 x 40
//   items HWND OUT         lists the items of another program's combo box or list box
//   command HWND ID        sends WM_COMMAND ID to HWND, as a tool bar button would
//   enabled HWND           exit 0 when the window takes input, 1 when disabled, 2 when gone
//   post HWND ID           posts WM_COMMAND ID to HWND (for buttons whose handler runs a box)
//   settext HWND HEX       sets a control's text, given as hexadecimal UTF-16LE
// Output goes to files; READY files are written once the job is in place.
#include <windows.h>
#include <shellapi.h>

#include <cstdio>
#include <string>
#include <vector>

#include "common/win/command_line.h"
#include "common/result_message.h"
#include "common/win/gdi.h"
#include "common/win/window.h"
#include "tests/tools/tool_io.h"

using kestrow::testtools::ToUtf8;
using kestrow::testtools::WriteFileBytes;

namespace {

std::string Hex(const void* data, size_t size) {
    std::string out;
    const auto* p = static_cast<const unsigned char*>(data);
    char buf[3];
    for (size_t i = 0; i < size; ++i) {
        std::snprintf(buf, sizeof(buf), "%02x", p[i]);
        out += buf;
    }
    return out;
}

// "shown=" and the classes of the visible top-level windows of other processes.
BOOL CALLBACK AddShownClass(HWND hwnd, LPARAM lp) {
    DWORD pid = 0;
    ::GetWindowThreadProcessId(hwnd, &pid);
    if (pid == ::GetCurrentProcessId() || !::IsWindowVisible(hwnd)) return TRUE;
    wchar_t cls[256] = {};
    ::GetClassNameW(hwnd, cls, 256);
    auto& line = *reinterpret_cast<std::string*>(lp);
    if (line.back() != '=') line += ',';
    line += ToUtf8(cls);
    return TRUE;
}

class Receiver : public kestrow::win::Window {
public:
    Receiver(std::wstring log, bool hang) : log_(std::move(log)), hang_(hang) {}

protected:
    LRESULT HandleMessage(UINT msg, WPARAM wp, LPARAM lp) override {
        switch (msg) {
            case WM_COPYDATA: return OnCopyData(wp, reinterpret_cast<const COPYDATASTRUCT*>(lp));
            case WM_CLOSE: ::PostQuitMessage(0); return 0;
        }
        return DefaultMessage(msg, wp, lp);
    }

private:
    LRESULT OnCopyData(WPARAM sender, const COPYDATASTRUCT* cds) {
        char line[128];
        std::snprintf(line, sizeof(line),
                      "code=%lu cb=%lu wparam=%lu data=", static_cast<unsigned long>(cds ? cds->dwData : 0),
                      static_cast<unsigned long>(cds ? cds->cbData : 0), static_cast<unsigned long>(sender));
        std::string text = line;
        if (cds && cds->lpData) text += Hex(cds->lpData, cds->cbData);
        // The sender waits in its send, so this is what it left on screen while sending.
        std::string shown = "shown=";
        ::EnumWindows(AddShownClass, reinterpret_cast<LPARAM>(&shown));
        WriteFileBytes(log_, text + "\n" + shown + "\n", true);
        // A launcher stuck in a modal loop or a long reaction: the sender gets no answer.
        if (hang_)
            for (;;) ::Sleep(1000);
        return TRUE;
    }
    std::wstring log_;
    bool hang_;
};

int RunReceiver(const std::wstring& log, bool hang) {
    WNDCLASSEXW wc{sizeof(wc)};
    wc.lpfnWndProc = kestrow::win::Window::WindowProc;
    wc.hInstance = ::GetModuleHandleW(nullptr);
    wc.lpszClassName = kestrow::kResultWindowClass;
    kestrow::win::RegisterWindowClass(wc);
    Receiver receiver(log, hang);
    if (!receiver.Create({.className = kestrow::kResultWindowClass,
                          .title = kestrow::kResultWindowTitle,
                          .x = 0,
                          .y = 0,
                          .width = 0,
                          .height = 0}))
        return 3;
    WriteFileBytes(log, "ready\n", true);
    return kestrow::win::RunMessageLoop();
}

int ClipDump(const std::wstring& out) {
    kestrow::win::ClipboardSession clip(nullptr);
    if (!clip.IsOpen()) return 3;
    std::string formats;
    for (UINT f = ::EnumClipboardFormats(0); f; f = ::EnumClipboardFormats(f))
        formats += std::to_string(f) + "\n";
    WriteFileBytes(out + L".formats", formats, false);
    auto bitmap = static_cast<HBITMAP>(::GetClipboardData(CF_BITMAP));
    if (!bitmap) return 2;
    BITMAP bm{};
    ::GetObjectW(bitmap, sizeof(bm), &bm);
    BITMAPINFOHEADER bih{sizeof(bih), bm.bmWidth, bm.bmHeight, 1, 32, BI_RGB};
    std::vector<char> pixels(size_t(bm.bmWidth) * bm.bmHeight * 4);
    kestrow::win::WindowDC screen(nullptr);
    if (!::GetDIBits(screen.Get(), bitmap, 0, bm.bmHeight, pixels.data(), reinterpret_cast<BITMAPINFO*>(&bih),
                     DIB_RGB_COLORS))
        return 4;
    BITMAPFILEHEADER bfh{};
    bfh.bfType = 0x4D42;
    bfh.bfOffBits = sizeof(bfh) + sizeof(bih);
    bfh.bfSize = bfh.bfOffBits + DWORD(pixels.size());
    std::string file(reinterpret_cast<char*>(&bfh), sizeof(bfh));
    file.append(reinterpret_cast<char*>(&bih), sizeof(bih));
    file.append(pixels.data(), pixels.size());
    return WriteFileBytes(out, file, false) ? 0 : 5;
}

// The clipboard's CF_UNICODETEXT as raw UTF-16LE bytes, terminator excluded (exit 2: none).
int ClipText(const std::wstring& out) {
    kestrow::win::ClipboardSession clip(nullptr);
    if (!clip.IsOpen()) return 3;
    HANDLE data = ::GetClipboardData(CF_UNICODETEXT);
    if (!data) return 2;
    const auto* text = static_cast<const wchar_t*>(::GlobalLock(data));
    if (!text) return 4;
    std::string bytes(reinterpret_cast<const char*>(text), wcslen(text) * sizeof(wchar_t));
    ::GlobalUnlock(data);
    return WriteFileBytes(out, bytes, false) ? 0 : 5;
}

int ClipClear() {
    kestrow::win::ClipboardSession clip(nullptr);
    if (!clip.IsOpen()) return 3;
    return ::EmptyClipboard() ? 0 : 4;
}

// The known screen: red = x mod 256, green = y mod 256, blue from the high bits,
// so every pixel of a screen up to 2048 x 1536 has its own colour.
unsigned PatternPixel(int x, int y) {
    unsigned r = x & 255, g = y & 255, b = (((x >> 8) << 5) | ((y >> 8) << 2) | 3) & 255;
    return (r << 16) | (g << 8) | b;  // DIB order: 0x00RRGGBB
}

class PatternWindow : public kestrow::win::Window {
public:
    PatternWindow(int w, int h, std::wstring ready) : w_(w), h_(h), ready_(std::move(ready)) {
        pixels_.resize(size_t(w) * h);
        for (int y = 0; y < h; ++y)
            for (int x = 0; x < w; ++x) pixels_[size_t(y) * w + x] = PatternPixel(x, y);
    }

protected:
    LRESULT HandleMessage(UINT msg, WPARAM wp, LPARAM lp) override {
        switch (msg) {
            case WM_ERASEBKGND: return 1;
            case WM_PAINT: OnPaint(); return 0;
            case WM_CLOSE: ::PostQuitMessage(0); return 0;
        }
        return DefaultMessage(msg, wp, lp);
    }

private:
    void OnPaint() {
        PAINTSTRUCT ps;
        HDC dc = ::BeginPaint(hwnd(), &ps);
        BITMAPINFOHEADER bih{sizeof(bih), w_, -h_, 1, 32, BI_RGB};
        ::SetDIBitsToDevice(dc, 0, 0, w_, h_, 0, 0, 0, h_, pixels_.data(),
                            reinterpret_cast<BITMAPINFO*>(&bih), DIB_RGB_COLORS);
        ::EndPaint(hwnd(), &ps);
        if (!announced_) {
            announced_ = true;
            ::GdiFlush();
            WriteFileBytes(ready_, "ready\n", false);
        }
    }
    int w_, h_;
    std::wstring ready_;
    std::vector<unsigned> pixels_;
    bool announced_ = false;
};

int RunPattern(const std::wstring& ready, bool allMonitors) {
    WNDCLASSEXW wc{sizeof(wc)};
    wc.lpfnWndProc = kestrow::win::Window::WindowProc;
    wc.hInstance = ::GetModuleHandleW(nullptr);
    wc.lpszClassName = L"KestrowTestPattern";
    wc.hCursor = ::LoadCursorW(nullptr, IDC_ARROW);
    kestrow::win::RegisterWindowClass(wc);
    int x = 0, y = 0, w = ::GetSystemMetrics(SM_CXSCREEN), h = ::GetSystemMetrics(SM_CYSCREEN);
    if (allMonitors) {
        x = ::GetSystemMetrics(SM_XVIRTUALSCREEN);
        y = ::GetSystemMetrics(SM_YVIRTUALSCREEN);
        w = ::GetSystemMetrics(SM_CXVIRTUALSCREEN);
        h = ::GetSystemMetrics(SM_CYVIRTUALSCREEN);
    }
    PatternWindow window(w, h, ready);
    if (!window.Create({.className = L"KestrowTestPattern",
                        .title = L"Kestrow test pattern",
                        .style = WS_POPUP | WS_VISIBLE,
                        .exStyle = WS_EX_TOPMOST,
                        .x = x,
                        .y = y,
                        .width = w,
                        .height = h}))
        return 3;
    return kestrow::win::RunMessageLoop();
}

// Asks the window itself: GetWindowText would give another program's controls'
// creation text, not what an edit box holds now.
std::wstring WindowText(HWND hwnd) {
    wchar_t buf[1024] = {};
    DWORD_PTR copied = 0;
    ::SendMessageTimeoutW(hwnd, WM_GETTEXT, 1024, reinterpret_cast<LPARAM>(buf), SMTO_ABORTIFHUNG, 2000,
                          &copied);
    return buf;
}
std::wstring ClassName(HWND hwnd) {
    wchar_t buf[256] = {};
    ::GetClassNameW(hwnd, buf, 256);
    return buf;
}

// One line a window: "top|child <hwnd> <class> <id> <l> <t> <r> <b> <visible> <text>", the
// text last with line breaks escaped.
std::string DescribeWindow(const char* kind, HWND hwnd) {
    RECT rc{};
    ::GetWindowRect(hwnd, &rc);
    std::wstring text = WindowText(hwnd);
    std::wstring escaped;
    for (wchar_t c : text) {
        if (c == L'\n')
            escaped += L"\\n";
        else if (c == L'\r')
            escaped += L"\\r";
        else
            escaped += c;
    }
    char head[160];
    std::snprintf(head, sizeof(head), "%s %lu ", kind,
                  static_cast<unsigned long>(reinterpret_cast<UINT_PTR>(hwnd)));
    char tail[96];
    std::snprintf(tail, sizeof(tail), " %d %ld %ld %ld %ld %d ", ::GetDlgCtrlID(hwnd), rc.left, rc.top,
                  rc.right, rc.bottom, ::IsWindowVisible(hwnd) ? 1 : 0);
    return head + ToUtf8(ClassName(hwnd)) + tail + ToUtf8(escaped) + "\n";
}

BOOL CALLBACK AddChild(HWND child, LPARAM lp) {
    *reinterpret_cast<std::string*>(lp) += DescribeWindow("child", child);
    return TRUE;
}

BOOL CALLBACK AddTopLevel(HWND hwnd, LPARAM lp) {
    if (!::IsWindowVisible(hwnd)) return TRUE;
    *reinterpret_cast<std::string*>(lp) += DescribeWindow("top", hwnd);
    ::EnumChildWindows(hwnd, AddChild, lp);
    return TRUE;
}

int ListWindows(const std::wstring& out) {
    std::string text;
    ::EnumWindows(AddTopLevel, reinterpret_cast<LPARAM>(&text));
    return WriteFileBytes(out, text, false) ? 0 : 5;
}

// The items of a combo box or list box in another program, one a line, the
// selected one marked with "*".
int ListItems(HWND hwnd, const std::wstring& out) {
    const bool combo = ClassName(hwnd) == L"ComboBox";
    const UINT getCount = combo ? CB_GETCOUNT : LB_GETCOUNT;
    const UINT getLen = combo ? CB_GETLBTEXTLEN : LB_GETTEXTLEN;
    const UINT getText = combo ? CB_GETLBTEXT : LB_GETTEXT;
    const LRESULT selected = ::SendMessageW(hwnd, combo ? CB_GETCURSEL : LB_GETCURSEL, 0, 0);
    std::string text;
    const LRESULT count = ::SendMessageW(hwnd, getCount, 0, 0);
    for (LRESULT i = 0; i < count; ++i) {
        std::wstring item(size_t(::SendMessageW(hwnd, getLen, i, 0)) + 1, L'\0');
        ::SendMessageW(hwnd, getText, i, reinterpret_cast<LPARAM>(item.data()));
        item.resize(wcslen(item.c_str()));
        text += i == selected ? '*' : ' ';
        text += ToUtf8(item);
        text += '\n';
    }
    return WriteFileBytes(out, text, false) ? 0 : 5;
}

int LockFile(const std::wstring& file, const std::wstring& ready) {
    HANDLE h = ::CreateFileW(file.c_str(), GENERIC_READ | GENERIC_WRITE, 0, nullptr, OPEN_ALWAYS,
                             FILE_ATTRIBUTE_NORMAL, nullptr);
    if (h == INVALID_HANDLE_VALUE) return 3;
    WriteFileBytes(ready, "ready\n", false);
    for (;;) ::Sleep(1000);
}

// Opened for a window, as programs do: Wine lets any thread in beside an open without one.
int HoldClipboard(const std::wstring& ready) {
    HWND owner =
        ::CreateWindowExW(0, L"STATIC", L"", WS_POPUP, 0, 0, 0, 0, nullptr, nullptr, nullptr, nullptr);
    kestrow::win::ClipboardSession clip(owner);
    if (!clip.IsOpen()) return 3;
    WriteFileBytes(ready, "ready\n", false);
    for (;;) ::Sleep(1000);
}

// A window with a child control, for window tracking: the button must be found, not the window.
int RunDialog(const std::wstring& ready, int x, int y) {
    HWND dialog = ::CreateWindowExW(WS_EX_TOPMOST, L"STATIC", L"Kestrow test dialog",
                                    WS_POPUP | WS_VISIBLE | SS_GRAYRECT, x, y, 400, 300, nullptr, nullptr,
                                    nullptr, nullptr);
    HWND button = ::CreateWindowExW(0, L"BUTTON", L"OK", WS_CHILD | WS_VISIBLE | BS_PUSHBUTTON, 60, 80, 120,
                                    40, dialog, nullptr, nullptr, nullptr);
    if (!dialog || !button) return 3;
    ::UpdateWindow(dialog);
    ::GdiFlush();
    WriteFileBytes(ready, "ready\n", false);
    MSG msg;
    while (::GetMessageW(&msg, nullptr, 0, 0) > 0) {
        ::TranslateMessage(&msg);
        ::DispatchMessageW(&msg);
    }
    return 0;
}

}  // namespace

int WINAPI wWinMain(HINSTANCE, HINSTANCE, LPWSTR, int) {
    const std::vector<std::wstring> args = kestrow::win::SplitCommandLine(::GetCommandLineW());
    const std::wstring job = args.size() > 1 ? args[1] : L"";
    if (job == L"receiver" && args.size() == 3) return RunReceiver(args[2], false);
    if (job == L"receiver" && args.size() == 4 && args[3] == L"hang") return RunReceiver(args[2], true);
    if (job == L"clipdump" && args.size() == 3) return ClipDump(args[2]);
    if (job == L"clipclear") return ClipClear();
    if (job == L"cliptext" && args.size() == 3) return ClipText(args[2]);
    if (job == L"pattern" && (args.size() == 3 || (args.size() == 4 && args[3] == L"all")))
        return RunPattern(args[2], args.size() == 4);
    if (job == L"windows" && args.size() == 3) return ListWindows(args[2]);
    if (job == L"lock" && args.size() == 4) return LockFile(args[2], args[3]);
    if (job == L"cliphold" && args.size() == 3) return HoldClipboard(args[2]);
    if (job == L"dialog" && args.size() == 3) return RunDialog(args[2], 200, 150);
    if (job == L"dialog" && args.size() == 5)
        return RunDialog(args[2], std::wcstol(args[3].c_str(), nullptr, 10),
                         std::wcstol(args[4].c_str(), nullptr, 10));
    if (job == L"command" && args.size() == 4) {
        // What a button sends its owner: WM_COMMAND with the id and no control.
        HWND target = reinterpret_cast<HWND>(std::wcstoul(args[2].c_str(), nullptr, 10));
        if (!::IsWindow(target)) return 2;
        ::SendMessageW(target, WM_COMMAND, WPARAM(std::wcstoul(args[3].c_str(), nullptr, 0)), 0);
        return 0;
    }
    if (job == L"enabled" && args.size() == 3) {
        HWND target = reinterpret_cast<HWND>(std::wcstoul(args[2].c_str(), nullptr, 10));
        if (!::IsWindow(target)) return 2;
        return ::IsWindowEnabled(target) ? 0 : 1;
    }
    if ((job == L"post" || job == L"settext") && args.size() == 4) {
        HWND target = reinterpret_cast<HWND>(std::wcstoul(args[2].c_str(), nullptr, 10));
        if (!::IsWindow(target)) return 2;
        if (job == L"post")
            return ::PostMessageW(target, WM_COMMAND, WPARAM(std::wcstoul(args[3].c_str(), nullptr, 0)), 0)
                       ? 0
                       : 3;
        std::wstring text;
        for (size_t i = 0; i + 3 < args[3].size(); i += 4) {
            const std::wstring hex = args[3].substr(i + 2, 2) + args[3].substr(i, 2);
            text += wchar_t(std::wcstoul(hex.c_str(), nullptr, 16));
        }
        ::SendMessageW(target, WM_SETTEXT, 0, reinterpret_cast<LPARAM>(text.c_str()));
        return 0;
    }
    if (job == L"items" && args.size() == 4)
        return ListItems(reinterpret_cast<HWND>(std::wcstoul(args[2].c_str(), nullptr, 10)), args[3]);
    return 64;
}
