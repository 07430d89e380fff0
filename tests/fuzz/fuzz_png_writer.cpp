// The PNG writer on small pictures of any content, in any filter choice, level, zlib
// strategy and pixel layout: an independent decoder must read back every pixel, with
// valid CRCs and Adler-32; a sink that refuses gets no more bytes and the writer reports
// the failure.
#include <cstdlib>

#include "common/png_writer.h"
#include "tests/fuzz/fuzz_input.h"
#include "tests/unit/png_decode.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    FuzzedDataProvider in(data, size);
    const int mode = in.ConsumeIntegralInRange(0, 1);
    kestrow::png::Options options;
    options.level = in.ConsumeIntegralInRange(0, 9);
    options.strategy = in.ConsumeIntegralInRange(0, 4);  // zlib's default to fixed codes
    options.filter = kestrow::png::FilterChoice(in.ConsumeIntegralInRange(0, 5));
    const auto layout = kestrow::png::PixelLayout(in.ConsumeIntegralInRange(0, 2));
    const size_t step = layout == kestrow::png::PixelLayout::Bgrx ? 4 : 3;

    const uint32_t w = in.ConsumeIntegralInRange<uint32_t>(1, 48);
    const uint32_t h = in.ConsumeIntegralInRange<uint32_t>(1, 48);
    const size_t refuseAfter = in.ConsumeBool() ? in.ConsumeIntegralInRange<size_t>(0, 4000) : SIZE_MAX;
    std::vector<uint8_t> img(size_t(w) * h * 3);
    if (mode == 0) {
        // Any bytes: noise.
        for (auto& b : img) b = in.ConsumeIntegral<uint8_t>();
    } else {
        // Runs of a few colours, as a page has: each byte picks a colour and a run length.
        uint8_t palette[4][3];
        for (auto& c : palette)
            for (auto& b : c) b = in.ConsumeIntegral<uint8_t>();
        size_t px = 0;
        while (px < size_t(w) * h) {
            const uint8_t pick = in.ConsumeIntegral<uint8_t>();
            const size_t run = std::min<size_t>(size_t(pick >> 2) * 3 + 1, size_t(w) * h - px);
            for (size_t i = 0; i < run; ++i, ++px)
                std::copy(palette[pick & 3], palette[pick & 3] + 3, &img[px * 3]);
        }
    }

    // The rows as the layout holds them, the unused fourth byte whatever came.
    std::vector<uint8_t> rows(size_t(w) * h * step);
    for (size_t p = 0; p < size_t(w) * h; ++p) {
        const bool rgb = layout == kestrow::png::PixelLayout::Rgb;
        rows[p * step] = img[p * 3 + (rgb ? 0 : 2)];
        rows[p * step + 1] = img[p * 3 + 1];
        rows[p * step + 2] = img[p * 3 + (rgb ? 2 : 0)];
        if (step == 4) rows[p * step + 3] = uint8_t(p);
    }

    std::vector<uint8_t> file;
    bool refused = false, calledAfterRefusal = false;
    kestrow::png::PngWriter writer;
    const bool begun = writer.Begin(
        w, h,
        [&](const uint8_t* d, size_t n) {
            if (refused) calledAfterRefusal = true;
            if (file.size() + n > refuseAfter) return !(refused = true);
            file.insert(file.end(), d, d + n);
            return true;
        },
        layout, options);
    bool ok = begun;
    for (uint32_t y = 0; y < h && ok; ++y) ok = writer.WriteRow(&rows[size_t(y) * w * step]);
    ok = ok && writer.Finish();
    if (calledAfterRefusal || ok == refused || writer.failed() != refused) std::abort();
    if (refused) return 0;

    const kestrow::test::DecodedPng png = kestrow::test::DecodePng(file);
    if (!png.error.empty() || png.width != w || png.height != h || png.rgb != img) std::abort();
    return 0;
}
