#pragma once
// The feedback dialog (template 205): modeless, created once without parent, then only
// hidden and shown. "提交" sends the text on a background thread and hides the dialog
// once the service has taken it; on failure the text stays for another try.
#include <windows.h>

#include <string>

#include "common/win/dialog.h"
#include "common/win/gdi.h"
#include "common/win/message_loop.h"

namespace kestrow {

class CFeedbackDlg : public win::Dialog, public win::MessageFilter {
public:
    CFeedbackDlg() = default;
    ~CFeedbackDlg() override;

    // Creates the dialog on first use, centres and shows it.
    void ShowDialog();
    bool PreTranslateMessage(MSG& msg) override;

    static constexpr UINT kSentMessage = WM_APP + 2;
    static constexpr int kMaxChars = 1024;

protected:
    INT_PTR HandleMessage(UINT msg, WPARAM wp, LPARAM lp) override;
    void OnFinalMessage() override;

private:
    void OnInitDialog();
    void Submit();
    void OnSent(bool delivered);
    void SetBusy(bool busy);

    win::Font font_;
    win::MessageLoop* loop_ = nullptr;
    bool busy_ = false;
};

inline constexpr wchar_t kEmptyFeedbackText[] = L"请输入文本以后再提交";
inline constexpr wchar_t kFeedbackFailedText[] = L"反馈发送失败，请检查网络后重试。";

}  // namespace kestrow
