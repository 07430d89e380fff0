// The colour picker: its copy counts only when the clipboard really holds the text;
// its zoom shows the frozen screen and nothing stale.
#include <gtest/gtest.h>

#include "common/win/handles.h"
#include "tests/win/test_support.h"
#include "worker/capture_output.h"
#include "worker/colorpicker/color_capture_wnd.h"

namespace kestrow {
namespace {

std::wstring ClipboardText() {
    win::ClipboardSession clip(nullptr);
    HANDLE data = ::GetClipboardData(CF_UNICODETEXT);
    if (!data) return L"<none>";
    std::wstring text = static_cast<const wchar_t*>(::GlobalLock(data));
    ::GlobalUnlock(data);
    return text;
}

HGLOBAL WINAPI NoMemory(UINT, SIZE_T) { return nullptr; }

TEST(ColorClipboard, TextIsPlacedWithoutATrailingBreak) {
    ASSERT_TRUE(PutTextOnClipboard(nullptr, L"RGB: 10, 255, 0\r\nHex: #0AFF00"));
    EXPECT_EQ(ClipboardText(), L"RGB: 10, 255, 0\r\nHex: #0AFF00");
}

TEST(ColorClipboard, AFailedAllocationLeavesTheClipboardAlone) {
    ASSERT_TRUE(PutTextOnClipboard(nullptr, L"old"));
    EXPECT_FALSE(PutTextOnClipboard(nullptr, L"RGB: 0, 0, 0\r\nHex: #000000", NoMemory));
    EXPECT_EQ(ClipboardText(), L"old");
}

TEST(ColorClipboard, ABusyClipboardIsWaitedForAboutASecondThenLeftAlone) {
    {
        test::ClipboardHolder brief(300);
        EXPECT_TRUE(PutTextOnClipboard(nullptr, L"old"));
    }
    EXPECT_EQ(ClipboardText(), L"old");
    test::ClipboardHolder busy;
    EXPECT_FALSE(PutTextOnClipboard(nullptr, L"lost"));
    busy.Release();
    EXPECT_EQ(ClipboardText(), L"old");
}

test::ClipboardHolder* g_holder = nullptr;
void LetTheClipboardGo() { g_holder->Release(); }

TEST(ColorPicker, ABusyClipboardKeepsThePickerUpForAnotherTry) {
    test::ReceiverThread launcher;
    CColorCaptureWnd picker;
    ASSERT_TRUE(CColorCaptureWnd::RegisterClass());
    ASSERT_TRUE(picker.Create({.className = CColorCaptureWnd::kClassName}));
    picker.Start();
    ::ShowWindow(picker.hwnd(), SW_SHOW);
    ASSERT_TRUE(PutTextOnClipboard(nullptr, L"old"));
    test::ClipboardHolder busy;
    g_holder = &busy;
    {
        test::MessageBoxWatch watch(picker.hwnd(), &LetTheClipboardGo);
        ::SendMessageW(picker.hwnd(), WM_KEYDOWN, VK_RETURN, 0);
    }
    EXPECT_EQ(test::MessageBoxWatch::text(), kClipboardBusyText);
    EXPECT_TRUE(::IsWindowVisible(picker.hwnd()));
    EXPECT_EQ(ClipboardText(), L"old");
    EXPECT_TRUE(launcher.records().empty());
    ::SendMessageW(picker.hwnd(), WM_KEYDOWN, VK_RETURN, 0);  // the second try
    EXPECT_FALSE(::IsWindowVisible(picker.hwnd()));
    EXPECT_EQ(ClipboardText().substr(0, 4), L"RGB:");
    EXPECT_EQ(launcher.records().size(), 1u);
    picker.Destroy();
}

TEST(ColorPickerZoom, PartsPastTheScreenEdgeAreFilledNotStale) {
    CColorCaptureWnd picker;
    ASSERT_TRUE(CColorCaptureWnd::RegisterClass());
    ASSERT_TRUE(picker.Create(
        {.className = CColorCaptureWnd::kClassName, .x = 0, .y = 0, .width = 10, .height = 10}));
    picker.Start();
    const int w = ::GetSystemMetrics(SM_CXVIRTUALSCREEN), h = ::GetSystemMetrics(SM_CYVIRTUALSCREEN);
    test::Pixels p{w, h, std::vector<unsigned>(size_t(w) * h)};
    for (int y = 0; y < h; ++y)
        for (int x = 0; x < w; ++x) p.data[size_t(y) * w + x] = test::Unique(x, y);
    BITMAPINFO bi = test::TopDown32(w, h);
    ::SetDIBitsToDevice(picker.snapshotDC(), 0, 0, w, h, 0, 0, 0, h, p.data.data(), &bi, DIB_RGB_COLORS);
    win::MemorySurface out(nullptr, w, h);
    auto print = [&](int x, int y) {
        ::SetCursorPos(x, y);
        ::SendMessageW(picker.hwnd(), WM_PRINTCLIENT, reinterpret_cast<WPARAM>(out.dc()), PRF_CLIENT);
        ::GdiFlush();
        return test::ReadBitmap(out.bitmap());
    };
    print(300, 300);  // fills the zoom with pixels from the middle
    const test::Pixels shot = print(0, 0);
    const int bx = w - 200, by = h - 270;  // the box moves to the bottom-right corner
    EXPECT_EQ(shot.At(bx + 10, by + 10), 0x333333u);
    EXPECT_EQ(shot.At(bx + 10, by + 150), 0x333333u);
    EXPECT_EQ(shot.At(bx + 199, by + 199), test::Unique(24, 24));
    picker.Destroy();
}

}  // namespace
}  // namespace kestrow
