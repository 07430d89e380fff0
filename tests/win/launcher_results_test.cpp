// The result receiver with real copy-data messages, and the toasts it shows.
#include <gtest/gtest.h>

#include <algorithm>
#include <memory>
#include <string>
#include <vector>

#include "common/result_message.h"
#include "common/win/handles.h"
#include "launcher/app_config.h"
#include "launcher/ipc_wnd.h"
#include "launcher/toast_wnd.h"
#include "tests/win/test_support.h"

namespace kestrow {
namespace {

// Runs this thread's messages (the toasts' timers) until `done` or the time is up.
template <class F>
bool PumpUntil(F done, DWORD ms) {
    const DWORD start = ::GetTickCount();
    for (;;) {
        MSG msg;
        while (::PeekMessageW(&msg, nullptr, 0, 0, PM_REMOVE)) {
            ::TranslateMessage(&msg);
            ::DispatchMessageW(&msg);
        }
        if (done()) return true;
        if (::GetTickCount() - start > ms) return false;
        ::MsgWaitForMultipleObjects(0, nullptr, FALSE, 20, QS_ALLINPUT);
    }
}

std::vector<HWND> Toasts(const wchar_t* title = nullptr) {
    std::vector<HWND> found;
    HWND h = nullptr;
    while ((h = ::FindWindowExW(nullptr, h, kToastWndClass, title)) != nullptr)
        if (::IsWindowVisible(h)) found.push_back(h);
    return found;
}

// Sends from another thread, as a worker's send arrives from outside the UI thread.
struct Sender {
    HWND target;
    COPYDATASTRUCT record;
    const COPYDATASTRUCT* pointer;
    LRESULT result = -1;

    static DWORD WINAPI Run(void* p) {
        auto* s = static_cast<Sender*>(p);
        s->result = ::SendMessageW(s->target, WM_COPYDATA, 0, reinterpret_cast<LPARAM>(s->pointer));
        return 0;
    }
};

LRESULT SendFromThread(HWND target, ULONG_PTR code, const void* data, DWORD size) {
    Sender s{target, {code, size, const_cast<void*>(data)}, nullptr};
    s.pointer = &s.record;
    win::UniqueHandle t(::CreateThread(nullptr, 0, &Sender::Run, &s, 0, nullptr));
    PumpUntil([&] { return ::WaitForSingleObject(t.Get(), 0) == WAIT_OBJECT_0; }, 10000);
    return s.result;
}

class Receiver : public ::testing::Test {
protected:
    void SetUp() override {
        CloseToasts();
        ASSERT_TRUE(::CopyFileW((test::TestsFolder() + L"\\standin.exe").c_str(), paint_.c_str(), FALSE));
        ASSERT_TRUE(ipc_.CreateReceiver());
    }
    void TearDown() override {
        ipc_.Destroy();
        CloseToasts();
        ::DeleteFileW(paint_.c_str());
    }
    LRESULT SendPath(ULONG_PTR code, const std::wstring& path) {
        return SendFromThread(ipc_.hwnd(), code, path.data(), DWORD(path.size() * 2));
    }
    bool ToastAppears(const wchar_t* text) {
        return PumpUntil([&] { return !Toasts(text).empty(); }, 3000);
    }
    std::wstring SavedFile(const wchar_t* name) {
        const std::wstring path = dir_.File(name);
        HANDLE f = ::CreateFileW(path.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, 0, nullptr);
        ::CloseHandle(f);
        return path;
    }

