// The settings dialog's and the splash window's platform-free logic.
#include <gtest/gtest.h>

#include "launcher/setting_logic.h"
#include "launcher/startup_flight.h"

namespace kestrow {
namespace {

// The splash as it is placed: 450 x 300 centred on a work area.
Rect Centred(int workWidth, int workHeight) {
    const int left = (workWidth - kSplashWidth) / 2, top = (workHeight - kSplashHeight) / 2;
    return {left, top, left + kSplashWidth, top + kSplashHeight};
}

// Steps until the stop test holds; the last rectangle in `last`.
int StepsToStop(Rect r, Rect desktop, Rect* last = nullptr) {
    for (int n = 1; n < 1000; ++n) {
        const FlyStep s = FlyAwayStep(r, desktop, desktop.right, desktop.bottom);
        r = s.window;
        if (s.done) {
            if (last) *last = r;
            return n;
        }
    }
    return -1;
}

TEST(SplashFlight, EdgesMoveByTheStepAndTheDesktopsAspect) {
    const Rect desktop{0, 0, 1920, 1080};
    const FlyStep s = FlyAwayStep({735, 370, 1185, 670}, desktop, 1920, 1080);
    // dy = 1080 * 60 / 1920 = 33.75, truncated.
    EXPECT_EQ(s.window, (Rect{855, 436, 1245, 703}));
    EXPECT_FALSE(s.done);
    // Truncation, not rounding: 1000 * 60 / 1280 = 46.875.
    EXPECT_EQ(FlyAwayStep({0, 0, 10, 10}, {0, 0, 1280, 1000}, 5000, 5000).window, (Rect{120, 92, 70, 56}));
    // A desktop without width gives no vertical movement instead of a division by zero.
    EXPECT_EQ(FlyAwayStep({0, 0, 10, 10}, {0, 0, 0, 0}, 5000, 5000).window, (Rect{120, 0, 70, 10}));
}

TEST(SplashFlight, StopsAtTheThirteenthStepOnFullHdWithTaskBar) {
    // 1920 x 1080 with a 40-pixel task bar: centred on a 1920 x 1040 work area.
    Rect last;
    EXPECT_EQ(StepsToStop(Centred(1920, 1040), {0, 0, 1920, 1080}, &last), 13);
    EXPECT_EQ(last, (Rect{735 + 13 * 120, 370 + 13 * 66, 1185 + 13 * 60, 670 + 13 * 33}));
    // The rectangle turns inverted long before the stop test holds, and the steps go on.
    Rect r = Centred(1920, 1040);
    for (int n = 0; n < 10; ++n) r = FlyAwayStep(r, {0, 0, 1920, 1080}, 1920, 1080).window;
    EXPECT_LT(r.Width(), 0);
    EXPECT_LT(r.Height(), 0);
    EXPECT_TRUE(r.IsEmpty());
}

TEST(SplashFlight, EitherStopEdgeEndsTheFlight) {
    const Rect desktop{0, 0, 1024, 768};
    // Near the right edge: the first step already ends it.
    EXPECT_TRUE(FlyAwayStep({560, 100, 970, 400}, desktop, 1024, 768).done);
    // Near the bottom edge only.
    EXPECT_TRUE(FlyAwayStep({0, 400, 450, 730}, desktop, 1024, 768).done);
    // Reaching the edge exactly counts.
    EXPECT_TRUE(FlyAwayStep({0, 0, 964, 10}, desktop, 1024, 768).done);
    EXPECT_FALSE(FlyAwayStep({0, 0, 963, 10}, desktop, 1024, 768).done);
    // The stop edges are those taken at the start, not the desktop's of the moment.
    EXPECT_TRUE(FlyAwayStep({0, 0, 100, 100}, desktop, 160, 5000).done);
}

TEST(SettingPages, PageRectSitsBelowTheTabRow) {
    EXPECT_EQ(PageRect({0, 0, 467, 314}), (Rect{5, 30, 462, 309}));
    EXPECT_EQ(PageRect({10, 20, 30, 40}), (Rect{15, 50, 25, 35}));  // too small: inverted, not clamped
}

TEST(SettingPages, HotkeyControlValueHoldsKeyAndModifierBytes) {
    const Hotkey ctrlAltJ{'J', kHotkeyControl | kHotkeyAlt};
    EXPECT_EQ(ToHotkeyControlValue(ctrlAltJ), 0x064A);
    EXPECT_EQ(FromHotkeyControlValue(0x064A), ctrlAltJ);
    EXPECT_EQ(FromHotkeyControlValue(ToHotkeyControlValue({0x2E, kHotkeyExtended})),
              (Hotkey{0x2E, kHotkeyExtended}));
    EXPECT_EQ(ToHotkeyControlValue({}), 0);
    EXPECT_FALSE(FromHotkeyControlValue(0).IsSet());
    // Stored values beyond a byte (garbage in the file) keep only what the control holds.
    EXPECT_EQ(ToHotkeyControlValue({0xFFFF, 0xFFFF}), 0xFFFF);
    EXPECT_EQ(ToHotkeyControlValue({0x1241, 0x0302}), 0x0241);
    EXPECT_EQ(FromHotkeyControlValue(0xFFFF0141), (Hotkey{0x41, 0x01}));
}

TEST(SettingPages, HotkeyTextAsTheControlShowsIt) {
    const ModifierNames names;
    EXPECT_EQ(HotkeyText(kHotkeyControl | kHotkeyAlt, L"J", names), L"Ctrl + Alt + J");
    EXPECT_EQ(HotkeyText(kHotkeyShift | kHotkeyControl | kHotkeyAlt | kHotkeyExtended, L"Del", names),
              L"Ctrl + Shift + Alt + Del");
    EXPECT_EQ(HotkeyText(0, L"F2", names), L"F2");
}

TEST(TakenHotkeys, NamesEachFailureWithItsCause) {
    HotkeyRegistration reg;
    reg.hotkeys = {Hotkey{'J', kHotkeyControl | kHotkeyAlt}, Hotkey{0x71, 0},
                   Hotkey{'J', kHotkeyControl | kHotkeyAlt | kHotkeyExtended}, Hotkey{0x73, 0}};
    EXPECT_EQ(TakenHotkeysText(reg, {}), L"");  // all registered: nothing to say
    reg.failed = 0b0110;
    const std::wstring text = TakenHotkeysText(reg, {L"Ctrl + Alt + J", L"F2", L"Ctrl + Alt + J", L"F4"});
    EXPECT_EQ(text,
              L"以下快捷键无法使用：\r\n"
              L"“截取整个屏幕到文件快捷键”（F2）已被其他程序占用\r\n"
              L"“截取整个屏幕到剪贴板快捷键”（Ctrl + Alt + J）与“开始截屏快捷键”相同\r\n"
              L"请在“设置...”中换一个快捷键。");
    // Only failed ones are named; an earlier unset hotkey is no duplicate.
    reg.hotkeys[0] = {};
    reg.failed = 0b0100;
    EXPECT_NE(TakenHotkeysText(reg, {L"", L"", L"Ctrl + Alt + J", L""}).find(L"已被其他程序占用"),
              std::wstring::npos);
}

}  // namespace
}  // namespace kestrow
