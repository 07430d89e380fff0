// A pinned picture, driven by its messages and read back through WM_PRINTCLIENT.
#include "worker/pin_wnd.h"

#include <gtest/gtest.h>

#include "tests/win/test_support.h"
#include "worker/worker_ids.h"

namespace kestrow {
namespace {

constexpr int kW = 40, kH = 30;

class Pin : public ::testing::Test {
protected:
    // A picture of `pixel(x, y)` pinned with its corner at (50, 60).
    template <class F>
    void Open(F pixel) {
        test::Pixels p{kW, kH, std::vector<unsigned>(size_t(kW) * kH)};
        for (int y = 0; y < kH; ++y)
            for (int x = 0; x < kW; ++x) p.data[size_t(y) * kW + x] = pixel(x, y);
        win::WindowDC screen(nullptr);
        win::Bitmap bitmap(::CreateCompatibleBitmap(screen.Get(), kW, kH));
        test::WriteBitmap(bitmap.Get(), p);
        ASSERT_TRUE(pin.Open(std::move(bitmap), {50, 60}));
    }
    void SetUp() override { Open(test::Unique); }
    RECT WindowRect() const {
        RECT r{};
        ::GetWindowRect(pin.hwnd(), &r);
        return r;
    }
    test::Pixels Print() const {
        const RECT r = WindowRect();
        win::MemorySurface s(nullptr, r.right - r.left, r.bottom - r.top);
        ::SendMessageW(pin.hwnd(), WM_PRINTCLIENT, reinterpret_cast<WPARAM>(s.dc()), PRF_CLIENT);
        ::GdiFlush();
        return test::ReadBitmap(s.bitmap());
    }
    void Wheel(int notches, int x, int y, WPARAM keys = 0) {
        ::SendMessageW(pin.hwnd(), WM_MOUSEWHEEL, MAKEWPARAM(keys, notches * WHEEL_DELTA), MAKELPARAM(x, y));
    }
    void Key(UINT vk) { ::SendMessageW(pin.hwnd(), WM_KEYDOWN, vk, 0); }

