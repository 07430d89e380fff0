#include "launcher/online/feedback_dlg.h"

#include <utility>

#include "launcher/app_config.h"
#include "launcher/online/about_dlg.h"
#include "launcher/online/online_ids.h"
#include "launcher/online/online_rules.h"
#include "launcher/online/service_url.h"
#include "launcher/online/win_http_client.h"
#include "launcher/online/x_thread.h"

namespace kestrow {

namespace {

// Sends one GET and tells the dialog whether the service took it (wParam non-zero);
// deletes itself.
class CFeedbackSendThread : public CXThread {
public:
    CFeedbackSendThread(std::wstring url, HWND target, UINT message)
        : url_(std::move(url)), target_(target), message_(message) {}
    void Run() override {
        WinHttpClient client(url_);
        // An error page is an answer, but not one that took the feedback.
        const DWORD status = client.SendRequest(L"GET") ? client.GetStatusCode() : 0;
        ::PostMessageW(target_, message_, status >= 200 && status < 300, 0);
        delete this;
    }

private:
    std::wstring url_;
    HWND target_;
    UINT message_;
};

}  // namespace

CFeedbackDlg::~CFeedbackDlg() {
    if (loop_) loop_->RemoveFilter(this);
}

void CFeedbackDlg::ShowDialog() {
    if (!IsWindow()) {
        if (!CreateModeless(IDD_FEEDBACK, nullptr)) return;
        loop_ = win::MessageLoop::Current();
        if (loop_) loop_->AddFilter(this);
    }
    CentreOnOwner(hwnd());
    ::ShowWindow(hwnd(), SW_SHOW);
    ::SetForegroundWindow(hwnd());
}

bool CFeedbackDlg::PreTranslateMessage(MSG& msg) { return IsWindow() && ::IsDialogMessageW(hwnd(), &msg); }

void CFeedbackDlg::OnFinalMessage() {
    if (loop_) loop_->RemoveFilter(this);
    loop_ = nullptr;
    font_.Reset();
}

INT_PTR CFeedbackDlg::HandleMessage(UINT msg, WPARAM wp, LPARAM lp) {
    switch (msg) {
        case WM_INITDIALOG: OnInitDialog(); return TRUE;
        case WM_SHOWWINDOW:
            if (wp) ::SetDlgItemTextW(hwnd(), IDC_FEEDBACK_TEXT, L"");
            return FALSE;
        case WM_CLOSE:
            if (!busy_) ::ShowWindow(hwnd(), SW_HIDE);
            return TRUE;
        case WM_COMMAND:
            if (LOWORD(wp) == IDOK && !busy_) Submit();
            // Esc closes the dialog as its close box does.
            else if (LOWORD(wp) == IDCANCEL && !busy_)
                ::ShowWindow(hwnd(), SW_HIDE);
            return TRUE;
        case WM_SETCURSOR:
            if (!busy_) return FALSE;
            ::SetCursor(::LoadCursorW(nullptr, IDC_WAIT));
            return SetResult(TRUE);
        case kSentMessage: OnSent(wp != 0); return TRUE;
    }
    return FALSE;
}

void CFeedbackDlg::OnInitDialog() {
    font_.Reset(::CreateFontW(-14, 0, 0, 0, 100, 0, 0, 0, 0, 0, 0, 0, FF_SWISS, L"Tahoma"));
    HWND edit = ::GetDlgItem(hwnd(), IDC_FEEDBACK_TEXT);
    ::SendMessageW(edit, WM_SETFONT, reinterpret_cast<WPARAM>(font_.Get()), FALSE);
    ::SendMessageW(edit, EM_LIMITTEXT, kMaxChars, 0);
}

void CFeedbackDlg::Submit() {
    HWND edit = ::GetDlgItem(hwnd(), IDC_FEEDBACK_TEXT);
    std::wstring text(size_t(::GetWindowTextLengthW(edit)) + 1, L'\0');
    text.resize(size_t(::GetWindowTextW(edit, text.data(), int(text.size()))));
    if (text.empty()) {
        ::MessageBoxW(hwnd(), kEmptyFeedbackText, AppTitle().c_str(), MB_OK);
        return;
    }
    SetBusy(true);
    auto* send =
        new CFeedbackSendThread(FeedbackUrl(ServiceBase(AppConfig::Get()), text), hwnd(), kSentMessage);
    if (!send->Start()) {
        delete send;
        OnSent(false);
    }
}

void CFeedbackDlg::OnSent(bool delivered) {
    SetBusy(false);
    if (delivered) {
        ::ShowWindow(hwnd(), SW_HIDE);
        return;
    }
    // The text stays in the box so that "提交" can send it again.
    ::MessageBoxW(hwnd(), kFeedbackFailedText, AppTitle().c_str(), MB_OK);
}

void CFeedbackDlg::SetBusy(bool busy) {
    busy_ = busy;
    ::EnableWindow(::GetDlgItem(hwnd(), IDOK), !busy);
    ::SendDlgItemMessageW(hwnd(), IDC_FEEDBACK_TEXT, EM_SETREADONLY, busy, 0);
    ::SetCursor(::LoadCursorW(nullptr, busy ? IDC_WAIT : IDC_ARROW));
}

}  // namespace kestrow
