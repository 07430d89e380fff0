// The art and version resources as built into Worker.exe.
#include <gtest/gtest.h>

#include <string>

#include "common/win/handles.h"
#include "tests/win/test_support.h"

namespace {

std::wstring WorkerPath() { return kestrow::test::BuiltProgram(L"Worker.exe"); }

struct Module {
    Module() : h(::LoadLibraryExW(WorkerPath().c_str(), nullptr, LOAD_LIBRARY_AS_DATAFILE)) {}
    ~Module() {
        if (h) ::FreeLibrary(h);
    }
    HMODULE h;
};

const BYTE* Resource(HMODULE m, UINT id, LPCWSTR type, DWORD* size = nullptr) {
    HRSRC r = ::FindResourceW(m, MAKEINTRESOURCEW(id), type);
    if (!r) return nullptr;
    if (size) *size = ::SizeofResource(m, r);
    return static_cast<const BYTE*>(::LockResource(::LoadResource(m, r)));
}

bool MaskBit(const BYTE* rows, int height, int x, int y) {
    const int stride = 4;                                // 32 pixels, one bit each
    const BYTE* row = rows + (height - 1 - y) * stride;  // bottom-up
    return (row[x / 8] >> (7 - x % 8)) & 1;
}

TEST(WorkerResources, CrosshairCursorIsABlackCrossHotAt16x15) {
    Module m;
    ASSERT_TRUE(m.h);
    const BYTE* group = Resource(m.h, 208, RT_GROUP_CURSOR);
    ASSERT_TRUE(group);
    const int id = ::LookupIconIdFromDirectoryEx(const_cast<BYTE*>(group), FALSE, 32, 32, LR_MONOCHROME);
    DWORD size = 0;
    const BYTE* cur = Resource(m.h, id, RT_CURSOR, &size);
    ASSERT_TRUE(cur);
    const auto* hot = reinterpret_cast<const WORD*>(cur);
    EXPECT_EQ(hot[0], 16);
    EXPECT_EQ(hot[1], 15);
    const auto* bih = reinterpret_cast<const BITMAPINFOHEADER*>(cur + 4);
    ASSERT_EQ(bih->biWidth, 32);
    ASSERT_EQ(bih->biHeight, 64);
    ASSERT_EQ(bih->biBitCount, 1);
    const BYTE* xorMask = cur + 4 + bih->biSize + 2 * sizeof(RGBQUAD);
    const BYTE* andMask = xorMask + 32 * 4;
    for (int y = 0; y < 32; ++y)
        for (int x = 0; x < 32; ++x) {
            const bool vertical = (x == 15 || x == 16) && y != 16;
            const bool horizontal = (y == 14 || y == 15) && x != 17;
            const bool black = vertical || horizontal;
            EXPECT_EQ(MaskBit(andMask, 32, x, y), !black) << x << "," << y;
            EXPECT_EQ(MaskBit(xorMask, 32, x, y), false) << x << "," << y;
        }

    // And the system reads the same hot spot from it.
    HCURSOR cursor = reinterpret_cast<HCURSOR>(
        ::CreateIconFromResourceEx(const_cast<BYTE*>(cur), size, FALSE, 0x00030000, 32, 32, LR_MONOCHROME));
    ASSERT_TRUE(cursor);
    ICONINFO info{};
    ASSERT_TRUE(::GetIconInfo(cursor, &info));
    EXPECT_EQ(info.xHotspot, 16u);
    EXPECT_EQ(info.yHotspot, 15u);
    if (info.hbmMask) ::DeleteObject(info.hbmMask);
    if (info.hbmColor) ::DeleteObject(info.hbmColor);
    ::DestroyCursor(cursor);
}

TEST(WorkerResources, IconManifestAndVersion) {
    Module m;
    ASSERT_TRUE(m.h);
    EXPECT_TRUE(Resource(m.h, 128, RT_GROUP_ICON));
    DWORD size = 0;
    const BYTE* manifest = Resource(m.h, 1, RT_MANIFEST, &size);
    ASSERT_TRUE(manifest);
    const std::string text(reinterpret_cast<const char*>(manifest), size);
    EXPECT_NE(text.find("Microsoft.Windows.Common-Controls"), std::string::npos);
    EXPECT_NE(text.find("asInvoker"), std::string::npos);

    DWORD handle = 0;
    const std::wstring path = WorkerPath();
    DWORD len = ::GetFileVersionInfoSizeW(path.c_str(), &handle);
    ASSERT_GT(len, 0u);
    std::string block(len, '\0');
    ASSERT_TRUE(::GetFileVersionInfoW(path.c_str(), 0, len, block.data()));
    wchar_t* value = nullptr;
    UINT valueLen = 0;
    ASSERT_TRUE(::VerQueryValueW(block.data(), L"\\StringFileInfo\\000404b0\\FileVersion",
                                 reinterpret_cast<void**>(&value), &valueLen));
    EXPECT_EQ(std::wstring(value), L"1, 0, 0, 7011");
}

}  // namespace
