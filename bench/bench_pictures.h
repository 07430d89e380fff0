#pragma once
// Pictures the PNG benchmarks encode, as 0x00RRGGBB pixels, made a pixel at a time so
// that a long page needs no memory of its own.
#include <algorithm>
#include <cmath>
#include <cstdint>

namespace kestrow::bench {

// The end-to-end scenarios' screen (tests/tools/testtool.cpp): red and green from the
// position's low bits, blue from the high bits.
inline uint32_t TestScreenPixel(int x, int y) {
    const unsigned r = x & 255, g = y & 255, b = (((x >> 8) << 5) | ((y >> 8) << 2) | 3) & 255;
    return (r << 16) | (g << 8) | b;
}

// pagegrab's stand-in page (tests/tools/standin_view.h): red and green the row, blue the
// column.
inline uint32_t StandinPagePixel(int x, int y) {
    return (uint32_t(y & 255) << 16) | (uint32_t((y >> 8) & 255) << 8) | uint32_t(x & 255);
}

// A desktop wallpaper's kind of photo: broad smooth colour waves with sensor noise;
// `seed` carries the noise from pixel to pixel.
inline uint32_t PhotoPixel(int x, int y, uint32_t& seed) {
    auto channel = [&](double wave) {
        seed = seed * 1664525u + 1013904223u;
        const int noise = int((seed >> 24) % 9) - 4;
        return uint32_t(std::clamp(int(wave) + noise, 0, 255));
    };
    const double r = 120 + 90 * std::sin(x / 310.0 + y / 530.0);
    const double g = 110 + 70 * std::sin(x / 470.0 - y / 260.0 + 1.0);
    const double b = 140 + 80 * std::cos((x + 2 * y) / 700.0);
    return channel(r) << 16 | channel(g) << 8 | channel(b);
}

// A web page: white, a coloured header, lines of text in a font of 64 anti-aliased
// 9 x 16 glyphs (so that letters repeat as they do in text), and a photo.
inline uint32_t WebPagePixel(int x, int y, uint32_t& seed) {
    if (y < 90) return 0x2B5797;
    if (x >= 1200 && x < 1800 && y >= 200 && y < 600) return PhotoPixel(x, y, seed);
    const int line = (y - 120) / 24, gy = (y - 120) % 24, column = (x - 240) / 9, gx = (x - 240) % 9;
    if (x < 240 || x >= 1100 || y < 120 || gy >= 16) return 0xFFFFFF;
    auto hash = [](uint32_t v) {
        v ^= v >> 16;
        v *= 0x7FEB352Du;
        v ^= v >> 15;
        v *= 0x846CA68Bu;
        return v ^ (v >> 16);
    };
    // One word in six is a space; a line ends early now and then.
    const uint32_t glyph = hash(uint32_t(line) * 4096 + uint32_t(column)) % 64;
    if (glyph < 11 || column > 60 + int(hash(uint32_t(line)) % 35)) return 0xFFFFFF;
    const uint32_t ink = hash(glyph * 1024 + uint32_t(gy) * 16 + uint32_t(gx)) % 8;
    static constexpr uint32_t kShades[8] = {0xFFFFFF, 0xFFFFFF, 0xFFFFFF, 0xFFFFFF,
                                            0xFFFFFF, 0xC8C8C8, 0x6E6E6E, 0x1E1E1E};
    return kShades[ink];
}

}  // namespace kestrow::bench
