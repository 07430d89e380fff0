#pragma once
// The hidden window that receives workers' result messages and reacts with a toast
// or by opening the saved image in the paint program.
#include <windows.h>

#include <string>
#include <vector>

#include "common/win/handles.h"
#include "common/win/paint_program.h"
#include "common/win/window.h"
#include "launcher/paint_open_policy.h"
#include "launcher/result_reaction.h"
#include "launcher/toast_queue.h"

namespace kestrow {

class AppConfig;

class CIPCWnd : public win::Window {
public:
    // `config` gives "auto_open_screencapture"; `paintPrograms` are where the paint
    // program is looked for (win::PaintProgramPaths()).
    explicit CIPCWnd(AppConfig& config, std::vector<std::wstring> paintPrograms = win::PaintProgramPaths());

    // Creates the window (class "KestrowStudio.ScreenCapture", title
    // "KestrowStudio.ScreenCapture.IPC") hidden. Null on failure. `mainWindow` is told
    // of overlays that are gone (WM_OVERLAY_GONE).
    HWND CreateReceiver(HWND mainWindow = nullptr);

protected:
    LRESULT HandleMessage(UINT msg, WPARAM wp, LPARAM lp) override;

private:
    LRESULT OnCopyData(const COPYDATASTRUCT* record);
    void OnResultPending();
    void React(const ResultReaction& r);
    void PostPending();
    // Opens a saved file in the paint program when the file and the limits allow it.
    bool OpenInPaint(const std::wstring& path);

    AppConfig& config_;
    std::vector<std::wstring> paintPrograms_;
    PaintOpenLimiter paintLimiter_;
    // Paint programs started here, until seen to have ended.
    std::vector<win::UniqueHandle> painters_;
    PendingResults pending_;
    bool posted_ = false;
    HWND mainWindow_ = nullptr;
};

}  // namespace kestrow
