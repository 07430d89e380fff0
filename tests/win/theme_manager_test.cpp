#include "common/theme_manager.h"

#include <gtest/gtest.h>

namespace kestrow {
namespace {

// Which face the system offers is the face lookup's business (unit tests); here, the
// fonts made from whatever it chose.
TEST(ThemeFonts, HaveTheirSizesWeightsAndCharacterSet) {
    const CThemeManager& theme = CThemeManager::Instance();
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

TEST(ThemeFonts, StandardFontHasChineseGlyphs) {
    win::MemoryDC dc(::CreateCompatibleDC(nullptr));
    win::ScopedSelect font(dc.Get(), CThemeManager::Instance().StandardFont());
    WORD glyphs[2] = {};
    ::GetGlyphIndicesW(dc.Get(), L"取色", 2, glyphs, GGI_MARK_NONEXISTING_GLYPHS);
    EXPECT_NE(glyphs[0], 0xFFFF);
    EXPECT_NE(glyphs[1], 0xFFFF);
}

}  // namespace
}  // namespace kestrow
