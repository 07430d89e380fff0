#include "launcher/online/about_dlg.h"

#include <shellapi.h>

#include <string>

#include "launcher/online/online_ids.h"
#include "launcher/online/online_rules.h"
#include "launcher/online/service_url.h"
#include "launcher/online/update_check_thread.h"
#include "launcher/online/update_info.h"

namespace kestrow {

std::wstring AppTitle() {
    const wchar_t* text = nullptr;
    const int chars =
        ::LoadStringW(::GetModuleHandleW(nullptr), IDS_APP_TITLE, reinterpret_cast<LPWSTR>(&text), 0);
    return chars > 0 ? std::wstring(text, size_t(chars)) : std::wstring(kNewVersionCaption);
}

bool OpenDownloadAddress(const std::wstring& url) {
    if (!IsWebAddress(url)) return false;
    const auto r = reinterpret_cast<INT_PTR>(
        ::ShellExecuteW(nullptr, L"open", url.c_str(), nullptr, nullptr, SW_SHOWMAXIMIZED));
    return r > 32;
}

void CentreOnOwner(HWND hwnd) {
    RECT area{};
    HWND owner = ::GetWindow(hwnd, GW_OWNER);
    if (!owner || !::IsWindowVisible(owner) || !::GetWindowRect(owner, &area)) {
        MONITORINFO mi{sizeof(mi)};
        if (!::GetMonitorInfoW(::MonitorFromWindow(hwnd, MONITOR_DEFAULTTOPRIMARY), &mi)) return;
        area = mi.rcWork;
    }
    RECT rc{};
    ::GetWindowRect(hwnd, &rc);
    const int x = area.left + (area.right - area.left - (rc.right - rc.left)) / 2;
    const int y = area.top + (area.bottom - area.top - (rc.bottom - rc.top)) / 2;
    ::SetWindowPos(hwnd, nullptr, x, y, 0, 0, SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
}

INT_PTR CAboutDlg::Run(HWND owner) { return RunModal(IDD_ABOUT, owner); }

INT_PTR CAboutDlg::HandleMessage(UINT msg, WPARAM wp, LPARAM lp) {
    switch (msg) {
        case WM_INITDIALOG: CentreOnOwner(hwnd()); return TRUE;
        case WM_COMMAND: OnCommand(LOWORD(wp)); return TRUE;
        case WM_SETCURSOR:
            if (!busy_) return FALSE;
            // Working, but the dialog can still be closed.
            ::SetCursor(::LoadCursorW(nullptr, IDC_APPSTARTING));
            return SetResult(TRUE);
        case kCheckDoneMessage: OnCheckDone(wp != 0, lp != 0); return TRUE;
    }
    return FALSE;
}

void CAboutDlg::OnCommand(UINT id) {
    switch (id) {
        case IDOK:
        case IDCANCEL:
            AbandonCheck();
            ::EndDialog(hwnd(), id);
            break;
        case IDC_ABOUT_CHECK_UPDATE:
            if (!busy_) StartCheck();
            break;
        case IDC_ABOUT_FEEDBACK:
            if (!busy_) OpenFeedbackPage();
            break;
    }
}

void CAboutDlg::SetBusy(bool busy) {
    busy_ = busy;
    for (int id : {IDC_ABOUT_CHECK_UPDATE, IDC_ABOUT_FEEDBACK})
        ::EnableWindow(::GetDlgItem(hwnd(), id), !busy);
    ::SetCursor(::LoadCursorW(nullptr, busy ? IDC_APPSTARTING : IDC_ARROW));
}

// A check without a network can take minutes: closing the dialog abandons it, and its
// thread ends without a word.
void CAboutDlg::AbandonCheck() {
    if (cancel_) cancel_->Cancel();
    cancel_.reset();
    busy_ = false;
}

void CAboutDlg::StartCheck() {
    SetBusy(true);
    // The request may take minutes without a network: the UI thread keeps answering
    // (tray, worker results) while the check runs on its own thread.
    cancel_ = std::make_shared<HttpCancel>();
    if (!CUpdateCheckThread::Launch(hwnd(), kCheckDoneMessage, true, cancel_)) OnCheckDone(false, true);
}

void CAboutDlg::OnCheckDone(bool ok, bool upToDate) {
    if (!busy_) return;  // an answer to a check already abandoned
    cancel_.reset();
    SetBusy(false);
    if (ok && !upToDate) {
        if (::MessageBoxW(hwnd(), kNewVersionText, kNewVersionCaption, MB_OK) == IDOK)
            OpenDownloadAddress(UpdateInfo::Get().Read().downloadUrl);
    } else {
        ::MessageBoxW(hwnd(), kUpToDateText, AppTitle().c_str(), MB_OK);
    }
}

void CAboutDlg::OpenFeedbackPage() {
    ::ShellExecuteW(nullptr, L"open", ServiceUrl(kFeedbackPagePath).c_str(), nullptr, nullptr,
                    SW_SHOWMAXIMIZED);
    ::ShowWindow(hwnd(), SW_MINIMIZE);
}

}  // namespace kestrow
