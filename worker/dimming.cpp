#include "worker/dimming.h"

namespace kestrow {

const std::array<uint8_t, 256>& DimTable() {
    static const std::array<uint8_t, 256> table = [] {
        std::array<uint8_t, 256> t{};
        for (unsigned c = 0; c < 256; ++c) t[c] = DimChannel(c);
        return t;
    }();
    return table;
}

void DimPixels(const uint32_t* src, uint32_t* dst, size_t count) {
    const auto& t = DimTable();
    for (size_t i = 0; i < count; ++i) {
        const uint32_t p = src[i];
        dst[i] = (p & 0xFF000000u) | (uint32_t(t[(p >> 16) & 0xFF]) << 16) |
                 (uint32_t(t[(p >> 8) & 0xFF]) << 8) | t[p & 0xFF];
    }
}

}  // namespace kestrow
