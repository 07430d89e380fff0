#include "launcher/main_dlg.h"

#include "common/result_message.h"
#include "common/win/monitor.h"
#include "launcher/app_config.h"
#include "launcher/app_paths.h"
#include "launcher/hotkey_registration.h"
#include "launcher/launcher_ids.h"
#include "launcher/online/about_dlg.h"
#include "launcher/online/app_statics.h"
#include "launcher/online/update_check_thread.h"
#include "launcher/online/update_info.h"
#include "launcher/process_launcher.h"
#include "launcher/res/resource.h"
#include "launcher/result_reaction.h"
#include "launcher/run_token.h"
#include "launcher/setting_dlg.h"
#include "launcher/toast_wnd.h"

#include <algorithm>
#include <cwchar>
#include <utility>

namespace kestrow {

namespace {

HWND g_mainWindow = nullptr;

// These run on the watcher's thread: they only post, and only to a window that still exists.
void PostClipboardDone(void* mainWindow, DWORD exitCode, DWORD) {
    PostFromThisRun(static_cast<HWND>(mainWindow), WM_FULLSCREEN_CLIPBOARD_DONE, exitCode);
}

// The process id tells the end of the overlay followed now from that of an earlier pin.
void PostInteractiveDone(void* mainWindow, DWORD, DWORD processId) {
    PostFromThisRun(static_cast<HWND>(mainWindow), WM_INTERACTIVE_TASK_DONE, processId);
}

// A pin asked to close hides its window first: under Wine without a window manager
// hiding an active window can take about 2 s.
constexpr DWORD kPinCloseWaitMs = 3000;

// `lp` points to the process ids of the pins to close.
BOOL CALLBACK PostCloseToPin(HWND hwnd, LPARAM lp) {
    const auto* pids = reinterpret_cast<const std::vector<DWORD>*>(lp);
    wchar_t className[64] = {};
    if (!::GetClassNameW(hwnd, className, 64) || std::wcscmp(className, kPinWindowClass) != 0) return TRUE;
    DWORD pid = 0;
    ::GetWindowThreadProcessId(hwnd, &pid);
    if (std::find(pids->begin(), pids->end(), pid) != pids->end()) ::PostMessageW(hwnd, WM_CLOSE, 0, 0);
    return TRUE;
}

}  // namespace

HWND MainWindow() { return g_mainWindow; }
void SetMainWindow(HWND hwnd) { g_mainWindow = hwnd; }

CMainDlg::CMainDlg(win::MessageLoop& loop, AppConfig& config, ShellNotifyFn notify, std::wstring workerExe)
    : loop_(loop),
      config_(config),
      mainIcon_(TRAY_ID_MAIN, WM_TRAY_NOTIFY, NIF_MESSAGE | NIF_ICON | NIF_TIP, notify),
      updateIcon_(TRAY_ID_UPDATE, WM_UPDATE_BALLOON_NOTIFY, NIF_MESSAGE | NIF_ICON, notify),
      ipc_(config),
      workerExe_(std::move(workerExe)) {}

const std::wstring& CMainDlg::WorkerExe() const {
    return workerExe_.empty() ? AppPaths::Get().WorkerExePath() : workerExe_;
}

HWND CMainDlg::CreateMain(HMODULE resources) {
    resources_ = resources ? resources : ::GetModuleHandleW(nullptr);
    return CreateModeless(IDD_MAIN, nullptr, resources_);
}

bool CMainDlg::PreTranslateMessage(MSG& msg) { return IsWindow() && ::IsDialogMessageW(hwnd(), &msg); }

INT_PTR CMainDlg::HandleMessage(UINT msg, WPARAM wp, LPARAM lp) {
    // A registered number, so not a case label (0 when registering failed).
    if (msg != WM_NULL && msg == TaskbarCreatedMessage()) return SetResult(OnTaskbarCreated());
    // Any program may post these numbers: only our own watchers' posts count.
    if ((msg == WM_FULLSCREEN_CLIPBOARD_DONE || msg == WM_INTERACTIVE_TASK_DONE || msg == WM_STANDBY_SHOWN ||
         msg == WM_OVERLAY_GONE) &&
        !FromThisRun(lp))
        return FALSE;
    switch (msg) {
        case WM_INITDIALOG: return OnInitDialog();
        case WM_DESTROY: OnDestroy(); return TRUE;
        case WM_TIMER: OnTimer(wp); return TRUE;
        // IDOK and IDCANCEL come from Enter, Esc or a close request reaching the hidden
        // dialog (it keeps the focus after the tray menu): only "退出" ends the launcher.
        case WM_COMMAND: OnCommand(LOWORD(wp)); return TRUE;
        case WM_HOTKEY: OnHotkey(static_cast<UINT>(wp)); return TRUE;
        case WM_TRAY_NOTIFY: return SetResult(OnTrayNotify(LOWORD(lp)));
        case WM_FULLSCREEN_CLIPBOARD_DONE:
            return SetResult(OnFullScreenClipboardDone(static_cast<DWORD>(wp)));
        case WM_INTERACTIVE_TASK_DONE: return SetResult(OnInteractiveTaskDone(static_cast<DWORD>(wp)));
        case WM_OVERLAY_GONE: return SetResult(OnOverlayGone(static_cast<DWORD>(wp)));
        case WM_NEW_VERSION: return SetResult(OnNewVersion());
        case WM_UPDATE_BALLOON_NOTIFY: return SetResult(OnUpdateBalloonNotify(LOWORD(lp)));
        case WM_HOTKEYS_CHANGED: return SetResult(OnHotkeysChanged());
        case WM_STARTUP_DONE: return SetResult(OnStartupDone());
        case WM_STANDBY_SHOWN: return SetResult(OnStandbyShown());
    }
    return FALSE;
}

BOOL CMainDlg::OnInitDialog() {
    win::CentreOnWorkArea(hwnd());  // the dialog stays hidden
    LoadIcons();
    loop_.AddFilter(this);
    loop_.AddIdleHandler(this);
    mainIcon_.Add(hwnd(), largeIcon_.Get());
    hotkeyReport_ = TakenHotkeysReport(kestrow::RegisterHotkeys(hwnd(), config_));
    ipc_.CreateReceiver(hwnd());
    ::SetTimer(hwnd(), TIMER_UPDATE_CHECK, kUpdateCheckDelayMs, nullptr);
    // The splash posts WM_STARTUP_DONE to this window (given here: the process-wide
    // handle is only set once creation returns). Without it no first-run balloon shows.
    if (config_.showstartupscreen()) splash_.Show(hwnd());
    // The waiting worker starts once the splash is over (WM_STARTUP_DONE), or without
    // one once the messages of start-up are (a timer comes after them).
    if (!splash_.IsWindow()) ::SetTimer(hwnd(), TIMER_STANDBY_START, 0, nullptr);
    // Taken hotkeys are told after the splash, or at once without one.
    if (!splash_.IsWindow() && !hotkeyReport_.empty()) ShowHotkeyReport();
    return TRUE;
}

void CMainDlg::LoadIcons() {
    HINSTANCE module = resources_;
    largeIcon_.Reset(
        static_cast<HICON>(::LoadImageW(module, MAKEINTRESOURCEW(IDI_APP), IMAGE_ICON,
                                        ::GetSystemMetrics(SM_CXICON), ::GetSystemMetrics(SM_CYICON), 0)));
    smallIcon_.Reset(static_cast<HICON>(::LoadImageW(module, MAKEINTRESOURCEW(IDI_APP), IMAGE_ICON,
                                                     ::GetSystemMetrics(SM_CXSMICON),
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
    ClosePins();
    watchers_.clear();
    ::KillTimer(hwnd(), TIMER_STANDBY_START);
    ::KillTimer(hwnd(), TIMER_STANDBY_DEADLINE);
    standby_.Release();
    shownWatch_.Stop();
    feedback_.Destroy();
    splash_.Destroy();
    if (settings_ && settings_->IsWindow()) ::EndDialog(settings_->hwnd(), IDCANCEL);
    loop_.RemoveFilter(this);
    loop_.RemoveIdleHandler(this);
}

void CMainDlg::OnTimer(UINT_PTR id) {
    switch (id) {
        case TIMER_UPDATE_CHECK:
            ::KillTimer(hwnd(), TIMER_UPDATE_CHECK);
            CUpdateCheckThread::Launch(hwnd(), WM_NEW_VERSION, false);
            break;
        case TIMER_STANDBY_START:
            ::KillTimer(hwnd(), TIMER_STANDBY_START);
            KeepStandby();
            break;
        case TIMER_STANDBY_DEADLINE:
            ::KillTimer(hwnd(), TIMER_STANDBY_DEADLINE);
            OnStandbyDeadline();
            break;
    }
}

// The tray's "退出" posted from outside: the installer ends us so before it replaces or
// removes our files. Every other command (IDOK and IDCANCEL from a stray Enter or Esc)
// is ignored.
void CMainDlg::OnCommand(UINT id) {
    if (id == ID_TRAY_EXIT) RunMenuCommand(id);
}

void CMainDlg::Quit(int exitCode) {
    ::DestroyWindow(hwnd());
    ::PostQuitMessage(exitCode);
}

bool CMainDlg::StartTask(const WorkerTask& task) {
    // A second overlay would freeze the first into its snapshot, and each would want
    // its own Esc.
    if (task.kind == TaskKind::Interactive && interactiveRunning_) return false;
    const bool standbyOn = config_.standby();
    if (standbyPolicy_.Uses(task, standbyOn)) {
        if (standby_.HandOver(task.parameters)) {
            interactiveRunning_ = true;
            wakingTask_ = &task;
            ::SetTimer(hwnd(), TIMER_STANDBY_DEADLINE, kStandbyWakeDeadlineMs, nullptr);
            return true;
        }
        // Still starting, it stays for the next request; ended, it is replaced once the
        // fresh worker has had its start.
        const bool replace = !standby_.Exists() || standby_.Ended();
        const bool started = StartFresh(task);
        if (replace) ::SetTimer(hwnd(), TIMER_STANDBY_START, kStandbyRestartDelayMs, nullptr);
        return started;
    }
    if (!standbyOn) standby_.Release();  // turned off while running: its memory is wanted back
    return StartFresh(task);
}

bool CMainDlg::StartFresh(const WorkerTask& task) {
    win::UniqueHandle process = ProcessLauncher(WorkerExe(), task.parameters).Start();
    if (!process) return false;
    switch (task.kind) {
        case TaskKind::Background: break;
        case TaskKind::ClipboardCopy: Watch(std::move(process), &PostClipboardDone); break;
        case TaskKind::Interactive: {
            const DWORD pid = ::GetProcessId(process.Get());
            // Unwatched, its end could never be known: better a second overlay than none.
            interactiveRunning_ = Watch(std::move(process), &PostInteractiveDone);
            interactivePid_ = interactiveRunning_ ? pid : 0;
            break;
        }
    }
    return true;
}

void CMainDlg::KeepStandby() {
    if (!standbyPolicy_.KeepsOne(config_.standby())) return;
    // A woken worker still on its way to the screen: the next one starts after it.
    if (shownWatch_.Active()) return;
    if (standby_.Exists() && !standby_.Ended()) return;
    standby_.Start(WorkerExe());
}

// The woken worker has had its time: either it has taken the task and is followed as any
// interactive worker, or it is ended and a fresh worker takes the request.
void CMainDlg::OnStandbyDeadline() {
    const WorkerTask* task = std::exchange(wakingTask_, nullptr);
    if (!task) return;
    if (!standby_.Taken()) {
        standbyPolicy_.Refused();
        standby_.Kill();
        interactiveRunning_ = false;
        StartFresh(*task);
        ::SetTimer(hwnd(), TIMER_STANDBY_START, kStandbyRestartDelayMs, nullptr);
        return;
    }
    standbyPolicy_.Woke();
    StandbyWorker::Woken woken = standby_.TakeWoken();
    const DWORD pid = ::GetProcessId(woken.process.Get());
    interactiveRunning_ = Watch(std::move(woken.process), &PostInteractiveDone);
    interactivePid_ = interactiveRunning_ ? pid : 0;
    if (!shownWatch_.Start(std::move(woken.shown), hwnd(), WM_STANDBY_SHOWN)) KeepStandby();
}

// The woken worker's window is on screen (or it has ended without one).
LRESULT CMainDlg::OnStandbyShown() {
    shownWatch_.Stop();
    KeepStandby();
    return 1;
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
        // Only the hint offers to be silenced by a click; the hotkey report rides the same icon.
        case NIN_BALLOONUSERCLICK:
            if (firstRunHintShown_) config_.set_showballon(false);
            break;
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
        case ID_TRAY_SETTINGS: ShowSettings(); break;
        case ID_TRAY_FEEDBACK: feedback_.ShowDialog(); break;
        case ID_TRAY_ABOUT: {
            CAboutDlg about;
            about.Run(::GetActiveWindow());
            break;
        }
        case ID_TRAY_EXIT:
            PostExitPing();
            Quit(1);
            break;
    }
}

void CMainDlg::ShowSettings() {
    if (settings_) {
        ::SetForegroundWindow(settings_->hwnd());
        ::BringWindowToTop(settings_->hwnd());
        return;
    }
    CSettingDlg dialog(config_, AppPaths::Get().OwnExePath(), hwnd());
    settings_ = &dialog;
    dialog.Run(::GetActiveWindow());
    settings_ = nullptr;
}

void CMainDlg::OnHotkey(UINT id) {
    if (const WorkerTask* task = TaskForHotkey(id)) StartTask(*task);
}

// The settings dialog reads the outcome (LatestHotkeyRegistration) to report taken hotkeys.
LRESULT CMainDlg::OnHotkeysChanged() {
    kestrow::UnregisterHotkeys(hwnd());
    kestrow::RegisterHotkeys(hwnd(), config_);
    return 1;
}

// The worker exits with kExitClipboardSet only once the clipboard holds the screen;
// another program holding the clipboard open makes it fail.
LRESULT CMainDlg::OnFullScreenClipboardDone(DWORD exitCode) {
    if (exitCode == kExitClipboardSet) ShowToast(kToastFullScreenCopied);
    return 1;
}

// Either the followed worker or a pin has ended; a pin's end must not release the guard
// of a capture started after it.
LRESULT CMainDlg::OnInteractiveTaskDone(DWORD processId) {
    std::erase_if(pins_, [processId](const Pin& p) { return p.processId == processId; });
    if (processId == interactivePid_) ReleaseInteractive();
    return 1;
}

// The followed worker's overlay has left the screen; it runs on as a pin, which blocks
// no capture. Any other process id is a stale or foreign claim.
LRESULT CMainDlg::OnOverlayGone(DWORD processId) {
    if (!interactiveRunning_ || processId == 0 || processId != interactivePid_) return 1;
    std::erase_if(pins_,
                  [](const Pin& p) { return ::WaitForSingleObject(p.process.Get(), 0) != WAIT_TIMEOUT; });
    // Held open, the id cannot pass to another process while the pin is remembered.
    win::UniqueHandle process(::OpenProcess(SYNCHRONIZE | PROCESS_TERMINATE, FALSE, processId));
    if (process) pins_.push_back({processId, std::move(process)});
    ReleaseInteractive();
    return 1;
}

void CMainDlg::ReleaseInteractive() {
    interactiveRunning_ = false;
    interactivePid_ = 0;
    if (shownWatch_.Active()) OnStandbyShown();
}

// Asks each pin this launcher started to close and ends those that have not within the
// wait. Pins of another launcher copy share the class but not a process id here.
void CMainDlg::ClosePins() {
    if (pins_.empty()) return;
    std::vector<DWORD> pids;
    for (const Pin& p : pins_) pids.push_back(p.processId);
    ::EnumWindows(&PostCloseToPin, reinterpret_cast<LPARAM>(&pids));
    const ULONGLONG deadline = ::GetTickCount64() + kPinCloseWaitMs;
    for (const Pin& p : pins_) {
        const ULONGLONG now = ::GetTickCount64();
        const DWORD left = now < deadline ? static_cast<DWORD>(deadline - now) : 0;
        if (::WaitForSingleObject(p.process.Get(), left) == WAIT_TIMEOUT)
            ::TerminateProcess(p.process.Get(), 1);
    }
    pins_.clear();
}

// A hotkey report waiting for the splash takes this balloon's place; the first-run
// hint then comes at the next start.
LRESULT CMainDlg::OnStartupDone() {
    ::SetTimer(hwnd(), TIMER_STANDBY_START, 0, nullptr);
    if (!hotkeyReport_.empty()) {
        ShowHotkeyReport();
    } else if (config_.showballon()) {
        mainIcon_.ShowBalloon(kFirstRunBalloonText);
        firstRunHintShown_ = true;
    }
    return 1;
}

void CMainDlg::ShowHotkeyReport() {
    mainIcon_.ShowBalloon(hotkeyReport_.c_str());
    firstRunHintShown_ = false;
    hotkeyReport_.clear();
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
            OpenDownloadAddress(UpdateInfo::Get().Read().downloadUrl);
            updateIcon_.Delete();
            break;
        case NIN_BALLOONTIMEOUT:
        case NIN_BALLOONHIDE: updateIcon_.Delete(); break;
    }
    return 1;
}

}  // namespace kestrow
