// The overlay as a whole, driven by its messages and rendered into memory DCs.
#include "worker/screen_capture_wnd.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <cstring>
#include <utility>

#include "common/dpi.h"
#include "common/win/com.h"
#include "tests/win/test_support.h"
#include "worker/capture_output.h"
#include "worker/dimming.h"
#include "worker/annotation/annotation_layout.h"
#include "worker/image_output.h"
#include "worker/res/resource.h"

namespace kestrow {
namespace {

// The bitmap on the clipboard, or an empty picture.
test::Pixels ClipboardBitmap() {
    win::ClipboardSession clipboard(nullptr);
    HANDLE bitmap = clipboard.IsOpen() ? ::GetClipboardData(CF_BITMAP) : nullptr;
    return bitmap ? test::ReadBitmap(static_cast<HBITMAP>(bitmap)) : test::Pixels{};
}

class Overlay : public ::testing::Test {
protected:
    void SetUp() override {
        ::SetCursorPos(500, 400);
        ASSERT_TRUE(overlay.Create(L"截屏工具", WS_POPUP, WS_EX_TOOLWINDOW));
        overlay.StartCapture();
        w = ::GetSystemMetrics(SM_CXVIRTUALSCREEN);
        h = ::GetSystemMetrics(SM_CYVIRTUALSCREEN);
        // A known picture instead of whatever the screen showed.
        test::Pixels p{w, h, std::vector<unsigned>(size_t(w) * h)};
        for (int y = 0; y < h; ++y)
            for (int x = 0; x < w; ++x) p.data[size_t(y) * w + x] = test::Unique(x, y);
        win::WindowDC screen(nullptr);
        BITMAPINFO bi = test::TopDown32(w, h);
        ::SetDIBitsToDevice(overlay.snapshotDC(), 0, 0, w, h, 0, 0, 0, h, p.data.data(), &bi, DIB_RGB_COLORS);
        DimPixels(p.data.data(), p.data.size());
        ::SetDIBitsToDevice(overlay.dimmedDC(), 0, 0, w, h, 0, 0, 0, h, p.data.data(), &bi, DIB_RGB_COLORS);
        ::GdiFlush();
        kept.Create(nullptr, w, h);
    }
    void Send(UINT msg, int x, int y) { ::SendMessageW(overlay.hwnd(), msg, 0, MAKELPARAM(x, y)); }
    // A drag with the left button, from press to release.
    void Drag(int x0, int y0, int x1, int y1) {
        Send(WM_LBUTTONDOWN, x0, y0);
        Send(WM_MOUSEMOVE, x1, y1);
        Send(WM_LBUTTONUP, x1, y1);
    }
    // A selection from (100, 200) to (300, 400) with `tool` picked.
    void SelectAndPick(int tool) {
        Drag(100, 200, 300, 400);
        ::SendMessageW(overlay.hwnd(), WM_COMMAND, tool, 0);
    }
    // A drag with `tool`, the pane in `mode`.
    void Draw(int tool, int mode, int x0, int y0, int x1, int y1) {
        overlay.colorPane().SetMode(mode);
        overlay.graphs().SetActiveTool(tool);
        Drag(x0, y0, x1, y1);
    }
    // Every kind of shape, copied, is what the screen showed on a monitor of `dpi`.
    void ExpectCopyAsShown(int dpi) {
        test::ReceiverThread launcher;
        overlay.SetLayout(ScreenLayout({0, 0, w, h}, {{0, 0, w, h}}, {dpi}));
        SelectAndPick(ID_TOOL_RECTANGLE);
        Drag(120, 220, 200, 300);
        Draw(ID_TOOL_ELLIPSE, kPaneShapes, 210, 220, 290, 290);
        Draw(ID_TOOL_ARROW, kPaneShapes, 140, 380, 200, 330);
        Draw(ID_TOOL_BRUSH, kPaneShapes, 110, 390, 290, 370);
        Draw(ID_TOOL_HIGHLIGHTER, kPaneHighlighter, 110, 300, 290, 320);
        Draw(ID_TOOL_MOSAIC, kPaneMosaic, 110, 210, 251, 333);                        // over the rectangle
        for (int x : {150, 190, 230}) Draw(ID_TOOL_STEP, kPaneStep, x, 300, x, 300);  // on the mosaic
        Draw(ID_TOOL_TEXT, kPaneText, 120, 340, 120, 340);
        ::SetWindowTextW(overlay.graphs().textBox().hwnd(), L"注释 text");
        overlay.graphs().CommitText();
        ASSERT_EQ(overlay.graphs().ShapeCount(), 10);
        // The magnifier sits in the screen's top-left corner, over the selection's corner,
        // unless the pointer is in that corner: then it moves to the bottom-right one.
        ::SetCursorPos(10, 10);
        const test::Pixels screen = Render(kept);
        ::SendMessageW(overlay.hwnd(), WM_COMMAND, ID_COPY, 0);
        const test::Pixels copy = ClipboardBitmap();
        ASSERT_EQ(copy.width, 200);
        ASSERT_EQ(copy.height, 200);
        // All but the band along the edges where the frame and its handles are drawn.
        const int band = Scale(5, dpi) + 1;
        size_t differ = 0;
        for (int y = band; y < 200 - band; ++y)
            for (int x = band; x < 200 - band; ++x) differ += copy.At(x, y) != screen.At(100 + x, 200 + y);
        EXPECT_EQ(differ, 0u) << dpi;
        EXPECT_NE(copy.At(30, 30), test::Unique(130, 230)) << "pixelated";
        EXPECT_EQ(copy.At(175, 175), test::Unique(275, 375)) << "outside the shapes";
    }
    test::Pixels Render(win::MemorySurface& s) {
        overlay.Render(s.dc(), RECT{0, 0, w, h});
        ::GdiFlush();
        return test::ReadBitmap(s.bitmap());
    }
    // The kept buffer, rendered again after a change, must equal a fresh render.
    void ExpectSameAsFresh(const char* step) {
        win::MemorySurface fresh(nullptr, w, h);
        const test::Pixels a = Render(kept);  // only what changed since the last render into it
        const test::Pixels b = Render(fresh);
        Render(kept);  // the kept buffer is the last target again for the next step
        size_t differ = 0;
        for (size_t i = 0; i < a.data.size(); ++i) differ += a.data[i] != b.data[i];
        EXPECT_EQ(differ, 0u) << step;
    }

