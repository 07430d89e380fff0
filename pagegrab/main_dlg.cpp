#include "pagegrab/main_dlg.h"

#include <commdlg.h>
#include <shellapi.h>
#include <shlwapi.h>

#include <iterator>

#include "common/dpi.h"
#include "common/win/files.h"
#include "common/win/monitor.h"
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
    // Enter anywhere on this thread starts a capture, whatever has the focus; not while
    // a page is being written, when it could only be a slip.
    if (msg.message == WM_KEYDOWN && msg.wParam == VK_RETURN) {
        if (!saving_) OnStart();
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
        case WM_DPICHANGED: OnDpiChanged(LOWORD(wp)); return FALSE;
        case WM_COMMAND: {
            const UINT id = LOWORD(wp), code = HIWORD(wp);
            if (id == IDOK || id == IDCANCEL)
                OnClose(int(id));
            else if (id == IDC_START && code == BN_CLICKED && saving_)
                stopSaving_ = true;
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
    SetEditFont(win::WindowDpi(hwnd()));
    SetStatus(text::kOpened);
    return TRUE;
}

// The template's own font grows with the DPI; the edit box's font must keep pace.
void CMainDlg::SetEditFont(int dpi) {
    win::Font font(::CreateFontW(Scale(kEditFontHeight, dpi), 0, 0, 0, 100, FALSE, FALSE, FALSE, 0,
                                 OUT_DEFAULT_PRECIS, CLIP_DEFAULT_PRECIS, DEFAULT_QUALITY, FF_SWISS,
                                 L"Tahoma"));
    ::SendDlgItemMessageW(hwnd(), IDC_ADDRESS, WM_SETFONT, reinterpret_cast<WPARAM>(font.Get()), FALSE);
    editFont_ = std::move(font);
}

// Moved to a monitor of another DPI: the system rescales the template's controls, the
// edit font is ours to redo.
void CMainDlg::OnDpiChanged(int dpi) {
    SetEditFont(dpi);
    ::InvalidateRect(::GetDlgItem(hwnd(), IDC_ADDRESS), nullptr, TRUE);
}

void CMainDlg::OnDestroy() {
    loop_.RemoveFilter(this);
    loop_.RemoveIdleHandler(this);
}

void CMainDlg::OnClose(int id) {
    if (saving_) {
        // The save's own loop is still on the stack: it ends first, then the dialog.
        stopSaving_ = true;
        closeAfterSave_ = id;
        return;
    }
    ::DestroyWindow(hwnd());
    ::PostQuitMessage(id);
}

void CMainDlg::OnToggleSettings() {
    const std::wstring label = ItemText(hwnd(), IDC_SETTINGS, 64);
    RECT rc;
    ::GetWindowRect(hwnd(), &rc);
    // The check box's distance from the edge grows with the dialog's scaling.
    RECT unit{0, 0, 4, 8};
    ::MapDialogRect(hwnd(), &unit);
    const int step = SettingsStep(unit.right);
    if (IsNarrowed(label)) {
        ::SetDlgItemTextW(hwnd(), IDC_SETTINGS, L"设置<<");
        rc.right += step;
    } else {
        ::SetDlgItemTextW(hwnd(), IDC_SETTINGS, L"设置>>");
        rc.right -= step;
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
    // A late frame error while the page is written changes nothing: the page is loaded.
    if (saving_) return;
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
    DWORD failure = 0;
    const std::wstring path = AskSavePath(failure);
    if (path.empty()) {
        SetStatus(failure ? SaveDialogFailedText(failure).c_str() : text::kCancelled);
        return;
    }
    // The page may have grown while it settled.
    view_->SetBrowserWidth(view_->GetPageWidth());
    view_->SetBrowserHeight(view_->GetPageHeight());
    saving_ = true;
    stopSaving_ = false;
    shownPercent_ = -1;
    ::SetDlgItemTextW(hwnd(), IDC_START, text::kStopSaving);
    EnableStart(true);
    const SaveResult result = view_->SaveAsBitmap(
        path, [this](int64_t done, int64_t total) { return OnSaveProgress(done, total); });
    saving_ = false;
    ::SetDlgItemTextW(hwnd(), IDC_START, text::kStart);
    if (closeAfterSave_) {
        OnClose(closeAfterSave_);
        return;
    }
    if (result != SaveResult::Saved) {
        SetStatus(SaveFailureText(result));
        return;
    }
    SetStatus(text::kSaved);
    if (::IsDlgButtonChecked(hwnd(), IDC_AUTO_OPEN) == BST_CHECKED) win::OpenInPaint(path);
}

// Between bands: show how far the save is and let the dialog answer (move, close, stop).
bool CMainDlg::OnSaveProgress(int64_t done, int64_t total) {
    const int percent = total > 0 ? int(done * 100 / total) : 100;
    if (percent != shownPercent_) {
        shownPercent_ = percent;
        SetStatus(SavingProgressText(done, total).c_str());
    }
    if (!loop_.PumpPending()) stopSaving_ = true;
    return !stopSaving_;
}

std::wstring CMainDlg::AskSavePath(DWORD& failure) {
    SYSTEMTIME t;
    ::GetSystemTime(&t);
    const std::wstring proposed = SaveFileName(t.wYear, t.wMonth, t.wDay, t.wHour, t.wMinute, t.wSecond);
    static const wchar_t kFilter[] = L"BMP图片(*.bmp)\0*.bmp\0PNG图片(*.png)\0*.png\0All Files (*.*)\0*.*\0";
    return win::AskSaveFileName(proposed, kFilter, L"bmp", win::kLongestPath, &failure);
}

void CMainDlg::SetStatus(const wchar_t* text) { ::SetDlgItemTextW(hwnd(), IDC_STATUS, text); }

void CMainDlg::EnableStart(bool enable) { ::EnableWindow(::GetDlgItem(hwnd(), IDC_START), enable); }

}  // namespace kestrow::pagegrab
