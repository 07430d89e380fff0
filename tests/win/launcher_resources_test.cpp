// The menu, dialog, icon and version resources as built into KestrowCapture.exe.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "common/win/handles.h"
#include "tests/win/test_support.h"

namespace {

std::wstring LauncherPath() { return kestrow::test::BuiltProgram(L"KestrowCapture.exe"); }

struct Module {
    kestrow::test::DataModule module{LauncherPath()};
    HMODULE h = module.Get();
};

struct Item {
    UINT id;  // 0 for a separator, -1 for a submenu
    std::wstring text;
};

std::vector<Item> Items(HMENU menu) {
    std::vector<Item> items;
    for (int i = 0; i < ::GetMenuItemCount(menu); ++i) {
        wchar_t text[64] = {};
        MENUITEMINFOW mii{sizeof(mii)};
        mii.fMask = MIIM_ID | MIIM_FTYPE | MIIM_SUBMENU | MIIM_STRING;
        mii.dwTypeData = text;
        mii.cch = 64;
        ::GetMenuItemInfoW(menu, i, TRUE, &mii);
        if (mii.fType & MFT_SEPARATOR)
            items.push_back({0, L""});
        else
            items.push_back({mii.hSubMenu ? UINT(-1) : mii.wID, text});
    }
    return items;
}

TEST(LauncherResources, TrayMenuHasEveryItemInOrder) {
    Module m;
    ASSERT_TRUE(m.h);
    kestrow::win::UniqueMenu menu(::LoadMenuW(m.h, MAKEINTRESOURCEW(201)));
    ASSERT_TRUE(menu);
    HMENU popup = ::GetSubMenu(menu.Get(), 0);
    ASSERT_TRUE(popup);
    const std::vector<Item> expected = {
        {32780, L"截屏"},
        {UINT(-1), L"截整个屏幕"},
        {32798, L"截窗口"},
        {0, L""},
        {32781, L"取色"},
        {0, L""},
        {32792, L"网页截图..."},
        {0, L""},
        {32794, L"设置..."},
        {0, L""},
        {32796, L"反馈建议..."},
        {32790, L"关于..."},
        {0, L""},
        {32783, L"退出"},
    };
    const std::vector<Item> items = Items(popup);
    ASSERT_EQ(items.size(), expected.size());
    for (size_t i = 0; i < items.size(); ++i) {
        EXPECT_EQ(items[i].id, expected[i].id) << i;
        EXPECT_EQ(items[i].text, expected[i].text) << i;
    }
    const std::vector<Item> sub = Items(::GetSubMenu(popup, 1));
    ASSERT_EQ(sub.size(), 2u);
    EXPECT_EQ(sub[0].id, 32787u);
    EXPECT_EQ(sub[0].text, L"到文件 ");  // the trailing blank belongs to the text
    EXPECT_EQ(sub[1].id, 32788u);
    EXPECT_EQ(sub[1].text, L"到剪贴板");
}

TEST(LauncherResources, MainDialogTemplateIsHidden) {
    Module m;
    ASSERT_TRUE(m.h);
    HRSRC r = ::FindResourceW(m.h, MAKEINTRESOURCEW(129), RT_DIALOG);
    ASSERT_TRUE(r);
    const auto* words = static_cast<const WORD*>(::LockResource(::LoadResource(m.h, r)));
    ASSERT_EQ(words[1], 0xFFFF);  // DLGTEMPLATEEX
    const DWORD style = *reinterpret_cast<const DWORD*>(words + 6);
    EXPECT_FALSE(style & WS_VISIBLE);
    EXPECT_EQ(style & (WS_CAPTION | WS_SYSMENU | WS_MINIMIZEBOX), WS_CAPTION | WS_SYSMENU | WS_MINIMIZEBOX);
    EXPECT_EQ(words[8], 0);     // no controls
    EXPECT_EQ(words[11], 339);  // cx
    EXPECT_EQ(words[12], 292);  // cy
    // Menu and class are empty (one 0 word each); the caption follows.
    EXPECT_EQ(words[13], 0);
    EXPECT_EQ(words[14], 0);
    EXPECT_EQ(std::wstring(reinterpret_cast<const wchar_t*>(words + 15)), L"Snaptrel");
}

TEST(LauncherResources, IconAndVersion) {
    Module m;
    ASSERT_TRUE(m.h);
    EXPECT_TRUE(::FindResourceW(m.h, MAKEINTRESOURCEW(128), RT_GROUP_ICON));
    DWORD handle = 0;
    const std::wstring path = LauncherPath();
    std::vector<BYTE> data(::GetFileVersionInfoSizeW(path.c_str(), &handle));
    ASSERT_FALSE(data.empty());
    ASSERT_TRUE(::GetFileVersionInfoW(path.c_str(), 0, DWORD(data.size()), data.data()));
    VS_FIXEDFILEINFO* fixed = nullptr;
    UINT len = 0;
    ASSERT_TRUE(::VerQueryValueW(data.data(), L"\\", reinterpret_cast<void**>(&fixed), &len));
    EXPECT_EQ(fixed->dwFileVersionMS, (1u << 16) | 0);
    EXPECT_EQ(fixed->dwFileVersionLS, (0u << 16) | 7011);
    wchar_t* text = nullptr;
    ASSERT_TRUE(::VerQueryValueW(data.data(), L"\\StringFileInfo\\000404b0\\FileVersion",
                                 reinterpret_cast<void**>(&text), &len));
    EXPECT_STREQ(text, L"1, 0, 0, 7011");
}

}  // namespace