    test::TempDir dir_;
    AppConfig config_{dir_.File(L"appconfig.ini")};
    std::wstring paint_ = dir_.File(L"paint.exe");
    // The first place has none, as the system folder on Windows 11.
    CIPCWnd ipc_{config_, {dir_.File(L"gone\\mspaint.exe"), paint_}};
};

TEST_F(Receiver, IsAHiddenPopupTheWorkerCanFind) {
    HWND found = ::FindWindowW(kResultWindowClass, kResultWindowTitle);
    EXPECT_EQ(found, ipc_.hwnd());
    EXPECT_FALSE(::IsWindowVisible(found));
    EXPECT_TRUE(::GetWindowLongW(found, GWL_STYLE) & WS_POPUP);
    EXPECT_EQ(::GetWindowLongW(found, GWL_EXSTYLE) & ~WS_EX_WINDOWEDGE, 0);
}

TEST_F(Receiver, EachCodeShowsItsToast) {
    const int zero = 0;
    EXPECT_EQ(SendPath(RESULT_FULLSCREEN_SAVED, L"C:\\a.png"), TRUE);
    EXPECT_TRUE(ToastAppears(L"屏幕已成功保存到文件"));
    EXPECT_EQ(SendPath(RESULT_REGION_SAVED, L"C:\\a.png"), TRUE);
    EXPECT_TRUE(ToastAppears(L"所选区域已成功保存到文件"));
    EXPECT_EQ(SendFromThread(ipc_.hwnd(), RESULT_REGION_COPIED, &zero, 4), TRUE);
    EXPECT_TRUE(ToastAppears(L"所选区域已复制到剪贴板"));
    EXPECT_EQ(SendFromThread(ipc_.hwnd(), RESULT_COLOR_COPIED, &zero, 4), TRUE);
    EXPECT_TRUE(ToastAppears(L"所选颜色值已复制到剪贴板"));
    EXPECT_EQ(Toasts().size(), kMaxToasts);  // each result its own toast, the oldest ended early
    EXPECT_TRUE(test::ReadSmallFile(dir_.File(L"paint.log")).empty());
}

TEST_F(Receiver, AutoOpenStartsThePaintProgramWithTheQuotedPath) {
    config_.set_auto_open_screencapture(true);
    const std::wstring saved = SavedFile(L"截图 2013-7-5.png");
    EXPECT_EQ(SendPath(RESULT_REGION_SAVED, saved), TRUE);
    std::string log;
    PumpUntil([&] { return !(log = test::ReadSmallFile(dir_.File(L"paint.log"))).empty(); }, 10000);
    const std::wstring expected = L"\"" + saved + L"\"\n";
    std::string expected8(
        ::WideCharToMultiByte(CP_UTF8, 0, expected.c_str(), -1, nullptr, 0, nullptr, nullptr) - 1, '\0');
    ::WideCharToMultiByte(CP_UTF8, 0, expected.c_str(), -1, expected8.data(), int(expected8.size()), nullptr,
                          nullptr);
    ASSERT_GE(log.size(), expected8.size());
    EXPECT_EQ(log.substr(log.size() - expected8.size()), expected8) << log;
    EXPECT_TRUE(Toasts().empty());  // opened instead of a toast
}

TEST_F(Receiver, AutoOpenWithAMissingFileOrACopyShowsTheToast) {
    config_.set_auto_open_screencapture(true);
    const int zero = 0;
    EXPECT_EQ(SendPath(RESULT_FULLSCREEN_SAVED, dir_.File(L"moved away.png")), TRUE);
    EXPECT_TRUE(ToastAppears(L"屏幕已成功保存到文件"));
    EXPECT_EQ(SendFromThread(ipc_.hwnd(), RESULT_REGION_COPIED, &zero, 4), TRUE);
    EXPECT_TRUE(ToastAppears(L"所选区域已复制到剪贴板"));
    EXPECT_TRUE(test::ReadSmallFile(dir_.File(L"paint.log")).empty());
}

TEST_F(Receiver, AutoOpenWithNoPaintProgramShowsTheToast) {
    config_.set_auto_open_screencapture(true);
    ::DeleteFileW(paint_.c_str());
    // A type with no "edit" action either.
    EXPECT_EQ(SendPath(RESULT_REGION_SAVED, SavedFile(L"a.kst-none")), TRUE);
    EXPECT_TRUE(ToastAppears(L"所选区域已成功保存到文件"));
}

TEST_F(Receiver, AutoOpenStartsAPathOnceAndTwoProgramsAtATime) {
    config_.set_auto_open_screencapture(true);
    // The stand-ins stay until released, as open paint programs do.
    win::UniqueHandle release(::CreateEventW(nullptr, TRUE, FALSE, L"KestrowTestPaintRelease"));
    ::SetEnvironmentVariableW(L"KESTROW_STANDIN_WAIT", L"KestrowTestPaintRelease");
    const std::wstring a = SavedFile(L"a.png"), b = SavedFile(L"b.png"), c = SavedFile(L"c.png");
    for (const std::wstring& path : {a, a, b, c}) EXPECT_EQ(SendPath(RESULT_REGION_SAVED, path), TRUE);
    const auto starts = [&] {
        const std::string log = test::ReadSmallFile(dir_.File(L"paint.log"));
        return std::count(log.begin(), log.end(), '\n');
    };
    // Each refused start gives the toast instead.
    EXPECT_TRUE(PumpUntil([&] { return Toasts(L"所选区域已成功保存到文件").size() == 2; }, 5000));
    EXPECT_TRUE(PumpUntil([&] { return starts() == 2; }, 10000));
    const std::string log = test::ReadSmallFile(dir_.File(L"paint.log"));
    EXPECT_NE(log.find("a.png"), std::string::npos) << log;
    EXPECT_NE(log.find("b.png"), std::string::npos) << log;

    ::SetEvent(release.Get());
    ::SetEnvironmentVariableW(L"KESTROW_STANDIN_WAIT", nullptr);
    // Once they have ended (a moment after the release) another may start.
    bool third = false;
    for (int i = 0; i < 10 && !third; ++i) {
        SendPath(RESULT_REGION_SAVED, c);
        third = PumpUntil([&] { return starts() == 3; }, 1000);
    }
    EXPECT_TRUE(third);
}

TEST_F(Receiver, AnswersFirstAndReactsAfterwardsToTheNewest) {
    config_.set_auto_open_screencapture(true);
    const std::wstring saved = SavedFile(L"a.png");
    std::wstring payload = saved;
    // From this thread the handler runs within the call: what it did before answering
    // is done when the call returns.
    COPYDATASTRUCT cds{RESULT_REGION_SAVED, DWORD(payload.size() * 2), payload.data()};
    EXPECT_EQ(::SendMessageW(ipc_.hwnd(), WM_COPYDATA, 0, reinterpret_cast<LPARAM>(&cds)), TRUE);
    payload.assign(payload.size(), L'x');  // the sender's memory is only lent for the call
    const int zero = 0;
    for (ULONG_PTR code : {RESULT_REGION_COPIED, RESULT_REGION_COPIED, RESULT_REGION_COPIED,
                           RESULT_REGION_COPIED, RESULT_COLOR_COPIED}) {
        cds = {code, 4, const_cast<int*>(&zero)};
        EXPECT_EQ(::SendMessageW(ipc_.hwnd(), WM_COPYDATA, 0, reinterpret_cast<LPARAM>(&cds)), TRUE);
    }
    EXPECT_TRUE(Toasts().empty());
    EXPECT_TRUE(test::ReadSmallFile(dir_.File(L"paint.log")).empty());

    EXPECT_TRUE(ToastAppears(L"所选颜色值已复制到剪贴板"));
    std::string log;
    EXPECT_TRUE(
        PumpUntil([&] { return !(log = test::ReadSmallFile(dir_.File(L"paint.log"))).empty(); }, 10000));
    EXPECT_NE(log.find("a.png"), std::string::npos) << log;
    EXPECT_EQ(Toasts().size(), kMaxToasts);
}

TEST_F(Receiver, MalformedRecordsAreAnsweredAndIgnored) {
    config_.set_auto_open_screencapture(true);
    const std::wstring saved = SavedFile(L"a.png");
    const long long wide = 0;
    // A null record cannot cross processes under Wine; it is sent from this thread.
    EXPECT_EQ(::SendMessageW(ipc_.hwnd(), WM_COPYDATA, 0, 0), FALSE);
    EXPECT_EQ(SendFromThread(ipc_.hwnd(), RESULT_REGION_SAVED, nullptr, 12), TRUE);
    EXPECT_EQ(SendFromThread(ipc_.hwnd(), RESULT_REGION_SAVED, saved.data(), DWORD(saved.size() * 2 - 1)),
              TRUE);
    EXPECT_EQ(SendFromThread(ipc_.hwnd(), RESULT_REGION_COPIED, &wide, 8), TRUE);
    EXPECT_EQ(SendFromThread(ipc_.hwnd(), 1528, &wide, 4), TRUE);
    const std::wstring cut = saved + std::wstring(1, L'\0') + L"x";
    EXPECT_EQ(SendPath(RESULT_REGION_SAVED, cut), TRUE);
    std::wstring tooLong(40000, L'a');
    EXPECT_EQ(SendPath(RESULT_REGION_SAVED, tooLong), TRUE);
    PumpUntil([] { return false; }, 500);
    EXPECT_TRUE(Toasts().empty());
    EXPECT_TRUE(test::ReadSmallFile(dir_.File(L"paint.log")).empty());
}

// A toast of `width` x `height` in the middle of the primary work area; returns its rectangle.
RECT ExpectCentredOnWorkArea(HWND toast, int width, int height) {
    RECT rc{};
    ::GetWindowRect(toast, &rc);
    EXPECT_EQ(rc.right - rc.left, width);
    EXPECT_EQ(rc.bottom - rc.top, height);
    MONITORINFO mi{sizeof(mi)};
    ::GetMonitorInfoW(::MonitorFromWindow(toast, MONITOR_DEFAULTTOPRIMARY), &mi);
    EXPECT_NEAR((rc.left + rc.right) / 2, (mi.rcWork.left + mi.rcWork.right) / 2, 1);
    EXPECT_NEAR((rc.top + rc.bottom) / 2, (mi.rcWork.top + mi.rcWork.bottom) / 2, 1);
    return rc;
}

TEST(Toast, LooksAndFadesAsDesigned) {
    CloseToasts();
    const DWORD start = ::GetTickCount();
    HWND toast = ShowToast(L"所选区域已复制到剪贴板");
    ASSERT_TRUE(toast);
    wchar_t cls[64] = {}, title[64] = {};
    ::GetClassNameW(toast, cls, 64);
    ::GetWindowTextW(toast, title, 64);
    EXPECT_STREQ(cls, L"ToastWndClass");
    EXPECT_STREQ(title, L"所选区域已复制到剪贴板");
    EXPECT_TRUE(::IsWindowVisible(toast));
    const LONG ex = ::GetWindowLongW(toast, GWL_EXSTYLE);
    EXPECT_EQ(ex & (WS_EX_LAYERED | WS_EX_TOOLWINDOW | WS_EX_TOPMOST),
              WS_EX_LAYERED | WS_EX_TOOLWINDOW | WS_EX_TOPMOST);
    EXPECT_TRUE(::GetWindowLongW(toast, GWL_STYLE) & WS_POPUP);
    const RECT rc = ExpectCentredOnWorkArea(toast, 400, 30);

    // Opacity rises to 150 of 255.
    BYTE alpha = 0;
    DWORD flags = 0;
    ::GetLayeredWindowAttributes(toast, nullptr, &alpha, &flags);
    EXPECT_LT(alpha, 150);
    ASSERT_TRUE(PumpUntil(
        [&] {
            ::GetLayeredWindowAttributes(toast, nullptr, &alpha, &flags);
            return alpha == 150;
        },
        3000));
    EXPECT_TRUE(flags & LWA_ALPHA);

    // Painted white on black (Wine draws layered windows opaque).
    ::UpdateWindow(toast);
    PumpUntil([] { return false; }, 100);
    // One copy of the screen: pixel by pixel takes seconds under load, past the hold.
    win::MemorySurface shot;
    ASSERT_TRUE(shot.CreateDib(rc.right - rc.left, rc.bottom - rc.top));
    {
        win::WindowDC screen(nullptr);
        ::BitBlt(shot.dc(), 0, 0, shot.width(), shot.height(), screen.Get(), rc.left, rc.top, SRCCOPY);
    }
    EXPECT_EQ(shot.bits()[2 * shot.width() + 2] & 0xFFFFFF, 0u);
    int white = 0;
    for (int i = 0; i < shot.width() * shot.height(); ++i)
        if ((shot.bits()[i] & 0xFFFFFF) == 0xFFFFFF) ++white;
    EXPECT_GT(white, 20);

    // Still there during the hold, gone after about 4.5 s.
    EXPECT_FALSE(PumpUntil([&] { return !::IsWindow(toast); }, 2500));
    ASSERT_TRUE(PumpUntil([&] { return !::IsWindow(toast); }, 5000));
    const DWORD lived = ::GetTickCount() - start;
    EXPECT_GT(lived, 4000u);
    EXPECT_LT(lived, 7000u);
}

TEST(Toast, OnA144DpiMonitorHalfAsLargeAgainStillCentred) {
    CloseToasts();
    auto scaled = std::make_unique<CToastWnd>();
    scaled->SetDpi(144);
    CToastWnd* toast = scaled.get();
    HWND hwnd = ShowToast(std::move(scaled), L"所选颜色值已复制到剪贴板");
    ASSERT_TRUE(hwnd);
    ExpectCentredOnWorkArea(hwnd, 600, 45);
    LOGFONTW lf{};
    ASSERT_TRUE(::GetObjectW(toast->font(), sizeof(lf), &lf));
    EXPECT_EQ(lf.lfHeight, 23);
    EXPECT_EQ(lf.lfWeight, FW_BOLD);
    CloseToasts();
}

// Refuses its creation in its own procedure, after WM_NCCREATE has bound it.
struct RefusingToast : CToastWnd {
    ~RefusingToast() override { ++ended; }
    LRESULT HandleMessage(UINT msg, WPARAM wp, LPARAM lp) override {
        return msg == WM_CREATE ? -1 : CToastWnd::HandleMessage(msg, wp, lp);
    }
    static inline int ended = 0;
};

TEST(Toast, ACreationFailingLateEndsTheObjectOnce) {
    RefusingToast::ended = 0;
    EXPECT_EQ(ShowToast(std::make_unique<RefusingToast>(), L"x"), nullptr);
    EXPECT_EQ(RefusingToast::ended, 1);
}

TEST(Toast, TwoToastsRunIndependently) {
    CloseToasts();
    HWND first = ShowToast(L"屏幕已成功保存到文件");
    PumpUntil([] { return false; }, 300);
    HWND second = ShowToast(L"屏幕已成功复制到剪贴板");
    ASSERT_TRUE(first && second);
    RECT a{}, b{};
    ::GetWindowRect(first, &a);
    ::GetWindowRect(second, &b);
    EXPECT_TRUE(::EqualRect(&a, &b));  // same place, the later one on top
    ASSERT_TRUE(PumpUntil([&] { return !::IsWindow(first); }, 7000));
    EXPECT_TRUE(::IsWindow(second));
    ASSERT_TRUE(PumpUntil([&] { return !::IsWindow(second); }, 2000));
}

TEST(Toast, ABurstKeepsTheNewestFewAndClearsWithinOneToastsLife) {
    CloseToasts();
    std::vector<HWND> shown;
    for (int i = 0; i < 300; ++i) shown.push_back(ShowToast(L"所选区域已复制到剪贴板"));
    EXPECT_EQ(Toasts().size(), kMaxToasts);
    for (size_t i = shown.size() - kMaxToasts; i < shown.size(); ++i)
        EXPECT_TRUE(::IsWindowVisible(shown[i])) << i;
    ASSERT_TRUE(PumpUntil([] { return Toasts().empty(); }, 6000));
}

}  // namespace
}  // namespace kestrow
