// The tool bar's strip as painted: background, border, icons and the state frames,
// read back from a memory DC.
#include "worker/toolbar/toolbar_wnd.h"

#include <gtest/gtest.h>

#include <commctrl.h>

#include "common/res_reader.h"
#include "worker/toolbar/x_tooltip_ctrl.h"
#include "common/win/com.h"
#include "tests/win/test_support.h"

namespace kestrow {
namespace {

using test::WorkerResources;

unsigned Rgb(Gdiplus::Bitmap& b, int x, int y) {
    Gdiplus::Color c;
    b.GetPixel(x, y, &c);
    return c.GetValue() & 0xFFFFFF;
}

class ToolbarPaint : public ::testing::Test {
protected:
    void SetUp() override {
        ASSERT_TRUE(res.module);
        ASSERT_TRUE(toolbar.Create(nullptr, RECT{0, 0, 300, 40}));
    }
    test::Pixels Print() {
        win::MemorySurface s(nullptr, toolbar.GetWidth(), CToolbarWnd::kHeight);
        ::SendMessageW(toolbar.hwnd(), WM_PRINTCLIENT, reinterpret_cast<WPARAM>(s.dc()), PRF_CLIENT);
        ::GdiFlush();
        return test::ReadBitmap(s.bitmap());
    }
    void Mouse(UINT msg, int x, int y) { ::SendMessageW(toolbar.hwnd(), msg, 0, MAKELPARAM(x, y)); }

