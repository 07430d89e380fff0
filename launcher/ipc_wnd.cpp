#include "launcher/ipc_wnd.h"

#include <shlwapi.h>

#include "common/result_message.h"
#include "launcher/app_config.h"
#include "launcher/app_paths.h"
#include "launcher/process_launcher.h"
#include "launcher/result_reaction.h"
#include "launcher/toast_wnd.h"

namespace kestrow {

CIPCWnd::CIPCWnd(AppConfig& config, std::wstring paintProgram)
    : config_(config),
      paintProgram_(paintProgram.empty() ? SystemPaintProgram() : std::move(paintProgram)) {}

HWND CIPCWnd::CreateReceiver() {
    if (!win::RegisterStandardClass(kResultWindowClass)) return nullptr;
    HWND hwnd = Create({.className = kResultWindowClass, .title = kResultWindowTitle});
    if (hwnd) ::ShowWindow(hwnd, SW_HIDE);
    return hwnd;
}

LRESULT CIPCWnd::HandleMessage(UINT msg, WPARAM wp, LPARAM lp) {
    switch (msg) {
        case WM_COPYDATA: return OnCopyData(reinterpret_cast<const COPYDATASTRUCT*>(lp));
    }
    return DefaultMessage(msg, wp, lp);
}

LRESULT CIPCWnd::OnCopyData(const COPYDATASTRUCT* record) {
    if (!record) return FALSE;
    // The setting is read only for the codes that can open a file.
    const bool autoOpen = ResultCarriesPath(record->dwData) && config_.auto_open_screencapture();
    const ResultReaction r =
        ReactToResult(record->dwData, record->lpData, record->cbData, autoOpen);
    switch (r.action) {
        case ResultAction::Ignore: break;
        case ResultAction::OpenOrToast:
            if (FileExists(r.path)) {
                OpenWithShell(paintProgram_, PaintParameters(r.path));
                break;
            }
            ShowToast(r.toast);
            break;
        case ResultAction::Toast: ShowToast(r.toast); break;
    }
    return TRUE;
}

}  // namespace kestrow
