#pragma once
// The hidden main dialog: owns the tray icon, the hotkeys, the result receiver, the
// splash and the update timer, and opens the settings dialog. It is created from
// template IDD_MAIN and never shown.
#include <windows.h>

#include <shellapi.h>

#include <memory>
#include <string>
#include <vector>

#include "common/win/dialog.h"
#include "common/win/handles.h"
#include "common/win/message_loop.h"
#include "launcher/ipc_wnd.h"
#include "launcher/launcher_tasks.h"
#include "launcher/standby_policy.h"
#include "launcher/standby_worker.h"
#include "launcher/online/process_monitor.h"
#include "launcher/tray_icon.h"
#include "launcher/startup_wnd.h"
#include "launcher/online/feedback_dlg.h"

namespace kestrow {

class AppConfig;
class CSettingDlg;

class CMainDlg : public win::Dialog, public win::MessageFilter, public win::IdleHandler {
public:
    // `notify` is the shell's tray icon call (tests observe it); `workerExe` the worker
    // to start, AppPaths' when empty.
    CMainDlg(win::MessageLoop& loop, AppConfig& config, ShellNotifyFn notify = &TracedShellNotify,
             std::wstring workerExe = {});

    // Creates the hidden dialog with the template, icon and menu of `resources` (the
    // program itself when null); its initialisation runs before this returns.
    HWND CreateMain(HMODULE resources = nullptr);

    bool PreTranslateMessage(MSG& msg) override;
    void OnIdle() override {}

    // Starts the worker with the task's parameter string and follows it as its kind
    // asks: an interactive task wakes the waiting worker when one is ready. An
    // interactive task while another one runs starts nothing. False when nothing started.
    bool StartTask(const WorkerTask& task);

protected:
    INT_PTR HandleMessage(UINT msg, WPARAM wp, LPARAM lp) override;

private:
    BOOL OnInitDialog();
    void OnDestroy();
    void OnTimer(UINT_PTR id);
    void OnHotkey(UINT id);
    LRESULT OnTrayNotify(UINT event);
    LRESULT OnUpdateBalloonNotify(UINT event);
    LRESULT OnStartupDone();
    LRESULT OnNewVersion();
    LRESULT OnHotkeysChanged();
    LRESULT OnFullScreenClipboardDone(DWORD exitCode);
    LRESULT OnInteractiveTaskDone(DWORD processId);
    LRESULT OnOverlayGone(DWORD processId);
    void ReleaseInteractive();
    void ClosePins();
    const std::wstring& WorkerExe() const;
    LRESULT OnTaskbarCreated();

    void LoadIcons();
    void ShowHotkeyReport();
    void OnCommand(UINT id);
    void ShowTrayMenu();
    void RunMenuCommand(UINT id);
    void ShowSettings();
    void Quit(int exitCode);
    bool Watch(win::UniqueHandle process, CProcessMonitor::Callback callback);
    bool StartFresh(const WorkerTask& task);
    void KeepStandby();
    void OnStandbyDeadline();
    LRESULT OnStandbyShown();

    win::MessageLoop& loop_;
    AppConfig& config_;
    HMODULE resources_ = nullptr;
    win::UniqueIcon largeIcon_;
    win::UniqueIcon smallIcon_;
    CTrayIcon mainIcon_;
    // Only while the update balloon is up.
    CTrayIcon updateIcon_;
    CIPCWnd ipc_;
    // Watches of clipboard and interactive workers; stopped when the dialog goes.
    std::vector<std::unique_ptr<CProcessMonitor>> watchers_;
    CStartupWnd splash_;
    // The settings dialog while it is open: a second "设置..." brings it to the front.
    CSettingDlg* settings_ = nullptr;
    // Hotkeys that could not be registered at start, told once by a balloon.
    std::wstring hotkeyReport_;
    // The last balloon of the main icon was the first-run hint, not the hotkey report.
    bool firstRunHintShown_ = false;
    CFeedbackDlg feedback_;
    // An overlay or colour picker is on screen: from its start until its process ends.
    bool interactiveRunning_ = false;
    // The process id of the interactive worker followed now (0: none or unknown).
    DWORD interactivePid_ = 0;
    // Workers whose overlay is gone and that live on as pinned pictures; "退出" closes them.
    struct Pin {
        DWORD processId;
        win::UniqueHandle process;
    };
    std::vector<Pin> pins_;
    std::wstring workerExe_;
    StandbyWorker standby_;
    StandbyPolicy standbyPolicy_;
    // The task handed to the waiting worker until its deadline.
    const WorkerTask* wakingTask_ = nullptr;
    // The woken worker, until its window is on screen.
    SignalWatch shownWatch_;
};

// The main dialog's handle while it exists (for dialogs that only post to it).
HWND MainWindow();
void SetMainWindow(HWND hwnd);

}  // namespace kestrow
