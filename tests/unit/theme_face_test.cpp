#include "worker/annotation/theme_face.h"

#include <gtest/gtest.h>

namespace kestrow {
namespace {

TEST(ThemeFace, PreferenceOrder) {
    EXPECT_EQ(ChooseThemeFace(kAllThemeFaces), L"微软雅黑");
    EXPECT_EQ(ChooseThemeFace(kFaceTahoma | kFaceSongTi), L"Tahoma");
    EXPECT_EQ(ChooseThemeFace(kFaceSongTi), L"宋体");
    EXPECT_EQ(ChooseThemeFace(kFaceYaHei | kFaceSongTi), L"微软雅黑");
    EXPECT_EQ(ChooseThemeFace(0), L"");
}

TEST(ThemeFace, NamesMatchExactly) {
    EXPECT_EQ(ThemeFaceFlag(L"微软雅黑"), kFaceYaHei);
    EXPECT_EQ(ThemeFaceFlag(L"Tahoma"), kFaceTahoma);
    EXPECT_EQ(ThemeFaceFlag(L"tahoma"), 0u);
    EXPECT_EQ(ThemeFaceFlag(L"宋体"), kFaceSongTi);
    EXPECT_EQ(ThemeFaceFlag(L"Tahoma Bold"), 0u);
    EXPECT_FALSE(EnumeratesFaces(5));
    EXPECT_TRUE(EnumeratesFaces(6));
}

}  // namespace
}  // namespace kestrow
