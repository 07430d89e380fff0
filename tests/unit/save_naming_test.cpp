#include "worker/save_naming.h"

#include <gtest/gtest.h>

namespace kestrow {
namespace {

TEST(DefaultFileName, NumbersHaveNoLeadingZeros) {
    EXPECT_EQ(DefaultFileName(2013, 7, 5, 9, 8, 7), L"截图_2013-7-5_9点8分7秒");
    EXPECT_EQ(DefaultFileName(2026, 12, 31, 23, 59, 0), L"截图_2026-12-31_23点59分0秒");
    EXPECT_EQ(DefaultFileName(2026, 1, 1, 0, 0, 0), L"截图_2026-1-1_0点0分0秒");
}

TEST(FormatForPath, ExtensionPicksTheEncoderWithoutRegardToCase) {
    EXPECT_EQ(FormatForPath(L"C:\\shots\\a.PNG"), ImageFormat::Png);
    EXPECT_EQ(FormatForPath(L"C:\\shots\\a.png"), ImageFormat::Png);
    EXPECT_EQ(FormatForPath(L"C:\\shots\\a.Bmp"), ImageFormat::Bmp);
    EXPECT_EQ(FormatForPath(L"C:\\shots\\a.bmp"), ImageFormat::Bmp);
    EXPECT_EQ(FormatForPath(L"C:\\shots\\a.jpg"), ImageFormat::Jpeg);
    EXPECT_EQ(FormatForPath(L"C:\\shots\\a.jpeg"), ImageFormat::Jpeg);
}

TEST(FormatForPath, AnythingElseIsJpeg) {
    EXPECT_EQ(FormatForPath(L"C:\\shots\\a.gif"), ImageFormat::Jpeg);
    EXPECT_EQ(FormatForPath(L"C:\\shots\\noextension"), ImageFormat::Jpeg);
    EXPECT_EQ(FormatForPath(L"C:\\shots\\a.png.txt"), ImageFormat::Jpeg);
    EXPECT_EQ(FormatForPath(L"C:\\shots\\a."), ImageFormat::Jpeg);
    EXPECT_EQ(FormatForPath(L"C:\\shots\\a.pngx"), ImageFormat::Jpeg);
}

TEST(FormatForPath, OnlyTheLastComponentsDotCounts) {
    EXPECT_EQ(FormatForPath(L"C:\\my.png\\shot"), ImageFormat::Jpeg);
    EXPECT_EQ(FormatForPath(L"C:\\my.bmp/shot"), ImageFormat::Jpeg);
    EXPECT_EQ(FormatForPath(L"C:\\my.jpg\\shot.bmp"), ImageFormat::Bmp);
}

TEST(FormatForPath, FourCharactersOrFewerAreBmp) {
    EXPECT_EQ(FormatForPath(L"a.pn"), ImageFormat::Bmp);
    EXPECT_EQ(FormatForPath(L".png"), ImageFormat::Bmp);
    EXPECT_EQ(FormatForPath(L"abcd"), ImageFormat::Bmp);
    EXPECT_EQ(FormatForPath(L""), ImageFormat::Bmp);
    EXPECT_EQ(FormatForPath(L"a.png"), ImageFormat::Png) << "five characters read the extension";
    EXPECT_EQ(FormatForPath(L"abcde"), ImageFormat::Jpeg);
}

TEST(ClampCopyRect, InsideTheDisplayIsUnchanged) {
    EXPECT_EQ(ClampCopyRect({10, 20, 110, 220}, 1024, 768), (Rect{10, 20, 110, 220}));
    EXPECT_EQ(ClampCopyRect({0, 0, 1024, 768}, 1024, 768), (Rect{0, 0, 1024, 768}));
}

TEST(ClampCopyRect, CutAtTheDisplaysRightAndBottom) {
    EXPECT_EQ(ClampCopyRect({1000, 700, 1300, 900}, 1024, 768), (Rect{1000, 700, 1024, 768}));
}

TEST(ClampCopyRect, NegativeOriginStartsAtZero) {
    EXPECT_EQ(ClampCopyRect({-50, -5, 100, 60}, 1024, 768), (Rect{0, 0, 100, 60}));
}

TEST(ClampCopyRect, NothingLeftGivesNone) {
    EXPECT_FALSE(ClampCopyRect({5, 5, 5, 50}, 1024, 768)) << "empty";
    EXPECT_FALSE(ClampCopyRect({50, 5, 10, 50}, 1024, 768)) << "inside out";
    EXPECT_FALSE(ClampCopyRect({1100, 10, 1200, 50}, 1024, 768)) << "beyond the right edge";
    EXPECT_FALSE(ClampCopyRect({10, 800, 50, 900}, 1024, 768)) << "beyond the bottom";
    EXPECT_FALSE(ClampCopyRect({-80, -80, -10, -10}, 1024, 768)) << "above and left";
}

}  // namespace
}  // namespace kestrow
