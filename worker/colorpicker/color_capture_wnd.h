#pragma once
// The colour picker: the frozen screen with a magnifier box that shows the pixels
// around the cursor and the colour under it; Enter copies the colour as text.
#include <windows.h>

#include <string>

#include "common/screen_layout.h"
#include "common/win/gdi.h"
#include "common/win/window.h"

namespace kestrow {

using ClipboardAllocator = HGLOBAL(WINAPI*)(UINT, SIZE_T);

// Puts `text` on the clipboard as CF_UNICODETEXT; true only when the clipboard has
// taken it. The allocator is there so a failed allocation can be tested.
bool PutTextOnClipboard(HWND owner, const std::wstring& text, ClipboardAllocator alloc = ::GlobalAlloc);

class CColorCaptureWnd : public win::Window {
public:
    static constexpr const wchar_t* kClassName = L"KESTROW_ColorCaptureWndClass";
    static constexpr UINT_PTR TIMER_ACTIVATE = 100;

    static bool RegisterClass();
    // Freezes the screen and covers it; called after creation, before showing.
    void Start();
    HDC snapshotDC() const { return snapshot_.dc(); }

protected:
    LRESULT HandleMessage(UINT msg, WPARAM wp, LPARAM lp) override;

private:
    void OnCreate();
    void OnPaint();
    void Render(HDC target);
    void OnKeyDown(UINT key);
    // Puts the colour at `pos` on the clipboard; true when it is there.
    bool CopyColor(POINT pos);
    // The colour at a screen position.
    COLORREF PickedColor(POINT pos) const;

    win::MemorySurface backBuffer_;
    win::MemorySurface snapshot_;
    win::MemorySurface zoom_;
    win::Pen crossPen_;
    int screenWidth_ = 0;
    int screenHeight_ = 0;
    // The window and its snapshot cover the virtual screen from its corner.
    ScreenLayout layout_;
};

}  // namespace kestrow
