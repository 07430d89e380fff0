#include "worker/dimming.h"

#include <gtest/gtest.h>

#include <vector>

namespace kestrow {
namespace {

TEST(Dimming, EveryChannelValueFollowsTheFormula) {
    const auto& t = DimTable();
    for (unsigned c = 0; c < 256; ++c) EXPECT_EQ(t[c], (180u * 51u + 75u * c) / 255u) << c;
    EXPECT_EQ(t[255], 111);
    EXPECT_EQ(t[0], 36);
    EXPECT_EQ(t[128], 73);  // 9180 + 9600 = 18780 / 255 = 73.6, rounded down
}

TEST(Dimming, PixelsChannelsIndependentlyAndKeepsTheFourthByte) {
    uint32_t px[] = {0x00FFFFFF, 0x00000000, 0xAB102030, 0x00FF0080};
    DimPixels(px, 4);
    EXPECT_EQ(px[0], 0x006F6F6Fu);
    EXPECT_EQ(px[1], 0x00242424u);
    EXPECT_EQ(px[2], (0xABu << 24) | (uint32_t(DimChannel(0x10)) << 16) | (uint32_t(DimChannel(0x20)) << 8) |
                         DimChannel(0x30));
    EXPECT_EQ(px[3], (111u << 16) | (36u << 8) | DimChannel(0x80));
}

// Every channel value in every byte, at every alignment and with every length of tail
// beyond the four-pixel steps, dims as one pixel at a time does.
TEST(Dimming, RunsOfAnyLengthAndAlignmentMatchTheFormula) {
    std::vector<uint32_t> src(256 + 8);
    for (size_t i = 0; i < src.size(); ++i) {
        const uint32_t c = uint32_t(i) & 0xFF;
        src[i] = (((c * 7) & 0xFF) << 24) | (c << 16) | (((c + 85) & 0xFF) << 8) | ((c + 170) & 0xFF);
    }
    for (size_t offset = 0; offset < 4; ++offset) {
        for (size_t count : {size_t(0), size_t(1), size_t(3), size_t(5), size_t(7), size_t(256)}) {
            std::vector<uint32_t> dst(src.size(), 0x12345678u);
            DimPixels(src.data() + offset, dst.data() + offset, count);
            for (size_t i = 0; i < dst.size(); ++i) {
                const uint32_t s = src[i];
                const uint32_t want =
                    i < offset || i >= offset + count
                        ? 0x12345678u
                        : (s & 0xFF000000u) | (uint32_t(DimChannel((s >> 16) & 0xFF)) << 16) |
                              (uint32_t(DimChannel((s >> 8) & 0xFF)) << 8) | DimChannel(s & 0xFF);
                ASSERT_EQ(dst[i], want) << "offset " << offset << " count " << count << " at " << i;
            }
        }
    }
}

}  // namespace
}  // namespace kestrow
