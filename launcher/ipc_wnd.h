#pragma once
// The hidden window that receives workers' result messages and reacts with a toast
// or by opening the saved image in the paint program.
#include <windows.h>

#include <string>

#include "common/win/window.h"
#include "launcher/result_reaction.h"
#include "launcher/toast_queue.h"

namespace kestrow {

class AppConfig;

class CIPCWnd : public win::Window {
public:
    // `config` gives "auto_open_screencapture"; `paintProgram` is what the shell starts
    // with a saved file's quoted path (the system's paint program when empty).
    explicit CIPCWnd(AppConfig& config, std::wstring paintProgram = {});

    // Creates the window (class "KestrowStudio.ScreenCapture", title
    // "KestrowStudio.ScreenCapture.IPC") hidden. Null on failure.
    HWND CreateReceiver();

protected:
    LRESULT HandleMessage(UINT msg, WPARAM wp, LPARAM lp) override;

private:
    LRESULT OnCopyData(const COPYDATASTRUCT* record);
    void OnResultPending();
    void React(const ResultReaction& r);
    void PostPending();

    AppConfig& config_;
    std::wstring paintProgram_;
    PendingResults pending_;
    bool posted_ = false;
};

}  // namespace kestrow
