// The web capture dialog from pagegrab.exe's own template, driven in-process with the
// stand-in browser: layout, statuses, the start button and the Enter key.
#include <windows.h>

#include <gtest/gtest.h>

#include <algorithm>
#include <functional>
#include <sstream>

#include "pagegrab/main_dlg.h"
#include "pagegrab/res/resource.h"
#include "tests/tools/standin_view.h"
#include "tests/win/test_support.h"

namespace kestrow::pagegrab {
namespace {

std::wstring Text(HWND w) {
    wchar_t buf[1024] = {};
    ::GetWindowTextW(w, buf, 1024);
    return buf;
}

// The dialog with the save dialog's answer scripted by the test.
class ScriptedDialog : public CMainDlg {
public:
    using CMainDlg::CMainDlg;
    std::function<std::wstring(DWORD& failure)> ask;
    std::function<void()> whileSaving;  // run from a message posted by `ask`

protected:
    std::wstring AskSavePath(DWORD& failure) override { return ask(failure); }
    INT_PTR HandleMessage(UINT msg, WPARAM wp, LPARAM lp) override {
        if (msg == WM_APP && whileSaving) {
            whileSaving();
            return TRUE;
        }
        return CMainDlg::HandleMessage(msg, wp, lp);
    }
};

class PageGrabDialog : public ::testing::Test {
protected:
    void SetUp() override {
        module_ =
            ::LoadLibraryExW(test::BuiltProgram(L"pagegrab.exe").c_str(), nullptr, LOAD_LIBRARY_AS_DATAFILE);
        ASSERT_TRUE(module_);
        auto view = std::make_unique<testtools::StandinView>(log_, 300);
        view_ = view.get();
        dlg_ = std::make_unique<ScriptedDialog>(loop_, std::move(view));
        ASSERT_TRUE(dlg_->CreateMain(module_));
    }
    void TearDown() override {
        dlg_.reset();
        if (module_) ::FreeLibrary(module_);
        MSG m;
        while (::PeekMessageW(&m, nullptr, 0, 0, PM_REMOVE)) {}
    }

    HWND Item(int id) const { return ::GetDlgItem(dlg_->hwnd(), id); }
    std::wstring Status() const { return Text(Item(IDC_STATUS)); }

    // Runs the thread's messages until `done` holds (or 5 s pass).
    template <class Pred>
    bool PumpUntil(Pred done) {
        const DWORD end = ::GetTickCount() + 5000;
        while (!done()) {
            if (int(::GetTickCount() - end) > 0) return false;
            MSG m;
            while (::PeekMessageW(&m, nullptr, 0, 0, PM_REMOVE)) {
                if (m.message == WM_QUIT) quitCode_ = int(m.wParam);
                ::TranslateMessage(&m);
                ::DispatchMessageW(&m);
            }
            ::MsgWaitForMultipleObjects(0, nullptr, FALSE, 20, QS_ALLINPUT);
        }
        return true;
    }
    int quitCode_ = -1;  // the exit code of a WM_QUIT that PumpUntil met

    void Start(const std::wstring& address) {
        ::SetWindowTextW(Item(IDC_ADDRESS), address.c_str());
        ::SendMessageW(dlg_->hwnd(), WM_COMMAND, MAKEWPARAM(IDC_START, BN_CLICKED),
                       reinterpret_cast<LPARAM>(Item(IDC_START)));
    }

    std::vector<std::string> Navigations() const {
        std::string bytes;
        HANDLE f = ::CreateFileW(log_.c_str(), GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr,
                                 OPEN_EXISTING, 0, nullptr);
        if (f != INVALID_HANDLE_VALUE) {
            bytes.resize(::GetFileSize(f, nullptr));
            DWORD got = 0;
            ::ReadFile(f, bytes.data(), DWORD(bytes.size()), &got, nullptr);
            ::CloseHandle(f);
        }
        std::istringstream in(bytes);
        std::vector<std::string> lines;
        for (std::string l; std::getline(in, l);) lines.push_back(l);
        return lines;
    }

