// The size arithmetic of a page of any width and height: the bitmap file layout, the
// band height and the progress text, checked against wide arithmetic, so that no page
// size overflows into a short allocation or a wrong file.
#include <algorithm>
#include <cstdlib>
#include <string>

#include "pagegrab/web_capture_logic.h"
#include "tests/fuzz/fuzz_input.h"

namespace {
using u128 = unsigned __int128;
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    FuzzedDataProvider in(data, size);
    using namespace kestrow::pagegrab;

    // Often realistic sizes, sometimes anything an int can hold.
    const bool wild = in.ConsumeBool();
    const int width = wild ? in.ConsumeIntegral<int>() : in.ConsumeIntegralInRange(-2, 200000);
    const int height = wild ? in.ConsumeIntegral<int>() : in.ConsumeIntegralInRange(-2, 2000000);
    const int displayBits = in.ConsumeIntegralInRange(-64, 64);

    const int bits = FileBitsPerPixel(displayBits);
    const int expectedBits = displayBits <= 1    ? 1
                             : displayBits <= 4  ? 4
                             : displayBits <= 8  ? 8
                             : displayBits <= 24 ? 24
                                                 : 32;
    if (bits != expectedBits) std::abort();

    const auto layout = LayoutBitmapFile(width, height, displayBits);
    if (width <= 0 || height <= 0) {
        if (layout) std::abort();
    } else {
        const u128 table = bits <= 8 ? u128(4) << bits : 0;
        const u128 row = (u128(bits) * u128(width) + 31) / 32 * 4;
        const u128 file = 54 + table + row * u128(height);
        if (bool(layout) != (file <= UINT32_MAX)) std::abort();
        if (layout) {
            if (layout->width != width || layout->height != height || layout->bitsPerPixel != bits ||
                layout->colorTableBytes != table || layout->rowBytes != row ||
                layout->pixelBytes != row * u128(height) || layout->pixelOffset != 54 + table ||
                layout->fileSize != file)
                std::abort();
            // Each row holds its pixels and at most 3 bytes of padding.
            if (row * 8 < u128(bits) * u128(width) || row * 8 - u128(bits) * u128(width) >= 32) std::abort();
            // The top row ends the file, the bottom row starts the pixels.
            if (layout->RowOffset(0) + layout->rowBytes != layout->fileSize) std::abort();
            if (layout->RowOffset(height - 1) != layout->pixelOffset) std::abort();
        }
    }

    const uint64_t budget =
        in.ConsumeBool() ? in.ConsumeIntegral<uint64_t>() : in.ConsumeIntegralInRange<uint64_t>(0, 64 << 20);
    const int rows = BandRows(width, height, budget);
    if (width <= 0 || height <= 0) {
        if (rows != 1) std::abort();
    } else {
        if (rows < 1 || rows > height) std::abort();
        // Within the budget unless one row alone is over it, and as many rows as fit.
        const u128 bytes = u128(rows) * u128(width) * 4;
        if (rows > 1 && bytes > budget) std::abort();
        if (rows < height && u128(rows + 1) * u128(width) * 4 <= budget) std::abort();
    }

    const int64_t done = in.ConsumeIntegral<int64_t>();
    const int64_t total = in.ConsumeIntegral<int64_t>();
    const std::wstring progress = SavingProgressText(done, total);
    const std::wstring prefix = L"正在保存网页图片... ";
    if (progress.compare(0, prefix.size(), prefix) != 0 || progress.back() != L'%') std::abort();
    const int percent = std::stoi(progress.substr(prefix.size()));
    if (percent < 0 || percent > 100) std::abort();
    if (total > 0) {
        const int64_t clamped = std::clamp<int64_t>(done, 0, total);
        const __int128 exact = __int128(clamped) * 100 / total;
        // Exact while done × 100 fits 64 bits; beyond, within a percent.
        if (total <= INT64_MAX / 100 ? percent != exact : (percent > exact + 1 || percent + 1 < exact))
            std::abort();
    } else if (percent != 100) {
        std::abort();
    }
    return 0;
}
