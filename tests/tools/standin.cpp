// Stands in for a program the worker or launcher starts (KestrowCapture.exe,
// mspaint.exe, Worker.exe): appends its command line to "<own name>.log" beside it.
// With KESTROW_STANDIN_WAIT naming an event in its environment, it then lives until
// that event is signalled, as a watched worker does (the process watcher's tests); with
// KESTROW_STANDIN_UNTIL naming a file, until that file exists (the scenarios'). With
// KESTROW_STANDIN_PIN set it stands for a worker whose capture gets pinned: a hidden
// window of the pin's class, ending when that window is asked to close.
#include <windows.h>

#include "common/result_message.h"
#include "common/win/handles.h"
#include "tests/tools/tool_io.h"

// WM_APP: the overlay is gone, as the worker tells the launcher. WM_CLOSE takes the
// default: the window goes, and with it the process.
LRESULT CALLBACK PinProc(HWND hwnd, UINT msg, WPARAM wp, LPARAM lp) {
    if (msg == WM_APP) {
        DWORD pid = ::GetCurrentProcessId();
        COPYDATASTRUCT record{kestrow::RESULT_OVERLAY_GONE, 4, &pid};
        HWND launcher = ::FindWindowW(kestrow::kResultWindowClass, kestrow::kResultWindowTitle);
        ::SendMessageW(launcher, WM_COPYDATA, WPARAM(hwnd), LPARAM(&record));
    }
    if (msg == WM_DESTROY) ::PostQuitMessage(0);
    return ::DefWindowProcW(hwnd, msg, wp, lp);
}

int WINAPI wWinMain(HINSTANCE, HINSTANCE, LPWSTR, int) {
    wchar_t self[MAX_PATH] = {};
    ::GetModuleFileNameW(nullptr, self, MAX_PATH);
    std::wstring log = self;
    const size_t dot = log.rfind(L'.');
    if (dot != std::wstring::npos) log.resize(dot);
    log += L".log";
    kestrow::testtools::WriteFileBytes(log, kestrow::testtools::ToUtf8(::GetCommandLineW()) + "\n", true);

    if (::GetEnvironmentVariableW(L"KESTROW_STANDIN_PIN", nullptr, 0)) {
        WNDCLASSW wc{};
        wc.lpfnWndProc = &PinProc;
        wc.hInstance = ::GetModuleHandleW(nullptr);
        wc.lpszClassName = kestrow::kPinWindowClass;
        ::RegisterClassW(&wc);
        if (!::CreateWindowExW(WS_EX_TOOLWINDOW, kestrow::kPinWindowClass, L"", WS_POPUP, 0, 0, 10, 10,
                               nullptr, nullptr, wc.hInstance, nullptr))
            return 1;
        MSG msg;
        while (::GetMessageW(&msg, nullptr, 0, 0) > 0) ::DispatchMessageW(&msg);
        return 0;
    }
    wchar_t event[128] = {};
    if (::GetEnvironmentVariableW(L"KESTROW_STANDIN_WAIT", event, 128)) {
        kestrow::win::UniqueHandle release(::OpenEventW(SYNCHRONIZE, FALSE, event));
        if (release) ::WaitForSingleObject(release.Get(), 60000);
    }
    wchar_t until[MAX_PATH] = {};
    if (::GetEnvironmentVariableW(L"KESTROW_STANDIN_UNTIL", until, MAX_PATH)) {
        for (int i = 0; i < 1200 && ::GetFileAttributesW(until) == INVALID_FILE_ATTRIBUTES; ++i) ::Sleep(50);
    }
    return 0;
}
