#include "launcher/ipc_wnd.h"

#include <shlwapi.h>

#include "common/result_message.h"
#include "common/win/files.h"
#include "launcher/app_config.h"
#include "launcher/app_paths.h"
#include "launcher/launcher_ids.h"
#include "launcher/result_reaction.h"
#include "launcher/run_token.h"
#include "launcher/toast_wnd.h"

namespace kestrow {

namespace {

// Decided from the text first: a share's name is never looked up here on the UI thread,
// and a mapped network drive is told apart by its root alone.
bool OnLocalDrive(const std::wstring& path) {
    const wchar_t letter = DriveLetterOf(path);
    if (!letter) return false;
    const wchar_t root[] = {letter, L':', L'\\', L'\0'};
    switch (::GetDriveTypeW(root)) {
        case DRIVE_FIXED:
        case DRIVE_REMOVABLE:
        case DRIVE_CDROM:
        case DRIVE_RAMDISK: return true;
    }
    return false;
}

}  // namespace

CIPCWnd::CIPCWnd(AppConfig& config, std::vector<std::wstring> paintPrograms)
    : config_(config), paintPrograms_(std::move(paintPrograms)) {}

HWND CIPCWnd::CreateReceiver(HWND mainWindow) {
    mainWindow_ = mainWindow;
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
    // A post only: the worker waits for this answer before it lets its overlay go.
    if (r.action == ResultAction::OverlayGone) {
        PostFromThisRun(mainWindow_, WM_OVERLAY_GONE, r.processId);
        return TRUE;
    }
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

// Whatever keeps the paint program from starting, the toast still tells that the file
// was saved.
void CIPCWnd::React(const ResultReaction& r) {
    if (r.action == ResultAction::OpenOrToast && config_.auto_open_screencapture() && OpenInPaint(r.path))
        return;
    ShowToast(r.toast);
}

bool CIPCWnd::OpenInPaint(const std::wstring& path) {
    if (!OnLocalDrive(path) || !FileExists(path)) return false;
    std::erase_if(painters_, [](const win::UniqueHandle& p) {
        return ::WaitForSingleObject(p.Get(), 0) != WAIT_TIMEOUT;
    });
    const uint64_t now = ::GetTickCount64();
    if (!paintLimiter_.MayOpen(path, now, painters_.size())) return false;
    win::PaintStart start = win::OpenInPaint(path, paintPrograms_);
    if (!start.started) return false;
    paintLimiter_.Opened(path, now, bool(start.process));
    if (start.process) painters_.push_back(std::move(start.process));
    return true;
}

}  // namespace kestrow
