#include "pagegrab/web_capture_logic.h"

#include <gtest/gtest.h>

namespace kestrow::pagegrab {
namespace {

std::wstring Normalize(std::wstring_view typed, const std::wstring& existing = L"") {
    return NormalizeAddress(typed, [&](const std::wstring& p) { return p == existing; });
}

TEST(WebAddress, PrefixOnlyForLongTextsWithoutHttp) {
    EXPECT_EQ(Normalize(L"example.com"), L"http://example.com");
    EXPECT_EQ(Normalize(L"abcdef"), L"http://abcdef");
    EXPECT_EQ(Normalize(L"abcde"), L"abcde");
    EXPECT_EQ(Normalize(L"HTTP://Example.com"), L"HTTP://Example.com");
    EXPECT_EQ(Normalize(L"hTtP://x"), L"hTtP://x");
    EXPECT_EQ(Normalize(L"https://example.com"), L"https://example.com");
    EXPECT_EQ(Normalize(L"HTTPS://x.test/a"), L"HTTPS://x.test/a");
    EXPECT_EQ(Normalize(L"https:/x.test"), L"http://https:/x.test");  // no scheme, just a name
}

TEST(WebAddress, ExistingLocalPathsStayAsTyped) {
    EXPECT_EQ(Normalize(L"C:\\pages\\a.html", L"C:\\pages\\a.html"), L"C:\\pages\\a.html");
    EXPECT_EQ(Normalize(L"C:\\pages\\b.html", L"C:\\pages\\a.html"), L"http://C:\\pages\\b.html");
}

TEST(WebAddress, CutTo509CharactersBeforeTheRules) {
    const std::wstring longText = L"http://" + std::wstring(600, L'a');
    EXPECT_EQ(Normalize(longText), longText.substr(0, 509));
    std::wstring seen;
    NormalizeAddress(std::wstring(600, L'b'), [&](const std::wstring& p) {
        seen = p;
        return false;
    });
    EXPECT_EQ(seen.size(), 509u);
}

TEST(WebCaptureTexts, SaveNameAndProgress) {
    EXPECT_EQ(SaveFileName(2013, 5, 7, 9, 3, 12), L"网页截图_2013-5-7_9点3分12秒");
    EXPECT_EQ(SaveFileName(2026, 12, 31, 23, 0, 0), L"网页截图_2026-12-31_23点0分0秒");
    EXPECT_EQ(SaveDialogFailedText(2),
              L"无法打开保存对话框（错误代码 0x0002），网页图片没有保存。截图失败！");
    EXPECT_EQ(SavingProgressText(0, 20000), L"正在保存网页图片... 0%");
    EXPECT_EQ(SavingProgressText(9999, 20000), L"正在保存网页图片... 49%");
    EXPECT_EQ(SavingProgressText(20000, 20000), L"正在保存网页图片... 100%");
    // Counts near the type's limit do not overflow; counts out of range are clamped.
    EXPECT_EQ(SavingProgressText(INT64_MAX / 2, INT64_MAX), L"正在保存网页图片... 49%");
    EXPECT_EQ(SavingProgressText(INT64_MAX, INT64_MAX), L"正在保存网页图片... 100%");
    EXPECT_EQ(SavingProgressText(INT64_MAX, 3), L"正在保存网页图片... 100%");
    EXPECT_EQ(SavingProgressText(INT64_MIN, 3), L"正在保存网页图片... 0%");
}

TEST(WebCaptureTexts, PngExtensionAndToggleDirection) {
    EXPECT_TRUE(WantsPng(L"C:\\a.png"));
    EXPECT_TRUE(WantsPng(L"C:\\a.PnG"));
    EXPECT_FALSE(WantsPng(L"C:\\a.bmp"));
    EXPECT_FALSE(WantsPng(L"C:\\a.png.bmp"));
    EXPECT_FALSE(WantsPng(L"png"));
    EXPECT_TRUE(IsNarrowed(L"设置>>"));
    EXPECT_FALSE(IsNarrowed(L"设置<<"));
    EXPECT_FALSE(IsNarrowed(L">>"));  // at index 0 it does not count
    EXPECT_EQ(SettingsStep(6), 142);
    EXPECT_EQ(SettingsStep(9), 213);  // 144 DPI
    EXPECT_EQ(SettingsStep(7), 166);
    EXPECT_EQ(SettingsStep(0), 142);
}

TEST(BitmapFileLayout, BitsPerPixelRoundUpToFileDepths) {
    const int expected[][2] = {{0, 1},   {1, 1},   {2, 4},   {4, 4},   {5, 8},  {8, 8},
                               {15, 24}, {16, 24}, {24, 24}, {25, 32}, {32, 32}};
    for (auto [display, file] : expected) EXPECT_EQ(FileBitsPerPixel(display), file) << display;
}

TEST(BitmapFileLayout, SizesAndOffsets) {
    auto l32 = LayoutBitmapFile(3, 2, 32);
    ASSERT_TRUE(l32);
    EXPECT_EQ(l32->colorTableBytes, 0u);
    EXPECT_EQ(l32->pixelOffset, 54u);
    EXPECT_EQ(l32->fileSize, 54u + 4 * 3 * 2);

    auto one = LayoutBitmapFile(1, 5, 16);  // a 16-bit display writes 24-bit rows
    ASSERT_TRUE(one);
    EXPECT_EQ(one->bitsPerPixel, 24);
    EXPECT_EQ(one->rowBytes, 4u);
    EXPECT_EQ(one->pixelBytes, 20u);

    auto l8 = LayoutBitmapFile(5, 3, 8);
    ASSERT_TRUE(l8);
    EXPECT_EQ(l8->colorTableBytes, 1024u);
    EXPECT_EQ(l8->pixelOffset, 1078u);
    EXPECT_EQ(l8->rowBytes, 8u);
    EXPECT_EQ(LayoutBitmapFile(33, 1, 1)->rowBytes, 8u);
    EXPECT_EQ(LayoutBitmapFile(9, 1, 4)->colorTableBytes, 64u);

    // Rows are stored bottom-up: the top row is the last one in the file.
    EXPECT_EQ(l32->RowOffset(0), 54u + 12);
    EXPECT_EQ(l32->RowOffset(1), 54u);
}

TEST(BitmapFileLayout, RefusesWhatTheSizeFieldsCannotHold) {
    EXPECT_FALSE(LayoutBitmapFile(0, 10, 32));
    EXPECT_FALSE(LayoutBitmapFile(10, -1, 32));
    // 1920 × 60000 at 32 bits is 460 MB: fine. 40000 × 40000 is not.
    EXPECT_EQ(LayoutBitmapFile(1920, 60000, 32)->fileSize, 54u + 1920u * 4 * 60000);
    EXPECT_FALSE(LayoutBitmapFile(40000, 40000, 32));
    // width × bits would overflow 32 bits on its own.
    EXPECT_FALSE(LayoutBitmapFile(0x7FFFFFFF, 1, 32));
    EXPECT_FALSE(LayoutBitmapFile(0x7FFFFFFF, 0x7FFFFFFF, 24));
}

TEST(BitmapFileLayout, BandsStayWithinTheBudget) {
    EXPECT_EQ(BandRows(1920, 60000, 8u << 20), 1092);
    EXPECT_EQ(BandRows(100, 10, 8u << 20), 10);
    EXPECT_EQ(BandRows(0x7FFFFFFF, 10, 8u << 20), 1);
}

}  // namespace
}  // namespace kestrow::pagegrab
