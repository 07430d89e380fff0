#pragma once
// The settings dialog: a tab control with the general page and the hotkeys page.
// Values are loaded when the pages are created and stored on OK, general page first.
#include <windows.h>

#include <string>

#include "common/win/dialog.h"
#include "launcher/res/resource.h"

namespace kestrow {

// The four hotkey controls of the hotkeys page, in the order of kHotkeyKeys.
inline constexpr int kHotkeyControlIds[] = {IDC_HK_SCREENCAPTURE, IDC_HK_SCREENCAPTURE_FILE,
                                            IDC_HK_SCREENCAPTURE_CLIPBOARD, IDC_HK_COLORCAPTURE};

class AppConfig;

inline constexpr wchar_t kSettingsCaption[] = L"Lumetto截屏取图-设置";

// Autorun, "auto_open_screencapture" and "showstartupscreen".
class CCommonSettingDlg : public win::Dialog {
public:
    CCommonSettingDlg(AppConfig& config, std::wstring exePath);
    // Stores the three values; false when the settings file could not be written.
    bool Apply();

protected:
    INT_PTR HandleMessage(UINT msg, WPARAM wp, LPARAM lp) override;

private:
    void OnInitDialog();

    AppConfig& config_;
    std::wstring exePath_;
    HWND autorun_ = nullptr;
    HWND autoOpen_ = nullptr;
    HWND showStartupScreen_ = nullptr;
};

// The four hotkeys; storing them sends WM_HOTKEYS_CHANGED to the main window.
class CHotkeysSettingDlg : public win::Dialog {
public:
    CHotkeysSettingDlg(AppConfig& config, HWND mainWindow);
    // Stores the four values, then has the main window register them again (the
    // message is sent, so that has happened on return). False when the file could
    // not be written.
    bool Apply();

protected:
    INT_PTR HandleMessage(UINT msg, WPARAM wp, LPARAM lp) override;

private:
    void OnInitDialog();

    AppConfig& config_;
    HWND mainWindow_;
    HWND controls_[4] = {};
};

class CSettingDlg : public win::Dialog {
public:
    // `mainWindow` gets WM_HOTKEYS_CHANGED; `resources` holds the templates (this
    // program when null).
    CSettingDlg(AppConfig& config, std::wstring exePath, HWND mainWindow, HMODULE resources = nullptr);
    // Runs modally; 1 after OK, 2 after Cancel.
    INT_PTR Run(HWND owner);

protected:
    INT_PTR HandleMessage(UINT msg, WPARAM wp, LPARAM lp) override;

private:
    BOOL OnInitDialog();
    LRESULT OnNotify(const NMHDR& nm);
    void OnOK();
    void ShowPage(int index);

    AppConfig& config_;
    HMODULE resources_;
    HWND tabs_ = nullptr;
    CHotkeysSettingDlg hotkeysPage_;
    CCommonSettingDlg commonPage_;
};

}  // namespace kestrow
