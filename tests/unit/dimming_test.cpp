#include "worker/dimming.h"

#include <gtest/gtest.h>

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

}  // namespace
}  // namespace kestrow
