// The settings dialog and the splash window as built from KestrowCapture.exe's own
// resources, against real INI files, the prefix's Run key and real hotkeys.
#include <gtest/gtest.h>

#include <windows.h>

#include <commctrl.h>

#include <deque>
#include <functional>
#include <string>
#include <vector>

#include "common/win/com.h"
#include "launcher/app_config.h"
#include "launcher/hotkey_registration.h"
#include "launcher/launcher_ids.h"
#include "launcher/setting_dlg.h"
#include "launcher/startup_wnd.h"
#include "tests/win/test_support.h"

namespace kestrow {
namespace {

struct LauncherModule {
    LauncherModule()
        : h(::LoadLibraryExW(test::BuiltProgram(L"KestrowCapture.exe").c_str(), nullptr,
                             LOAD_LIBRARY_AS_IMAGE_RESOURCE)) {}
    ~LauncherModule() {
        if (h) ::FreeLibrary(h);
    }
    HMODULE h;
};

std::string ReadBytes(const std::wstring& path) {
    std::string bytes;
    win::UniqueFile f(
        ::CreateFileW(path.c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING, 0, nullptr));
    if (!f) return "<missing>";
    char buf[4096];
    DWORD n = 0;
    while (::ReadFile(f.Get(), buf, sizeof(buf), &n, nullptr) && n) bytes.append(buf, n);
    return bytes;
}

void WriteBytes(const std::wstring& path, const std::string& text) {
    win::UniqueFile f(::CreateFileW(path.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, 0, nullptr));
    ASSERT_TRUE(f);
    DWORD n = 0;
    ::WriteFile(f.Get(), text.data(), DWORD(text.size()), &n, nullptr);
}

std::wstring Value(const std::wstring& file, const wchar_t* key) {
    wchar_t buf[64] = {};
    ::GetPrivateProfileStringW(L"config", key, L"<none>", buf, 64, file.c_str());
    return buf;
}

std::wstring Text(HWND hwnd) {
    wchar_t buf[512] = {};
    ::GetWindowTextW(hwnd, buf, 512);
    return buf;
}

std::wstring ClassOf(HWND hwnd) {
    wchar_t buf[64] = {};
    ::GetClassNameW(hwnd, buf, 64);
    return buf;
}

// Steps run one after the other from a thread timer, so they run inside the dialog's
// own modal loop (and inside a message box's). A step returns false to be tried again
// at the next tick, e.g. while the window it needs isn't there yet.
std::deque<std::function<bool()>> g_steps;
CSettingDlg* g_dialog = nullptr;
int g_ticks = 0;

// Describes and closes the windows the dialog owns (a message box nobody answers).
BOOL CALLBACK CloseOwned(HWND hwnd, LPARAM lp) {
    if (::GetWindow(hwnd, GW_OWNER) != g_dialog->hwnd()) return TRUE;
    for (HWND c = ::GetWindow(hwnd, GW_CHILD); c; c = ::GetWindow(c, GW_HWNDNEXT))
        *reinterpret_cast<std::wstring*>(lp) += Text(c) + L" | ";
    ::PostMessageW(hwnd, WM_CLOSE, 0, 0);
    return TRUE;
}

void CALLBACK Tick(HWND, UINT, UINT_PTR, DWORD) {
    // Ten seconds on one step, or with the dialog still open after the last: give up
    // instead of hanging the run, and say what is on screen.
    if (++g_ticks > 300) {
        std::wstring owned;
        ::EnumThreadWindows(::GetCurrentThreadId(), CloseOwned, reinterpret_cast<LPARAM>(&owned));
        ADD_FAILURE() << g_steps.size()
                      << " step(s) left; the dialog's windows: " << testing::PrintToString(owned);
        g_steps.clear();
        g_ticks = 0;
        if (g_dialog && g_dialog->IsWindow()) ::EndDialog(g_dialog->hwnd(), 99);
        return;
    }
    if (g_steps.empty()) return;
    auto step = std::move(g_steps.front());
    g_steps.pop_front();
    if (!step())
        g_steps.push_front(std::move(step));
    else
        g_ticks = 0;
}

// The dialog once it shows (the steps start from a timer that may fire before).
HWND SettingsWindow() { return g_dialog && ::IsWindowVisible(g_dialog->hwnd()) ? g_dialog->hwnd() : nullptr; }

// Runs the settings dialog modally with `steps`; returns its result.
INT_PTR RunWithSteps(CSettingDlg& dlg, std::vector<std::function<bool()>> steps) {
    g_steps.assign(steps.begin(), steps.end());
    g_ticks = 0;
    g_dialog = &dlg;
    const UINT_PTR timer = ::SetTimer(nullptr, 0, 30, Tick);
    const INT_PTR result = dlg.Run(nullptr);
    ::KillTimer(nullptr, timer);
    EXPECT_TRUE(g_steps.empty()) << g_steps.size() << " step(s) not run";
    g_steps.clear();
    g_dialog = nullptr;
    return result;
}

// Waits for the dialog to show: posted to no window, the press would be lost.
std::function<bool()> Press(int id) {
    return [id] {
        HWND dialog = SettingsWindow();
        if (!dialog) return false;
        ::PostMessageW(dialog, WM_COMMAND, id, 0);
        return true;
    };
}

// The dialog's pages are the tab control's dialog children: hotkeys first, then general.
// The pages are the tab control's dialog children; each is known by one of its controls.
HWND PageWith(int id, const wchar_t* cls) {
    HWND tabs = ::GetDlgItem(SettingsWindow(), IDC_SETTING_TABS);
    for (HWND p = ::GetWindow(tabs, GW_CHILD); p; p = ::GetWindow(p, GW_HWNDNEXT))
        if (ClassOf(::GetDlgItem(p, id)) == cls) return p;
    return nullptr;
}
HWND HotkeysPage() { return PageWith(1002, L"msctls_hotkey32"); }
HWND GeneralPage() { return PageWith(IDC_SHOW_STARTUP_SCREEN, L"Button"); }
HWND Hotkey(int i) { return ::GetDlgItem(HotkeysPage(), kHotkeyControlIds[i]); }
HWND Box(int id) { return ::GetDlgItem(GeneralPage(), id); }
bool Checked(int id) { return ::SendMessageW(Box(id), BM_GETCHECK, 0, 0) == BST_CHECKED; }
void Check(int id, bool on) { ::SendMessageW(Box(id), BM_SETCHECK, on ? BST_CHECKED : 0, 0); }
WORD HotkeyValue(int i) { return WORD(::SendMessageW(Hotkey(i), HKM_GETHOTKEY, 0, 0)); }
void SetHotkeyValue(int i, WORD v) { ::SendMessageW(Hotkey(i), HKM_SETHOTKEY, v, 0); }

// A control's place in its parent's client area, against its template rectangle
// (origin and size converted apart, as the dialog manager does).
void ExpectPlaced(HWND control, int x, int y, int cx, int cy) {
    RECT want{x, y, cx, cy};
    ::MapDialogRect(::GetParent(control), &want);
    want.right += want.left;
    want.bottom += want.top;
    RECT got{};
    ::GetWindowRect(control, &got);
    ::MapWindowPoints(nullptr, ::GetParent(control), reinterpret_cast<POINT*>(&got), 2);
    EXPECT_EQ((Rect{got.left, got.top, got.right, got.bottom}),
              (Rect{want.left, want.top, want.right, want.bottom}))
        << testing::PrintToString(Text(control));
}

// The main window's stand-in: answers WM_HOTKEYS_CHANGED as the main dialog does and
// records what the settings file held at that moment.
struct MainStandIn {
    static inline AppConfig* config = nullptr;
    static inline std::vector<std::wstring> seen;  // the file's values per message
    static LRESULT CALLBACK Proc(HWND hwnd, UINT msg, WPARAM wp, LPARAM lp) {
        if (msg == WM_HOTKEYS_CHANGED) {
            std::wstring values;
            for (const wchar_t* key :
                 {L"auto_open_screencapture", L"showstartupscreen", L"hk_screencapture",
                  L"hk_screencapture_file", L"hk_screencapture_clipboard", L"hk_colorcapture"})
                values += Value(config->file(), key) + L" ";
            seen.push_back(values);
            UnregisterHotkeys(hwnd);
            RegisterHotkeys(hwnd, *config);
            return 1;
        }
        return ::DefWindowProcW(hwnd, msg, wp, lp);
    }
    explicit MainStandIn(AppConfig& c) {
        config = &c;
        seen.clear();
        WNDCLASSW wc{};
        wc.lpfnWndProc = Proc;
        wc.hInstance = ::GetModuleHandleW(nullptr);
        wc.lpszClassName = L"KestrowTestMain";
        ::RegisterClassW(&wc);
        hwnd = ::CreateWindowExW(0, L"KestrowTestMain", L"", 0, 0, 0, 0, 0, HWND_MESSAGE, nullptr,
                                 wc.hInstance, nullptr);
    }
    ~MainStandIn() {
        UnregisterHotkeys(hwnd);
        ::DestroyWindow(hwnd);
    }
    HWND hwnd;
};

// Keeps the prefix's Run value and puts it back afterwards.
class SettingsDialog : public ::testing::Test {
protected:
    void SetUp() override {
        ASSERT_TRUE(module_.h);
        wchar_t buf[1024];
        DWORD bytes = sizeof(buf);
        hadRun_ = ::RegGetValueW(HKEY_CURRENT_USER, kRunKeyPath, kRunValueName, RRF_RT_REG_SZ, nullptr, buf,
                                 &bytes) == ERROR_SUCCESS;
        if (hadRun_) savedRun_ = buf;
        exe_ = dir_.File(L"KestrowCapture.exe");
        WriteBytes(exe_, "MZ");
    }
    void TearDown() override {
        if (hadRun_)
            PutRun(savedRun_);
        else
            ::RegDeleteKeyValueW(HKEY_CURRENT_USER, kRunKeyPath, kRunValueName);
    }
    static void PutRun(const std::wstring& v) {
        ::RegSetKeyValueW(HKEY_CURRENT_USER, kRunKeyPath, kRunValueName, REG_SZ, v.c_str(),
                          DWORD((v.size() + 1) * 2));
    }
    static std::wstring Run(bool* present = nullptr) {
        wchar_t buf[1024] = {};
        DWORD bytes = sizeof(buf);
        const bool ok = ::RegGetValueW(HKEY_CURRENT_USER, kRunKeyPath, kRunValueName, RRF_RT_REG_SZ, nullptr,
                                       buf, &bytes) == ERROR_SUCCESS;
        if (present) *present = ok;
        return ok ? buf : L"<none>";
    }

