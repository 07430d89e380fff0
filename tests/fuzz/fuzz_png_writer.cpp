// The PNG writer on small pictures of any content, and its deflate on any bytes: the
// system's zlib must read back every pixel and byte, with valid CRCs and Adler-32; a
// sink that refuses gets no more bytes and the writer reports the failure.
#include <zlib.h>

#include <cstdlib>

#include "common/png_writer.h"
#include "tests/fuzz/fuzz_input.h"
#include "tests/unit/png_decode.h"

namespace {

void DeflateAnyBytes(FuzzedDataProvider& in) {
    const size_t piece = in.ConsumeIntegralInRange<size_t>(1, 5000);
    const std::vector<uint8_t> input = in.ConsumeRemainingBytes<uint8_t>();
    kestrow::png::Deflater deflater;
    std::vector<uint8_t> out;
    for (size_t at = 0; at < input.size(); at += piece)
        deflater.Write(input.data() + at, std::min(piece, input.size() - at), out);
    deflater.Finish(out);

    z_stream z{};
    if (inflateInit2(&z, -15) != Z_OK) std::abort();
    std::vector<uint8_t> back(input.size() + 1);
    z.next_in = out.data();
    z.avail_in = uInt(out.size());
    z.next_out = back.data();
    z.avail_out = uInt(back.size());
    const int result = inflate(&z, Z_FINISH);
    const size_t produced = z.total_out;
    const bool allRead = z.avail_in == 0;
    inflateEnd(&z);
    if (result != Z_STREAM_END || !allRead || produced != input.size()) std::abort();
    if (!std::equal(input.begin(), input.end(), back.begin())) std::abort();
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    FuzzedDataProvider in(data, size);
    const int mode = in.ConsumeIntegralInRange(0, 2);
    if (mode == 2) {
        DeflateAnyBytes(in);
        return 0;
    }

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

    std::vector<uint8_t> file;
    bool refused = false, calledAfterRefusal = false;
    kestrow::png::PngWriter writer;
    const bool begun = writer.Begin(w, h, [&](const uint8_t* d, size_t n) {
        if (refused) calledAfterRefusal = true;
        if (file.size() + n > refuseAfter) return !(refused = true);
        file.insert(file.end(), d, d + n);
        return true;
    });
    bool ok = begun;
    for (uint32_t y = 0; y < h && ok; ++y) ok = writer.WriteRow(&img[size_t(y) * w * 3]);
    ok = ok && writer.Finish();
    if (calledAfterRefusal || ok == refused || writer.failed() != refused) std::abort();
    if (refused) return 0;

    const kestrow::test::DecodedPng png = kestrow::test::DecodePng(file);
    if (!png.error.empty() || png.width != w || png.height != h || png.rgb != img) std::abort();
    return 0;
}
