// The streaming PNG writer against the system's zlib: every pixel, CRC and Adler-32.
#include "common/png_writer.h"

#include <gtest/gtest.h>
#include <zlib.h>

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

std::vector<uint8_t> Encode(uint32_t w, uint32_t h, const Image& img) {
    std::vector<uint8_t> file;
    PngWriter writer;
    EXPECT_TRUE(writer.Begin(w, h, [&](const uint8_t* d, size_t n) {
        file.insert(file.end(), d, d + n);
        return true;
    }));
    for (uint32_t y = 0; y < h; ++y) EXPECT_TRUE(writer.WriteRow(&img[size_t(y) * w * 3]));
    EXPECT_TRUE(writer.Finish());
    EXPECT_FALSE(writer.failed());
    return file;
}

void ExpectRoundTrip(const char* name, uint32_t w, uint32_t h, const PixelFn& pixel) {
    SCOPED_TRACE(std::string(name) + " " + std::to_string(w) + "x" + std::to_string(h));
    const Image img = Make(w, h, pixel);
    const test::DecodedPng png = test::DecodePng(Encode(w, h, img));
    ASSERT_EQ(png.error, "");
    EXPECT_EQ(png.width, w);
    EXPECT_EQ(png.height, h);
    ASSERT_EQ(png.rgb.size(), img.size());
    for (size_t i = 0; i < img.size(); ++i)
        ASSERT_EQ(png.rgb[i], img[i]) << "pixel " << (i / 3) % w << "," << i / 3 / w;
}

TEST(PngChecksums, MatchZlibInAnyPieces) {
    std::mt19937 rng(7);
    std::vector<uint8_t> data(100000);
    for (auto& b : data) b = uint8_t(rng());
    // All 0xFF is the worst case for Adler's deferred modulo.
    std::vector<uint8_t> ones(20000, 0xFF);
    for (const auto* d : {&data, &ones}) {
        const uLong crc = crc32(0, d->data(), uInt(d->size()));
        const uLong adler = adler32(1, d->data(), uInt(d->size()));
        EXPECT_EQ(Crc32(0, d->data(), d->size()), crc);
        EXPECT_EQ(Adler32(1, d->data(), d->size()), adler);
        uint32_t c = 0, a = 1;
        for (size_t at = 0, step = 1; at < d->size(); at += step, step = step * 3 % 7919 + 1) {
            const size_t n = std::min(step, d->size() - at);
            c = Crc32(c, d->data() + at, n);
            a = Adler32(a, d->data() + at, n);
        }
        EXPECT_EQ(c, crc);
        EXPECT_EQ(a, adler);
    }
}

// Raw deflate output inflated by zlib, for inputs whose matches reach across the window.
TEST(PngDeflate, InflatesToTheInputAtEveryDistance) {
    std::mt19937 rng(11);
    std::vector<uint8_t> input;
    auto noise = [&](size_t n) {
        for (size_t i = 0; i < n; ++i) input.push_back(uint8_t(rng()));
    };
    noise(40000);
    // Repeats from just inside the farthest distance a match may reach, and from near.
    for (size_t distance : {32000u, 20000u, 4097u, 258u, 3u, 1u}) {
        const size_t from = input.size() - distance;
        for (size_t i = 0; i < 1000; ++i) input.push_back(input[from + i]);
        noise(50);
    }
    input.insert(input.end(), 300000, 'a');  // long runs across many window slides
    noise(70000);
    for (const size_t piece : {size_t(1), size_t(777), input.size()}) {
        Deflater deflater;
        std::vector<uint8_t> out;
        for (size_t at = 0; at < input.size(); at += piece)
            deflater.Write(&input[at], std::min(piece, input.size() - at), out);
        deflater.Finish(out);

        z_stream z{};
        ASSERT_EQ(inflateInit2(&z, -15), Z_OK);
        std::vector<uint8_t> back(input.size() + 1);
        z.next_in = out.data();
        z.avail_in = uInt(out.size());
        z.next_out = back.data();
        z.avail_out = uInt(back.size());
        EXPECT_EQ(inflate(&z, Z_FINISH), Z_STREAM_END) << "pieces of " << piece;
        EXPECT_EQ(z.avail_in, 0u);
        back.resize(z.total_out);
        inflateEnd(&z);
        EXPECT_EQ(back, input) << "pieces of " << piece;
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
    // Far more data than the window: matches cross its slides and rows many chunks.
    ExpectRoundTrip("page", 641, 700, page);
    ExpectRoundTrip("noise", 333, 200, noise);
}

TEST(PngWriter, FlatPageCompressesFarBelowItsPixels) {
    const uint32_t w = 1920, h = 1000;
    const Image img = Make(w, h, [](uint32_t, uint32_t y) { return y % 200 < 20 ? 0x2050A0u : 0xFFFFFFu; });
    const auto file = Encode(w, h, img);
    // Fixed codes spend 13 bits at best on a 258-byte match: about 1/160 of the rows.
    EXPECT_LT(file.size(), img.size() / 100) << file.size();
    const test::DecodedPng png = test::DecodePng(file);
    ASSERT_EQ(png.error, "");
    EXPECT_EQ(png.rgb, img);
}

TEST(PngWriter, ImageDataComesInBoundedChunksAsRowsArrive) {
    std::mt19937 rng(5);
    const uint32_t w = 400, h = 300;
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
