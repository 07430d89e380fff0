#pragma once
// A bitmap's pixels a few rows at a time, top row first, as 32-bit blue, green, red,
// unused: an encoder fed row by row needs no second copy of the whole picture.
#include <windows.h>

#include <algorithm>
#include <cstdint>
#include <vector>

#include "common/win/gdi.h"

namespace kestrow::win {

// Calls `row(pixels)` for each row of `bitmap`, top first, fetching rows in pieces of
// about `pieceBytes`. False when the bitmap cannot be read or `row` answers false.
template <typename RowFn>
bool ForEachBitmapRow(HBITMAP bitmap, RowFn&& row, size_t pieceBytes = 1u << 20) {
    BITMAP size{};
    if (!bitmap || !::GetObjectW(bitmap, sizeof(size), &size) || size.bmWidth <= 0 || size.bmHeight <= 0)
        return false;
    const int width = size.bmWidth, height = size.bmHeight;
    const size_t stride = size_t(width) * 4;
    const int piece = int(std::clamp<size_t>(pieceBytes / stride, 1, size_t(height)));
    std::vector<uint8_t> pixels(stride * size_t(piece));
    WindowDC screen(nullptr);
    for (int top = 0; top < height; top += piece) {
        const int rows = std::min(piece, height - top);
        // Bottom-up, where scan lines count from the bottom whatever part is asked for:
        // the piece's rows arrive lowest first.
        BITMAPINFO info{};
        info.bmiHeader = {sizeof(BITMAPINFOHEADER), width, height, 1, 32, BI_RGB};
        if (::GetDIBits(screen.Get(), bitmap, UINT(height - top - rows), UINT(rows), pixels.data(), &info,
                        DIB_RGB_COLORS) != rows)
            return false;
        for (int y = rows - 1; y >= 0; --y)
            if (!row(&pixels[size_t(y) * stride])) return false;
    }
    return true;
}

}  // namespace kestrow::win
