#pragma once
// The dimmed copy of the snapshot: grey 51 laid over every pixel at opacity 180/255,
// computed exactly per channel (a table is exact where the platform blend rounds).
#include <array>
#include <cstddef>
#include <cstdint>

namespace kestrow {

constexpr uint8_t DimChannel(unsigned c) { return uint8_t((180u * 51u + 75u * c) / 255u); }

const std::array<uint8_t, 256>& DimTable();

// Dims 32-bit pixels (any channel order) from `src` into `dst` (which may be `src`);
// the fourth byte is kept.
void DimPixels(const uint32_t* src, uint32_t* dst, size_t count);
inline void DimPixels(uint32_t* pixels, size_t count) { DimPixels(pixels, pixels, count); }

}  // namespace kestrow
