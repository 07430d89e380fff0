#pragma once
// CPinWnd: a capture pinned to the screen. A top-most picture with a thin frame that
// moves, zooms and fades under the mouse and keys, and copies or saves itself at 100 %.
// It holds the picture and, while shrunk, one smoothly scaled copy of it.
#include <windows.h>

#include "common/result_message.h"
#include "common/win/gdi.h"
#include "common/win/handles.h"
#include "common/win/window.h"
#include "worker/pin_view.h"

namespace kestrow {

class CPinWnd : public win::Window {
public:
    static constexpr const wchar_t* kClassName = kPinWindowClass;

    // Shows `picture` with its top-left pixel at `topLeft` in screen coordinates,
    // top-most and with the focus. False when the window cannot be made.
    bool Open(win::Bitmap picture, Point topLeft);

    // Called once the capture's windows are gone. Wine's cache of window DCs keeps the
    // surface each DC last drew on, here the full-screen overlay's (8 MiB at 1080p);
    // borrowing every cached DC for this window at once hands them all its small one.
    void TakeOverCachedDCs() const;

    const PinView& view() const { return view_; }
    bool topmost() const { return topmost_; }
    // The right-click menu as it would open now.
    win::UniqueMenu MakeMenu() const;
    void RunCommand(int id);

protected:
    LRESULT HandleMessage(UINT msg, WPARAM wp, LPARAM lp) override;

private:
    void Apply(bool zoomChanged);
    void Paint(HDC dc);
    void OnKeyDown(UINT vk);
    void OnWheel(int delta, bool ctrl, Point pointer);
    void OnContextMenu(Point at);
    void Copy();
    // The picture at 100 % as a bitmap of its own, for the clipboard or a file.
    win::Bitmap TakePicture() const;

    win::MemorySurface picture_;  // the picture at 100 %, as 32-bit pixels
    win::MemorySurface shrunk_;   // the picture at the current zoom, only while below 100 %
    PinView view_{{}, {}};
    bool topmost_ = true;
    bool dragging_ = false;
    Point dragPointer_;  // where a drag began, and the picture's corner then
    Point dragCorner_;
    int wheelRest_ = 0;  // wheel travel short of a whole notch
    win::Brush frame_;
};

}  // namespace kestrow
