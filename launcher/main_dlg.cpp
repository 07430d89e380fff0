#include "launcher/main_dlg.h"

#include "common/result_message.h"

#include "launcher/app_config.h"
#include "launcher/app_paths.h"
#include "launcher/launcher_ids.h"
#include "launcher/process_launcher.h"
#include "launcher/res/resource.h"
#include "launcher/result_reaction.h"
#include "launcher/toast_wnd.h"

namespace kestrow {

namespace {

HWND g_mainWindow = nullptr;

void CentreOnWorkArea(HWND hwnd) {
    RECT rc{};
    ::GetWindowRect(hwnd, &rc);
    MONITORINFO mi{sizeof(mi)};
    if (!::GetMonitorInfoW(::MonitorFromWindow(hwnd, MONITOR_DEFAULTTONEAREST), &mi)) return;
    const RECT& wa = mi.rcWork;
    const int x = wa.left + (wa.right - wa.left - (rc.right - rc.left)) / 2;
    const int y = wa.top + (wa.bottom - wa.top - (rc.bottom - rc.top)) / 2;
    // No SWP_SHOWWINDOW: the dialog stays hidden.
    ::SetWindowPos(hwnd, nullptr, x, y, 0, 0, SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
}

// These run on the watcher's thread: they only post, and only to a window that still exists.
void PostClipboardDone(void* mainWindow, DWORD exitCode) {
    HWND hwnd = static_cast<HWND>(mainWindow);
    if (::IsWindow(hwnd)) ::PostMessageW(hwnd, WM_FULLSCREEN_CLIPBOARD_DONE, exitCode, 0);
}

void PostInteractiveDone(void* mainWindow, DWORD) {
    HWND hwnd = static_cast<HWND>(mainWindow);
    if (::IsWindow(hwnd)) ::PostMessageW(hwnd, WM_INTERACTIVE_TASK_DONE, 0, 0);
}

// A held key would start a task per repeat; systems before Windows 7 refuse the flag.
BOOL RegisterHotkeyNoRepeat(HWND hwnd, int id, UINT modifiers, UINT keyCode) {
    return ::RegisterHotKey(hwnd, id, modifiers | kModNoRepeat, keyCode) ||
           ::RegisterHotKey(hwnd, id, modifiers, keyCode);
}

}  // namespace

HWND MainWindow() { return g_mainWindow; }
void SetMainWindow(HWND hwnd) { g_mainWindow = hwnd; }

CMainDlg::CMainDlg(win::MessageLoop& loop, AppConfig& config, ShellNotifyFn notify)
    : loop_(loop),
      config_(config),
      mainIcon_(TRAY_ID_MAIN, WM_TRAY_NOTIFY, NIF_MESSAGE | NIF_ICON | NIF_TIP, notify),
      updateIcon_(TRAY_ID_UPDATE, WM_UPDATE_BALLOON_NOTIFY, NIF_MESSAGE | NIF_ICON, notify),
      ipc_(config) {}

HWND CMainDlg::CreateMain(HMODULE resources) {
    resources_ = resources ? resources : ::GetModuleHandleW(nullptr);
    return CreateModeless(IDD_MAIN, nullptr, resources_);
}

bool CMainDlg::PreTranslateMessage(MSG& msg) {
    return IsWindow() && ::IsDialogMessageW(hwnd(), &msg);
}

INT_PTR CMainDlg::HandleMessage(UINT msg, WPARAM wp, LPARAM lp) {
    // A registered number, so not a case label (0 when registering failed).
    if (msg != WM_NULL && msg == TaskbarCreatedMessage()) return SetResult(OnTaskbarCreated());
    switch (msg) {
        case WM_INITDIALOG: return OnInitDialog();
        case WM_DESTROY: OnDestroy(); return TRUE;
        case WM_TIMER: OnTimer(wp); return TRUE;
        // IDOK and IDCANCEL come from Enter, Esc or a close request reaching the hidden
        // dialog (it keeps the focus after the tray menu): only "退出" ends the launcher.
        case WM_COMMAND: return TRUE;
        case WM_HOTKEY: OnHotkey(static_cast<UINT>(wp)); return TRUE;
        case WM_TRAY_NOTIFY: return SetResult(OnTrayNotify(LOWORD(lp)));
        case WM_FULLSCREEN_CLIPBOARD_DONE:
            return SetResult(OnFullScreenClipboardDone(static_cast<DWORD>(wp)));
        case WM_INTERACTIVE_TASK_DONE: return SetResult(OnInteractiveTaskDone());
        case WM_NEW_VERSION: return SetResult(OnNewVersion());
        case WM_UPDATE_BALLOON_NOTIFY: return SetResult(OnUpdateBalloonNotify(LOWORD(lp)));
        case WM_HOTKEYS_CHANGED: return SetResult(OnHotkeysChanged());
        case WM_STARTUP_DONE: return SetResult(OnStartupDone());
    }
    return FALSE;
}

BOOL CMainDlg::OnInitDialog() {
    CentreOnWorkArea(hwnd());
    LoadIcons();
    loop_.AddFilter(this);
    loop_.AddIdleHandler(this);
    mainIcon_.Add(hwnd(), largeIcon_.Get());
    RegisterHotkeys();
    ipc_.CreateReceiver();
    ::SetTimer(hwnd(), TIMER_UPDATE_CHECK, kUpdateCheckDelayMs, nullptr);
    // The splash window, when built, is shown here if "showstartupscreen" asks for
    // it; it posts WM_STARTUP_DONE when done. Without it no first-run balloon shows.
    return TRUE;
}

void CMainDlg::LoadIcons() {
    HINSTANCE module = resources_;
    largeIcon_.Reset(static_cast<HICON>(::LoadImageW(module, MAKEINTRESOURCEW(IDI_APP),
                                                     IMAGE_ICON, ::GetSystemMetrics(SM_CXICON),
                                                     ::GetSystemMetrics(SM_CYICON), 0)));
    smallIcon_.Reset(static_cast<HICON>(::LoadImageW(module, MAKEINTRESOURCEW(IDI_APP),
                                                     IMAGE_ICON, ::GetSystemMetrics(SM_CXSMICON),
                                                     ::GetSystemMetrics(SM_CYSMICON), 0)));
    ::SendMessageW(hwnd(), WM_SETICON, ICON_BIG, reinterpret_cast<LPARAM>(largeIcon_.Get()));
    ::SendMessageW(hwnd(), WM_SETICON, ICON_SMALL, reinterpret_cast<LPARAM>(smallIcon_.Get()));
}

void CMainDlg::OnDestroy() {
    mainIcon_.Delete();
    updateIcon_.Delete();
    ipc_.Destroy();
    // Nothing pumps messages during the exit wait: a toast left up would freeze.
    CloseToasts();
    watchers_.clear();
    // The feedback dialog and the splash window, when built, are destroyed here.
    loop_.RemoveFilter(this);
    loop_.RemoveIdleHandler(this);
}

void CMainDlg::OnTimer(UINT_PTR id) {
    if (id != TIMER_UPDATE_CHECK) return;
    ::KillTimer(hwnd(), TIMER_UPDATE_CHECK);
    // The update check, when built, starts here with hwnd() and WM_NEW_VERSION.
}

void CMainDlg::Quit(int exitCode) {
    ::DestroyWindow(hwnd());
    ::PostQuitMessage(exitCode);
}

bool CMainDlg::StartTask(const WorkerTask& task) {
    // A second overlay would freeze the first into its snapshot, and each would want
    // its own Esc.
    if (task.kind == TaskKind::Interactive && interactiveRunning_) return false;
    win::UniqueHandle process =
        ProcessLauncher(AppPaths::Get().WorkerExePath(), task.parameters).Start();
    if (!process) return false;
    switch (task.kind) {
        case TaskKind::Background: break;
        case TaskKind::ClipboardCopy: Watch(std::move(process), &PostClipboardDone); break;
        case TaskKind::Interactive:
            // Unwatched, its end could never be known: better a second overlay than none.
            interactiveRunning_ = Watch(std::move(process), &PostInteractiveDone);
            break;
    }
    return true;
}

bool CMainDlg::Watch(win::UniqueHandle process, CProcessMonitor::Callback callback) {
    std::erase_if(watchers_, [](const auto& w) { return w->Ended(); });
    auto watcher = std::make_unique<CProcessMonitor>(std::move(process), callback, hwnd());
    if (!watcher->Start()) return false;
    watchers_.push_back(std::move(watcher));
    return true;
}

LRESULT CMainDlg::OnTrayNotify(UINT event) {
    switch (event) {
        case WM_RBUTTONDOWN: ShowTrayMenu(); break;
        case WM_LBUTTONDOWN: StartTask(kRegionCaptureTask); break;
        case NIN_BALLOONUSERCLICK: config_.set_showballon(false); break;
    }
    return 1;
}

void CMainDlg::ShowTrayMenu() {
    POINT pt{};
    ::GetCursorPos(&pt);
    ::SetForegroundWindow(hwnd());
    win::UniqueMenu menu(::LoadMenuW(resources_, MAKEINTRESOURCEW(IDR_TRAY_MENU)));
    if (!menu) return;
    HMENU popup = ::GetSubMenu(menu.Get(), 0);
    if (!popup) return;
    const UINT id = static_cast<UINT>(
        ::TrackPopupMenu(popup, TPM_LEFTALIGN | TPM_RETURNCMD, pt.x, pt.y, 0, hwnd(), nullptr));
    // Lets the menu close properly when the user clicks elsewhere next time.
    ::PostMessageW(hwnd(), WM_NULL, 0, 0);
    menu.Reset();
    RunMenuCommand(id);
}

void CMainDlg::RunMenuCommand(UINT id) {
    if (const WorkerTask* task = TaskForCommand(id)) {
        StartTask(*task);
        return;
    }
    switch (id) {
        case ID_TRAY_WEBCAPTURE: OpenWithShell(AppPaths::Get().WebCaptureExePath(), L""); break;
        case ID_TRAY_SETTINGS:  // the settings dialog, when built
        case ID_TRAY_FEEDBACK:  // the feedback dialog, when built
        case ID_TRAY_ABOUT:     // the about dialog, when built
            break;
        case ID_TRAY_EXIT:
            // The exit usage ping, when built, is queued here.
            Quit(1);
            break;
    }
}

void CMainDlg::RegisterHotkeys() {
    for (const HotkeyKey& key : kHotkeyKeys) {
        const Hotkey hk = config_.GetHotkey(key.hotkeyId);
        if (!hk.IsSet()) continue;
        // A combination another program holds is refused; that stays silent.
        RegisterHotkeyNoRepeat(hwnd(), static_cast<int>(key.hotkeyId),
                               ToRegisterModifiers(hk.modifiers), hk.keyCode);
    }
}

void CMainDlg::UnregisterHotkeys() {
    for (const HotkeyKey& key : kHotkeyKeys)
        ::UnregisterHotKey(hwnd(), static_cast<int>(key.hotkeyId));
}

void CMainDlg::OnHotkey(UINT id) {
    if (const WorkerTask* task = TaskForHotkey(id)) StartTask(*task);
}

LRESULT CMainDlg::OnHotkeysChanged() {
    UnregisterHotkeys();
    RegisterHotkeys();
    return 1;
}

// The worker exits with kExitClipboardSet only once the clipboard holds the screen;
// another program holding the clipboard open makes it fail.
LRESULT CMainDlg::OnFullScreenClipboardDone(DWORD exitCode) {
    if (exitCode == kExitClipboardSet) ShowToast(kToastFullScreenCopied);
    return 1;
}

LRESULT CMainDlg::OnInteractiveTaskDone() {
    interactiveRunning_ = false;
    return 1;
}

LRESULT CMainDlg::OnStartupDone() {
    if (config_.showballon()) mainIcon_.ShowBalloon(kFirstRunBalloonText);
    return 1;
}

LRESULT CMainDlg::OnNewVersion() {
    updateIcon_.AddWithBalloon(hwnd(), largeIcon_.Get(), kUpdateBalloonText);
    return 1;
}

// The shell restarted and lost every icon.
LRESULT CMainDlg::OnTaskbarCreated() {
    mainIcon_.Restore();
    updateIcon_.Restore();
    return 1;
}

LRESULT CMainDlg::OnUpdateBalloonNotify(UINT event) {
    switch (event) {
        case NIN_BALLOONUSERCLICK:
            if (!updateDownloadUrl_.empty())
                OpenWithShell(updateDownloadUrl_, L"", SW_SHOWMAXIMIZED);
            updateIcon_.Delete();
            break;
        case NIN_BALLOONTIMEOUT:
        case NIN_BALLOONHIDE: updateIcon_.Delete(); break;
    }
    return 1;
}

}  // namespace kestrow
