#pragma once
// Shared pieces of the Windows-side tests: pixels in and out of bitmaps, temp folders.
#include <windows.h>

#include <string>
#include <vector>

#include "common/result_message.h"
#include "common/win/gdi.h"
#include "common/win/handles.h"
#include "common/win/window.h"
#include "worker/annotation/color_select_pane.h"
#include "worker/toolbar/x_toolbar.h"

namespace kestrow::test {

// Pixels as 0x00RRGGBB, top row first.
struct Pixels {
    int width = 0;
    int height = 0;
    std::vector<unsigned> data;
    unsigned At(int x, int y) const { return data[size_t(y) * width + x]; }
};

inline BITMAPINFO TopDown32(int w, int h) {
    BITMAPINFO bi{};
    bi.bmiHeader = {sizeof(BITMAPINFOHEADER), w, -h, 1, 32, BI_RGB};
    return bi;
}

inline Pixels ReadBitmap(HBITMAP bitmap) {
    BITMAP bm{};
    ::GetObjectW(bitmap, sizeof(bm), &bm);
    Pixels p{bm.bmWidth, bm.bmHeight, std::vector<unsigned>(size_t(bm.bmWidth) * bm.bmHeight)};
    BITMAPINFO bi = TopDown32(bm.bmWidth, bm.bmHeight);
    win::WindowDC screen(nullptr);
    ::GetDIBits(screen.Get(), bitmap, 0, bm.bmHeight, p.data.data(), &bi, DIB_RGB_COLORS);
    for (auto& v : p.data) v &= 0xFFFFFF;
    return p;
}

inline void WriteBitmap(HBITMAP bitmap, const Pixels& p) {
    BITMAPINFO bi = TopDown32(p.width, p.height);
    win::WindowDC screen(nullptr);
    ::SetDIBits(screen.Get(), bitmap, 0, p.height, p.data.data(), &bi, DIB_RGB_COLORS);
}

// A smooth pattern that JPEG keeps close; distinct enough to catch shifted copies.
inline Pixels Gradient(int w, int h) {
    Pixels p{w, h, std::vector<unsigned>(size_t(w) * h)};
    for (int y = 0; y < h; ++y)
        for (int x = 0; x < w; ++x) {
            unsigned r = (x * 255) / (w - 1), g = (y * 255) / (h - 1), b = ((x + y) * 127) / (w + h);
            p.data[size_t(y) * w + x] = (r << 16) | (g << 8) | b;
        }
    return p;
}

// Exact per-pixel colours: red = x, green = y (mod 256), blue from the high bits.
inline unsigned Unique(int x, int y) {
    return (unsigned(x & 255) << 16) | (unsigned(y & 255) << 8) | (((x >> 8) << 4) | (y >> 8));
}

// The folder of the test runner and its helper programs (build/win32/tests).
inline std::wstring TestsFolder() {
    wchar_t self[MAX_PATH] = {};
    ::GetModuleFileNameW(nullptr, self, MAX_PATH);
    std::wstring path = self;
    return path.substr(0, path.find_last_of(L'\\'));
}

// A program built beside the tests: the programs are in build/win32/bin.
inline std::wstring BuiltProgram(const wchar_t* name) {
    std::wstring path = TestsFolder();
    path.resize(path.find_last_of(L'\\'));
    return path + L"\\bin\\" + name;
}

// The first 4 KiB of a file (logs the helpers write), or nothing when it cannot be read.
inline std::string ReadSmallFile(const std::wstring& path) {
    HANDLE f = ::CreateFileW(path.c_str(), GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr,
                             OPEN_EXISTING, 0, nullptr);
    if (f == INVALID_HANDLE_VALUE) return {};
    char buf[4096];
    DWORD n = 0;
    ::ReadFile(f, buf, sizeof(buf), &n, nullptr);
    ::CloseHandle(f);
    return std::string(buf, n);
}

// A program's resources (templates, menus, icons), loaded without running its code.
class DataModule {
public:
    explicit DataModule(const std::wstring& path)
        : h_(::LoadLibraryExW(path.c_str(), nullptr, LOAD_LIBRARY_AS_DATAFILE)) {}
    DataModule(const DataModule&) = delete;
    DataModule& operator=(const DataModule&) = delete;
    ~DataModule() {
        if (h_) ::FreeLibrary(h_);
    }
    HMODULE Get() const { return h_; }

private:
    HMODULE h_;
};

// A fresh empty folder under the temp folder, removed with its files at the end.
class TempDir {
public:
    TempDir() {
        wchar_t base[MAX_PATH];
        ::GetTempPathW(MAX_PATH, base);
        path_ = std::wstring(base) + L"kestrow-test-" + std::to_wstring(::GetCurrentProcessId()) + L"-" +
                std::to_wstring(counter_++);
        ::CreateDirectoryW(path_.c_str(), nullptr);
    }
    ~TempDir() {
        WIN32_FIND_DATAW fd;
        HANDLE h = ::FindFirstFileW((path_ + L"\\*").c_str(), &fd);
        if (h != INVALID_HANDLE_VALUE) {
            do ::DeleteFileW((path_ + L"\\" + fd.cFileName).c_str());
            while (::FindNextFileW(h, &fd));
            ::FindClose(h);
        }
        ::RemoveDirectoryW(path_.c_str());
    }
    std::wstring File(const std::wstring& name) const { return path_ + L"\\" + name; }
    // What the folder holds, temporary files included.
    std::vector<std::wstring> Names() const {
        std::vector<std::wstring> names;
        WIN32_FIND_DATAW fd;
        HANDLE h = ::FindFirstFileW(File(L"*").c_str(), &fd);
        if (h == INVALID_HANDLE_VALUE) return names;
        do
            if (fd.cFileName[0] != L'.') names.push_back(fd.cFileName);
        while (::FindNextFileW(h, &fd));
        ::FindClose(h);
        return names;
    }

private:
    std::wstring path_;
    static inline int counter_ = 0;
};

// One result message as the launcher received it.
struct Record {
    WPARAM wparam;
    ULONG_PTR code;
    DWORD size;
    std::vector<unsigned char> bytes;
};

// The launcher's result window, on a thread of its own so that the send really
// crosses to another thread's message queue, as it crosses processes in use.
class ReceiverWindow : public win::Window {
public:
    std::vector<Record> records;

protected:
    LRESULT HandleMessage(UINT msg, WPARAM wp, LPARAM lp) override {
        if (msg == WM_COPYDATA) {
            const auto* cds = reinterpret_cast<const COPYDATASTRUCT*>(lp);
            const auto* p = static_cast<const unsigned char*>(cds->lpData);
            records.push_back({wp, cds->dwData, cds->cbData, {p, p + cds->cbData}});
            return TRUE;
        }
        if (msg == WM_CLOSE) {
            ::PostQuitMessage(0);
            return 0;
        }
        return DefaultMessage(msg, wp, lp);
    }
};

class ReceiverThread {
public:
    explicit ReceiverThread(const wchar_t* title = kResultWindowTitle) : title_(title) {
        ready_.Reset(::CreateEventW(nullptr, TRUE, FALSE, nullptr));
        thread_.Reset(::CreateThread(nullptr, 0, &ReceiverThread::Main, this, 0, nullptr));
        ::WaitForSingleObject(ready_.Get(), 5000);
    }
    ~ReceiverThread() {
        ::PostMessageW(hwnd_, WM_CLOSE, 0, 0);
        ::WaitForSingleObject(thread_.Get(), 5000);
    }
    const std::vector<Record>& records() const { return window_.records; }

private:
    static DWORD WINAPI Main(void* self) {
        auto* t = static_cast<ReceiverThread*>(self);
        WNDCLASSEXW wc{sizeof(wc)};
        wc.lpfnWndProc = win::Window::WindowProc;
        wc.hInstance = ::GetModuleHandleW(nullptr);
        wc.lpszClassName = kResultWindowClass;
        win::RegisterWindowClass(wc);
        t->hwnd_ = t->window_.Create(
            {.className = kResultWindowClass, .title = t->title_, .x = 0, .y = 0, .width = 0, .height = 0});
        ::SetEvent(t->ready_.Get());
        win::RunMessageLoop();
        t->window_.Destroy();
        return 0;
    }
    const wchar_t* title_;
    ReceiverWindow window_;
    HWND hwnd_ = nullptr;
    win::UniqueHandle ready_;
    win::UniqueHandle thread_;
};

// Dialog 201 and the PNG images come from the built program.
struct WorkerResources {
    WorkerResources()
        : module(::LoadLibraryExW(BuiltProgram(L"Worker.exe").c_str(), nullptr, LOAD_LIBRARY_AS_DATAFILE)) {
        XToolbar::SetResourceModule(module);
        CColorSelectPane::SetResourceModule(module);
    }
    ~WorkerResources() {
        XToolbar::SetResourceModule(nullptr);
        CColorSelectPane::SetResourceModule(nullptr);
        if (module) ::FreeLibrary(module);
    }
    HMODULE module;
};

// Another thread, with a window of its own, holds the clipboard open as a busy program
// would: for `holdMs`, or until released.
class ClipboardHolder {
public:
    explicit ClipboardHolder(DWORD holdMs = INFINITE) : holdMs_(holdMs) {
        held_.Reset(::CreateEventW(nullptr, TRUE, FALSE, nullptr));
        release_.Reset(::CreateEventW(nullptr, TRUE, FALSE, nullptr));
        thread_.Reset(::CreateThread(nullptr, 0, &ClipboardHolder::Main, this, 0, nullptr));
        ::WaitForSingleObject(held_.Get(), 5000);
    }
    ~ClipboardHolder() { Release(); }
    // Returns once the clipboard is closed again.
    void Release() {
        ::SetEvent(release_.Get());
        ::WaitForSingleObject(thread_.Get(), 5000);
    }

private:
    static DWORD WINAPI Main(void* p) {
        auto* self = static_cast<ClipboardHolder*>(p);
        HWND window =
            ::CreateWindowExW(0, L"STATIC", L"", 0, 0, 0, 0, 0, HWND_MESSAGE, nullptr, nullptr, nullptr);
        const bool open = ::OpenClipboard(window) != FALSE;
        ::SetEvent(self->held_.Get());
        ::WaitForSingleObject(self->release_.Get(), self->holdMs_);
        if (open) ::CloseClipboard();
        ::DestroyWindow(window);
        return 0;
    }
    DWORD holdMs_;
    win::UniqueHandle held_, release_, thread_;
};

// Answers the first message box that `owner` gets while this watch lives, from the box's
// own message loop: notes its text, runs `before` (say, letting the clipboard go) and
// presses OK.
class MessageBoxWatch {
public:
    MessageBoxWatch(HWND owner, void (*before)() = nullptr) {
        owner_ = owner;
        before_ = before;
        text_.clear();
        timer_ = ::SetTimer(nullptr, 0, 50, &MessageBoxWatch::Tick);
    }
    ~MessageBoxWatch() { ::KillTimer(nullptr, timer_); }
    // The text of the box seen, empty when none came.
    static const std::wstring& text() { return text_; }

private:
    static BOOL CALLBACK Find(HWND w, LPARAM found) {
        wchar_t cls[16] = {};
        ::GetClassNameW(w, cls, 16);
        if (::IsWindowVisible(w) && lstrcmpW(cls, L"#32770") == 0 && ::GetWindow(w, GW_OWNER) == owner_) {
            *reinterpret_cast<HWND*>(found) = w;
            return FALSE;
        }
        return TRUE;
    }
    static void CALLBACK Tick(HWND, UINT, UINT_PTR, DWORD) {
        HWND box = nullptr;
        ::EnumThreadWindows(::GetCurrentThreadId(), &Find, reinterpret_cast<LPARAM>(&box));
        if (!box || !text_.empty()) return;
        wchar_t text[256] = {};
        ::GetDlgItemTextW(box, 0xFFFF, text, 256);  // the box's text control
        text_ = text[0] ? text : L"?";
        if (before_) before_();
        ::PostMessageW(box, WM_COMMAND, IDOK, 0);
    }
    static inline HWND owner_ = nullptr;
    static inline void (*before_)() = nullptr;
    static inline std::wstring text_;
    UINT_PTR timer_ = 0;
};

}  // namespace kestrow::test
