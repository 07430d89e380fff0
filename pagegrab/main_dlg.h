#pragma once
// The web capture dialog: takes an address, has the hidden browser load it, asks for
// a file name and saves the whole page.
#include <windows.h>

#include <memory>
#include <string>

#include "common/win/dialog.h"
#include "common/win/gdi.h"
#include "common/win/handles.h"
#include "common/win/message_loop.h"
#include "pagegrab/browser_view.h"

namespace kestrow::pagegrab {

constexpr UINT_PTR TIMER_SAVE_DELAY = 100;
constexpr UINT kSaveDelayMs = 2000;
constexpr int kSettingsStep = 142;    // pixels at 96 DPI the settings button widens or narrows by
constexpr int kEditFontHeight = -12;  // at 96 DPI

class CMainDlg : public win::Dialog, public win::MessageFilter, public win::IdleHandler {
public:
    CMainDlg(win::MessageLoop& loop, std::unique_ptr<BrowserView> view);

    // Creates the hidden modeless dialog 129 of `module` (the program when null).
    HWND CreateMain(HMODULE module = nullptr);

    bool PreTranslateMessage(MSG& msg) override;
    void OnIdle() override {}

protected:
    INT_PTR HandleMessage(UINT msg, WPARAM wp, LPARAM lp) override;
    // The path chosen in the save dialog; empty when cancelled or when the dialog
    // failed, `failure` then holding its error code (0 for a cancel).
    virtual std::wstring AskSavePath(DWORD& failure);

private:
    BOOL OnInitDialog();
    void OnDestroy();
    void OnClose(int id);
    void OnBrowserNotify(LPARAM code);
    void OnStart();
    void OnTimer(UINT_PTR id);
    void OnToggleSettings();

    void OnDpiChanged(int dpi);

    void SaveLoadedPage();
    bool OnSaveProgress(int64_t done, int64_t total);
    void SetEditFont(int dpi);
    void SetStatus(const wchar_t* text);
    void EnableStart(bool enable);

    win::MessageLoop& loop_;
    std::unique_ptr<BrowserView> view_;
    HMODULE module_ = nullptr;
    win::Font editFont_;
    win::UniqueIcon largeIcon_;
    win::UniqueIcon smallIcon_;
    // While a page is written the start button stops the save, and closing the dialog
    // waits for the save to end.
    bool saving_ = false;
    bool stopSaving_ = false;
    int closeAfterSave_ = 0;
    int shownPercent_ = -1;
};

}  // namespace kestrow::pagegrab
