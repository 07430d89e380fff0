#include <gtest/gtest.h>

#include "launcher/autorun_path.h"
#include "launcher/config_keys.h"
#include "launcher/hotkey_code.h"
#include "launcher/launcher_ids.h"
#include "launcher/launcher_tasks.h"
#include "launcher/standby_policy.h"

namespace kestrow {
namespace {

TEST(HotkeyCode, DefaultsDecodeToTheirCombinations) {
    EXPECT_EQ(DecodeHotkey(393290), (Hotkey{'J', kHotkeyControl | kHotkeyAlt}));
    EXPECT_EQ(DecodeHotkey(113), (Hotkey{0x71, 0}));  // F2
    EXPECT_EQ(DecodeHotkey(115), (Hotkey{0x73, 0}));  // F4
    EXPECT_EQ(DecodeHotkey(393299), (Hotkey{'S', kHotkeyControl | kHotkeyAlt}));
    EXPECT_EQ(EncodeHotkey({'J', kHotkeyControl | kHotkeyAlt}), 393290);
}

TEST(HotkeyCode, SplitsIntoUnsigned16BitHalves) {
    // Every flag and a full key word: the high half must not sign-extend into the key.
    const Hotkey all{0xFFFF, 0xFFFF};
    EXPECT_EQ(EncodeHotkey(all), -1);
    EXPECT_EQ(DecodeHotkey(-1), all);
    const Hotkey ext{0x2E, kHotkeyExtended | kHotkeyShift};
    EXPECT_EQ(DecodeHotkey(EncodeHotkey(ext)), ext);
    EXPECT_FALSE(DecodeHotkey(0).IsSet());
    EXPECT_TRUE((Hotkey{0, kHotkeyAlt}).IsSet());  // a bare modifier is still a hotkey
    EXPECT_TRUE((Hotkey{0x71, 0}).IsSet());
}

TEST(HotkeyCode, ModifiersConvertToRegistrationFlags) {
    EXPECT_EQ(ToRegisterModifiers(kHotkeyShift), kModShift);
    EXPECT_EQ(ToRegisterModifiers(kHotkeyControl), kModControl);
    EXPECT_EQ(ToRegisterModifiers(kHotkeyAlt), kModAlt);
    EXPECT_EQ(ToRegisterModifiers(kHotkeyShift | kHotkeyControl | kHotkeyAlt),
              kModShift | kModControl | kModAlt);
    // The extended-key flag has no counterpart and never changes the combination.
    EXPECT_EQ(ToRegisterModifiers(kHotkeyExtended), 0u);
    EXPECT_EQ(ToRegisterModifiers(kHotkeyExtended | kHotkeyControl | kHotkeyAlt), kModControl | kModAlt);
    EXPECT_EQ(ToRegisterModifiers(0xFFF0), 0u);
}

TEST(Settings, KeysAndDefaults) {
    EXPECT_STREQ(kConfigSection, L"config");
    EXPECT_STREQ(kShowBalloonKey.name, L"showballon");
    EXPECT_TRUE(kShowBalloonKey.defaultValue);
    EXPECT_STREQ(kAutoOpenKey.name, L"auto_open_screencapture");
    EXPECT_FALSE(kAutoOpenKey.defaultValue);
    EXPECT_STREQ(kShowStartupScreenKey.name, L"showstartupscreen");
    EXPECT_TRUE(kShowStartupScreenKey.defaultValue);
    EXPECT_STREQ(kStandbyKey.name, L"standby");
    EXPECT_TRUE(kStandbyKey.defaultValue);

    struct Expect {
        unsigned id;
        const wchar_t* name;
        int32_t value;
    } expected[] = {{1568, L"hk_screencapture", 393290},
                    {1569, L"hk_screencapture_file", 113},
                    {1570, L"hk_screencapture_clipboard", 115},
                    {1571, L"hk_colorcapture", 393299}};
    ASSERT_EQ(std::size(kHotkeyKeys), 4u);
    for (size_t i = 0; i < 4; ++i) {
        SCOPED_TRACE(i);
        EXPECT_EQ(kHotkeyKeys[i].hotkeyId, expected[i].id);  // registration order
        EXPECT_STREQ(kHotkeyKeys[i].name, expected[i].name);
        EXPECT_EQ(kHotkeyKeys[i].defaultValue, expected[i].value);
        EXPECT_EQ(FindHotkeyKey(expected[i].id), &kHotkeyKeys[i]);
    }
    EXPECT_EQ(FindHotkeyKey(1567), nullptr);
    EXPECT_EQ(FindHotkeyKey(1572), nullptr);
}

TEST(WorkerTasks, MenuAndHotkeysStartTheirParameterStrings) {
    struct Case {
        const WorkerTask* task;
        const wchar_t* parameters;
        TaskKind kind;
    } cases[] = {
        {TaskForCommand(32780), L"-tasktype screencapture", TaskKind::Interactive},
        {TaskForCommand(32787), L"-tasktype screenfullscreentofile", TaskKind::Background},
        {TaskForCommand(32788), L"-tasktype screenfullscreentoclipboard", TaskKind::ClipboardCopy},
        {TaskForCommand(32798), L"-tasktype screencapture -trackwindow true", TaskKind::Interactive},
        {TaskForCommand(32781), L"-tasktype colorcapture", TaskKind::Interactive},
        {TaskForHotkey(1568), L"-tasktype screencapture", TaskKind::Interactive},
        {TaskForHotkey(1569), L"-tasktype screenfullscreentofile", TaskKind::Background},
        {TaskForHotkey(1570), L"-tasktype screenfullscreentoclipboard", TaskKind::ClipboardCopy},
        {TaskForHotkey(1571), L"-tasktype colorcapture", TaskKind::Interactive},
    };
    for (const Case& c : cases) {
        ASSERT_NE(c.task, nullptr);
        EXPECT_STREQ(c.task->parameters, c.parameters);
        EXPECT_EQ(c.task->kind, c.kind) << c.parameters;
    }
    for (unsigned id : {0u, 32783u, 32790u, 32792u, 32794u, 32796u})
        EXPECT_EQ(TaskForCommand(id), nullptr) << id;
    for (unsigned id : {0u, 1567u, 1572u}) EXPECT_EQ(TaskForHotkey(id), nullptr) << id;
}

TEST(StandbyWorker, WakesOnlyForWindowTasksWhileTurnedOn) {
    StandbyPolicy policy;
    EXPECT_TRUE(policy.Uses(kRegionCaptureTask, true));
    EXPECT_TRUE(policy.Uses(kWindowCaptureTask, true));
    EXPECT_TRUE(policy.Uses(kColorCaptureTask, true));
    EXPECT_FALSE(policy.Uses(kFullScreenFileTask, true));
    EXPECT_FALSE(policy.Uses(kFullScreenClipboardTask, true));
    EXPECT_FALSE(policy.Uses(kRegionCaptureTask, false));
    EXPECT_FALSE(policy.KeepsOne(false));
}

TEST(StandbyWorker, GivesUpAfterTwoRefusalsInARow) {
    StandbyPolicy policy;
    policy.Refused();
    policy.Woke();
    policy.Refused();
    EXPECT_TRUE(policy.KeepsOne(true)) << "a wake in between starts the count again";
    policy.Refused();
    EXPECT_FALSE(policy.KeepsOne(true));
    EXPECT_FALSE(policy.Uses(kRegionCaptureTask, true));
}

TEST(MainWindowMessages, NumbersFollowWmUser) {
    EXPECT_EQ(WM_TRAY_NOTIFY, 1124u);
    EXPECT_EQ(WM_FULLSCREEN_CLIPBOARD_DONE, 1125u);
    EXPECT_EQ(WM_NEW_VERSION, 1127u);
    EXPECT_EQ(WM_UPDATE_BALLOON_NOTIFY, 1128u);
    EXPECT_EQ(WM_HOTKEYS_CHANGED, 1129u);
    EXPECT_EQ(WM_STARTUP_DONE, 1130u);
}

TEST(AutorunPath, NormalisesSlashesAndDoubledBackslashes) {
    EXPECT_EQ(NormalizeAutorunPath(L"C:/Program Files/Kestrow/KestrowCapture.exe"),
              L"C:\\Program Files\\Kestrow\\KestrowCapture.exe");
    EXPECT_EQ(NormalizeAutorunPath(L"C:\\\\a\\\\\\\\b//c\\/d.exe"), L"C:\\a\\b\\c\\d.exe");
    EXPECT_EQ(NormalizeAutorunPath(L"C:\\a\\b.exe"), L"C:\\a\\b.exe");
    EXPECT_EQ(NormalizeAutorunPath(L""), L"");
    // Letter case is left alone; the comparison ignores it.
    EXPECT_EQ(NormalizeAutorunPath(L"c:/A/b.EXE"), L"c:\\A\\b.EXE");
}

TEST(AutorunPath, WritesQuotedAndReadsBothForms) {
    const std::wstring path = L"C:\\Program Files\\Kestrow\\KestrowCapture.exe";
    const std::wstring value = RunValueForPath(path);
    EXPECT_EQ(value, L"\"C:\\Program Files\\Kestrow\\KestrowCapture.exe\"");
    EXPECT_EQ(PathFromRunValue(value), path);
    EXPECT_EQ(PathFromRunValue(path), path);  // written by older versions, unquoted
    EXPECT_EQ(PathFromRunValue(L"  \"C:\\a b\\x.exe\" -minimized"), L"C:\\a b\\x.exe");
    EXPECT_EQ(PathFromRunValue(L"\"C:\\unterminated.exe"), L"C:\\unterminated.exe");
    EXPECT_EQ(PathFromRunValue(L"C:\\x.exe  "), L"C:\\x.exe");
    EXPECT_EQ(PathFromRunValue(L""), L"");
    EXPECT_EQ(PathFromRunValue(L"   "), L"");
    EXPECT_EQ(PathFromRunValue(L"\"\""), L"");
}

}  // namespace
}  // namespace kestrow
