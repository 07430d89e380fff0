#include "common/theme_faces.h"

#include <gtest/gtest.h>

#include <vector>

namespace kestrow {
namespace {

// A system's font list as given, counting how many names were read.
FontFamilyList Fonts(std::vector<std::wstring> names, int* read = nullptr) {
    return [names, read](const std::function<bool(std::wstring_view)>& visit) {
        for (const auto& name : names) {
            if (read) ++*read;
            if (!visit(name)) return;
        }
    };
}

TEST(ThemeFace, PreferenceIsYaHeiThenTahomaThenSimSun) {
    EXPECT_EQ(ThemeFaceFor(kFaceYaHei | kFaceTahoma | kFaceSimSun), L"微软雅黑");
    EXPECT_EQ(ThemeFaceFor(kFaceTahoma | kFaceSimSun), L"Tahoma");
    EXPECT_EQ(ThemeFaceFor(kFaceSimSun), L"宋体");
    EXPECT_EQ(ThemeFaceFor(0), L"");
}

TEST(ThemeFace, FacesAreFoundByTheirExactFullName) {
    EXPECT_EQ(FindThemeFaces(6, Fonts({L"Arial", L"Tahoma", L"宋体"})), unsigned(kFaceTahoma | kFaceSimSun));
    EXPECT_EQ(FindThemeFaces(10, Fonts({L"tahoma", L"微软雅黑 Bold", L"SimSun", L"Microsoft YaHei"})), 0u);
    EXPECT_EQ(FindThemeFaces(6, Fonts({})), 0u);
}

TEST(ThemeFace, OldSystemsTakeSimSunWithoutReadingTheList) {
    int read = 0;
    EXPECT_EQ(FindThemeFaces(5, Fonts({L"微软雅黑", L"Tahoma"}, &read)), unsigned(kFaceSimSun));
    EXPECT_EQ(read, 0);
}

TEST(ThemeFace, ReadingStopsOnceAllThreeAreFound) {
    int read = 0;
    const unsigned found =
        FindThemeFaces(6, Fonts({L"宋体", L"Tahoma", L"微软雅黑", L"Arial", L"Courier"}, &read));
    EXPECT_EQ(found, unsigned(kFaceYaHei | kFaceTahoma | kFaceSimSun));
    EXPECT_EQ(read, 3);
}

}  // namespace
}  // namespace kestrow