    LauncherModule module_;
    test::TempDir dir_;
    std::wstring exe_;
    bool hadRun_ = false;
    std::wstring savedRun_;
};

TEST_F(SettingsDialog, ControlsTextsAndPlacesFromTheBuiltResources) {
    AppConfig config(dir_.File(L"appconfig.ini"));
    CSettingDlg dlg(config, exe_, nullptr, module_.h);
    const INT_PTR result = RunWithSteps(
        dlg, {[] {
                  HWND d = SettingsWindow();
                  if (!d) return false;
                  RECT rc{};
                  ::GetWindowRect(d, &rc);
                  EXPECT_EQ(rc.left, 0);  // at its template position, not centred
                  EXPECT_EQ(rc.top, 0);
                  HWND ok = ::GetDlgItem(d, IDOK), cancel = ::GetDlgItem(d, IDCANCEL);
                  HWND tabs = ::GetDlgItem(d, IDC_SETTING_TABS);
                  EXPECT_EQ(Text(ok), L"设置");
                  EXPECT_TRUE(::GetWindowLongW(ok, GWL_STYLE) & BS_DEFPUSHBUTTON);
                  EXPECT_EQ(Text(cancel), L"取消");
                  EXPECT_EQ(ClassOf(tabs), L"SysTabControl32");
                  ExpectPlaced(ok, 181, 203, 50, 14);
                  ExpectPlaced(cancel, 237, 203, 50, 14);
                  ExpectPlaced(tabs, 7, 7, 280, 193);
                  EXPECT_EQ(::SendMessageW(tabs, TCM_GETITEMCOUNT, 0, 0), 2);
                  for (int i = 0; i < 2; ++i) {
                      wchar_t text[32] = {};
                      TCITEMW item{TCIF_TEXT};
                      item.pszText = text;
                      item.cchTextMax = 32;
                      ::SendMessageW(tabs, TCM_GETITEMW, i, reinterpret_cast<LPARAM>(&item));
                      EXPECT_STREQ(text, i == 0 ? L"通用设置项" : L"快捷键设置项");
                  }
                  EXPECT_EQ(::SendMessageW(tabs, TCM_GETCURSEL, 0, 0), 0);

                  RECT client{};
                  ::GetClientRect(tabs, &client);
                  for (HWND page : {GeneralPage(), HotkeysPage()}) {
                      EXPECT_EQ(::GetParent(page), tabs);
                      RECT placed{};
                      ::GetWindowRect(page, &placed);
                      ::MapWindowPoints(nullptr, tabs, reinterpret_cast<POINT*>(&placed), 2);
                      const Rect want = PageRect({client.left, client.top, client.right, client.bottom});
                      EXPECT_EQ((Rect{placed.left, placed.top, placed.right, placed.bottom}), want);
                      EXPECT_FALSE(::GetWindowLongW(page, GWL_STYLE) & WS_BORDER);
                      // White pages and labels.
                      HDC dc = ::GetDC(page);
                      EXPECT_EQ(::SendMessageW(page, WM_CTLCOLORDLG, WPARAM(dc), LPARAM(page)),
                                LRESULT(::GetStockObject(WHITE_BRUSH)));
                      EXPECT_EQ(::SendMessageW(page, WM_CTLCOLORSTATIC, WPARAM(dc), LPARAM(page)),
                                LRESULT(::GetStockObject(WHITE_BRUSH)));
                      ::ReleaseDC(page, dc);
                  }
                  EXPECT_TRUE(::IsWindowVisible(GeneralPage()));
                  EXPECT_FALSE(::IsWindowVisible(HotkeysPage()));

                  struct Check {
                      int id;
                      const wchar_t* text;
                      int y, cx;
                  } boxes[] = {{1005, L"开机自动运行", 7, 98},
                               {1004, L"自动打开截屏后的文件", 25, 92},
                               {1007, L"显示启动画面", 44, 113}};
                  for (const auto& b : boxes) {
                      HWND h = Box(b.id);
                      EXPECT_EQ(Text(h), b.text);
                      EXPECT_EQ(::GetWindowLongW(h, GWL_STYLE) & BS_TYPEMASK, DWORD(BS_AUTOCHECKBOX));
                      ExpectPlaced(h, 7, b.y, b.cx, 10);
                  }
                  const int labelY[] = {7, 47, 79, 118}, controlY[] = {25, 62, 94, 132};
                  std::vector<HWND> labels;
                  for (HWND c = ::GetWindow(HotkeysPage(), GW_CHILD); c; c = ::GetWindow(c, GW_HWNDNEXT))
                      if (ClassOf(c) == L"Static") labels.push_back(c);
                  EXPECT_EQ(labels.size(), 4u);
                  for (size_t i = 0; i < 4 && i < labels.size(); ++i) {
                      EXPECT_EQ(Text(labels[i]), kHotkeyLabels[i]);
                      ExpectPlaced(labels[i], 7, labelY[i], 134, 8);
                      EXPECT_EQ(ClassOf(Hotkey(int(i))), L"msctls_hotkey32");
                      // The control draws its border as a client edge.
                      EXPECT_TRUE((::GetWindowLongW(Hotkey(int(i)), GWL_STYLE) & WS_BORDER) ||
                                  (::GetWindowLongW(Hotkey(int(i)), GWL_EXSTYLE) & WS_EX_CLIENTEDGE));
                      ExpectPlaced(Hotkey(int(i)), 7, controlY[i], 204, 14);
                  }
                  // The tab's selection change shows the other page.
                  ::SendMessageW(tabs, TCM_SETCURSEL, 1, 0);
                  NMHDR nm{tabs, UINT_PTR(IDC_SETTING_TABS), UINT(TCN_SELCHANGE)};
                  ::SendMessageW(d, WM_NOTIFY, IDC_SETTING_TABS, LPARAM(&nm));
                  EXPECT_FALSE(::IsWindowVisible(GeneralPage()));
                  EXPECT_TRUE(::IsWindowVisible(HotkeysPage()));
                  return true;
              },
              Press(IDCANCEL)});
    EXPECT_EQ(result, IDCANCEL);
}

TEST_F(SettingsDialog, LoadsEveryValueAndStoresGeneralPageFirst) {
    const std::wstring file = dir_.File(L"appconfig.ini");
    // Out-of-range and garbage hotkeys load without harm and go back as the control has them.
    WriteBytes(file,
               "[config]\r\nauto_open_screencapture=1\r\nshowstartupscreen=0\r\n"
               "hk_screencapture=-1\r\nhk_screencapture_file=garbage\r\n"
               "hk_screencapture_clipboard=19071060\r\nhk_colorcapture=393299\r\n");
    PutRun(exe_);
    AppConfig config(file);
    MainStandIn main(config);
    CSettingDlg dlg(config, exe_, main.hwnd, module_.h);
    const INT_PTR result = RunWithSteps(
        dlg, {[] {
                  if (!SettingsWindow()) return false;
                  EXPECT_TRUE(Checked(IDC_AUTO_OPEN));
                  EXPECT_TRUE(Checked(IDC_AUTORUN));
                  EXPECT_FALSE(Checked(IDC_SHOW_STARTUP_SCREEN));
                  EXPECT_EQ(HotkeyValue(0), 0xFFFF);
                  EXPECT_EQ(HotkeyValue(1), 0);
                  EXPECT_EQ(HotkeyValue(2), 0x2354);  // 0x1230054: what lies beyond a byte is dropped
                  EXPECT_EQ(HotkeyValue(3), (6 << 8) | 'S');
                  Check(IDC_AUTO_OPEN, false);
                  Check(IDC_AUTORUN, false);
                  Check(IDC_SHOW_STARTUP_SCREEN, true);
                  SetHotkeyValue(1, (3 << 8) | 'K');
                  return true;
              },
              Press(IDOK)});
    EXPECT_EQ(result, IDOK);
    // The hotkeys were told once, after the general values and all four hotkeys were stored.
    ASSERT_EQ(MainStandIn::seen.size(), 1u);
    const std::wstring shiftCtrlK = std::to_wstring((3 << 16) | 'K');
    EXPECT_EQ(MainStandIn::seen[0], L"0 1 16711935 " + shiftCtrlK + L" 2293844 393299 ");
    bool present = true;
    Run(&present);
    EXPECT_FALSE(present);
    EXPECT_EQ(Value(file, L"showballon"), L"<none>");  // not the dialog's
}

TEST_F(SettingsDialog, OkWithoutChangesRewritesEveryValueAndTheRunValue) {
    const std::wstring file = dir_.File(L"appconfig.ini");
    AppConfig config(file);
    MainStandIn main(config);
    {
        CSettingDlg dlg(config, exe_, main.hwnd, module_.h);
        EXPECT_EQ(RunWithSteps(dlg, {Press(IDOK)}), IDOK);
    }
    EXPECT_EQ(Value(file, L"auto_open_screencapture"), L"0");
    EXPECT_EQ(Value(file, L"showstartupscreen"), L"1");
    EXPECT_EQ(Value(file, L"hk_screencapture"), L"393290");
    EXPECT_EQ(Value(file, L"hk_screencapture_file"), L"113");
    EXPECT_EQ(Value(file, L"hk_screencapture_clipboard"), L"115");
    EXPECT_EQ(Value(file, L"hk_colorcapture"), L"393299");
    // A Run value of another copy reads as off, and OK deletes it again.
    const std::wstring other = dir_.File(L"other.exe");
    WriteBytes(other, "MZ");
    PutRun(other);
    {
        CSettingDlg dlg(config, exe_, main.hwnd, module_.h);
        EXPECT_EQ(RunWithSteps(dlg, {Press(IDOK)}), IDOK);
    }
    bool present = true;
    Run(&present);
    EXPECT_FALSE(present);
}

TEST_F(SettingsDialog, CancelAndCloseStoreNothing) {
    const std::wstring file = dir_.File(L"appconfig.ini");
    const std::string bytes = "[config]\r\nhk_screencapture=113\r\n; kept as is\r\nshowstartupscreen=1\r\n";
    WriteBytes(file, bytes);
    PutRun(L"C:\\somewhere\\else.exe");
    AppConfig config(file);
    MainStandIn main(config);
    for (UINT how : {UINT(IDCANCEL), UINT(WM_CLOSE)}) {
        CSettingDlg dlg(config, exe_, main.hwnd, module_.h);
        const INT_PTR result =
            RunWithSteps(dlg, {[] {
                                   if (!SettingsWindow()) return false;
                                   Check(IDC_AUTORUN, true);
                                   Check(IDC_SHOW_STARTUP_SCREEN, false);
                                   SetHotkeyValue(0, 0);
                                   return true;
                               },
                               [how] {
                                   if (how == WM_CLOSE)
                                       ::PostMessageW(SettingsWindow(), WM_CLOSE, 0, 0);
                                   else
                                       ::PostMessageW(SettingsWindow(), WM_COMMAND, IDCANCEL, 0);
                                   return true;
                               }});
        EXPECT_EQ(result, IDCANCEL);
    }
    EXPECT_EQ(ReadBytes(file), bytes);
    EXPECT_EQ(Run(), L"C:\\somewhere\\else.exe");
    EXPECT_TRUE(MainStandIn::seen.empty());
}

BOOL CALLBACK FindBox(HWND hwnd, LPARAM lp) {
    if (ClassOf(hwnd) == L"#32770" && ::IsWindowVisible(hwnd) &&
        ::GetWindow(hwnd, GW_OWNER) == g_dialog->hwnd()) {
        *reinterpret_cast<HWND*>(lp) = hwnd;
        return FALSE;
    }
    return TRUE;
}

// The message box the dialog shows on OK: its text, and it is answered.
std::function<bool()> AnswerBox(std::wstring* text) {
    return [text] {
        HWND box = nullptr;
        ::EnumThreadWindows(::GetCurrentThreadId(), FindBox, reinterpret_cast<LPARAM>(&box));
        if (!box) return false;
        for (HWND c = ::GetWindow(box, GW_CHILD); c; c = ::GetWindow(c, GW_HWNDNEXT))
            if (ClassOf(c) == L"Static" && !Text(c).empty()) *text = Text(c);
        ::PostMessageW(box, WM_COMMAND, IDOK, 0);
        return true;
    };
}

TEST_F(SettingsDialog, AnUnwritableFileStillClosesAndSaysSo) {
    AppConfig config(dir_.File(L"no such folder\\appconfig.ini"));
    MainStandIn main(config);
    CSettingDlg dlg(config, exe_, main.hwnd, module_.h);
    std::wstring said;
    const INT_PTR result = RunWithSteps(dlg, {[] {
                                                  if (!SettingsWindow()) return false;
                                                  Check(IDC_AUTO_OPEN, true);
                                                  return true;
                                              },
                                              Press(IDOK), AnswerBox(&said)});
    EXPECT_EQ(result, IDOK);
    EXPECT_EQ(said.find(L"设置无法写入配置文件"), 0u) << testing::PrintToString(said);
    EXPECT_FALSE(config.auto_open_screencapture());  // not stored, and not claimed to be
    EXPECT_EQ(said.find(L"快捷键无法使用"), std::wstring::npos);
}

TEST_F(SettingsDialog, TakenAndEqualHotkeysAreNamedInOneBox) {
    AppConfig config(dir_.File(L"appconfig.ini"));
    MainStandIn main(config);
    // Another holder of Ctrl+Alt+F9, as another program would be.
    HWND holder =
        ::CreateWindowExW(0, L"STATIC", L"", 0, 0, 0, 0, 0, HWND_MESSAGE, nullptr, nullptr, nullptr);
    ASSERT_TRUE(::RegisterHotKey(holder, 7, MOD_CONTROL | MOD_ALT, VK_F9));
    CSettingDlg dlg(config, exe_, main.hwnd, module_.h);
    std::wstring said;
    const INT_PTR result =
        RunWithSteps(dlg, {[] {
                               if (!SettingsWindow()) return false;
                               SetHotkeyValue(0, ((HOTKEYF_CONTROL | HOTKEYF_ALT) << 8) | VK_F9);
                               SetHotkeyValue(1, VK_F11);
                               SetHotkeyValue(2, VK_F11);
                               SetHotkeyValue(3, 0);
                               return true;
                           },
                           Press(IDOK), AnswerBox(&said)});
    ::UnregisterHotKey(holder, 7);
    ::DestroyWindow(holder);
    EXPECT_EQ(result, IDOK);
    // Stored as entered all the same.
    EXPECT_EQ(config.GetHotkey(1570), (kestrow::Hotkey{VK_F11, 0}));
    // The system's key names, as the hotkey control shows them ("Control" under Wine).
    const std::wstring ctrlAltF9 = HotkeyDisplayText({VK_F9, HOTKEYF_CONTROL | HOTKEYF_ALT});
    EXPECT_NE(said.find(L"“开始截屏快捷键”（" + ctrlAltF9 + L"）已被其他程序占用"), std::wstring::npos)
        << testing::PrintToString(said);
    EXPECT_NE(said.find(L"“截取整个屏幕到剪贴板快捷键”（F11）与“截取整个屏幕到文件快捷键”相同"),
              std::wstring::npos);
    EXPECT_EQ(said.find(L"截取整个屏幕到文件快捷键”（"), std::wstring::npos);  // registered fine
    EXPECT_EQ(said.find(L"开始取色"), std::wstring::npos);                     // none set
}

TEST(StartupWnd, ATopmostLayeredToolWindowCentredWithItsPicture) {
    LauncherModule module;
    ASSERT_TRUE(module.h);
    win::GdiplusSession gdiplus;
    CStartupWnd splash;
    HWND notify =
        ::CreateWindowExW(0, L"STATIC", L"", 0, 0, 0, 0, 0, HWND_MESSAGE, nullptr, nullptr, nullptr);
    ASSERT_TRUE(splash.Show(notify, module.h));
    HWND h = splash.hwnd();
    EXPECT_TRUE(splash.HasPicture());
    EXPECT_EQ(ClassOf(h), L"StartupWndClass");
    EXPECT_EQ(Text(h), L"StartupWndClass");
    EXPECT_TRUE(::IsWindowVisible(h));
    EXPECT_EQ(::GetWindowLongW(h, GWL_STYLE) & (WS_POPUP | WS_CHILD | WS_CAPTION), DWORD(WS_POPUP));
    const DWORD ex = ::GetWindowLongW(h, GWL_EXSTYLE);
    EXPECT_EQ(ex & (WS_EX_LAYERED | WS_EX_TOOLWINDOW | WS_EX_TOPMOST),
              DWORD(WS_EX_LAYERED | WS_EX_TOOLWINDOW | WS_EX_TOPMOST));
    BYTE alpha = 0;
    DWORD flags = 0;
    ASSERT_TRUE(::GetLayeredWindowAttributes(h, nullptr, &alpha, &flags));
    EXPECT_EQ(alpha, 255);
    EXPECT_TRUE(flags & LWA_ALPHA);
    MONITORINFO mi{sizeof(mi)};
    ::GetMonitorInfoW(::MonitorFromWindow(h, MONITOR_DEFAULTTONEAREST), &mi);
    RECT rc{};
    ::GetWindowRect(h, &rc);
    EXPECT_EQ(rc.right - rc.left, 450);
    EXPECT_EQ(rc.bottom - rc.top, 300);
    EXPECT_EQ(rc.left, mi.rcWork.left + (mi.rcWork.right - mi.rcWork.left - 450) / 2);
    EXPECT_EQ(rc.top, mi.rcWork.top + (mi.rcWork.bottom - mi.rcWork.top - 300) / 2);
    // The picture's light paper fills the middle of the splash on screen.
    ::UpdateWindow(h);
    win::WindowDC screen(nullptr);
    const COLORREF mid = ::GetPixel(screen.Get(), (rc.left + rc.right) / 2, (rc.top + rc.bottom) / 2);
    EXPECT_EQ(mid, RGB(240, 246, 255));
    splash.Destroy();
    ::DestroyWindow(notify);

    // Without its picture resource the splash still shows, painting nothing.
    CStartupWnd bare;
    ASSERT_TRUE(bare.Show(nullptr, ::GetModuleHandleW(nullptr)));
    EXPECT_FALSE(bare.HasPicture());
    EXPECT_TRUE(::IsWindowVisible(bare.hwnd()));
}

}  // namespace
}  // namespace kestrow
