#include <gtest/gtest.h>

#include <array>
#include <cstdint>
#include <string>
#include <vector>

#include "launcher/paint_open_policy.h"
#include "launcher/result_reaction.h"
#include "launcher/toast_fade.h"

namespace kestrow {
namespace {

ResultReaction PathResult(uint64_t code, const std::u16string& path, bool autoOpen) {
    return ReactToResult(code, path.data(), uint32_t(path.size() * 2), autoOpen);
}

TEST(ResultReaction, EachCodeGetsItsToast) {
    const int32_t zero = 0;
    EXPECT_STREQ(PathResult(1524, u"C:\\a.png", false).toast, L"屏幕已成功保存到文件");
    EXPECT_STREQ(PathResult(1525, u"C:\\a.png", false).toast, L"所选区域已成功保存到文件");
    EXPECT_STREQ(ReactToResult(1526, &zero, 4, false).toast, L"所选区域已复制到剪贴板");
    EXPECT_STREQ(ReactToResult(1527, &zero, 4, false).toast, L"所选颜色值已复制到剪贴板");
    EXPECT_EQ(PathResult(1525, u"C:\\a.png", false).action, ResultAction::Toast);
    EXPECT_EQ(ReactToResult(1526, &zero, 4, false).action, ResultAction::Toast);
    EXPECT_STREQ(kToastFullScreenCopied, L"屏幕已成功复制到剪贴板");
}

TEST(ResultReaction, AutoOpenOnlyForSavedFiles) {
    const int32_t zero = 0;
    const ResultReaction saved = PathResult(1524, u"C:\\截图 1.png", true);
    EXPECT_EQ(saved.action, ResultAction::OpenOrToast);
    EXPECT_EQ(saved.path, L"C:\\截图 1.png");
    EXPECT_EQ(PathResult(1525, u"C:\\b.bmp", true).action, ResultAction::OpenOrToast);
    EXPECT_EQ(ReactToResult(1526, &zero, 4, true).action, ResultAction::Toast);
    EXPECT_EQ(ReactToResult(1527, &zero, 4, true).action, ResultAction::Toast);
    // An empty path can name no file: the toast.
    EXPECT_EQ(ReactToResult(1525, nullptr, 0, true).action, ResultAction::Toast);
}

TEST(ResultReaction, MalformedRecordsAreIgnored) {
    const int32_t zero = 0;
    const char16_t text[] = u"C:\\a.png";
    // A null payload that claims bytes.
    EXPECT_EQ(ReactToResult(1525, nullptr, 16, true).action, ResultAction::Ignore);
    EXPECT_EQ(ReactToResult(1526, nullptr, 4, false).action, ResultAction::Ignore);
    // Half a UTF-16 code unit.
    EXPECT_EQ(ReactToResult(1524, text, 15, false).action, ResultAction::Ignore);
    // A NUL inside would cut the path short at another file.
    const std::u16string cut(u"C:\\a.png\0.exe", 13);
    EXPECT_EQ(PathResult(1525, cut, true).action, ResultAction::Ignore);
    // Numbers are exactly four bytes.
    const int64_t wide = 0;
    EXPECT_EQ(ReactToResult(1526, &wide, 8, false).action, ResultAction::Ignore);
    EXPECT_EQ(ReactToResult(1527, &zero, 2, false).action, ResultAction::Ignore);
    EXPECT_EQ(ReactToResult(1527, &zero, 0, false).action, ResultAction::Ignore);
    // Unknown codes, including ones that differ only in the high bits.
    for (uint64_t code : {0ull, 1523ull, 1529ull, 0x1000005F5ull})
        EXPECT_EQ(ReactToResult(code, &zero, 4, true).action, ResultAction::Ignore) << code;
}

TEST(ResultReaction, OverlayGoneCarriesTheWorkersProcessIdAndNoToast) {
    const uint64_t pid = 0x12345;
    const ResultReaction r = ReactToResult(1528, &pid, 4, true);
    EXPECT_EQ(r.action, ResultAction::OverlayGone);
    EXPECT_EQ(r.processId, pid);
    EXPECT_EQ(r.toast, nullptr);
    // Exactly four bytes, and no worker has process id 0.
    for (uint32_t size : {0u, 3u, 8u})
        EXPECT_EQ(ReactToResult(1528, &pid, size, false).action, ResultAction::Ignore);
    EXPECT_EQ(ReactToResult(1528, nullptr, 4, false).action, ResultAction::Ignore);
    EXPECT_EQ(ReactToResult(1528, "\0\0\0\0", 4, false).action, ResultAction::Ignore);
}

TEST(ResultReaction, OneTrailingNulNamesTheSameFile) {
    // A sender that counts the terminator.
    const ResultReaction counted = PathResult(1525, std::u16string(u"C:\\a.png\0", 9), true);
    EXPECT_EQ(counted.action, ResultAction::OpenOrToast);
    EXPECT_EQ(counted.path, L"C:\\a.png");
    EXPECT_EQ(PathResult(1524, std::u16string(u"\0", 1), true).action, ResultAction::Toast);
    // Two are one inside the path.
    EXPECT_EQ(PathResult(1525, std::u16string(u"C:\\a.png\0\0", 10), true).action, ResultAction::Ignore);
    std::u16string longest(kMaxResultPathChars, u'a');
    EXPECT_EQ(PathResult(1525, longest + u'\0', false).action, ResultAction::Toast);
}

TEST(ResultReaction, PathLengthIsBounded) {
    std::u16string longest(kMaxResultPathChars, u'a');
    EXPECT_EQ(PathResult(1525, longest, false).action, ResultAction::Toast);
    longest += u'a';
    EXPECT_EQ(PathResult(1525, longest, false).action, ResultAction::Ignore);
    // The byte count is never trusted beyond the limit, whatever the pointer.
    EXPECT_EQ(ReactToResult(1525, longest.data(), 0xFFFFFFFEu, true).action, ResultAction::Ignore);
}

TEST(PaintOpenPolicy, OnlyPathsOnADriveByTheirText) {
    EXPECT_EQ(DriveLetterOf(L"C:\\shots\\a.png"), L'C');
    EXPECT_EQ(DriveLetterOf(L"d:/a.png"), L'D');
    EXPECT_EQ(DriveLetterOf(L"\\\\?\\e:\\a.png"), L'E');
    for (const wchar_t* path : {L"\\\\server\\share\\a.png", L"//server/share/a.png",
                                L"\\\\?\\UNC\\server\\a.png", L"\\\\.\\C:\\a.png", L"\\??\\C:\\a.png",
                                L"C:a.png", L"a.png", L"\\a.png", L"", L"1:\\a.png", L"C:\\shots\\NUL.png"})
        EXPECT_EQ(DriveLetterOf(path), 0) << path;
}

TEST(PaintOpenPolicy, ThePathOnceInAFewSecondsAndTwoAtATime) {
    PaintOpenLimiter limiter;
    EXPECT_TRUE(limiter.MayOpen(L"C:\\a.png", 1000, 0));
    limiter.Opened(L"C:\\a.png", 1000, true);
    EXPECT_FALSE(limiter.MayOpen(L"c:/A.PNG", 1000 + kPaintRepeatMs - 1, 0));
    EXPECT_TRUE(limiter.MayOpen(L"C:\\a.png", 1000 + kPaintRepeatMs, 0));
    EXPECT_TRUE(limiter.MayOpen(L"C:\\b.png", 1001, 1));
    EXPECT_FALSE(limiter.MayOpen(L"C:\\b.png", 1001, kMaxPaintPrograms));
    // A start without a process to watch counts as running for a while.
    limiter.Opened(L"C:\\b.png", 2000, false);
    EXPECT_FALSE(limiter.MayOpen(L"C:\\c.png", 2001, 1));
    EXPECT_TRUE(limiter.MayOpen(L"C:\\c.png", 2001, 0));
    EXPECT_TRUE(limiter.MayOpen(L"C:\\c.png", 2000 + kPaintRepeatMs, 1));
}

TEST(ToastFade, FadesInHoldsAndFadesOut) {
    ToastFade fade;
    ToastStep s = fade.Start();
    EXPECT_EQ(fade.alpha(), 0);
    EXPECT_TRUE(s.applyAlpha);
    EXPECT_EQ(s.startTimer, TIMER_FADE_IN);
    EXPECT_EQ(s.period, 50u);

    std::vector<int> up;
    for (int i = 0; i < 14; ++i) {
        s = fade.OnTimer(TIMER_FADE_IN);
        up.push_back(fade.alpha());
        EXPECT_EQ(s.killTimer, 0u);
        EXPECT_TRUE(s.applyAlpha);
    }
    EXPECT_EQ(up.front(), 10);
    EXPECT_EQ(up.back(), 140);
    s = fade.OnTimer(TIMER_FADE_IN);  // the 15th step reaches the ceiling
    EXPECT_EQ(fade.alpha(), 150);
    EXPECT_EQ(s.killTimer, TIMER_FADE_IN);
    EXPECT_EQ(s.startTimer, TIMER_HOLD);
    EXPECT_EQ(s.period, 3000u);
    EXPECT_TRUE(s.applyAlpha);

    s = fade.OnTimer(TIMER_HOLD);
    EXPECT_EQ(fade.alpha(), 150);
    EXPECT_EQ(s.killTimer, TIMER_HOLD);
    EXPECT_EQ(s.startTimer, TIMER_FADE_OUT);
    EXPECT_EQ(s.period, 50u);
    EXPECT_FALSE(s.close);

    for (int i = 0; i < 14; ++i) {
        s = fade.OnTimer(TIMER_FADE_OUT);
        EXPECT_FALSE(s.close);
    }
    EXPECT_EQ(fade.alpha(), 10);
    s = fade.OnTimer(TIMER_FADE_OUT);
    EXPECT_EQ(fade.alpha(), 0);
    EXPECT_EQ(s.killTimer, TIMER_FADE_OUT);
    EXPECT_TRUE(s.close);
    EXPECT_TRUE(s.applyAlpha);
}

TEST(ToastFade, ClampsAndIgnoresForeignTimers) {
    ToastFade fade;
    fade.Start();
    for (int i = 0; i < 40; ++i) fade.OnTimer(TIMER_FADE_IN);  // a late tick after the kill
    EXPECT_EQ(fade.alpha(), 150);
    const ToastStep none = fade.OnTimer(7);
    EXPECT_FALSE(none.applyAlpha || none.close || none.killTimer || none.startTimer);
    for (int i = 0; i < 40; ++i) fade.OnTimer(TIMER_FADE_OUT);
    EXPECT_EQ(fade.alpha(), 0);
}

TEST(ToastSize, FixedAt96DpiAndScaledOnDenserMonitors) {
    const ToastMetrics plain = ToastMetricsFor(96), dense = ToastMetricsFor(144), wide = ToastMetricsFor(120);
    EXPECT_EQ((std::array{plain.width, plain.height, plain.fontHeight}), (std::array{400, 30, 15}));
    EXPECT_EQ((std::array{dense.width, dense.height, dense.fontHeight}), (std::array{600, 45, 23}));
    EXPECT_EQ((std::array{wide.width, wide.height, wide.fontHeight}), (std::array{500, 38, 19}));
}

}  // namespace
}  // namespace kestrow