    win::GdiplusSession gdiplus{false};
    CScreenCaptureWnd overlay{false};
    win::MemorySurface kept;
    int w = 0, h = 0;
};

TEST_F(Overlay, DimmedImageFollowsTheFormulaForEveryChannel) {
    CScreenCaptureWnd fresh(false);
    ASSERT_TRUE(fresh.Create(L"", WS_POPUP, WS_EX_TOOLWINDOW));
    ASSERT_TRUE(fresh.TakeSnapshot(256, 2));  // the screen under it is whatever the display shows
    test::Pixels p{256, 2, std::vector<unsigned>(512)};
    for (int x = 0; x < 256; ++x)
        p.data[x] = p.data[256 + x] = (unsigned(x) << 16) | (unsigned(255 - x) << 8) | x;
    BITMAPINFO bi = test::TopDown32(256, 2);
    ::SetDIBitsToDevice(fresh.snapshotDC(), 0, 0, 256, 2, 0, 0, 0, 2, p.data.data(), &bi, DIB_RGB_COLORS);
    // Dimming runs on the snapshot as grabbed; check it against the formula pixel by pixel.
    ASSERT_TRUE(fresh.TakeSnapshot(256, 2));
    ::GdiFlush();
    win::MemorySurface a(nullptr, 256, 2), b(nullptr, 256, 2);
    ::BitBlt(a.dc(), 0, 0, 256, 2, fresh.snapshotDC(), 0, 0, SRCCOPY);
    ::BitBlt(b.dc(), 0, 0, 256, 2, fresh.dimmedDC(), 0, 0, SRCCOPY);
    const test::Pixels snap = test::ReadBitmap(a.bitmap()), dimmed = test::ReadBitmap(b.bitmap());
    for (int x = 0; x < 256; ++x) {
        const unsigned s = snap.At(x, 0), d = dimmed.At(x, 0);
        for (int shift : {0, 8, 16}) ASSERT_EQ((d >> shift) & 0xFF, DimChannel((s >> shift) & 0xFF)) << x;
    }
}

TEST_F(Overlay, RendersUndimmedUntilASelectionStandsThenDimsOutside) {
    test::Pixels p = Render(kept);
    EXPECT_EQ(p.At(700, 300), test::Unique(700, 300));
    EXPECT_EQ(overlay.state(), OverlayState::Idle);
    Send(WM_LBUTTONDOWN, 100, 300);
    Send(WM_MOUSEMOVE, 300, 500);
    p = Render(kept);
    EXPECT_EQ(p.At(700, 300), test::Unique(700, 300));  // undimmed while dragging
    Send(WM_LBUTTONUP, 300, 500);
    EXPECT_EQ(overlay.state(), OverlayState::Selecting);
    p = Render(kept);
    const unsigned u = test::Unique(700, 300);
    EXPECT_EQ(p.At(700, 300), (unsigned(DimChannel(u >> 16)) << 16) |
                                  (unsigned(DimChannel((u >> 8) & 0xFF)) << 8) | DimChannel(u & 0xFF));
    EXPECT_EQ(p.At(200, 400), test::Unique(200, 400));
    EXPECT_TRUE(::IsWindowVisible(overlay.toolbar().hwnd()));
    RECT tb;
    ::GetWindowRect(overlay.toolbar().hwnd(), &tb);
    EXPECT_EQ(tb.left, 300 - overlay.toolbar().GetWidth());  // right-aligned (no art in this program)
    EXPECT_EQ(tb.top, 505);

    // A tool command checks nothing here but moves the overlay to annotating; undo with
    // no shapes then drops the selection.
    ::SendMessageW(overlay.hwnd(), WM_COMMAND, ID_TOOL_ARROW, 0);
    EXPECT_EQ(overlay.state(), OverlayState::Annotating);
    ::SendMessageW(overlay.hwnd(), WM_COMMAND, ID_UNDO, 0);
    EXPECT_EQ(overlay.state(), OverlayState::Idle);
    EXPECT_FALSE(overlay.selection().HasSelection());
    EXPECT_FALSE(::IsWindowVisible(overlay.toolbar().hwnd()));
}

TEST_F(Overlay, KeptBackBufferMatchesAFreshRenderAfterEveryChange) {
    Render(kept);
    ::SetCursorPos(620, 450);
    ExpectSameAsFresh("crosshair moved");
    ::SetCursorPos(20, 20);
    ExpectSameAsFresh("magnifier to the other corner");
    Send(WM_LBUTTONDOWN, 100, 300);
    Send(WM_MOUSEMOVE, 400, 500);
    ExpectSameAsFresh("dragging");
    Send(WM_MOUSEMOVE, 250, 350);
    ExpectSameAsFresh("dragging back");
    Send(WM_LBUTTONUP, 250, 350);
    ExpectSameAsFresh("released");
    Send(WM_LBUTTONDOWN, 200, 320);
    Send(WM_MOUSEMOVE, 260, 330);
    Send(WM_LBUTTONUP, 260, 330);
    ExpectSameAsFresh("moved");
    Send(WM_LBUTTONDOWN, 310, 360);  // bottom-right handle
    Send(WM_MOUSEMOVE, 180, 340);
    ExpectSameAsFresh("resized inside out");
    Send(WM_LBUTTONUP, 180, 340);
    ExpectSameAsFresh("normalised");
    ::SendMessageW(overlay.hwnd(), WM_RBUTTONUP, 0, 0);
    ExpectSameAsFresh("reset");
}

TEST_F(Overlay, DoubleClickCopiesTheSelectionWithItsShapes) {
    test::ReceiverThread launcher;
    SelectAndPick(ID_TOOL_RECTANGLE);
    Drag(120, 220, 200, 300);
    Send(WM_LBUTTONDBLCLK, 150, 250);
    const test::Pixels p = ClipboardBitmap();
    ASSERT_EQ(p.width, 200);
    ASSERT_EQ(p.height, 200);
    EXPECT_EQ(p.At(50, 50), test::Unique(150, 250));
    EXPECT_EQ(p.At(20, 50), 0xFF0000u);  // the rectangle's left side, burnt in
    ASSERT_EQ(launcher.records().size(), 1u);
    EXPECT_EQ(launcher.records()[0].code, RESULT_REGION_COPIED);
    EXPECT_FALSE(::IsWindowVisible(overlay.hwnd()));
}

test::ClipboardHolder* g_holder = nullptr;
void LetTheClipboardGo() { g_holder->Release(); }

TEST_F(Overlay, ABusyClipboardKeepsTheCaptureAndItsShapesForAnotherTry) {
    test::ReceiverThread launcher;
    SelectAndPick(ID_TOOL_RECTANGLE);
    Drag(120, 220, 200, 300);
    test::ClipboardHolder busy;
    g_holder = &busy;
    {
        test::MessageBoxWatch watch(overlay.hwnd(), &LetTheClipboardGo);
        ::SendMessageW(overlay.hwnd(), WM_COMMAND, ID_COPY, 0);
    }
    EXPECT_EQ(test::MessageBoxWatch::text(), kClipboardBusyText);
    EXPECT_TRUE(::IsWindowVisible(overlay.hwnd()));
    EXPECT_TRUE(::IsWindowVisible(overlay.toolbar().hwnd()));
    EXPECT_EQ(overlay.graphs().ShapeCount(), 1);
    const unsigned under = test::Unique(120, 250);  // 0x00RRGGBB
    EXPECT_EQ(::GetPixel(overlay.snapshotDC(), 120, 250), RGB(under >> 16, (under >> 8) & 0xFF, under & 0xFF))
        << "the shapes were burnt into the frozen screen";
    EXPECT_TRUE(launcher.records().empty());
    ::SendMessageW(overlay.hwnd(), WM_COMMAND, ID_COPY, 0);  // the second try
    EXPECT_EQ(ClipboardBitmap().At(20, 50), 0xFF0000u);
    EXPECT_FALSE(::IsWindowVisible(overlay.hwnd()));
    EXPECT_EQ(launcher.records().size(), 1u);
}

TEST_F(Overlay, F3PinsTheSelectionWithItsShapesWhereItStoodAndTheCaptureLeaves) {
    test::Pixels pinned;
    Point corner{-1, -1};
    bool accept = false;
    overlay.SetPinHandler([&](win::Bitmap picture, Point topLeft) {
        pinned = test::ReadBitmap(picture.Get());
        corner = topLeft;
        return accept;
    });
    SelectAndPick(ID_TOOL_RECTANGLE);
    Drag(120, 220, 200, 300);
    ::SendMessageW(overlay.hwnd(), WM_KEYDOWN, VK_F3, 0);
    EXPECT_TRUE(::IsWindowVisible(overlay.hwnd())) << "a pin that could not open loses nothing";
    EXPECT_EQ(overlay.graphs().ShapeCount(), 1);
    accept = true;
    ::SendMessageW(overlay.hwnd(), WM_COMMAND, ID_PIN, 0);
    EXPECT_EQ(corner, (Point{100, 200}));
    ASSERT_EQ(pinned.width, 200);
    ASSERT_EQ(pinned.height, 200);
    EXPECT_EQ(pinned.At(50, 50), test::Unique(150, 250));
    EXPECT_EQ(pinned.At(20, 50), 0xFF0000u);  // the rectangle's side, as a copy has it
    EXPECT_FALSE(::IsWindowVisible(overlay.hwnd()));
    EXPECT_FALSE(::IsWindowVisible(overlay.toolbar().hwnd()));
}

// Holds Ctrl (and Shift) down for this thread's key state while it lives.
struct HeldKeys {
    explicit HeldKeys(bool shift) {
        ::GetKeyboardState(saved);
        BYTE held[256];
        memcpy(held, saved, sizeof(held));
        held[VK_CONTROL] = 0x80;
        held[VK_SHIFT] = shift ? 0x80 : 0;
        ::SetKeyboardState(held);
    }
    ~HeldKeys() { ::SetKeyboardState(saved); }
    BYTE saved[256];
};

TEST_F(Overlay, CtrlKeysUndoRedoAndCopy) {
    test::ReceiverThread launcher;
    auto key = [&](UINT vk, bool shift) {
        HeldKeys held(shift);
        ::SendMessageW(overlay.hwnd(), WM_KEYDOWN, vk, 0);
    };
    SelectAndPick(ID_TOOL_ELLIPSE);
    Drag(120, 220, 200, 300);
    Drag(210, 310, 280, 380);
    key('Z', false);
    EXPECT_EQ(overlay.graphs().ShapeCount(), 1);
    key('Z', true);
    EXPECT_EQ(overlay.graphs().ShapeCount(), 2);
    key('Z', false);
    key('Y', false);
    EXPECT_EQ(overlay.graphs().ShapeCount(), 2);
    EXPECT_TRUE(::IsWindowVisible(overlay.hwnd()));
    key('C', false);
    EXPECT_EQ(ClipboardBitmap().width, 200);
    EXPECT_FALSE(::IsWindowVisible(overlay.hwnd()));
    EXPECT_EQ(launcher.records().size(), 1u);
}

TEST_F(Overlay, EachToolCommandChoosesItsToolAndPaneMode) {
    test::WorkerResources res;
    Drag(100, 200, 300, 400);
    for (const ToolRow& tool : kTools) {
        ::SendMessageW(overlay.hwnd(), WM_COMMAND, tool.id, 0);
        EXPECT_EQ(overlay.graphs().ActiveTool(), tool.id);
        EXPECT_EQ(overlay.colorPane().mode(), tool.paneMode) << tool.id;
    }
}

TEST_F(Overlay, CopyShowsEveryKindOfShapeExactlyAsTheScreenDoes) { ExpectCopyAsShown(96); }

TEST_F(Overlay, CopyShowsEveryKindOfShapeExactlyAsTheScreenDoesAt144Dpi) { ExpectCopyAsShown(144); }

// The selection and its shapes come from a layer kept between paints; after each change
// it must show what drawing the selection and every shape anew shows, also where a
// thick stroke reaches past the frame.
TEST_F(Overlay, ShapeLayerShowsWhatDrawingEveryShapeAnewWould) {
    SelectAndPick(ID_TOOL_ELLIPSE);
    ::SetCursorPos(10, 10);  // the magnifier away in the bottom-right corner
    auto expectSame = [&](const char* step) {
        const test::Pixels shown = Render(kept);
        win::MemorySurface drawn(nullptr, w, h);
        ::BitBlt(drawn.dc(), 0, 0, w, h, overlay.dimmedDC(), 0, 0, SRCCOPY);
        overlay.selection().Draw(drawn.dc());
        overlay.graphs().DrawAll(drawn.dc());
        ::GdiFlush();
        const test::Pixels d = test::ReadBitmap(drawn.bitmap());
        size_t differ = 0;
        for (int y = 150; y < 450; ++y)
            for (int x = 50; x < 350; ++x) differ += shown.At(x, y) != d.At(x, y);
        EXPECT_EQ(differ, 0u) << step;
    };
    Drag(120, 220, 200, 300);
    expectSame("one ellipse");
    overlay.colorPane().SetMode(kPaneHighlighter);
    ::SendMessageW(overlay.colorPane().hwnd(), WM_COMMAND, ID_WIDTH_THICK, 0);
    Draw(ID_TOOL_HIGHLIGHTER, kPaneHighlighter, 100, 399, 299, 200);  // corner to corner, over the handles
    expectSame("a thick stroke past the frame");
    ::SendMessageW(overlay.hwnd(), WM_COMMAND, ID_UNDO, 0);
    expectSame("undone");
    ::SendMessageW(overlay.hwnd(), WM_COMMAND, ID_REDO, 0);
    expectSame("redone");
    // Undone and another shape drawn before a paint, as queued mouse input goes before a
    // pending paint: as many shapes as the layer holds, another one last.
    overlay.graphs().Undo();
    overlay.graphs().OnLButtonDown(130, 350);
    overlay.graphs().OnMouseMove(250, 260);
    overlay.graphs().OnLButtonUp(250, 260);
    expectSame("another shape after an undo");
    Send(WM_LBUTTONDOWN, 150, 240);
    Send(WM_MOUSEMOVE, 280, 390);
    expectSame("a stroke being drawn");
    Send(WM_LBUTTONUP, 280, 390);
}

// What the save dialog found when it opened.
struct SaveDialogWatch {
    static inline HWND pane = nullptr;
    static inline HWND owner = nullptr;
    static inline bool seen = false, paneShown = false;

