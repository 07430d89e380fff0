#pragma once
// The hidden main dialog: owns the tray icon, the hotkeys, the result receiver and
// the update timer. It is created from template 129 and never shown.
#include <windows.h>

#include <shellapi.h>

#include <string>

#include "common/win/dialog.h"
#include "common/win/handles.h"
#include "common/win/message_loop.h"
#include "launcher/ipc_wnd.h"
#include "launcher/launcher_tasks.h"
#include "launcher/online/feedback_dlg.h"

namespace kestrow {

class AppConfig;

class CMainDlg : public win::Dialog, public win::MessageFilter, public win::IdleHandler {
public:
    CMainDlg(win::MessageLoop& loop, AppConfig& config);

    // Creates the hidden dialog; its initialisation runs before this returns.
    HWND CreateMain();

    bool PreTranslateMessage(MSG& msg) override;
    void OnIdle() override {}

    // Starts the worker with the task's parameter string; a watched task posts
    // WM_FULLSCREEN_CLIPBOARD_DONE here when its process ends. False when nothing started.
    bool StartTask(const WorkerTask& task);

protected:
    INT_PTR HandleMessage(UINT msg, WPARAM wp, LPARAM lp) override;

private:
    BOOL OnInitDialog();
    void OnDestroy();
    void OnTimer(UINT_PTR id);
    void OnCommand(UINT id);
    void OnHotkey(UINT id);
    LRESULT OnTrayNotify(UINT event);
    LRESULT OnUpdateBalloonNotify(UINT event);
    LRESULT OnStartupDone();
    LRESULT OnNewVersion();
    LRESULT OnHotkeysChanged();
    LRESULT OnFullScreenClipboardDone();

    void LoadIcons();
    void ShowTrayMenu();
    void RunMenuCommand(UINT id);
    void RegisterHotkeys();
    void UnregisterHotkeys();
    void Quit(int exitCode);

    win::MessageLoop& loop_;
    AppConfig& config_;
    win::UniqueIcon largeIcon_;
    win::UniqueIcon smallIcon_;
    NOTIFYICONDATAW trayData_{};
    CIPCWnd ipc_;
    CFeedbackDlg feedback_;
};

// The main dialog's handle while it exists (for dialogs that only post to it).
HWND MainWindow();
void SetMainWindow(HWND hwnd);

}  // namespace kestrow
