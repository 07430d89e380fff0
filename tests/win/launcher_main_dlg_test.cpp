// The hidden main dialog from the launcher's own template, with its tray icons
// observed at the shell call (Wine shows no balloons) and real messages.
#include <gtest/gtest.h>

#include <algorithm>
#include <set>
#include <string>
#include <utility>
#include <vector>

#include "common/result_message.h"
#include "common/win/handles.h"
#include "common/win/message_loop.h"
#include "launcher/app_config.h"
#include "launcher/launcher_ids.h"
#include "launcher/launcher_tasks.h"
#include "launcher/main_dlg.h"
#include "launcher/run_token.h"
#include "launcher/toast_wnd.h"
#include "launcher/tray_icon.h"
#include "tests/win/test_support.h"

namespace kestrow {
namespace {

struct NotifyCall {
    DWORD message;
    NOTIFYICONDATAW data;
    BOOL result;
};
std::vector<NotifyCall> g_calls;

// Passes every call on to the real shell and keeps a copy.
BOOL WINAPI RecordNotify(DWORD message, PNOTIFYICONDATAW data) {
    const BOOL result = ::Shell_NotifyIconW(message, data);
    g_calls.push_back({message, *data, result});
    return result;
}

struct QuitWhenIdle : win::IdleHandler {
    void OnIdle() override { ::PostQuitMessage(kCode); }
    static constexpr int kCode = 7;
};

class MainDialog : public ::testing::Test {
protected:
    // Wine's tray takes 2 s to remove the last icon it holds: one of ours keeps it busy.
    static void SetUpTestSuite() {
        keeperOwner_ =
            ::CreateWindowExW(0, L"STATIC", L"", WS_POPUP, 0, 0, 0, 0, nullptr, nullptr, nullptr, nullptr);
        NOTIFYICONDATAW data{NOTIFYICONDATAW_V3_SIZE, keeperOwner_, 1, NIF_ICON};
        data.hIcon = ::LoadIconW(nullptr, IDI_APPLICATION);
        ::Shell_NotifyIconW(NIM_ADD, &data);
    }
    static void TearDownTestSuite() {
        NOTIFYICONDATAW data{NOTIFYICONDATAW_V3_SIZE, keeperOwner_, 1};
        ::Shell_NotifyIconW(NIM_DELETE, &data);
        ::DestroyWindow(keeperOwner_);
    }

    void SetUp() override {
        g_calls.clear();
        ASSERT_TRUE(resources_.Get());
        ASSERT_TRUE(dlg_.CreateMain(resources_.Get()));
    }
    void TearDown() override { dlg_.Destroy(); }

    LRESULT Send(UINT msg, WPARAM wp = 0, LPARAM lp = 0) { return ::SendMessageW(dlg_.hwnd(), msg, wp, lp); }
    // The icons the shell holds after the recorded calls.
    static std::set<UINT> Shown() {
        std::set<UINT> ids;
        for (const NotifyCall& c : g_calls) {
            if (c.message == NIM_ADD && c.result) ids.insert(c.data.uID);
            if (c.message == NIM_DELETE) ids.erase(c.data.uID);
        }
        return ids;
    }
    // What a shell restart does to the icons: they are gone.
    void LoseIcons() {
        for (UINT id : Shown()) {
            NOTIFYICONDATAW data{NOTIFYICONDATAW_V3_SIZE, dlg_.hwnd(), id};
            RecordNotify(NIM_DELETE, &data);
        }
    }
    static const NotifyCall* Last(UINT id) {
        for (auto it = g_calls.rbegin(); it != g_calls.rend(); ++it)
            if (it->data.uID == id) return &*it;
        return nullptr;
    }