    static BOOL CALLBACK FindDialog(HWND w, LPARAM found) {
        wchar_t cls[16] = {};
        ::GetClassNameW(w, cls, 16);
        if (::IsWindowVisible(w) && lstrcmpW(cls, L"#32770") == 0 && w != pane) {
            *reinterpret_cast<HWND*>(found) = w;
            return FALSE;
        }
        return TRUE;
    }
    // Runs in the dialog's own message loop: notes what it sees and cancels the dialog.
    static void CALLBACK Tick(HWND, UINT, UINT_PTR, DWORD) {
        HWND dialog = nullptr;
        ::EnumThreadWindows(::GetCurrentThreadId(), &FindDialog, reinterpret_cast<LPARAM>(&dialog));
        if (!dialog || seen) return;
        seen = true;
        owner = ::GetWindow(dialog, GW_OWNER);
        paneShown = ::IsWindowVisible(pane) != FALSE;
        ::PostMessageW(dialog, WM_COMMAND, IDCANCEL, 0);
    }
};

TEST_F(Overlay, SaveAsHidesTheColourPaneBeforeTheDialog) {
    test::WorkerResources res;
    SelectAndPick(ID_TOOL_RECTANGLE);
    SaveDialogWatch::pane = overlay.colorPane().hwnd();
    ASSERT_TRUE(::IsWindowVisible(SaveDialogWatch::pane));
    const UINT_PTR timer = ::SetTimer(nullptr, 0, 50, &SaveDialogWatch::Tick);
    ::SendMessageW(overlay.hwnd(), WM_COMMAND, ID_SAVEAS, 0);
    ::KillTimer(nullptr, timer);
    ASSERT_TRUE(SaveDialogWatch::seen);
    EXPECT_FALSE(SaveDialogWatch::paneShown);
    EXPECT_NE(SaveDialogWatch::owner, SaveDialogWatch::pane);
}

DWORD WINAPI SendFontNewsFromAnotherThread(void* p) {
    auto* args = static_cast<std::pair<HWND, wchar_t*>*>(p);
    ::SendMessageW(args->first, WM_TEXT_FONT_CHANGED, 30, reinterpret_cast<LPARAM>(args->second));
    return 0;
}

int TextBoxFontHeight(HWND box) {
    LOGFONTW lf{};
    ::GetObjectW(reinterpret_cast<HFONT>(::SendMessageW(box, WM_GETFONT, 0, 0)), sizeof(lf), &lf);
    return lf.lfHeight;
}

TEST_F(Overlay, TextFontNewsIsTakenOnlyFromItsOwnThreadAndReadFromThePane) {
    test::WorkerResources res;
    SelectAndPick(ID_TOOL_TEXT);
    HWND box = overlay.graphs().textBox().hwnd();
    HWND sizes = ::GetDlgItem(overlay.colorPane().hwnd(), IDC_FONT_SIZE);
    ::SendMessageW(sizes, CB_SETCURSEL, 12, 0);  // 20 pixels in the pane, not yet announced
    // Another thread's message, with a string it hands over, changes nothing.
    wchar_t* face = _wcsdup(L"Impostor");
    std::pair<HWND, wchar_t*> args(overlay.hwnd(), face);
    HANDLE sender = ::CreateThread(nullptr, 0, &SendFontNewsFromAnotherThread, &args, 0, nullptr);
    while (::MsgWaitForMultipleObjects(1, &sender, FALSE, 5000, QS_SENDMESSAGE) == WAIT_OBJECT_0 + 1) {
        MSG msg;
        ::PeekMessageW(&msg, nullptr, 0, 0, PM_NOREMOVE);  // delivers the sent message
    }
    ::CloseHandle(sender);
    EXPECT_EQ(TextBoxFontHeight(box), 12);
    EXPECT_STREQ(face, L"Impostor");  // still ours
    std::free(face);
    // The pane's own news applies the pane's choice, whatever the parameters say.
    ::SendMessageW(overlay.hwnd(), WM_TEXT_FONT_CHANGED, 30, 0);
    EXPECT_EQ(TextBoxFontHeight(box), 20);
}

TEST_F(Overlay, EscapeAndCancelPostTheQuitMessage) {
    Drag(100, 300, 300, 500);
    ::SendMessageW(overlay.hwnd(), WM_KEYDOWN, VK_ESCAPE, 0);
    MSG msg;
    bool quit = false;
    for (int i = 0; i < 100 && !quit; ++i) {
        while (::PeekMessageW(&msg, nullptr, 0, 0, PM_REMOVE)) {
            if (msg.message == WM_QUIT) quit = true;
            ::DispatchMessageW(&msg);
        }
        ::Sleep(5);
    }
    EXPECT_TRUE(quit);
    EXPECT_TRUE(overlay.selection().HasSelection());  // closing leaves the selection alone
}

}  // namespace
}  // namespace kestrow

