#include "worker/worker_app.h"

#include <commctrl.h>
#include <shellapi.h>
#include <shlwapi.h>

#include "common/result_message.h"
#include "common/win/com.h"
#include "common/win/gdi.h"
#include "common/win/handles.h"
#include "worker/colorpicker/color_capture_wnd.h"
#include "worker/image_output.h"
#include "worker/result_sender.h"
#include "worker/screen_capture_wnd.h"

namespace kestrow {

std::vector<std::wstring> SplitCommandLine(const wchar_t* commandLine) {
    std::vector<std::wstring> args;
    int count = 0;
    LPWSTR* argv = ::CommandLineToArgvW(commandLine, &count);
    if (!argv) return args;
    for (int i = 0; i < count; ++i) args.emplace_back(argv[i]);
    ::LocalFree(argv);
    return args;
}

int SCApp::Run(const wchar_t* commandLine) {
    win::ComInit com;
    static win::GdiplusSession gdiplus(false);  // stays up until the process ends
    INITCOMMONCONTROLSEX icc{sizeof(icc), ICC_BAR_CLASSES};
    ::InitCommonControlsEx(&icc);

    if (!ParseTaskArgs(SplitCommandLine(commandLine), options_)) {
        StartLauncher();
        return 0;
    }

    switch (options_.taskType) {
        case FullScreenToFile:
            RunFullScreenToFile();
            return 0;
        case FullScreenToClipboard:
            return RunFullScreenToClipboard() ? kExitClipboardSet : kExitClipboardNotSet;
        case ColorCapture:
            return RunColorCapture();
        default:
            return RunRegionCapture();
    }
}

namespace {

// Both window tasks report a window that cannot be made in these words.
int ReportWindowCreationFailure() {
    ::MessageBoxW(nullptr, L"m_pCaptureWnd->Create(NULL,CWindow::rcDefault,_T(test), WS_POPUP) != 0",
                  L"", MB_OK);
    return 1;
}

}  // namespace

int SCApp::RunRegionCapture() {
    CScreenCaptureWnd overlay(options_.trackWindow != 0);
    if (!overlay.Create(L"截屏工具", WS_POPUP, WS_EX_TOOLWINDOW)) return ReportWindowCreationFailure();
    overlay.StartCapture(options_.outputPath, options_.outputFormat);
    ::ShowWindow(overlay.hwnd(), SW_SHOW);
    win::RunMessageLoop();
    return 0;
}

int SCApp::RunColorCapture() {
    CColorCaptureWnd picker;
    if (!CColorCaptureWnd::RegisterClass() ||
        !picker.Create(CColorCaptureWnd::kClassName, L"截屏工具", WS_POPUP, WS_EX_TOOLWINDOW,
                       CW_USEDEFAULT, CW_USEDEFAULT, CW_USEDEFAULT, CW_USEDEFAULT))
        return ReportWindowCreationFailure();
    picker.Start();
    ::ShowWindow(picker.hwnd(), SW_SHOW);
    win::RunMessageLoop();
    return 0;
}

namespace {

// The primary display as a bitmap, or none.
win::Bitmap CapturePrimaryScreen() {
    HWND desktop = ::GetDesktopWindow();
    win::WindowDC dc(desktop);
    RECT rc{};
    ::GetClientRect(desktop, &rc);
    if (!dc) return {};
    return CopyRegion(dc.Get(), rc);
}

}  // namespace

void SCApp::RunFullScreenToFile() {
    win::Bitmap bitmap = CapturePrimaryScreen();
    if (!bitmap) return;
    std::wstring path;
    if (SaveWithDialog(bitmap.Get(), path)) SendResultText(RESULT_FULLSCREEN_SAVED, path);
}

bool SCApp::RunFullScreenToClipboard() {
    win::Bitmap bitmap = CapturePrimaryScreen();
    if (!bitmap) return false;
    win::ClipboardSession clipboard(nullptr);
    if (!clipboard.IsOpen()) return false;
    ::EmptyClipboard();
    // The clipboard owns the bitmap once it has taken it.
    if (!::SetClipboardData(CF_BITMAP, bitmap.Get())) return false;
    bitmap.Release();
    return true;
}

void SCApp::StartLauncher() {
    wchar_t folder[MAX_PATH] = {};
    if (!::GetModuleFileNameW(nullptr, folder, MAX_PATH - 1)) return;
    ::PathRemoveFileSpecW(folder);
    std::wstring launcher = std::wstring(folder) + L"\\KestrowCapture.exe";
    if (launcher.size() >= MAX_PATH || !::PathFileExistsW(launcher.c_str())) return;
    SHELLEXECUTEINFOW info{sizeof(info)};
    info.fMask = SEE_MASK_FLAG_NO_UI;
    info.lpFile = launcher.c_str();
    info.nShow = SW_SHOWNORMAL;
    if (::ShellExecuteExW(&info)) win::UniqueHandle process(info.hProcess);
}

}  // namespace kestrow
