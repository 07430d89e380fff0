#include "launcher/ipc_wnd.h"

#include <shlwapi.h>

#include "common/result_message.h"
#include "common/win/files.h"
#include "launcher/app_config.h"
#include "launcher/app_paths.h"
#include "launcher/launcher_ids.h"
#include "launcher/process_launcher.h"
#include "launcher/result_reaction.h"
#include "launcher/toast_wnd.h"

namespace kestrow {

CIPCWnd::CIPCWnd(AppConfig& config, std::wstring paintProgram)
    : config_(config),
      paintProgram_(paintProgram.empty() ? win::SystemPaintProgram() : std::move(paintProgram)) {}

HWND CIPCWnd::CreateReceiver() {
    if (!win::RegisterStandardClass(kResultWindowClass)) return nullptr;
    HWND hwnd = Create({.className = kResultWindowClass, .title = kResultWindowTitle});
    if (hwnd) ::ShowWindow(hwnd, SW_HIDE);
    return hwnd;
}

LRESULT CIPCWnd::HandleMessage(UINT msg, WPARAM wp, LPARAM lp) {
    switch (msg) {
        case WM_COPYDATA: return OnCopyData(reinterpret_cast<const COPYDATASTRUCT*>(lp));
        case WM_RESULT_PENDING: OnResultPending(); return 0;
    }
    return DefaultMessage(msg, wp, lp);
}

// The worker waits for this answer with its windows frozen, so only the record is
// checked and copied here (its memory is the sender's, valid during the call). The
// settings read, the file test and the paint program's start come afterwards.
LRESULT CIPCWnd::OnCopyData(const COPYDATASTRUCT* record) {
    if (!record) return FALSE;
    // Whether to open the file is decided later, when the reaction runs.
    ResultReaction r = ReactToResult(record->dwData, record->lpData, record->cbData, true);
    if (r.action == ResultAction::Ignore) return TRUE;
    pending_.Push(std::move(r));
    PostPending();
    return TRUE;
}

// One posted message at a time, one reaction each: results arriving meanwhile are
// answered between two reactions.
void CIPCWnd::PostPending() {
    if (!posted_ && !pending_.empty()) posted_ = ::PostMessageW(hwnd(), WM_RESULT_PENDING, 0, 0) != FALSE;
}

void CIPCWnd::OnResultPending() {
    posted_ = false;
    if (const auto r = pending_.Next()) React(*r);
    PostPending();
}

void CIPCWnd::React(const ResultReaction& r) {
    if (r.action == ResultAction::OpenOrToast && config_.auto_open_screencapture() && FileExists(r.path)) {
        OpenWithShell(paintProgram_, PaintParameters(r.path));
        return;
    }
    ShowToast(r.toast);
}

}  // namespace kestrow