    test::TempDir dir_;
    AppConfig config_{dir_.File(L"appconfig.ini")};
    test::DataModule resources_{test::BuiltProgram(L"KestrowCapture.exe")};
    win::MessageLoop loop_;
    CMainDlg dlg_{loop_, config_, &RecordNotify};
    static inline HWND keeperOwner_ = nullptr;
};

TEST_F(MainDialog, EscEnterAndCloseRequestsLeaveItRunning) {
    for (WPARAM key : {VK_ESCAPE, VK_RETURN}) ::PostMessageW(dlg_.hwnd(), WM_KEYDOWN, key, 0);
    ::PostMessageW(dlg_.hwnd(), WM_CLOSE, 0, 0);
    QuitWhenIdle idle;
    loop_.AddIdleHandler(&idle);
    EXPECT_EQ(loop_.Run(), QuitWhenIdle::kCode);
    loop_.RemoveIdleHandler(&idle);
    EXPECT_TRUE(dlg_.IsWindow());
    EXPECT_EQ(Shown(), std::set<UINT>{TRAY_ID_MAIN});
}

TEST_F(MainDialog, AShellRestartGetsBackEveryIconThatIsUp) {
    const UINT taskbarCreated = TaskbarCreatedMessage();
    ASSERT_NE(taskbarCreated, 0u);
    EXPECT_EQ(Send(WM_NEW_VERSION), 1);
    ASSERT_EQ(Shown(), (std::set<UINT>{TRAY_ID_MAIN, TRAY_ID_UPDATE}));
    LoseIcons();
    g_calls.clear();
    EXPECT_EQ(Send(taskbarCreated), 1);
    ASSERT_EQ(Shown(), (std::set<UINT>{TRAY_ID_MAIN, TRAY_ID_UPDATE}));
    const NOTIFYICONDATAW& main = Last(TRAY_ID_MAIN)->data;
    EXPECT_EQ(main.uFlags, UINT(NIF_MESSAGE | NIF_ICON | NIF_TIP));
    EXPECT_EQ(main.uCallbackMessage, WM_TRAY_NOTIFY);
    const NOTIFYICONDATAW& update = Last(TRAY_ID_UPDATE)->data;
    EXPECT_EQ(update.uFlags, UINT(NIF_MESSAGE | NIF_ICON));  // the icon, not its balloon again
    EXPECT_EQ(update.uCallbackMessage, WM_UPDATE_BALLOON_NOTIFY);

    // Once its balloon has gone, the update icon stays away.
    EXPECT_EQ(Send(WM_UPDATE_BALLOON_NOTIFY, 0, NIN_BALLOONTIMEOUT), 1);
    LoseIcons();
    EXPECT_EQ(Send(taskbarCreated), 1);
    EXPECT_EQ(Shown(), std::set<UINT>{TRAY_ID_MAIN});
}

TEST_F(MainDialog, BalloonsCarryTheirTexts) {
    EXPECT_EQ(Send(WM_STARTUP_DONE), 1);
    const NotifyCall* hint = Last(TRAY_ID_MAIN);
    ASSERT_TRUE(hint);
    EXPECT_EQ(hint->message, DWORD(NIM_MODIFY));
    EXPECT_EQ(hint->data.uFlags, UINT(NIF_INFO));
    EXPECT_STREQ(hint->data.szInfoTitle, L"Lumetto截屏取图");
    EXPECT_STREQ(hint->data.szInfo, L"要截屏请点击此图标，\r\n点击汽泡可以屏蔽此通知!");
    EXPECT_EQ(hint->data.dwInfoFlags, DWORD(NIIF_INFO));
    EXPECT_EQ(hint->data.uTimeout, 10000u);
    // The version-3 layout: 952 bytes in the shipped 32-bit build (968 in the 64-bit test build).
    EXPECT_EQ(hint->data.cbSize, sizeof(void*) == 4 ? 952u : 968u);

    EXPECT_EQ(Send(WM_NEW_VERSION), 1);
    const NotifyCall* update = Last(TRAY_ID_UPDATE);
    ASSERT_TRUE(update);
    EXPECT_EQ(update->data.uFlags, UINT(NIF_MESSAGE | NIF_ICON | NIF_INFO));
    EXPECT_STREQ(update->data.szInfo, L"Lumetto截屏取图有新版本了，点击汽泡可以更新!");

    // Turned off: no hint at the next start.
    config_.set_showballon(false);
    g_calls.clear();
    EXPECT_EQ(Send(WM_STARTUP_DONE), 1);
    EXPECT_TRUE(g_calls.empty());
}

TEST_F(MainDialog, OnlyAClickOnTheFirstRunHintSilencesIt) {
    config_.set_showstartupscreen(false);
    // The fixture's dialog holds every hotkey: this one reports them taken at once.
    CMainDlg second(loop_, config_, &RecordNotify);
    ASSERT_TRUE(second.CreateMain(resources_.Get()));
    const auto click = [&] { ::SendMessageW(second.hwnd(), WM_TRAY_NOTIFY, 0, NIN_BALLOONUSERCLICK); };
    ASSERT_TRUE(Last(TRAY_ID_MAIN)->data.uFlags & NIF_INFO);
    ASSERT_STRNE(Last(TRAY_ID_MAIN)->data.szInfo, kFirstRunBalloonText);
    click();
    EXPECT_TRUE(config_.showballon());
    ::SendMessageW(second.hwnd(), WM_STARTUP_DONE, 0, 0);
    EXPECT_STREQ(Last(TRAY_ID_MAIN)->data.szInfo, kFirstRunBalloonText);
    click();
    EXPECT_FALSE(config_.showballon());
    second.Destroy();
}

// Another program may post the same number; only the value our own watchers carry counts.
TEST_F(MainDialog, AClipboardDoneWithoutTheRunValueShowsNothing) {
    CloseToasts();
    EXPECT_EQ(Send(WM_FULLSCREEN_CLIPBOARD_DONE, 0, 0), 0);
    EXPECT_EQ(Send(WM_FULLSCREEN_CLIPBOARD_DONE, 0, RunToken() ^ 0x100), 0);
    EXPECT_EQ(::FindWindowW(kToastWndClass, nullptr), nullptr);
    EXPECT_EQ(Send(WM_FULLSCREEN_CLIPBOARD_DONE, 0, RunToken()), 1);
    EXPECT_NE(::FindWindowW(kToastWndClass, L"屏幕已成功复制到剪贴板"), nullptr);
    CloseToasts();
}

TEST_F(MainDialog, ClosingTakesBothIconsAndEveryToastAlong) {
    EXPECT_EQ(Send(WM_NEW_VERSION), 1);
    HWND toast = ShowToast(L"所选区域已复制到剪贴板");
    ASSERT_TRUE(toast);
    dlg_.Destroy();  // what "退出" does before the loop ends
    EXPECT_TRUE(Shown().empty());
    // Gone at once: nothing pumps its fade during the exit wait.
    EXPECT_FALSE(::IsWindow(toast));
}

template <class F>
bool PumpUntil(F done, DWORD ms) {
    for (const DWORD start = ::GetTickCount(); !done();
         ::MsgWaitForMultipleObjects(0, nullptr, FALSE, 20, QS_ALLINPUT)) {
        MSG msg;
        while (::PeekMessageW(&msg, nullptr, 0, 0, PM_REMOVE)) ::DispatchMessageW(&msg);
        if (::GetTickCount() - start > ms) return false;
    }
    return true;
}

// The stand-in as the worker in its pin role: its pin window is up from its start, WM_APP
// makes it send the overlay-gone record, WM_CLOSE ends it. Those left are ended here.
struct PinStandins {
    PinStandins() { ::SetEnvironmentVariableW(L"KESTROW_STANDIN_PIN", L"1"); }
    ~PinStandins() {
        ::SetEnvironmentVariableW(L"KESTROW_STANDIN_PIN", nullptr);
        for (DWORD pid : pids)
            if (win::UniqueHandle p{::OpenProcess(PROCESS_TERMINATE, FALSE, pid)})
                ::TerminateProcess(p.Get(), 9);
    }
    static std::vector<std::pair<DWORD, HWND>> Windows() {
        std::vector<std::pair<DWORD, HWND>> all;
        for (HWND h = nullptr; (h = ::FindWindowExW(nullptr, h, kPinWindowClass, nullptr)) != nullptr;) {
            DWORD pid = 0;
            ::GetWindowThreadProcessId(h, &pid);
            all.push_back({pid, h});
        }
        return all;
    }
    // The process of a pin window not seen before, 0 if none comes.
    DWORD Next() {
        DWORD found = 0;
        PumpUntil(
            [&] {
                for (const auto& [pid, h] : Windows())
                    if (std::find(pids.begin(), pids.end(), pid) == pids.end()) found = pid;
                return found != 0;
            },
            10000);
        if (found) pids.push_back(found);
        return found;
    }
    void Post(DWORD pid, UINT msg) {
        for (const auto& [p, h] : Windows())
            if (p == pid) ::PostMessageW(h, msg, 0, 0);
    }
    std::vector<DWORD> pids;
};

TEST_F(MainDialog, TheOneCaptureRuleCountsOverlaysNotPinsAndQuitClosesOnlyItsOwnPins) {
    dlg_.Destroy();  // the stand-ins find one result receiver: that of the dialog below
    const std::wstring worker = dir_.File(L"Worker.exe");
    ASSERT_TRUE(::CopyFileW((test::TestsFolder() + L"\\standin.exe").c_str(), worker.c_str(), FALSE));
    config_.set_standby(false);  // each capture a fresh worker, followed from its start
    PinStandins pins;
    CMainDlg main(loop_, config_, &RecordNotify, worker);
    ASSERT_TRUE(main.CreateMain(resources_.Get()));
    const auto start = [&](const WorkerTask& t) {
        return PumpUntil([&] { return main.StartTask(t); }, 5000) ? pins.Next() : 0;
    };
    const DWORD a = start(kRegionCaptureTask);
    ASSERT_NE(a, 0u);
    // Only the followed worker's own word, from this run, lets the next capture start.
    ::SendMessageW(main.hwnd(), WM_OVERLAY_GONE, ::GetCurrentProcessId(), RunToken());
    EXPECT_EQ(::SendMessageW(main.hwnd(), WM_OVERLAY_GONE, a, 0), 0);
    EXPECT_FALSE(main.StartTask(kColorCaptureTask));
    pins.Post(a, WM_APP);
    const DWORD b = start(kColorCaptureTask);
    ASSERT_NE(b, 0u);
    // Pin a closing while b's overlay is up frees nothing.
    win::UniqueHandle pinA(::OpenProcess(SYNCHRONIZE, FALSE, a));
    pins.Post(a, WM_CLOSE);
    ASSERT_EQ(::WaitForSingleObject(pinA.Get(), 10000), WAIT_OBJECT_0);
    PumpUntil([] { return false; }, 500);  // time for the watcher's post, were it believed
    EXPECT_FALSE(main.StartTask(kRegionCaptureTask));

    pins.Post(b, WM_APP);
    ASSERT_NE(start(kRegionCaptureTask), 0u);
    // A pin window of another program (this one) stays when the launcher quits.
    win::UniqueHandle pinB(::OpenProcess(SYNCHRONIZE | PROCESS_QUERY_INFORMATION, FALSE, b));
    ASSERT_TRUE(win::RegisterStandardClass(kPinWindowClass));
    win::Window other;
    ASSERT_TRUE(other.Create({.className = kPinWindowClass}));
    main.Destroy();  // what "退出" does before the loop ends
    ASSERT_EQ(::WaitForSingleObject(pinB.Get(), 0), WAIT_OBJECT_0);
    DWORD code = 9;
    ::GetExitCodeProcess(pinB.Get(), &code);
    EXPECT_EQ(code, 0u);  // it closed when asked, it was not ended by force
    PumpUntil([] { return false; }, 200);
    EXPECT_TRUE(other.IsWindow());
}

}  // namespace
}  // namespace kestrow
