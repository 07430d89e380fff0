#pragma once
// The back buffer a window paints into before one copy to the screen. It is kept
// between paints and only grows.
#include <windows.h>

#include <cstdint>
#include <utility>

#include "common/win/gdi.h"

namespace kestrow::win {

// The back buffer of a window: `Paint` answers WM_PAINT, `PrintClient` WM_PRINTCLIENT;
// both render the whole client area through `render(HDC, const RECT& client)` and copy
// it out in one piece. HandlePaint answers those two and WM_ERASEBKGND.
class DoubleBuffer {
public:
    template <class Render>
    void Paint(HWND hwnd, Render&& render) {
        PAINTSTRUCT ps;
        HDC dc = ::BeginPaint(hwnd, &ps);
        if (dc) Present(hwnd, dc, ps.rcPaint, render);
        ::EndPaint(hwnd, &ps);
    }

    template <class Render>
    void PrintClient(HWND hwnd, HDC dc, Render&& render) {
        RECT client;
        ::GetClientRect(hwnd, &client);
        Present(hwnd, dc, client, render);
    }

    // Answers WM_ERASEBKGND (nothing is erased: every paint covers the whole client
    // area), WM_PAINT and WM_PRINTCLIENT for a window; returns the message's result.
    template <class Render>
    LRESULT HandlePaint(HWND hwnd, UINT msg, WPARAM wp, Render&& render) {
        if (msg == WM_ERASEBKGND) return 1;
        if (msg == WM_PAINT)
            Paint(hwnd, render);
        else if (msg == WM_PRINTCLIENT)
            PrintClient(hwnd, reinterpret_cast<HDC>(wp), render);
        return 0;
    }

    // The buffer, at least as large as the client area; null if it cannot be made.
    HDC Prepare(HDC reference, int width, int height) {
        if (!buffer_ || buffer_.width() < width || buffer_.height() < height)
            buffer_.Create(reference, width, height);
        return buffer_.dc();
    }

private:
    template <class Render>
    void Present(HWND hwnd, HDC dc, const RECT& area, Render& render) {
        RECT client;
        ::GetClientRect(hwnd, &client);
        HDC back = Prepare(dc, client.right, client.bottom);
        if (!back) {
            render(dc, client);  // no memory for a buffer: draw directly rather than not at all
            return;
        }
        render(back, client);
        ::BitBlt(dc, area.left, area.top, area.right - area.left, area.bottom - area.top, back, area.left,
                 area.top, SRCCOPY);
    }

    MemorySurface buffer_;
};

}  // namespace kestrow::win
