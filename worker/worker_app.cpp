#include "worker/worker_app.h"

#include <shellapi.h>
#include <shlwapi.h>

#include "common/result_message.h"
#include "common/win/command_line.h"
#include "common/win/files.h"
#include "common/win/gdi.h"
#include "common/win/handles.h"
#include "common/win/start_trace.h"
#include "worker/colorpicker/color_capture_wnd.h"
#include "worker/capture_output.h"
#include "worker/pin_wnd.h"
#include "worker/result_sender.h"
#include "worker/screen_capture_wnd.h"
#include "worker/standby_wait.h"
#include "worker/start_services.h"

namespace kestrow {

int SCApp::Run(const wchar_t* commandLine) {
    std::vector<std::wstring> args = win::SplitCommandLine(commandLine);
    if (const auto handles = ParseStandbyArgs(args)) {
        std::vector<std::wstring> task;
        switch (WaitForTask(*handles, args[0], task, shown_)) {
            case StandbyOutcome::LauncherGone: return 0;
            case StandbyOutcome::Woken: args = std::move(task); break;
            case StandbyOutcome::NotStandby: break;
        }
    }
    return RunTask(args);
}

int SCApp::RunTask(const std::vector<std::wstring>& args) {
    if (!ParseTaskArgs(args, options_)) {
        StartServices();
        StartLauncher();
        return 0;
    }
    // The region capture's first frame needs none of them (the overlay brings them up
    // after it); the other tasks have them from the start.
    if (options_.taskType != TaskType::ScreenCapture) StartServices();
    win::start_trace::Mark("initialised");

    switch (options_.taskType) {
        case TaskType::FullScreenToFile:
            OutputToFile(CapturePrimaryScreen().Get(), RESULT_FULLSCREEN_SAVED);
            return 0;
        case TaskType::FullScreenToClipboard:
            return OutputToClipboard(CapturePrimaryScreen(), nullptr) ? kExitClipboardSet
                                                                      : kExitClipboardNotSet;
        case TaskType::ColorCapture: return RunColorCapture();
        case TaskType::ScreenCapture: break;
    }
    return RunRegionCapture();
}

namespace {

// Both window tasks report a window that cannot be made in these words.
int ReportWindowCreationFailure() {
    ::MessageBoxW(nullptr, L"m_pCaptureWnd->Create(NULL,CWindow::rcDefault,_T(test), WS_POPUP) != 0", L"",
                  MB_OK);
    return 1;
}

}  // namespace

int SCApp::RunRegionCapture() {
    std::unique_ptr<CPinWnd> pin;
    {
        CScreenCaptureWnd overlay(options_.trackWindow != 0);
        win::start_trace::Mark("constructed");
        if (!overlay.Create(L"截屏工具", WS_POPUP, WS_EX_TOOLWINDOW)) return ReportWindowCreationFailure();
        win::start_trace::Mark("window");
        overlay.SetPinHandler([&pin](win::Bitmap picture, Point topLeft) {
            auto made = std::make_unique<CPinWnd>();
            if (!made->Open(std::move(picture), topLeft)) return false;
            pin = std::move(made);
            return true;
        });
        overlay.StartCapture();
        win::start_trace::Mark("shown");
        TellShown(overlay.hwnd());
        win::RunMessageLoop();
    }
    if (!pin) return 0;
    pin->TakeOverCachedDCs();
    // The overlay is gone with the frozen screen and its copies; this process lives on
    // as the pin alone, which the launcher no longer counts as a capture.
    SendResultInt(RESULT_OVERLAY_GONE, int32_t(::GetCurrentProcessId()));
    win::RunMessageLoop();
    return 0;
}

int SCApp::RunColorCapture() {
    CColorCaptureWnd picker;
    if (!CColorCaptureWnd::RegisterClass() ||
        !picker.Create(
            {.className = CColorCaptureWnd::kClassName, .title = L"截屏工具", .exStyle = WS_EX_TOOLWINDOW}))
        return ReportWindowCreationFailure();
    picker.Start();
    ::ShowWindow(picker.hwnd(), SW_SHOW);
    TellShown(picker.hwnd());
    win::RunMessageLoop();
    return 0;
}

// A woken worker tells the launcher once its first frame is painted (the paint the
// message loop would do first): only then does the launcher start the next waiting
// worker, whose start would otherwise compete with this paint.
void SCApp::TellShown(HWND window) {
    if (!shown_) return;
    ::UpdateWindow(window);
    ::ReleaseSemaphore(shown_.Get(), 1, nullptr);
    shown_.Reset();
}

void SCApp::StartLauncher() {
    wchar_t folder[MAX_PATH] = {};
    if (!::GetModuleFileNameW(nullptr, folder, MAX_PATH - 1)) return;
    ::PathRemoveFileSpecW(folder);
    std::wstring launcher = std::wstring(folder) + L"\\KestrowCapture.exe";
    if (launcher.size() >= MAX_PATH || !win::FileExists(launcher)) return;
    SHELLEXECUTEINFOW info{sizeof(info)};
    info.fMask = SEE_MASK_FLAG_NO_UI;
    info.lpFile = launcher.c_str();
    info.nShow = SW_SHOWNORMAL;
    if (::ShellExecuteExW(&info)) win::UniqueHandle process(info.hProcess);
}

}  // namespace kestrow
