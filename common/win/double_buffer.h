#pragma once
// Off-screen painting: a 32-bit DIB-section surface whose pixels the program can
// touch directly, and the back buffer a window paints into before one copy to the
// screen. The back buffer is kept between paints and only grows.
#include <windows.h>

#include <cstdint>
#include <utility>

#include "common/win/gdi.h"

namespace kestrow::win {

// A memory DC with a top-down 32-bit DIB section selected (0x00RRGGBB per pixel).
class DibSurface {
public:
    DibSurface() = default;
    DibSurface(const DibSurface&) = delete;
    DibSurface& operator=(const DibSurface&) = delete;
    ~DibSurface() { Reset(); }

    bool Create(int width, int height) {
        Reset();
        if (width <= 0 || height <= 0) return false;
        BITMAPINFO bi{};
        bi.bmiHeader = {sizeof(BITMAPINFOHEADER), width, -height, 1, 32, BI_RGB};
        void* bits = nullptr;
        WindowDC screen(nullptr);
        MemoryDC dc(::CreateCompatibleDC(screen.Get()));
        Bitmap bitmap(::CreateDIBSection(screen.Get(), &bi, DIB_RGB_COLORS, &bits, nullptr, 0));
        if (!dc || !bitmap || !bits) return false;
        old_ = ::SelectObject(dc.Get(), bitmap.Get());
        dc_ = std::move(dc);
        bitmap_ = std::move(bitmap);
        bits_ = static_cast<uint32_t*>(bits);
        width_ = width;
        height_ = height;
        return true;
    }

    void Reset() {
        if (dc_ && old_) ::SelectObject(dc_.Get(), old_);
        old_ = nullptr;
        bitmap_.Reset();
        dc_.Reset();
        bits_ = nullptr;
        width_ = height_ = 0;
    }

    HDC dc() const { return dc_.Get(); }
    HBITMAP bitmap() const { return bitmap_.Get(); }
    // Valid after GdiFlush() once GDI has drawn into the surface.
    uint32_t* bits() const { return bits_; }
    int width() const { return width_; }
    int height() const { return height_; }
    explicit operator bool() const { return static_cast<bool>(dc_); }

private:
    MemoryDC dc_;
    Bitmap bitmap_;
    HGDIOBJ old_ = nullptr;
    uint32_t* bits_ = nullptr;
    int width_ = 0;
    int height_ = 0;
};

// The back buffer of a window: `Paint` answers WM_PAINT, `PrintClient` WM_PRINTCLIENT;
// both render the whole client area through `render(HDC, const RECT& client)` and copy
// it out in one piece. WM_ERASEBKGND should be answered with 1 by the window.
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

    // The buffer, at least as large as the client area; null if it cannot be made.
    HDC Prepare(HDC reference, int width, int height) {
        if (!buffer_ || buffer_.width() < width || buffer_.height() < height)
            buffer_.Create(reference, width, height);
        return buffer_.dc();
    }

    void Release() { buffer_.Reset(); }

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
        ::BitBlt(dc, area.left, area.top, area.right - area.left, area.bottom - area.top, back,
                 area.left, area.top, SRCCOPY);
    }

    MemorySurface buffer_;
};

}  // namespace kestrow::win
