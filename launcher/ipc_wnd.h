#pragma once
// The hidden window that receives workers' result messages and reacts with a toast
// or by opening the saved image in the paint program.
#include <windows.h>

#include <deque>
#include <string>

#include "common/win/window.h"
#include "launcher/result_reaction.h"

namespace kestrow {

class AppConfig;

// Results waiting for their reaction; past this a flood loses its oldest.
inline constexpr size_t kMaxPendingResults = 64;

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
    // Results answered but not yet reacted to, oldest first.
    std::deque<ResultReaction> pending_;
    bool posted_ = false;
};

}  // namespace kestrow
