#include "launcher/setting_dlg.h"

#include <commctrl.h>

#include "launcher/app_config.h"
#include "launcher/hotkey_registration.h"
#include "launcher/launcher_ids.h"

namespace kestrow {

namespace {

constexpr wchar_t kTabGeneral[] = L"通用设置项";
constexpr wchar_t kTabHotkeys[] = L"快捷键设置项";
constexpr wchar_t kUnwritableText[] = L"设置无法写入配置文件，未能保存的设置仍是原来的值：\r\n";

// Pages and their labels sit on white, as the tab control's face does.
INT_PTR WhiteBackground() { return reinterpret_cast<INT_PTR>(::GetStockObject(WHITE_BRUSH)); }

bool IsChecked(HWND box) { return ::SendMessageW(box, BM_GETCHECK, 0, 0) == BST_CHECKED; }
void SetChecked(HWND box, bool on) { ::SendMessageW(box, BM_SETCHECK, on ? BST_CHECKED : BST_UNCHECKED, 0); }

}  // namespace

CCommonSettingDlg::CCommonSettingDlg(AppConfig& config, std::wstring exePath)
    : config_(config), exePath_(std::move(exePath)) {}

INT_PTR CCommonSettingDlg::HandleMessage(UINT msg, WPARAM wp, LPARAM lp) {
    switch (msg) {
        case WM_INITDIALOG: OnInitDialog(); return TRUE;
        case WM_CTLCOLORDLG:
        case WM_CTLCOLORSTATIC: return WhiteBackground();
    }
    return FALSE;
}

void CCommonSettingDlg::OnInitDialog() {
    autorun_ = ::GetDlgItem(hwnd(), IDC_AUTORUN);
    autoOpen_ = ::GetDlgItem(hwnd(), IDC_AUTO_OPEN);
    showStartupScreen_ = ::GetDlgItem(hwnd(), IDC_SHOW_STARTUP_SCREEN);
    SetChecked(autoOpen_, config_.auto_open_screencapture());
    SetChecked(autorun_, GetAutorun(exePath_));
    SetChecked(showStartupScreen_, config_.showstartupscreen());
}

bool CCommonSettingDlg::Apply() {
    bool stored = config_.set_auto_open_screencapture(IsChecked(autoOpen_));
    // Written (or deleted) every time, so a stale value left by another copy is mended.
    SetAutorun(exePath_, IsChecked(autorun_));
    stored = config_.set_showstartupscreen(IsChecked(showStartupScreen_)) && stored;
    return stored;
}

CHotkeysSettingDlg::CHotkeysSettingDlg(AppConfig& config, HWND mainWindow)
    : config_(config), mainWindow_(mainWindow) {}

INT_PTR CHotkeysSettingDlg::HandleMessage(UINT msg, WPARAM wp, LPARAM lp) {
    switch (msg) {
        case WM_INITDIALOG: OnInitDialog(); return TRUE;
        case WM_CTLCOLORDLG:
        case WM_CTLCOLORSTATIC: return WhiteBackground();
    }
    return FALSE;
}

void CHotkeysSettingDlg::OnInitDialog() {
    for (size_t i = 0; i < std::size(controls_); ++i) {
        controls_[i] = ::GetDlgItem(hwnd(), kHotkeyControlIds[i]);
        const Hotkey hk = config_.GetHotkey(kHotkeyKeys[i].hotkeyId);
        ::SendMessageW(controls_[i], HKM_SETHOTKEY, ToHotkeyControlValue(hk), 0);
    }
}

bool CHotkeysSettingDlg::Apply() {
    bool stored = true;
    for (size_t i = 0; i < std::size(controls_); ++i) {
        const auto value = static_cast<uint32_t>(::SendMessageW(controls_[i], HKM_GETHOTKEY, 0, 0));
        stored = config_.SetHotkey(kHotkeyKeys[i].hotkeyId, FromHotkeyControlValue(value)) && stored;
    }
    ::SendMessageW(mainWindow_, WM_HOTKEYS_CHANGED, 0, 0);
    return stored;
}

CSettingDlg::CSettingDlg(AppConfig& config, std::wstring exePath, HWND mainWindow, HMODULE resources)
    : config_(config),
      resources_(resources),
      hotkeysPage_(config, mainWindow),
      commonPage_(config, std::move(exePath)) {}

INT_PTR CSettingDlg::Run(HWND owner) { return RunModal(IDD_SETTINGS, owner, resources_); }

INT_PTR CSettingDlg::HandleMessage(UINT msg, WPARAM wp, LPARAM lp) {
    switch (msg) {
        case WM_INITDIALOG: return OnInitDialog();
        case WM_NOTIFY: return SetResult(OnNotify(*reinterpret_cast<const NMHDR*>(lp)));
        case WM_COMMAND:
            switch (LOWORD(wp)) {
                case IDOK: OnOK(); return TRUE;
                // Also the close button and Esc: nothing is stored.
                case IDCANCEL: ::EndDialog(hwnd(), IDCANCEL); return TRUE;
            }
            break;
    }
    return FALSE;
}

BOOL CSettingDlg::OnInitDialog() {
    tabs_ = ::GetDlgItem(hwnd(), IDC_SETTING_TABS);
    // Lets Tab move into the pages, which are the tab control's children.
    ::SetWindowLongW(tabs_, GWL_EXSTYLE, ::GetWindowLongW(tabs_, GWL_EXSTYLE) | WS_EX_CONTROLPARENT);
    TCITEMW item{};
    item.mask = TCIF_TEXT;
    item.pszText = const_cast<wchar_t*>(kTabGeneral);
    ::SendMessageW(tabs_, TCM_INSERTITEMW, 0, reinterpret_cast<LPARAM>(&item));
    item.pszText = const_cast<wchar_t*>(kTabHotkeys);
    ::SendMessageW(tabs_, TCM_INSERTITEMW, 1, reinterpret_cast<LPARAM>(&item));

    RECT client{};
    ::GetClientRect(tabs_, &client);
    const Rect page = PageRect({client.left, client.top, client.right, client.bottom});
    for (win::Dialog* p :
         {static_cast<win::Dialog*>(&hotkeysPage_), static_cast<win::Dialog*>(&commonPage_)}) {
        const int id = p == &hotkeysPage_ ? IDD_SETTING_HOTKEYS : IDD_SETTING_COMMON;
        if (HWND h = p->CreateModeless(id, tabs_, resources_))
            ::MoveWindow(h, page.left, page.top, page.Width(), page.Height(), FALSE);
    }
    ::SendMessageW(tabs_, TCM_SETCURSEL, 0, 0);
    ShowPage(0);
    return TRUE;
}

void CSettingDlg::ShowPage(int index) {
    ::ShowWindow(hotkeysPage_.hwnd(), SW_HIDE);
    ::ShowWindow(commonPage_.hwnd(), SW_HIDE);
    if (index == 0) ::ShowWindow(commonPage_.hwnd(), SW_SHOW);
    if (index == 1) ::ShowWindow(hotkeysPage_.hwnd(), SW_SHOW);
}

LRESULT CSettingDlg::OnNotify(const NMHDR& nm) {
    if (nm.idFrom == IDC_SETTING_TABS && nm.code == TCN_SELCHANGE)
        ShowPage(static_cast<int>(::SendMessageW(tabs_, TCM_GETCURSEL, 0, 0)));
    return 0;
}

void CSettingDlg::OnOK() {
    // The pages hold the values until both are stored; a file that can't be written
    // still closes the dialog, but the user learns that the old values stay.
    const bool generalStored = commonPage_.Apply();
    const bool hotkeysStored = hotkeysPage_.Apply();
    std::wstring message;
    if (!generalStored || !hotkeysStored) message = kUnwritableText + config_.file();
    const std::wstring taken = TakenHotkeysReport(LatestHotkeyRegistration());
    if (!taken.empty()) message += (message.empty() ? L"" : L"\r\n\r\n") + taken;
    if (!message.empty()) ::MessageBoxW(hwnd(), message.c_str(), kSettingsCaption, MB_ICONWARNING | MB_OK);
    ::EndDialog(hwnd(), IDOK);
}

}  // namespace kestrow
