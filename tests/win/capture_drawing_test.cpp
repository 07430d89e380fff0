// The selection, the window highlight and the magnifier as drawn into memory DCs.
#include <gtest/gtest.h>

#include "tests/win/test_support.h"
#include "worker/magnifier.h"
#include "worker/selection_tracker.h"
#include "worker/window_tracker.h"

namespace kestrow {
namespace {

constexpr unsigned kSelection = 0x00AEFF;  // 0xFFAE00 as 0x00RRGGBB
constexpr unsigned kFrame = 0x007AEC;      // 0xEC7A00 as 0x00RRGGBB
constexpr unsigned kFill = 0x101010;
constexpr unsigned kRed = 0xFF0000;

struct Surfaces {
    Surfaces(int w, int h) : w(w), h(h), snapshot(nullptr, w, h), target(nullptr, w, h) {
        test::Pixels p{w, h, std::vector<unsigned>(size_t(w) * h)};
        for (int y = 0; y < h; ++y)
            for (int x = 0; x < w; ++x) p.data[size_t(y) * w + x] = test::Unique(x, y);
        test::WriteBitmap(snapshot.bitmap(), p);
        std::fill(p.data.begin(), p.data.end(), kFill);
        test::WriteBitmap(target.bitmap(), p);
    }
    test::Pixels Read() {
        ::GdiFlush();
        return test::ReadBitmap(target.bitmap());
    }
    int w, h;
    win::MemorySurface snapshot, target;
};

TEST(SelectionDrawing, InsideUndimmedBorderOutsideAndHandles) {
    Surfaces s(300, 200);
    CSelectionTracker t(300, 200, nullptr);
    t.Attach(s.snapshot.dc(), nullptr);
    t.geometry().Select({50, 40, 150, 120});
    t.Draw(s.target.dc());
    const test::Pixels p = s.Read();
    EXPECT_EQ(p.At(60, 50), test::Unique(60, 50));
    EXPECT_EQ(p.At(146, 119), test::Unique(146, 119));
    EXPECT_EQ(p.At(100, 39), kSelection);  // border just outside the selection
    EXPECT_EQ(p.At(100, 120), kSelection);
    EXPECT_EQ(p.At(49, 80), kSelection);
    EXPECT_EQ(p.At(150, 80), kSelection);
    EXPECT_EQ(p.At(80, 38), kFill);
    // Handle squares of 6 x 6 centred on the points, drawn over picture and border.
    EXPECT_EQ(p.At(47, 37), kSelection);
    EXPECT_EQ(p.At(52, 42), kSelection);
    EXPECT_EQ(p.At(53, 43), test::Unique(53, 43));
    EXPECT_EQ(p.At(46, 37), kFill);
    EXPECT_EQ(p.At(100, 80), test::Unique(100, 80));
    EXPECT_EQ(p.At(97, 117), kSelection);  // bottom middle at (100, 120)
    EXPECT_EQ(p.At(147, 77), kSelection);  // right middle at (150, 80)
}

TEST(SelectionDrawing, NineWideSelectionHasNoHandles) {
    Surfaces s(300, 200);
    CSelectionTracker t(300, 200, nullptr);
    t.Attach(s.snapshot.dc(), nullptr);
    t.geometry().Select({50, 40, 59, 120});
    t.Draw(s.target.dc());
    const test::Pixels p = s.Read();
    EXPECT_EQ(p.At(47, 37), kFill);
    EXPECT_EQ(p.At(52, 42), test::Unique(52, 42));
    EXPECT_EQ(p.At(49, 80), kSelection);
}

TEST(SelectionDrawing, OutlineOnThePictureItself) {
    Surfaces s(100, 100);
    CSelectionTracker t(100, 100, nullptr);
    t.geometry().Select({10, 20, 60, 70});
    t.DrawOutline(s.target.dc());
    const test::Pixels p = s.Read();
    EXPECT_EQ(p.At(30, 20), kSelection);
    EXPECT_EQ(p.At(60, 40), kSelection);
    EXPECT_EQ(p.At(30, 70), kSelection);
    EXPECT_EQ(p.At(10, 40), kSelection);
    EXPECT_EQ(p.At(30, 40), kFill);
}

// A small window family for the tracker: a pop-up with a button, and an overlay above.
struct Windows {
    Windows(RECT dialogRect) {
        dialog = ::CreateWindowExW(0, L"STATIC", L"", WS_POPUP | WS_VISIBLE, dialogRect.left, dialogRect.top,
                                   dialogRect.right - dialogRect.left, dialogRect.bottom - dialogRect.top,
                                   nullptr, nullptr, nullptr, nullptr);
        button = ::CreateWindowExW(0, L"BUTTON", L"OK", WS_CHILD | WS_VISIBLE, 20, 30, 80, 25, dialog,
                                   nullptr, nullptr, nullptr);
        hidden = ::CreateWindowExW(0, L"BUTTON", L"x", WS_CHILD, 0, 0, 300, 300, dialog, nullptr, nullptr,
                                   nullptr);
        overlay = ::CreateWindowExW(WS_EX_TOPMOST, L"STATIC", L"", WS_POPUP, 0, 0, 10, 10, nullptr, nullptr,
                                    nullptr, nullptr);
        ::SetWindowPos(overlay, HWND_TOP, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE | SWP_NOACTIVATE);
    }
    ~Windows() {
        ::DestroyWindow(overlay);
        ::DestroyWindow(dialog);
    }
    HWND dialog, button, hidden, overlay;
};

TEST(WindowTracking, DeepestVisibleChildIsFramedNotTheDialog) {
    Windows w({100, 100, 400, 300});
    CWindowTracker t(1024, 768, nullptr);
    t.Attach(w.overlay, nullptr);
    EXPECT_EQ(t.GetRect(), Rect{});
    t.Update(130, 140);  // inside the button at (120, 130, 200, 155)
    EXPECT_EQ(t.tracked(), w.button);
    EXPECT_EQ(t.GetRect(), (Rect{120, 130, 200, 155}));
    t.Update(300, 250);  // the dialog outside its button (the hidden child does not count)
    EXPECT_EQ(t.tracked(), w.dialog);
    EXPECT_EQ(t.GetRect(), (Rect{100, 100, 400, 300}));
}

TEST(WindowTracking, MaximisedWindowFrameStaysOnScreen) {
    const int W = ::GetSystemMetrics(SM_CXVIRTUALSCREEN), H = ::GetSystemMetrics(SM_CYVIRTUALSCREEN);
    Windows w({-8, -8, W + 8, H + 8});
    CWindowTracker t(W, H, nullptr);
    Surfaces s(W, H);
    t.Attach(w.overlay, s.snapshot.dc());
    t.Update(W / 2 + 100, H / 2 + 100);
    EXPECT_EQ(t.tracked(), w.dialog);
    EXPECT_EQ(t.GetRect(), (Rect{0, 0, W, H}));
    EXPECT_EQ(t.FrameRect(), (Rect{3, 3, W - 2, H - 2}));
    t.Draw(s.target.dc());
    const test::Pixels p = s.Read();
    EXPECT_EQ(p.At(0, H / 2), kFrame);
    EXPECT_EQ(p.At(W - 2, H / 2), kFrame);
    EXPECT_EQ(p.At(W / 2, 0), kFrame);
    EXPECT_EQ(p.At(W / 2, H - 2), kFrame);
    EXPECT_EQ(p.At(W / 2, H / 2), test::Unique(W / 2, H / 2));  // the window's picture inside
    // Over nothing at all the last window stays framed.
    ::ShowWindow(w.dialog, SW_HIDE);
    t.Update(5, 5);
    EXPECT_EQ(t.GetRect(), (Rect{0, 0, W, H}));
}

struct MagnifierRig {
    MagnifierRig() : s(W, H), selection(W, H, nullptr), window(W, H, nullptr), magnifier(W, H, selection) {
        magnifier.SetWindowTracker(&window);
        magnifier.Attach(s.snapshot.dc(), [this](HDC dc) { selection.DrawOutline(dc); });
    }
    static constexpr int W = 640, H = 480;
    Surfaces s;
    CSelectionTracker selection;
    CWindowTracker window;
    CMagnifier magnifier;
};

TEST(MagnifierDrawing, BoxCornerZoomAndCrosses) {
    MagnifierRig r;
    const int W = MagnifierRig::W, H = MagnifierRig::H;
    r.magnifier.DrawAt(r.s.target.dc(), {0, 0});
    test::Pixels p = r.s.Read();
    const int bx = W - 200, by = H - 220;
    // The top-left 25 x 25 of the picture, four times enlarged, in the lower-right quarter.
    EXPECT_EQ(p.At(bx + 100 + 4 * 7 + 1, by + 100 + 4 * 11 + 2), test::Unique(7, 11));
    EXPECT_EQ(p.At(bx + 199, by + 199), test::Unique(24, 24));
    EXPECT_EQ(p.At(bx + 10, by + 10), 0x333333u);  // outside the picture: the box colour
    EXPECT_EQ(p.At(bx + 150, by + 100), kRed);     // the hot-spot cross (row 25 -> 100..103)
    EXPECT_EQ(p.At(bx + 101, by + 150), kRed);
    EXPECT_EQ(p.At(W - 1, H - 1), 0x7F7F7Fu);  // text strip
    EXPECT_EQ(p.At(300, 0), kRed);             // screen crosshair through (0,0)
    EXPECT_EQ(p.At(5, 5), kFill);              // the top-left corner stays free
}

TEST(MagnifierDrawing, BoxOnTheMonitorUnderTheMouseScaledWithItsDpi) {
    MagnifierRig r;
    // Two monitors side by side, the right one (the primary) at 144 DPI; the overlay
    // starts at the left one's corner.
    r.magnifier.SetLayout(
        ScreenLayout({-320, 0, 320, 480}, {{0, 0, 320, 480}, {-320, 0, 0, 480}}, {144, 96}));
    r.magnifier.DrawAt(r.s.target.dc(), {600, 400});
    test::Pixels p = r.s.Read();
    EXPECT_EQ(p.At(320 + 2, 300 + 2), 0x7F7F7Fu) << "the strip starts 300 below the box's top";
    EXPECT_EQ(p.At(320 + 298, 329), 0x7F7F7Fu);
    EXPECT_NE(p.At(320 + 2, 298), 0x7F7F7Fu);
    EXPECT_EQ(p.At(320 + 6 * 4 + 2, 6 * 4 + 2), test::Unique(575 + 4, 375 + 4)) << "zoomed 6 times";
    EXPECT_EQ(p.At(2, 202), kFill) << "not on the left monitor";

    r.s = Surfaces(MagnifierRig::W, MagnifierRig::H);
    r.magnifier.Attach(r.s.snapshot.dc(), [&](HDC dc) { r.selection.DrawOutline(dc); });
    r.magnifier.DrawAt(r.s.target.dc(), {100, 300});
    p = r.s.Read();
    EXPECT_EQ(p.At(2, 202), 0x7F7F7Fu) << "the left monitor's own corner, at 96 DPI";
    EXPECT_EQ(p.At(320 + 2, 302), kFill);
}

TEST(MagnifierDrawing, CrossesFollowTheSelectionState) {
    MagnifierRig r;
    r.selection.geometry().BeginNew(300, 200);
    r.selection.geometry().DragTo(400, 300);
    r.magnifier.DrawAt(r.s.target.dc(), {400, 300});
    test::Pixels p = r.s.Read();
    EXPECT_EQ(p.At(600, 300), kRed);       // screen crosshair while dragging
    EXPECT_EQ(p.At(100, 102), 0x00AEFFu);  // no zoom cross; the outline's corner at the hot spot
    EXPECT_EQ(p.At(60, 60), test::Unique(375 + 15, 275 + 15));

    r.selection.geometry().EndDrag();
    r.s = Surfaces(MagnifierRig::W, MagnifierRig::H);
    r.magnifier.Attach(r.s.snapshot.dc(), [&](HDC dc) { r.selection.DrawOutline(dc); });
    r.magnifier.DrawAt(r.s.target.dc(), {450, 350});
    p = r.s.Read();
    EXPECT_EQ(p.At(600, 350), kFill);  // no screen crosshair once the selection stands
    EXPECT_EQ(p.At(150, 100), kRed);   // zoom cross back
    EXPECT_EQ(p.At(40, 40), test::Unique(425 + 10, 325 + 10));
}

// A repaint may copy back the box it drew last time; whatever it shows must still match
// a box drawn from scratch after each kind of change.
TEST(MagnifierDrawing, KeptBoxMatchesAFreshDrawAfterEveryChange) {
    MagnifierRig r;
    const int W = MagnifierRig::W, H = MagnifierRig::H;
    CMagnifier fresh(W, H, r.selection);
    fresh.SetWindowTracker(&r.window);
    fresh.Attach(r.s.snapshot.dc(), [&](HDC dc) { r.selection.DrawOutline(dc); });
    Surfaces kept(W, H), scratch(W, H);
    auto same = [&](POINT mouse) {
        kept = Surfaces(W, H);
        scratch = Surfaces(W, H);
        r.magnifier.DrawAt(kept.target.dc(), mouse);
        fresh.Invalidate();
        fresh.DrawAt(scratch.target.dc(), mouse);
        return kept.Read().data == scratch.Read().data;
    };
    EXPECT_TRUE(same({200, 150}));
    EXPECT_TRUE(same({200, 150})) << "nothing changed";
    EXPECT_TRUE(same({201, 150})) << "the pointer moved";
    r.selection.geometry().BeginNew(190, 140);
    r.selection.geometry().DragTo(201, 150);
    EXPECT_TRUE(same({201, 150})) << "a new rectangle is dragged";
    r.selection.geometry().EndDrag();
    EXPECT_TRUE(same({201, 150})) << "the selection stands";
    r.selection.geometry().Select({191, 140, 203, 151});
    EXPECT_TRUE(same({201, 150})) << "the selection changed";
    test::Pixels picture{W, H, std::vector<unsigned>(size_t(W) * H, 0x123456)};
    test::WriteBitmap(r.s.snapshot.bitmap(), picture);
    r.magnifier.Invalidate();
    EXPECT_TRUE(same({201, 150})) << "a new picture";
}

}  // namespace
}  // namespace kestrow