namespace kestrow {
namespace {

// Sees who owns the clipboard when a change is announced, while the copy is still
// in progress (viewers in the copying thread are told before CloseClipboard returns).
class ClipboardViewer : public win::Window {
public:
    ClipboardViewer() {
        win::RegisterStandardClass(L"KESTROW_TestClipboardViewer");
        Create({.className = L"KESTROW_TestClipboardViewer"});
        next_ = ::SetClipboardViewer(hwnd());
    }
    ~ClipboardViewer() override { ::ChangeClipboardChain(hwnd(), next_); }
    bool seen = false;
    HWND owner = nullptr;

protected:
    LRESULT HandleMessage(UINT msg, WPARAM wp, LPARAM lp) override {
        if (msg == WM_DRAWCLIPBOARD) {
            seen = true;
            owner = ::GetClipboardOwner();
        }
        return DefaultMessage(msg, wp, lp);
    }

private:
    HWND next_ = nullptr;
};

TEST(ClipboardOutput, WithoutAWindowOfItsOwnTheCopyIsOpenedForAMessageOnlyOwner) {
    ClipboardViewer viewer;
    viewer.seen = false;
    win::MemorySurface dib;
    ASSERT_TRUE(dib.CreateDib(8, 8));
    ASSERT_TRUE(OutputToClipboard(CopyRegion(dib.dc(), RECT{0, 0, 8, 8}), nullptr));
    ASSERT_TRUE(viewer.seen);
    EXPECT_NE(viewer.owner, nullptr);
}

TEST(CopyRegionFromDib, GivesADeviceDependentBitmap) {
    win::MemorySurface dib;
    ASSERT_TRUE(dib.CreateDib(64, 32));
    for (int i = 0; i < 64 * 32; ++i) dib.bits()[i] = test::Unique(i % 64, i / 64);
    win::Bitmap b = CopyRegion(dib.dc(), RECT{8, 4, 24, 20});
    ASSERT_TRUE(b);
    DIBSECTION ds{};
    EXPECT_EQ(::GetObjectW(b.Get(), sizeof(ds), &ds), int(sizeof(BITMAP)));  // not a DIB section
    const test::Pixels p = test::ReadBitmap(b.Get());
    EXPECT_EQ(p.At(0, 0), test::Unique(8, 4));
    EXPECT_EQ(p.At(15, 15), test::Unique(23, 19));
}

}  // namespace
}  // namespace kestrow