    CPinWnd pin;
};

TEST_F(Pin, OpensWhereThePictureStoodInAThinFrameTopMostWithTheFocus) {
    const RECT r = WindowRect();
    EXPECT_EQ(r.left, 49);
    EXPECT_EQ(r.top, 59);
    EXPECT_EQ(r.right - r.left, kW + 2);
    EXPECT_EQ(r.bottom - r.top, kH + 2);
    const test::Pixels p = Print();
    size_t differ = 0;
    for (int y = 0; y < kH; ++y)
        for (int x = 0; x < kW; ++x) differ += p.At(1 + x, 1 + y) != test::Unique(x, y);
    EXPECT_EQ(differ, 0u);
    EXPECT_EQ(p.At(0, 0), p.At(kW + 1, kH + 1));
    EXPECT_NE(p.At(0, 5), test::Unique(0, 4));
    EXPECT_TRUE(::GetWindowLongPtrW(pin.hwnd(), GWL_EXSTYLE) & WS_EX_TOPMOST);
    EXPECT_TRUE(::GetClassLongPtrW(pin.hwnd(), GCL_STYLE) & CS_DROPSHADOW);
    EXPECT_EQ(::GetFocus(), pin.hwnd());
}

TEST_F(Pin, WheelZoomsAroundThePointerSharpWhenEnlarged) {
    Wheel(10, 50, 60);  // 200 % around the picture's corner
    EXPECT_EQ(pin.view().zoom(), 200);
    const RECT r = WindowRect();
    EXPECT_EQ(r.left, 49);
    EXPECT_EQ(r.right - r.left, 2 * kW + 2);
    const test::Pixels p = Print();
    size_t differ = 0;
    for (int y = 0; y < 2 * kH; ++y)
        for (int x = 0; x < 2 * kW; ++x) differ += p.At(1 + x, 1 + y) != test::Unique(x / 2, y / 2);
    EXPECT_EQ(differ, 0u) << "every pixel a 2 x 2 block";
}

TEST_F(Pin, ShrunkItIsSmooth) {
    pin.Destroy();
    Open([](int x, int y) { return (x + y) % 2 ? 0xFFFFFFu : 0u; });
    Wheel(-5, 50, 60);  // 50 %
    const RECT r = WindowRect();
    EXPECT_EQ(r.right - r.left, kW / 2 + 2);
    const test::Pixels p = Print();
    for (int x : {1, 5, kW / 2}) EXPECT_EQ(p.At(x, 1 + 3), 0x808080u) << x;
}

TEST_F(Pin, CtrlWheelFadesDownTo20PercentAndAnOpaquePinIsNotLayered) {
    Wheel(-1, 60, 70, MK_CONTROL);
    BYTE alpha = 0;
    DWORD flags = 0;
    ASSERT_TRUE(::GetWindowLongPtrW(pin.hwnd(), GWL_EXSTYLE) & WS_EX_LAYERED);
    ASSERT_TRUE(::GetLayeredWindowAttributes(pin.hwnd(), nullptr, &alpha, &flags));
    EXPECT_EQ(alpha, 229);
    Wheel(-20, 60, 70, MK_CONTROL);
    ::GetLayeredWindowAttributes(pin.hwnd(), nullptr, &alpha, &flags);
    EXPECT_EQ(alpha, 51);
    EXPECT_EQ(pin.view().zoom(), 100) << "fading does not zoom";
    Wheel(20, 60, 70, MK_CONTROL);
    EXPECT_FALSE(::GetWindowLongPtrW(pin.hwnd(), GWL_EXSTYLE) & WS_EX_LAYERED);
}

TEST_F(Pin, ArrowsMoveByOnePixelAndByTenWithShift) {
    Key(VK_RIGHT);
    Key(VK_DOWN);
    BYTE keys[256];
    ::GetKeyboardState(keys);
    keys[VK_SHIFT] = 0x80;
    ::SetKeyboardState(keys);
    Key(VK_LEFT);
    keys[VK_SHIFT] = 0;
    ::SetKeyboardState(keys);
    const RECT r = WindowRect();
    EXPECT_EQ(r.left, 49 + 1 - 10);
    EXPECT_EQ(r.top, 59 + 1);
}

TEST_F(Pin, MenuHoldsItsFiveCommandsAndOnTopIsCheckedUntilTurnedOff) {
    auto menuText = [](HMENU m, int i) {
        wchar_t text[32] = {};
        ::GetMenuStringW(m, UINT(i), text, 32, MF_BYPOSITION);
        return std::wstring(text);
    };
    win::UniqueMenu menu = pin.MakeMenu();
    ASSERT_EQ(::GetMenuItemCount(menu.Get()), 5);
    EXPECT_EQ(menuText(menu.Get(), 0), L"复制");
    EXPECT_EQ(menuText(menu.Get(), 1), L"另存为...");
    EXPECT_EQ(menuText(menu.Get(), 2), L"原始大小");
    EXPECT_EQ(menuText(menu.Get(), 3), L"置顶");
    EXPECT_EQ(menuText(menu.Get(), 4), L"关闭");
    EXPECT_TRUE(::GetMenuState(menu.Get(), ID_PIN_TOPMOST, MF_BYCOMMAND) & MF_CHECKED);
    pin.RunCommand(ID_PIN_TOPMOST);
    EXPECT_FALSE(::GetWindowLongPtrW(pin.hwnd(), GWL_EXSTYLE) & WS_EX_TOPMOST);
    menu = pin.MakeMenu();
    EXPECT_FALSE(::GetMenuState(menu.Get(), ID_PIN_TOPMOST, MF_BYCOMMAND) & MF_CHECKED);
    pin.RunCommand(ID_PIN_TOPMOST);
    EXPECT_TRUE(::GetWindowLongPtrW(pin.hwnd(), GWL_EXSTYLE) & WS_EX_TOPMOST);
}

}  // namespace
}  // namespace kestrow