    test::TempDir dir_;
    std::wstring log_ = dir_.File(L"navigate.log");
    HMODULE module_ = nullptr;
    win::MessageLoop loop_;
    testtools::StandinView* view_ = nullptr;
    std::unique_ptr<ScriptedDialog> dlg_;
};

// Also run on a 144 DPI screen (tests/e2e), where the template, the edit font and the
// narrowing step all scale.
TEST_F(PageGrabDialog, OpensNarrowedWithItsControlsAndAHiddenBlankView) {
    const int dpi = ::GetDeviceCaps(win::WindowDC(nullptr).Get(), LOGPIXELSX);
    RecordProperty("dpi", dpi);
    EXPECT_EQ(Text(dlg_->hwnd()), L"网页截屏");
    EXPECT_FALSE(::IsWindowVisible(dlg_->hwnd()));  // the program shows it
    EXPECT_EQ(Status(), text::kOpened);
    EXPECT_EQ(Text(Item(IDC_START)), L"开始网页截图");
    EXPECT_EQ(::IsDlgButtonChecked(dlg_->hwnd(), IDC_AUTO_OPEN), BST_CHECKED);
    EXPECT_TRUE(::SendMessageW(dlg_->hwnd(), WM_GETICON, ICON_BIG, 0));
    EXPECT_TRUE(::SendMessageW(dlg_->hwnd(), WM_GETICON, ICON_SMALL, 0));

    LOGFONTW lf{};
    ::GetObjectW(reinterpret_cast<HFONT>(::SendMessageW(Item(IDC_ADDRESS), WM_GETFONT, 0, 0)), sizeof(lf),
                 &lf);
    EXPECT_EQ(lf.lfHeight, MulDiv(-12, dpi, 96));
    EXPECT_EQ(lf.lfWeight, 100);
    EXPECT_EQ(lf.lfPitchAndFamily, FF_SWISS);
    EXPECT_STREQ(lf.lfFaceName, L"Tahoma");

    ASSERT_TRUE(view_->hwnd());
    EXPECT_EQ(::GetParent(view_->hwnd()), dlg_->hwnd());
    EXPECT_EQ(Text(view_->hwnd()), L"about:blank");
    EXPECT_FALSE(::IsWindowVisible(view_->hwnd()));
    RECT r;
    ::GetWindowRect(view_->hwnd(), &r);
    EXPECT_EQ(r.right - r.left, ::GetSystemMetrics(SM_CXSCREEN));
    EXPECT_EQ(r.bottom - r.top, ::GetSystemMetrics(SM_CYSCREEN));

    // Narrowed: the settings button offers to widen, the check box lies wholly beyond the edge.
    EXPECT_EQ(Text(Item(IDC_SETTINGS)), L"设置>>");
    RECT narrow, box;
    ::GetWindowRect(dlg_->hwnd(), &narrow);
    ::GetWindowRect(Item(IDC_AUTO_OPEN), &box);
    EXPECT_GE(box.left, narrow.right);
    ::SendMessageW(dlg_->hwnd(), WM_COMMAND, MAKEWPARAM(IDC_SETTINGS, BN_CLICKED), 0);
    RECT wide;
    ::GetWindowRect(dlg_->hwnd(), &wide);
    EXPECT_EQ(Text(Item(IDC_SETTINGS)), L"设置<<");
    EXPECT_GE(wide.right, box.right);  // and wholly within the widened one
    EXPECT_EQ(wide.left, narrow.left);
    EXPECT_EQ(wide.bottom - wide.top, narrow.bottom - narrow.top);
    ::SendMessageW(dlg_->hwnd(), WM_COMMAND, MAKEWPARAM(IDC_SETTINGS, BN_CLICKED), 0);
    ::GetWindowRect(dlg_->hwnd(), &wide);
    EXPECT_EQ(wide.right, narrow.right);
}

TEST_F(PageGrabDialog, ErrorsAndTimeOutsGiveTheStartButtonBack) {
    Start(L"site.test/error404");
    EXPECT_EQ(Status(), text::kRequesting);
    EXPECT_FALSE(::IsWindowEnabled(Item(IDC_START)));
    ASSERT_TRUE(PumpUntil([&] { return Status() == text::kBadSite; }));
    EXPECT_TRUE(::IsWindowEnabled(Item(IDC_START)));

    Start(L"site.test/timeout");
    ASSERT_TRUE(PumpUntil([&] { return Status() == text::kTimeout; }));
    EXPECT_TRUE(::IsWindowEnabled(Item(IDC_START)));

    Start(L"site.test/hang");
    ::PostMessageW(dlg_->hwnd(), WM_BROWSER_NOTIFY, 0, LOAD_NO_BROWSER);
    ASSERT_TRUE(PumpUntil([&] { return Status() == text::kNoBrowser; }));
    EXPECT_TRUE(::IsWindowEnabled(Item(IDC_START)));

    EXPECT_EQ(Navigations(), (std::vector<std::string>{"http://site.test/error404",
                                                       "http://site.test/timeout", "http://site.test/hang"}));
}

TEST_F(PageGrabDialog, EnterStartsAgainWhileARequestIsPending) {
    const std::wstring longAddress = L"http://x.test/" + std::wstring(600, L'a');
    Start(longAddress);
    ASSERT_FALSE(::IsWindowEnabled(Item(IDC_START)));
    MSG enter{Item(IDC_ADDRESS), WM_KEYDOWN, VK_RETURN, 0};
    EXPECT_TRUE(dlg_->PreTranslateMessage(enter));
    MSG other{Item(IDC_ADDRESS), WM_KEYDOWN, VK_SPACE, 0};
    dlg_->PreTranslateMessage(other);  // ordinary dialog keys start nothing
    const auto lines = Navigations();
    ASSERT_EQ(lines.size(), 2u);
    EXPECT_EQ(lines[0].size(), 509u);  // the box gives at most 509 characters
    EXPECT_EQ(lines[1], lines[0]);
    // The second navigation restarted the time-out: one result only.
    ASSERT_TRUE(PumpUntil([&] { return Status() == text::kTimeout; }));
}

TEST_F(PageGrabDialog, AFailedSaveDialogIsNotACancel) {
    dlg_->ask = [](DWORD& failure) {
        failure = 0x3003;  // FNERR_BUFFERTOOSMALL
        return std::wstring();
    };
    Start(L"page.test/30x40");
    ASSERT_TRUE(PumpUntil([&] { return Status() == SaveDialogFailedText(0x3003); })) << Status();
    EXPECT_TRUE(::IsWindowEnabled(Item(IDC_START)));
    dlg_->ask = [](DWORD& failure) {
        failure = 0;
        return std::wstring();
    };
    Start(L"page.test/30x40");
    ASSERT_TRUE(PumpUntil([&] { return Status() == text::kCancelled; })) << Status();
}

// A page of 20000 rows is written in several bands; between them the dialog answers.
TEST_F(PageGrabDialog, ALongSaveCanBeStoppedOrClosedAndLeavesNoFile) {
    const std::wstring target = dir_.File(L"long.bmp");
    dlg_->ask = [&](DWORD&) {
        ::PostMessageW(dlg_->hwnd(), WM_APP, 0, 0);
        return target;
    };
    std::wstring status, button;
    dlg_->whileSaving = [&] {
        status = Status();
        button = Text(Item(IDC_START));
        EXPECT_TRUE(::IsWindowEnabled(Item(IDC_START)));
        MSG enter{Item(IDC_ADDRESS), WM_KEYDOWN, VK_RETURN, 0};
        dlg_->PreTranslateMessage(enter);  // no new navigation under the save
        ::SendMessageW(dlg_->hwnd(), WM_COMMAND, MAKEWPARAM(IDC_START, BN_CLICKED),
                       reinterpret_cast<LPARAM>(Item(IDC_START)));
    };
    Start(L"page.test/640x20000");
    ASSERT_TRUE(PumpUntil([&] { return Status() == text::kCancelled; })) << Status();
    EXPECT_EQ(button, text::kStopSaving);
    EXPECT_EQ(status.rfind(L"正在保存网页图片... ", 0), 0u) << status;
    EXPECT_EQ(Text(Item(IDC_START)), text::kStart);
    EXPECT_TRUE(::IsWindowEnabled(Item(IDC_START)));
    EXPECT_EQ(Navigations().size(), 1u);

    // Closing while saving: the save stops first, then the program ends.
    dlg_->whileSaving = [&] { ::SendMessageW(dlg_->hwnd(), WM_COMMAND, IDCANCEL, 0); };
    const HWND hwnd = dlg_->hwnd();
    Start(L"page.test/640x20000");
    ASSERT_TRUE(PumpUntil([&] { return quitCode_ != -1; }));
    EXPECT_EQ(quitCode_, IDCANCEL);
    EXPECT_FALSE(::IsWindow(hwnd));
    EXPECT_EQ(dir_.Names(), std::vector<std::wstring>{L"navigate.log"});
}

TEST_F(PageGrabDialog, EscapeOrCloseEndsTheProgramWithTheCommandId) {
    const HWND hwnd = dlg_->hwnd();
    ::SendMessageW(hwnd, WM_COMMAND, IDCANCEL, 0);
    EXPECT_FALSE(::IsWindow(hwnd));
    MSG m;
    ASSERT_TRUE(::PeekMessageW(&m, nullptr, WM_QUIT, WM_QUIT, PM_REMOVE));
    EXPECT_EQ(m.wParam, WPARAM(IDCANCEL));
}

TEST(PageGrabResources, IconSizesVersionAndManifest) {
    const std::wstring path = test::BuiltProgram(L"pagegrab.exe");
    HMODULE m = ::LoadLibraryExW(path.c_str(), nullptr, LOAD_LIBRARY_AS_DATAFILE);
    ASSERT_TRUE(m);
    HRSRC group = ::FindResourceW(m, MAKEINTRESOURCEW(IDI_APP), RT_GROUP_ICON);
    ASSERT_TRUE(group);
    const auto* dir = static_cast<const BYTE*>(::LockResource(::LoadResource(m, group)));
    std::vector<int> sizes;
    for (int i = 0; i < reinterpret_cast<const WORD*>(dir)[2]; ++i) {
        const BYTE* entry = dir + 6 + 14 * i;
        sizes.push_back(entry[0]);
        EXPECT_EQ(*reinterpret_cast<const WORD*>(entry + 6), 32) << "bits of icon " << i;
    }
    std::sort(sizes.begin(), sizes.end());
    EXPECT_EQ(sizes, (std::vector<int>{32, 48, 64, 96, 128}));
    EXPECT_TRUE(::FindResourceW(m, MAKEINTRESOURCEW(1), RT_MANIFEST));
    ::FreeLibrary(m);

    DWORD handle = 0;
    std::vector<BYTE> data(::GetFileVersionInfoSizeW(path.c_str(), &handle));
    ASSERT_FALSE(data.empty());
    ASSERT_TRUE(::GetFileVersionInfoW(path.c_str(), 0, DWORD(data.size()), data.data()));
    auto value = [&](const wchar_t* name) {
        wchar_t* text = nullptr;
        UINT len = 0;
        const std::wstring key = std::wstring(L"\\StringFileInfo\\000404b0\\") + name;
        return ::VerQueryValueW(data.data(), key.c_str(), reinterpret_cast<void**>(&text), &len)
                   ? std::wstring(text)
                   : std::wstring();
    };
    EXPECT_EQ(value(L"FileVersion"), L"1, 0, 0, 3001");
    EXPECT_EQ(value(L"ProductVersion"), L"1, 0, 0, 3001");
    for (const wchar_t* name : {L"FileDescription", L"InternalName", L"ProductName"})
        EXPECT_EQ(value(name), L"Lumetto 网页截图") << name;
}

}  // namespace
}  // namespace kestrow::pagegrab
