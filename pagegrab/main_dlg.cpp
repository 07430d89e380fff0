#include "pagegrab/main_dlg.h"

#include <commdlg.h>
#include <shellapi.h>
#include <shlwapi.h>

#include <iterator>

#include "common/win/paint_program.h"
#include "common/win/save_dialog.h"
#include "pagegrab/res/resource.h"
#include "pagegrab/web_capture_logic.h"

namespace kestrow::pagegrab {

namespace {

void CenterOnWorkArea(HWND hwnd) {
    RECT rc, work;
    ::GetWindowRect(hwnd, &rc);
    MONITORINFO mi{sizeof(mi)};
    if (::GetMonitorInfoW(::MonitorFromWindow(hwnd, MONITOR_DEFAULTTOPRIMARY), &mi))
        work = mi.rcWork;
    else
        ::SystemParametersInfoW(SPI_GETWORKAREA, 0, &work, 0);
    const int w = rc.right - rc.left, h = rc.bottom - rc.top;
    ::SetWindowPos(hwnd, nullptr, work.left + (work.right - work.left - w) / 2,
                   work.top + (work.bottom - work.top - h) / 2, 0, 0,
                   SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
}

// The control's text, at most maxCount - 1 characters.
std::wstring ItemText(HWND dlg, int id, int maxCount) {
    std::wstring text(size_t(maxCount) + 1, L'\0');
    const int n = ::GetDlgItemTextW(dlg, id, text.data(), maxCount);
    text.resize(size_t(n > 0 ? n : 0));
    return text;
}

}  // namespace

CMainDlg::CMainDlg(win::MessageLoop& loop, std::unique_ptr<BrowserView> view)
    : loop_(loop), view_(std::move(view)) {}

HWND CMainDlg::CreateMain(HMODULE module) {
    module_ = module ? module : ::GetModuleHandleW(nullptr);
    return CreateModeless(IDD_WEBCAPTURE, nullptr, module_);
}

bool CMainDlg::PreTranslateMessage(MSG& msg) {
    if (!IsWindow()) return false;
    // Enter anywhere on this thread starts a capture, whatever has the focus.
    if (msg.message == WM_KEYDOWN && msg.wParam == VK_RETURN) {
        OnStart();
        return true;
    }
    return ::IsDialogMessageW(hwnd(), &msg) != FALSE;
}

INT_PTR CMainDlg::HandleMessage(UINT msg, WPARAM wp, LPARAM lp) {
    switch (msg) {
        case WM_INITDIALOG: return OnInitDialog();
        case WM_DESTROY: OnDestroy(); return FALSE;
        case WM_BROWSER_NOTIFY: OnBrowserNotify(lp); return TRUE;
        case WM_TIMER: OnTimer(wp); return TRUE;
        case WM_COMMAND: {
            const UINT id = LOWORD(wp), code = HIWORD(wp);
            if (id == IDOK || id == IDCANCEL)
                OnClose(int(id));
            else if (id == IDC_START && code == BN_CLICKED)
                OnStart();
            else if (id == IDC_SETTINGS && code == BN_CLICKED)
                OnToggleSettings();
            else
                return FALSE;
            return TRUE;
        }
    }
    return FALSE;
}

BOOL CMainDlg::OnInitDialog() {
    CenterOnWorkArea(hwnd());
    largeIcon_.Reset(
        static_cast<HICON>(::LoadImageW(module_, MAKEINTRESOURCEW(IDI_APP), IMAGE_ICON,
                                        ::GetSystemMetrics(SM_CXICON), ::GetSystemMetrics(SM_CYICON), 0)));
    smallIcon_.Reset(static_cast<HICON>(::LoadImageW(module_, MAKEINTRESOURCEW(IDI_APP), IMAGE_ICON,
                                                     ::GetSystemMetrics(SM_CXSMICON),
                                                     ::GetSystemMetrics(SM_CYSMICON), 0)));
    ::SendMessageW(hwnd(), WM_SETICON, ICON_BIG, reinterpret_cast<LPARAM>(largeIcon_.Get()));
    ::SendMessageW(hwnd(), WM_SETICON, ICON_SMALL, reinterpret_cast<LPARAM>(smallIcon_.Get()));
    loop_.AddFilter(this);
    loop_.AddIdleHandler(this);

    const RECT screen{0, 0, ::GetSystemMetrics(SM_CXSCREEN), ::GetSystemMetrics(SM_CYSCREEN)};
    if (view_) {
        view_->Create(hwnd(), screen, L"about:blank");
        view_->SetNotifyMessage(WM_BROWSER_NOTIFY);
    }

    OnToggleSettings();
    ::CheckDlgButton(hwnd(), IDC_AUTO_OPEN, BST_CHECKED);
    editFont_.Reset(::CreateFontW(-12, 0, 0, 0, 100, FALSE, FALSE, FALSE, 0, OUT_DEFAULT_PRECIS,
                                  CLIP_DEFAULT_PRECIS, DEFAULT_QUALITY, FF_SWISS, L"Tahoma"));
    ::SendDlgItemMessageW(hwnd(), IDC_ADDRESS, WM_SETFONT, reinterpret_cast<WPARAM>(editFont_.Get()), FALSE);
    SetStatus(text::kOpened);
    return TRUE;
}

void CMainDlg::OnDestroy() {
    loop_.RemoveFilter(this);
    loop_.RemoveIdleHandler(this);
}

void CMainDlg::OnClose(int id) {
    ::DestroyWindow(hwnd());
    ::PostQuitMessage(id);
}

void CMainDlg::OnToggleSettings() {
    const std::wstring label = ItemText(hwnd(), IDC_SETTINGS, 64);
    RECT rc;
    ::GetWindowRect(hwnd(), &rc);
    if (IsNarrowed(label)) {
        ::SetDlgItemTextW(hwnd(), IDC_SETTINGS, L"设置<<");
        rc.right += kSettingsStep;
    } else {
        ::SetDlgItemTextW(hwnd(), IDC_SETTINGS, L"设置>>");
        rc.right -= kSettingsStep;
    }
    ::SetWindowPos(hwnd(), nullptr, 0, 0, rc.right - rc.left, rc.bottom - rc.top, SWP_NOMOVE | SWP_NOZORDER);
}

void CMainDlg::OnStart() {
    const std::wstring typed = ItemText(hwnd(), IDC_ADDRESS, 510);
    if (typed.empty()) {
        ::MessageBoxW(hwnd(), text::kEmptyAddress, text::kCaption, MB_OK);
        return;
    }
    const std::wstring address =
        NormalizeAddress(typed, [](const std::wstring& p) { return ::PathFileExistsW(p.c_str()) != FALSE; });
    EnableStart(false);
    SetStatus(text::kRequesting);
    if (view_)
        view_->Navigate(address);
    else
        ::PostMessageW(hwnd(), WM_BROWSER_NOTIFY, 0, LOAD_NO_BROWSER);
}

void CMainDlg::OnBrowserNotify(LPARAM code) {
    if (code == LOAD_OK) {
        view_->SetBrowserWidth(view_->GetPageWidth());
        view_->SetBrowserHeight(view_->GetPageHeight());
        SetStatus(text::kLoaded);
        ::SetTimer(hwnd(), TIMER_SAVE_DELAY, kSaveDelayMs, nullptr);
        return;
    }
    SetStatus(code == LOAD_TIMEOUT      ? text::kTimeout
              : code == LOAD_NO_BROWSER ? text::kNoBrowser
                                        : text::kBadSite);
    EnableStart(true);
}

void CMainDlg::OnTimer(UINT_PTR id) {
    if (id == TIMER_SAVE_DELAY) {
        ::KillTimer(hwnd(), TIMER_SAVE_DELAY);
        SaveLoadedPage();
    }
    EnableStart(true);
}

void CMainDlg::SaveLoadedPage() {
    const std::wstring path = GetSavePath();
    if (path.empty()) {
        SetStatus(text::kCancelled);
        return;
    }
    // The page may have grown while it settled.
    view_->SetBrowserWidth(view_->GetPageWidth());
    view_->SetBrowserHeight(view_->GetPageHeight());
    int shownPercent = -1;
    const SaveResult result = view_->SaveAsBitmap(path, [&](int64_t done, int64_t total) {
        const int percent = total > 0 ? int(done * 100 / total) : 100;
        if (percent == shownPercent) return;
        shownPercent = percent;
        SetStatus(SavingProgressText(done, total).c_str());
        ::UpdateWindow(::GetDlgItem(hwnd(), IDC_STATUS));
    });
    if (result != SaveResult::Saved) {
        SetStatus(SaveFailureText(result));
        return;
    }
    SetStatus(text::kSaved);
    if (::IsDlgButtonChecked(hwnd(), IDC_AUTO_OPEN) == BST_CHECKED) win::OpenInPaint(path);
}

std::wstring CMainDlg::GetSavePath() {
    SYSTEMTIME t;
    ::GetSystemTime(&t);
    const std::wstring proposed = SaveFileName(t.wYear, t.wMonth, t.wDay, t.wHour, t.wMinute, t.wSecond);
    static const wchar_t kFilter[] = L"BMP图片(*.bmp)\0*.bmp\0PNG图片(*.png)\0*.png\0All Files (*.*)\0*.*\0";
    return win::AskSaveFileName(proposed, kFilter, L"bmp", win::kLongestPath);
}

void CMainDlg::SetStatus(const wchar_t* text) { ::SetDlgItemTextW(hwnd(), IDC_STATUS, text); }

void CMainDlg::EnableStart(bool enable) { ::EnableWindow(::GetDlgItem(hwnd(), IDC_START), enable); }

}  // namespace kestrow::pagegrab
