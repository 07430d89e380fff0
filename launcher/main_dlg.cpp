#include "launcher/main_dlg.h"

#include "launcher/app_config.h"
#include "launcher/app_paths.h"
#include "launcher/launcher_ids.h"
#include "launcher/process_launcher.h"
#include "launcher/result_reaction.h"
#include "launcher/toast_wnd.h"
#include "launcher/tray_icon.h"

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

// Runs on the watcher's thread: only posts, and only to a window that still exists.
void PostClipboardDone(void* mainWindow) {
    HWND hwnd = static_cast<HWND>(mainWindow);
    if (::IsWindow(hwnd)) ::PostMessageW(hwnd, WM_FULLSCREEN_CLIPBOARD_DONE, 0, 0);
}

}  // namespace

HWND MainWindow() { return g_mainWindow; }
void SetMainWindow(HWND hwnd) { g_mainWindow = hwnd; }

CMainDlg::CMainDlg(win::MessageLoop& loop, AppConfig& config)
    : loop_(loop), config_(config), ipc_(config) {}

HWND CMainDlg::CreateMain() { return CreateModeless(IDD_MAIN); }

bool CMainDlg::PreTranslateMessage(MSG& msg) {
    return IsWindow() && ::IsDialogMessageW(hwnd(), &msg);
}

INT_PTR CMainDlg::HandleMessage(UINT msg, WPARAM wp, LPARAM lp) {
    switch (msg) {
        case WM_INITDIALOG: return OnInitDialog();
        case WM_DESTROY: OnDestroy(); return TRUE;
        case WM_TIMER: OnTimer(wp); return TRUE;
        case WM_COMMAND: OnCommand(LOWORD(wp)); return TRUE;
        case WM_HOTKEY: OnHotkey(static_cast<UINT>(wp)); return TRUE;
        case WM_TRAY_NOTIFY: return SetResult(OnTrayNotify(LOWORD(lp)));
        case WM_FULLSCREEN_CLIPBOARD_DONE: return SetResult(OnFullScreenClipboardDone());
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
    trayData_ = MainTrayIconData(hwnd(), largeIcon_.Get());
    AddMainTrayIcon(trayData_);
    RegisterHotkeys();
    ipc_.CreateReceiver();
    ::SetTimer(hwnd(), TIMER_UPDATE_CHECK, kUpdateCheckDelayMs, nullptr);
    // The splash window, when built, is shown here if "showstartupscreen" asks for
    // it; it posts WM_STARTUP_DONE when done. Without it no first-run balloon shows.
    return TRUE;
}

void CMainDlg::LoadIcons() {
    HINSTANCE module = ::GetModuleHandleW(nullptr);
    largeIcon_.Reset(static_cast<HICON>(::LoadImageW(module, MAKEINTRESOURCEW(IDI_APP_ICON),
                                                     IMAGE_ICON, ::GetSystemMetrics(SM_CXICON),
                                                     ::GetSystemMetrics(SM_CYICON), 0)));
    smallIcon_.Reset(static_cast<HICON>(::LoadImageW(module, MAKEINTRESOURCEW(IDI_APP_ICON),
                                                     IMAGE_ICON, ::GetSystemMetrics(SM_CXSMICON),
                                                     ::GetSystemMetrics(SM_CYSMICON), 0)));
    ::SendMessageW(hwnd(), WM_SETICON, ICON_BIG, reinterpret_cast<LPARAM>(largeIcon_.Get()));
    ::SendMessageW(hwnd(), WM_SETICON, ICON_SMALL, reinterpret_cast<LPARAM>(smallIcon_.Get()));
}

void CMainDlg::OnDestroy() {
    DeleteTrayIcon(hwnd(), TRAY_ID_MAIN);
    ipc_.Destroy();
    // The feedback dialog and the splash window, when built, are destroyed here.
    loop_.RemoveFilter(this);
    loop_.RemoveIdleHandler(this);
}

void CMainDlg::OnTimer(UINT_PTR id) {
    if (id != TIMER_UPDATE_CHECK) return;
    ::KillTimer(hwnd(), TIMER_UPDATE_CHECK);
    // The update check, when built, starts here with hwnd() and WM_NEW_VERSION.
}

void CMainDlg::OnCommand(UINT id) {
    if (id == IDOK || id == IDCANCEL) Quit(static_cast<int>(id));
    // The tray's "退出" posted from outside: the installer ends us so before it
    // replaces or removes our files.
    if (id == ID_TRAY_EXIT) RunMenuCommand(id);
}

void CMainDlg::Quit(int exitCode) {
    ::DestroyWindow(hwnd());
    ::PostQuitMessage(exitCode);
}

bool CMainDlg::StartTask(const WorkerTask& task) {
    ProcessLauncher launcher(AppPaths::Get().WorkerExePath(), task.parameters);
    if (!task.watch) return launcher.Start();
    return launcher.Start(&PostClipboardDone, hwnd());
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
    win::UniqueMenu menu(::LoadMenuW(::GetModuleHandleW(nullptr), MAKEINTRESOURCEW(IDR_TRAY_MENU)));
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
        ::RegisterHotKey(hwnd(), static_cast<int>(key.hotkeyId), ToRegisterModifiers(hk.modifiers),
                         hk.keyCode);
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

LRESULT CMainDlg::OnFullScreenClipboardDone() {
    ShowToast(kToastFullScreenCopied);
    return 1;
}

LRESULT CMainDlg::OnStartupDone() {
    if (config_.showballon()) ShowFirstRunBalloon(hwnd());
    return 1;
}

LRESULT CMainDlg::OnNewVersion() {
    ShowUpdateBalloon(hwnd(), largeIcon_.Get());
    return 1;
}

LRESULT CMainDlg::OnUpdateBalloonNotify(UINT event) {
    switch (event) {
        case NIN_BALLOONUSERCLICK:
            if (!updateDownloadUrl_.empty())
                OpenWithShell(updateDownloadUrl_, L"", SW_SHOWMAXIMIZED);
            DeleteTrayIcon(hwnd(), TRAY_ID_UPDATE);
            break;
        case NIN_BALLOONTIMEOUT:
        case NIN_BALLOONHIDE: DeleteTrayIcon(hwnd(), TRAY_ID_UPDATE); break;
    }
    return 1;
}

}  // namespace kestrow
