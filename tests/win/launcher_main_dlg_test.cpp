// The hidden main dialog from the launcher's own template, with its tray icons
// observed at the shell call (Wine shows no balloons) and real messages.
#include <gtest/gtest.h>

#include <set>
#include <string>
#include <vector>

#include "common/win/message_loop.h"
#include "launcher/app_config.h"
#include "launcher/launcher_ids.h"
#include "launcher/main_dlg.h"
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

TEST_F(MainDialog, ClosingTakesBothIconsAndEveryToastAlong) {
    EXPECT_EQ(Send(WM_NEW_VERSION), 1);
    HWND toast = ShowToast(L"所选区域已复制到剪贴板");
    ASSERT_TRUE(toast);
    dlg_.Destroy();  // what "退出" does before the loop ends
    EXPECT_TRUE(Shown().empty());
    // Gone at once: nothing pumps its fade during the exit wait.
    EXPECT_FALSE(::IsWindow(toast));
}

}  // namespace
}  // namespace kestrow
