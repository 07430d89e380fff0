#pragma once
// Owners for GDI objects and device contexts. A memory surface is the DC and bitmap
// pair every off-screen drawing uses; it deselects its bitmap before freeing either.
#include <windows.h>

#include <cstdint>
#include <utility>

#include "common/win/handles.h"

namespace kestrow::win {

template <class T>
inline void DeleteGdiObject(T h) {
    ::DeleteObject(h);
}
inline void DeleteMemoryDC(HDC dc) { ::DeleteDC(dc); }

template <class T>
using GdiObject = Unique<NullTraits<T, DeleteGdiObject<T>>>;
using Bitmap = GdiObject<HBITMAP>;
using Pen = GdiObject<HPEN>;
using Brush = GdiObject<HBRUSH>;
using Font = GdiObject<HFONT>;
using MemoryDC = Unique<NullTraits<HDC, DeleteMemoryDC>>;

// A DC borrowed from a window (or the whole screen with a null window) by GetDC.
class WindowDC {
public:
    explicit WindowDC(HWND hwnd) : hwnd_(hwnd), dc_(::GetDC(hwnd)) {}
    WindowDC(const WindowDC&) = delete;
    WindowDC& operator=(const WindowDC&) = delete;
    ~WindowDC() {
        if (dc_) ::ReleaseDC(hwnd_, dc_);
    }
    HDC Get() const { return dc_; }
    explicit operator bool() const { return dc_ != nullptr; }

private:
    HWND hwnd_;
    HDC dc_;
};

// Selects an object into a DC for one scope and puts the previous one back.
class ScopedSelect {
public:
    ScopedSelect(HDC dc, HGDIOBJ obj) : dc_(dc), old_(obj ? ::SelectObject(dc, obj) : nullptr) {}
    ScopedSelect(const ScopedSelect&) = delete;
    ScopedSelect& operator=(const ScopedSelect&) = delete;
    ~ScopedSelect() {
        if (old_) ::SelectObject(dc_, old_);
    }

private:
    HDC dc_;
    HGDIOBJ old_;
};

// A memory DC with its own bitmap selected: a bitmap compatible with `reference` (the
// screen when null), or a top-down 32-bit DIB section whose pixels (0x00RRGGBB) the
// program can touch directly. Empty (no DC) when either could not be made.
class MemorySurface {
public:
    MemorySurface() = default;
    MemorySurface(HDC reference, int width, int height) { Create(reference, width, height); }
    MemorySurface(const MemorySurface&) = delete;
    MemorySurface& operator=(const MemorySurface&) = delete;
    MemorySurface(MemorySurface&& other) noexcept { *this = std::move(other); }
    MemorySurface& operator=(MemorySurface&& other) noexcept {
        if (this != &other) {
            Reset();
            dc_ = std::move(other.dc_);
            bitmap_ = std::move(other.bitmap_);
            old_ = std::exchange(other.old_, nullptr);
            bits_ = std::exchange(other.bits_, nullptr);
            width_ = std::exchange(other.width_, 0);
            height_ = std::exchange(other.height_, 0);
        }
        return *this;
    }
    ~MemorySurface() { Reset(); }

    bool Create(HDC reference, int width, int height) {
        Reset();
        WindowDC screen(nullptr);
        HDC ref = reference ? reference : screen.Get();
        return Adopt(MemoryDC(::CreateCompatibleDC(ref)),
                     Bitmap(::CreateCompatibleBitmap(ref, width, height)), nullptr, width, height);
    }

    bool CreateDib(int width, int height) {
        Reset();
        if (width <= 0 || height <= 0) return false;
        BITMAPINFO bi{};
        bi.bmiHeader = {sizeof(BITMAPINFOHEADER), width, -height, 1, 32, BI_RGB};
        void* bits = nullptr;
        WindowDC screen(nullptr);
        Bitmap bitmap(::CreateDIBSection(screen.Get(), &bi, DIB_RGB_COLORS, &bits, nullptr, 0));
        if (!bits) return false;
        return Adopt(MemoryDC(::CreateCompatibleDC(screen.Get())), std::move(bitmap),
                     static_cast<uint32_t*>(bits), width, height);
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
    // The pixels of a DIB surface (null otherwise); valid after GdiFlush() once GDI has drawn.
    uint32_t* bits() const { return bits_; }
    int width() const { return width_; }
    int height() const { return height_; }
    explicit operator bool() const { return static_cast<bool>(dc_); }

private:
    bool Adopt(MemoryDC dc, Bitmap bitmap, uint32_t* bits, int width, int height) {
        if (!dc || !bitmap) return false;
        old_ = ::SelectObject(dc.Get(), bitmap.Get());
        dc_ = std::move(dc);
        bitmap_ = std::move(bitmap);
        bits_ = bits;
        width_ = width;
        height_ = height;
        return true;
    }

    MemoryDC dc_;
    Bitmap bitmap_;
    HGDIOBJ old_ = nullptr;
    uint32_t* bits_ = nullptr;
    int width_ = 0;
    int height_ = 0;
};

}  // namespace kestrow::win
