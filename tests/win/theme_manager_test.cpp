#include "common/theme_manager.h"

#include <gtest/gtest.h>

namespace kestrow {
namespace {

TEST(ThemeFace, PreferenceIsYaHeiThenTahomaThenSimSun) {
    EXPECT_EQ(ThemeFaceFor(kFaceYaHei | kFaceTahoma | kFaceSimSun), L"微软雅黑");
    EXPECT_EQ(ThemeFaceFor(kFaceTahoma | kFaceSimSun), L"Tahoma");
    EXPECT_EQ(ThemeFaceFor(kFaceSimSun), L"宋体");
    EXPECT_EQ(ThemeFaceFor(kFaceYaHei), L"微软雅黑");
    EXPECT_EQ(ThemeFaceFor(0), L"");
}

TEST(ThemeFace, OldSystemsTakeSimSunWithoutAsking) {
    EXPECT_EQ(CThemeManager::FindFaces(5), unsigned(kFaceSimSun));
    EXPECT_EQ(CThemeManager::FindFaces(4), unsigned(kFaceSimSun));
}

TEST(ThemeFace, FacesAreMatchedByTheirFullName) {
    // Wine lists the prefix's replacement faces (Microsoft YaHei, Tahoma, SimSun) under the
    // full name of the font behind them, so none of the three matches here and the
    // face stays empty; the GB2312 character set still picks a font with Chinese glyphs.
    EXPECT_EQ(CThemeManager::FindFaces(6), 0u);
    const CThemeManager& theme = CThemeManager::Instance();
    EXPECT_EQ(theme.FaceName(), L"");
    LOGFONTW lf{};
    ASSERT_TRUE(::GetObjectW(theme.StandardFont(), sizeof(lf), &lf));
    EXPECT_EQ(lf.lfHeight, -12);
    EXPECT_EQ(lf.lfWeight, FW_NORMAL);
    EXPECT_EQ(lf.lfCharSet, GB2312_CHARSET);
    EXPECT_EQ(lf.lfPitchAndFamily, FF_SWISS);
    ASSERT_TRUE(::GetObjectW(theme.Font(2), sizeof(lf), &lf));
    EXPECT_EQ(lf.lfHeight, -14);
    EXPECT_EQ(lf.lfWeight, FW_BOLD);
    EXPECT_EQ(theme.Font(4), nullptr);
    EXPECT_EQ(theme.Font(-1), nullptr);
}

TEST(ThemeFace, StandardFontHasChineseGlyphs) {
    win::MemoryDC dc(::CreateCompatibleDC(nullptr));
    win::ScopedSelect font(dc.Get(), CThemeManager::Instance().StandardFont());
    WORD glyphs[2] = {};
    ::GetGlyphIndicesW(dc.Get(), L"取色", 2, glyphs, GGI_MARK_NONEXISTING_GLYPHS);
    EXPECT_NE(glyphs[0], 0xFFFF);
    EXPECT_NE(glyphs[1], 0xFFFF);
}

}  // namespace
}  // namespace kestrow
