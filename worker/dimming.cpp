#include "worker/dimming.h"

#if defined(__i386__) || defined(__x86_64__)
#include <emmintrin.h>
#define KESTROW_DIM_SSE2 1
#endif

namespace kestrow {

const std::array<uint8_t, 256>& DimTable() {
    static const std::array<uint8_t, 256> table = [] {
        std::array<uint8_t, 256> t{};
        for (unsigned c = 0; c < 256; ++c) t[c] = DimChannel(c);
        return t;
    }();
    return table;
}

namespace {

void DimPixelsByTable(const uint32_t* src, uint32_t* dst, size_t count) {
    const auto& t = DimTable();
    for (size_t i = 0; i < count; ++i) {
        const uint32_t p = src[i];
        dst[i] = (p & 0xFF000000u) | (uint32_t(t[(p >> 16) & 0xFF]) << 16) |
                 (uint32_t(t[(p >> 8) & 0xFF]) << 8) | t[p & 0xFF];
    }
}

#ifdef KESTROW_DIM_SSE2
// Eight channels at a time in 16-bit lanes. With x = 9180 + 75c (at most 28305),
// x / 255 rounded down is ((x + 1) + ((x + 1) >> 8)) >> 8 exactly over that range.
__attribute__((target("sse2"))) __m128i DimChannels(__m128i channels) {
    const __m128i plusOne =
        _mm_add_epi16(_mm_mullo_epi16(channels, _mm_set1_epi16(75)), _mm_set1_epi16(9181));
    return _mm_srli_epi16(_mm_add_epi16(plusOne, _mm_srli_epi16(plusOne, 8)), 8);
}

__attribute__((target("sse2"))) size_t DimPixelsBy4(const uint32_t* src, uint32_t* dst, size_t count) {
    const __m128i zero = _mm_setzero_si128();
    const __m128i fourth = _mm_set1_epi32(int(0xFF000000u));
    size_t i = 0;
    for (; i + 4 <= count; i += 4) {
        const __m128i p = _mm_loadu_si128(reinterpret_cast<const __m128i*>(src + i));
        const __m128i dimmed = _mm_packus_epi16(DimChannels(_mm_unpacklo_epi8(p, zero)),
                                                DimChannels(_mm_unpackhi_epi8(p, zero)));
        _mm_storeu_si128(reinterpret_cast<__m128i*>(dst + i),
                         _mm_or_si128(_mm_andnot_si128(fourth, dimmed), _mm_and_si128(fourth, p)));
    }
    return i;
}
#endif

}  // namespace

// A full-screen dim shares the processor with the rest of the start, so it is done four
// pixels at a time where the processor can (every one that runs the programs); the table
// does the rest.
void DimPixels(const uint32_t* src, uint32_t* dst, size_t count) {
    size_t done = 0;
#ifdef KESTROW_DIM_SSE2
    if (__builtin_cpu_supports("sse2")) done = DimPixelsBy4(src, dst, count);
#endif
    DimPixelsByTable(src + done, dst + done, count - done);
}

}  // namespace kestrow
