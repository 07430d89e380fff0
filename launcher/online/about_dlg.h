#pragma once
// The about dialog (template 100): "检查最新" checks for a newer version on a background
// thread while the dialog shows that it works; closing the dialog cancels that check.
// "用户反馈" opens the feedback page.
#include <windows.h>

#include <memory>
#include <string>

#include "common/win/dialog.h"
#include "launcher/online/win_http_client.h"

namespace kestrow {

class CAboutDlg : public win::Dialog {
public:
    // Runs the dialog modally, owned by `owner`; returns IDOK or IDCANCEL.
    INT_PTR Run(HWND owner);

    // Posted by the check thread: wParam = check succeeded, lParam = up to date.
    static constexpr UINT kCheckDoneMessage = WM_APP + 1;

protected:
    INT_PTR HandleMessage(UINT msg, WPARAM wp, LPARAM lp) override;
    void OnFinalMessage() override { AbandonCheck(); }

private:
    void AbandonCheck();
    void OnCommand(UINT id);
    void StartCheck();
    void OnCheckDone(bool ok, bool upToDate);
    void OpenFeedbackPage();
    void SetBusy(bool busy);

    bool busy_ = false;
    // The running check's, shared with its thread.
    std::shared_ptr<HttpCancel> cancel_;
};

// The texts the dialog's boxes show.
inline constexpr wchar_t kNewVersionText[] = L"当前版本不是最新版本，您可以点击【确认】前往官网下载!";
inline constexpr wchar_t kNewVersionCaption[] = L"Lumetto截屏取图";
inline constexpr wchar_t kUpToDateText[] = L"当前版本已经是最新版本了";

// Opens a download address with the shell, maximised, but only a well-formed http or
// https one (IsWebAddress): the address comes from the network and must not start a
// local program. Anything else is ignored, as a missing address is.
bool OpenDownloadAddress(const std::wstring& url);
// String resource 129, the title of the launcher's message boxes.
std::wstring AppTitle();
// Centres `hwnd` on its owner, or on the work area when it has none.
void CentreOnOwner(HWND hwnd);

}  // namespace kestrow
