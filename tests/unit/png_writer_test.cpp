// The streaming PNG writer, read back by an independent decoder: every pixel, in every
// filter choice and pixel layout.
#include "common/png_writer.h"

#include <gtest/gtest.h>

#include <functional>
#include <random>

#include "tests/unit/png_decode.h"

namespace kestrow::png {
namespace {

using Image = std::vector<uint8_t>;  // RGB rows, top first
using PixelFn = std::function<uint32_t(uint32_t x, uint32_t y)>;

Image Make(uint32_t w, uint32_t h, const PixelFn& pixel) {
    Image img(size_t(w) * h * 3);
    for (uint32_t y = 0; y < h; ++y)
        for (uint32_t x = 0; x < w; ++x) {
            const uint32_t v = pixel(x, y);
            uint8_t* p = &img[(size_t(y) * w + x) * 3];
            p[0] = uint8_t(v >> 16), p[1] = uint8_t(v >> 8), p[2] = uint8_t(v);
        }
    return img;
}

// The RGB image's rows in `layout`; the unused byte of Bgrx varies, as it may in a bitmap.
Image InLayout(const Image& rgb, PixelLayout layout) {
    if (layout == PixelLayout::Rgb) return rgb;
    const size_t step = layout == PixelLayout::Bgrx ? 4 : 3;
    Image out(rgb.size() / 3 * step);
    for (size_t p = 0; p < rgb.size() / 3; ++p) {
        out[p * step] = rgb[p * 3 + 2];
        out[p * step + 1] = rgb[p * 3 + 1];
        out[p * step + 2] = rgb[p * 3];
        if (step == 4) out[p * step + 3] = uint8_t(p * 37);
    }
    return out;
}

std::vector<uint8_t> Encode(uint32_t w, uint32_t h, const Image& img, PixelLayout layout = PixelLayout::Rgb,
                            const Options& options = {}) {
    const Image rows = InLayout(img, layout);
    const size_t stride = rows.size() / h;
    std::vector<uint8_t> file;
    PngWriter writer;
    EXPECT_TRUE(writer.Begin(
        w, h,
        [&](const uint8_t* d, size_t n) {
            file.insert(file.end(), d, d + n);
            return true;
        },
        layout, options));
    for (uint32_t y = 0; y < h; ++y) EXPECT_TRUE(writer.WriteRow(&rows[y * stride]));
    EXPECT_TRUE(writer.Finish());
    EXPECT_FALSE(writer.failed());
    return file;
}

constexpr FilterChoice kFilters[] = {FilterChoice::None,    FilterChoice::Sub,   FilterChoice::Up,
                                     FilterChoice::Average, FilterChoice::Paeth, FilterChoice::Smallest};

void ExpectRoundTrip(const char* name, uint32_t w, uint32_t h, const PixelFn& pixel,
                     PixelLayout layout = PixelLayout::Rgb, bool everyFilter = true) {
    const Image img = Make(w, h, pixel);
    for (const FilterChoice filter : kFilters) {
        if (!everyFilter && filter != Options{}.filter) continue;
        SCOPED_TRACE(std::string(name) + " " + std::to_string(w) + "x" + std::to_string(h) + " filter " +
                     std::to_string(int(filter)) + " layout " + std::to_string(int(layout)));
        Options options;
        options.filter = filter;
        const test::DecodedPng png = test::DecodePng(Encode(w, h, img, layout, options));
        ASSERT_EQ(png.error, "");
        EXPECT_EQ(png.width, w);
        EXPECT_EQ(png.height, h);
        ASSERT_EQ(png.rgb.size(), img.size());
        for (size_t i = 0; i < img.size(); ++i)
            ASSERT_EQ(png.rgb[i], img[i]) << "pixel " << (i / 3) % w << "," << i / 3 / w;
    }
}

TEST(PngWriter, RoundTripsEveryPixel) {
    std::mt19937 rng(3);
    const auto flat = [](uint32_t, uint32_t) { return 0xF0F0F0u; };
    const auto gradient = [](uint32_t x, uint32_t y) {
        return ((x * 3) & 255) << 16 | (y & 255) << 8 | ((x + y) & 255);
    };
    const auto noise = [&](uint32_t, uint32_t) { return uint32_t(rng()); };
    // A page: flat areas, text-like specks, a photo-like block, and bands of colour.
    const auto page = [&](uint32_t x, uint32_t y) -> uint32_t {
        if (y % 97 < 12) return 0x336699;
        if (x > 200 && x < 330 && y > 40 && y < 150) return uint32_t(rng()) & 0x7F7F7F;
        if ((x * 7 + y * 13) % 41 == 0) return 0x111111;
        return 0xFFFFFF;
    };
    ExpectRoundTrip("flat", 1, 1, flat);
    ExpectRoundTrip("noise", 1, 1, noise);
    ExpectRoundTrip("noise", 1, 300, noise);
    ExpectRoundTrip("gradient", 1, 300, gradient);
    ExpectRoundTrip("noise", 300, 1, noise);
    for (uint32_t w : {2u, 3u, 5u, 7u, 13u, 255u, 257u}) {
        ExpectRoundTrip("flat", w, 9, flat);
        ExpectRoundTrip("gradient", w, 31, gradient);
        ExpectRoundTrip("noise", w, 17, noise);
    }
    // Far more data than one chunk: rows end and chunks begin anywhere in each other.
    ExpectRoundTrip("page", 641, 700, page, PixelLayout::Rgb, false);
    ExpectRoundTrip("noise", 333, 200, noise, PixelLayout::Rgb, false);
    // A Windows bitmap's rows, 24 and 32 bits.
    ExpectRoundTrip("noise", 37, 20, noise, PixelLayout::Bgr, false);
    ExpectRoundTrip("noise", 37, 20, noise, PixelLayout::Bgrx, false);
}

TEST(PngWriter, FlatPageCompressesFarBelowItsPixels) {
    const uint32_t w = 1920, h = 500;
    const Image img = Make(w, h, [](uint32_t, uint32_t y) { return y % 200 < 20 ? 0x2050A0u : 0xFFFFFFu; });
    const auto file = Encode(w, h, img);
    // Compressed for real, not merely stored.
    EXPECT_LT(file.size(), img.size() / 500) << file.size();
    const test::DecodedPng png = test::DecodePng(file);
    ASSERT_EQ(png.error, "");
    EXPECT_EQ(png.rgb, img);
}

TEST(PngWriter, ImageDataComesInBoundedChunksAsRowsArrive) {
    std::mt19937 rng(5);
    const uint32_t w = 400, h = 600;
    const Image img = Make(w, h, [&](uint32_t, uint32_t) { return uint32_t(rng()); });
    std::vector<uint8_t> file;
    PngWriter writer;
    ASSERT_TRUE(writer.Begin(w, h, [&](const uint8_t* d, size_t n) {
        file.insert(file.end(), d, d + n);
        return true;
    }));
    size_t afterHalf = 0;
    for (uint32_t y = 0; y < h; ++y) {
        ASSERT_TRUE(writer.WriteRow(&img[size_t(y) * w * 3]));
        if (y == h / 2) afterHalf = file.size();
    }
    ASSERT_TRUE(writer.Finish());
    // Half the rows are on their way out before the last one comes in.
    EXPECT_GT(afterHalf, img.size() / 3);
    const test::DecodedPng png = test::DecodePng(file);
    ASSERT_EQ(png.error, "");
    EXPECT_GT(png.idatChunks, 5u);
    EXPECT_EQ(png.rgb, img);
}

TEST(PngWriter, RefusesWhatItCannotWrite) {
    std::vector<uint8_t> file;
    auto sink = [&](const uint8_t* d, size_t n) {
        file.insert(file.end(), d, d + n);
        return true;
    };
    PngWriter writer;
    EXPECT_FALSE(writer.Begin(0, 5, sink));
    EXPECT_FALSE(writer.Begin(5, 0, sink));
    EXPECT_FALSE(writer.Begin(0x80000000u, 1, sink));
    EXPECT_FALSE(writer.Begin(1, 0x80000000u, sink));
    EXPECT_FALSE(writer.Begin(1, 1, nullptr));
    Options badLevel;
    badLevel.level = 10;
    EXPECT_FALSE(writer.Begin(1, 1, sink, PixelLayout::Rgb, badLevel));
    EXPECT_TRUE(file.empty());

    const uint8_t row[6] = {1, 2, 3, 4, 5, 6};
    ASSERT_TRUE(writer.Begin(2, 2, sink));
    ASSERT_TRUE(writer.WriteRow(row));
    EXPECT_FALSE(writer.Finish()) << "a row short";
    EXPECT_TRUE(writer.failed());

    ASSERT_TRUE(writer.Begin(2, 1, sink));
    ASSERT_TRUE(writer.WriteRow(row));
    EXPECT_FALSE(writer.WriteRow(row)) << "a row too many";
    EXPECT_FALSE(writer.Finish());

    ASSERT_TRUE(writer.Begin(2, 1, sink));
    ASSERT_TRUE(writer.WriteRow(row));
    ASSERT_TRUE(writer.Finish());
    EXPECT_FALSE(writer.WriteRow(row)) << "after the end";
}

TEST(PngWriter, SinkFailureStopsTheFile) {
    std::mt19937 rng(9);
    const uint32_t w = 300, h = 300;
    const Image img = Make(w, h, [&](uint32_t, uint32_t) { return uint32_t(rng()); });
    size_t taken = 0, callsAfterRefusal = 0;
    bool refused = false;
    PngWriter writer;
    ASSERT_TRUE(writer.Begin(w, h, [&](const uint8_t*, size_t n) {
        if (refused) ++callsAfterRefusal;
        if (taken + n > 100000) return !(refused = true);
        taken += n;
        return true;
    }));
    bool ok = true;
    for (uint32_t y = 0; y < h && ok; ++y) ok = writer.WriteRow(&img[size_t(y) * w * 3]);
    EXPECT_FALSE(ok);
    EXPECT_FALSE(writer.Finish());
    EXPECT_TRUE(writer.failed());
    EXPECT_EQ(callsAfterRefusal, 0u);
}

}  // namespace
}  // namespace kestrow::png