    win::GdiplusSession gdiplus{false};
    WorkerResources res;
    CToolbarWnd toolbar;
};

TEST(ToolbarArt, ResourcesDecodeAtTheirSizes) {
    win::GdiplusSession gdiplus(false);
    WorkerResources res;
    auto frames = LoadPngResource(res.module, 204);
    auto icons = LoadPngResource(res.module, 206);
    ASSERT_TRUE(frames && icons);
    EXPECT_EQ(frames->GetWidth(), 44u);
    EXPECT_EQ(frames->GetHeight(), 22u);
    EXPECT_EQ(icons->GetWidth(), 252u);
    EXPECT_EQ(icons->GetHeight(), 18u);
    EXPECT_FALSE(LoadPngResource(res.module, 205));  // missing: no image
    EXPECT_FALSE(CResReader(res.module, 205, L"PNG").ok());
}

// Eight tools, a separator, undo and redo, a separator and four commands.
TEST_F(ToolbarPaint, StripIs397By27WithBorderBackgroundAndIcons) {
    EXPECT_EQ(toolbar.GetWidth(), 397);
    RECT wr;
    ::GetWindowRect(toolbar.hwnd(), &wr);
    EXPECT_EQ(wr.right - wr.left, 397);
    EXPECT_EQ(wr.bottom - wr.top, 27);
    const test::Pixels p = Print();
    EXPECT_EQ(p.At(0, 0), 0x678AAAu);  // border (red 103, green 138, blue 170)
    EXPECT_EQ(p.At(396, 26), 0x678AAAu);
    EXPECT_EQ(p.At(28, 13), 0xE8E8E8u);  // gap between the first two items
    // The cancel icon (image 7, a red disc) sits in item 11 at (316 + 2, 5), the redo
    // icon (image 12) in item 9 at (254 + 2, 5), the pin (image 13) in item 10 at (289 + 2, 5).
    auto icons = LoadPngResource(res.module, 206);
    ASSERT_TRUE(icons);
    EXPECT_EQ(p.At(318 + 9, 5 + 2), Rgb(*icons, 7 * 18 + 9, 2));
    EXPECT_EQ(p.At(291 + 14, 5 + 4), Rgb(*icons, 13 * 18 + 14, 4));  // the pin's head
    EXPECT_EQ(p.At(256 + 14, 5 + 7), Rgb(*icons, 12 * 18 + 14, 7));  // inside the redo arrow's head
    const unsigned redDisc = p.At(318 + 3, 5 + 9);
    EXPECT_GT((redDisc >> 16) & 0xFF, 180u);
    EXPECT_LT((redDisc >> 8) & 0xFF, 100u);
}

TEST_F(ToolbarPaint, At144DpiEverythingIsHalfAsLargeAgainAndHitsFollow) {
    toolbar.SetDpi(144);
    RECT wr;
    ::GetWindowRect(toolbar.hwnd(), &wr);
    EXPECT_EQ(wr.right - wr.left, 596);
    EXPECT_EQ(wr.bottom - wr.top, 41);
    win::MemorySurface s(nullptr, 596, 41);
    ::SendMessageW(toolbar.hwnd(), WM_PRINTCLIENT, reinterpret_cast<WPARAM>(s.dc()), PRF_CLIENT);
    ::GdiFlush();
    const test::Pixels p = test::ReadBitmap(s.bitmap());
    EXPECT_EQ(p.At(595, 40), 0x678AAAu);  // the border at the scaled corner
    // The cancel icon (a red disc with a white cross), 27 x 27 now, in item 11 at 474 + 3, 5 x 1.5 = 8: red
    // across its middle, and the item's background just past its scaled right edge.
    for (int x : {477 + 5, 477 + 21}) {  // either side of the white cross
        const unsigned c = p.At(x, 8 + 13);
        EXPECT_GT((c >> 16) & 0xFF, 180u) << x;
        EXPECT_LT((c >> 8) & 0xFF, 100u) << x;
    }
    EXPECT_EQ(p.At(477 + 27 + 3, 8 + 13), 0xE8E8E8u);
    ::ShowWindow(toolbar.hwnd(), SW_SHOWNA);
    Mouse(WM_MOUSEMOVE, 100, 15);  // the arrow tool, now 86 to 122
    EXPECT_EQ(toolbar.strip().GetHovered(), ID_TOOL_ARROW);
    // Its tooltip grows with it: font and maximum width.
    HWND tip = XToolTipCtrl::Instance().hwnd();
    ASSERT_TRUE(tip);
    const auto tipFontHeight = [tip] {
        LOGFONTW lf{};
        ::GetObjectW(reinterpret_cast<HFONT>(::SendMessageW(tip, WM_GETFONT, 0, 0)), sizeof(lf), &lf);
        return lf.lfHeight;
    };
    const LONG scaled = tipFontHeight();
    EXPECT_EQ(::SendMessageW(tip, TTM_GETMAXTIPWIDTH, 0, 0), 450);
    toolbar.SetDpi(96);
    ::GetWindowRect(toolbar.hwnd(), &wr);
    EXPECT_EQ(wr.right - wr.left, 397) << "back on a 96 DPI monitor";
    Mouse(WM_MOUSEMOVE, 10, 10);  // the rectangle tool: the tip is shown again at 96 DPI
    const LONG plain = tipFontHeight();
    EXPECT_NE(plain, 0);
    EXPECT_EQ(scaled, ::MulDiv(plain, 144, 96));
    EXPECT_EQ(::SendMessageW(tip, TTM_GETMAXTIPWIDTH, 0, 0), 300);
}

TEST_F(ToolbarPaint, HoverPressedAndCheckedFrames) {
    auto frames = LoadPngResource(res.module, 204);
    ASSERT_TRUE(frames);
    const unsigned hoverEdge = Rgb(*frames, 0, 0), pressedEdge = Rgb(*frames, 22, 0);
    ASSERT_NE(hoverEdge, pressedEdge);
    ::ShowWindow(toolbar.hwnd(), SW_SHOWNA);

    Mouse(WM_MOUSEMOVE, 65, 10);  // over the arrow tool, item 2 at x 57
    EXPECT_EQ(toolbar.strip().GetHovered(), ID_TOOL_ARROW);
    // The shared tooltip now carries the item's tooltip text.
    HWND tip = XToolTipCtrl::Instance().hwnd();
    ASSERT_TRUE(tip);
    wchar_t text[260] = {};
    TOOLINFOW ti{};
    ti.cbSize = TTTOOLINFOW_V2_SIZE;
    ti.hwnd = toolbar.hwnd();
    ti.uId = reinterpret_cast<UINT_PTR>(toolbar.hwnd());
    ti.lpszText = text;
    ::SendMessageW(tip, TTM_GETTEXTW, 260, reinterpret_cast<LPARAM>(&ti));
    EXPECT_STREQ(text, L"箭头工具");
    EXPECT_STREQ(toolbar.strip().TooltipText(ID_UNDO), L"撤消上一次操作");
    EXPECT_EQ(Print().At(57, 3), hoverEdge);
    Mouse(WM_LBUTTONDOWN, 65, 10);
    EXPECT_EQ(Print().At(57, 3), pressedEdge);
    Mouse(WM_LBUTTONUP, 65, 10);
    EXPECT_EQ(toolbar.GetChecked(), ID_TOOL_ARROW);
    Mouse(WM_MOUSEMOVE, 300, 10);  // on to the cancel button; the arrow stays checked
    test::Pixels p = Print();
    EXPECT_EQ(p.At(57, 3), pressedEdge);
    EXPECT_EQ(p.At(289, 3), hoverEdge);
    EXPECT_EQ(p.At(3, 3), 0xE8E8E8u);  // the rectangle tool has no frame
    ::SendMessageW(toolbar.hwnd(), WM_MOUSELEAVE, 0, 0);
    EXPECT_EQ(Print().At(289, 3), 0xE8E8E8u);

    // Hiding the tool bar un-checks the tool.
    ::ShowWindow(toolbar.hwnd(), SW_HIDE);
    EXPECT_EQ(toolbar.GetChecked(), -1);
    EXPECT_EQ(Print().At(57, 3), 0xE8E8E8u);
}

// Records the commands and keys the tool bar passes to its owner.
class Owner : public win::Window {
public:
    std::vector<WPARAM> commands;
    std::vector<UINT> messages;

protected:
    LRESULT HandleMessage(UINT msg, WPARAM wp, LPARAM lp) override {
        if (msg == WM_COMMAND) commands.push_back(wp);
        if (msg == WM_CLOSE || msg == WM_KEYDOWN) {
            messages.push_back(msg);
            return 0;
        }
        return DefaultMessage(msg, wp, lp);
    }
};

TEST(ToolbarCommands, ClicksReachTheOwnerAndEscCloses) {
    win::GdiplusSession gdiplus(false);
    WorkerResources res;
    WNDCLASSEXW wc{sizeof(wc)};
    wc.lpfnWndProc = win::Window::WindowProc;
    wc.hInstance = ::GetModuleHandleW(nullptr);
    wc.lpszClassName = L"KestrowTestToolbarOwner";
    ASSERT_TRUE(win::RegisterWindowClass(wc));
    Owner owner;
    ASSERT_TRUE(owner.Create({.className = wc.lpszClassName, .x = 0, .y = 0, .width = 10, .height = 10}));
    CToolbarWnd toolbar;
    ASSERT_TRUE(toolbar.Create(owner.hwnd(), RECT{0, 0, 10, 10}));
    auto click = [&](int x) {
        ::SendMessageW(toolbar.hwnd(), WM_MOUSEMOVE, 0, MAKELPARAM(x, 10));
        ::SendMessageW(toolbar.hwnd(), WM_LBUTTONDOWN, 0, MAKELPARAM(x, 10));
        ::SendMessageW(toolbar.hwnd(), WM_LBUTTONUP, 0, MAKELPARAM(x, 10));
    };
    click(10);
    click(10);  // a checked tool sends its command again
    click(357);
    // Every tool and command in its place, left to right; the separators send nothing.
    for (int x : {40, 67, 94, 121, 148, 175, 202, 222, 237, 264, 284, 299, 326, 380}) click(x);
    EXPECT_EQ(
        owner.commands,
        (std::vector<WPARAM>{ID_TOOL_RECTANGLE, ID_TOOL_RECTANGLE, ID_COPY, ID_TOOL_ELLIPSE, ID_TOOL_ARROW,
                             ID_TOOL_BRUSH, ID_TOOL_HIGHLIGHTER, ID_TOOL_TEXT, ID_TOOL_MOSAIC, ID_TOOL_STEP,
                             ID_UNDO, ID_REDO, ID_PIN, ID_CANCEL, ID_SAVEAS}));
    EXPECT_STREQ(toolbar.strip().TooltipText(ID_TOOL_MOSAIC), L"马赛克工具");
    EXPECT_STREQ(toolbar.strip().TooltipText(ID_REDO), L"重做");
    EXPECT_STREQ(toolbar.strip().TooltipText(ID_PIN), L"钉在桌面（贴图）");
    // Pressed, then the mouse leaves: nothing is sent.
    const size_t sent = owner.commands.size();
    ::SendMessageW(toolbar.hwnd(), WM_MOUSEMOVE, 0, MAKELPARAM(382, 10));
    ::SendMessageW(toolbar.hwnd(), WM_LBUTTONDOWN, 0, MAKELPARAM(382, 10));
    ::SendMessageW(toolbar.hwnd(), WM_MOUSELEAVE, 0, 0);
    ::SendMessageW(toolbar.hwnd(), WM_LBUTTONUP, 0, MAKELPARAM(382, 10));
    EXPECT_EQ(owner.commands.size(), sent);

    ::SendMessageW(toolbar.hwnd(), WM_KEYDOWN, VK_ESCAPE, 0);
    EXPECT_TRUE(owner.messages.empty());  // no key target yet
    toolbar.SetKeyTarget(owner.hwnd());
    ::SendMessageW(toolbar.hwnd(), WM_KEYDOWN, VK_ESCAPE, 0);
    ::SendMessageW(toolbar.hwnd(), WM_KEYDOWN, 'A', 0);
    EXPECT_EQ(owner.messages, (std::vector<UINT>{WM_CLOSE, WM_KEYDOWN}));
}

}  // namespace
}  // namespace kestrow
