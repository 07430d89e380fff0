#pragma once
// A PNG encoder that takes the picture a row at a time and hands the file out as it
// goes, so that memory stays small however large the picture is: 8-bit RGB, one
// filter per row, compressed with zlib.
#include <cstddef>
#include <cstdint>
#include <functional>
#include <memory>
#include <vector>

struct z_stream_s;

namespace kestrow::png {

// How the caller's rows hold their pixels.
enum class PixelLayout {
    Rgb,   // 3 bytes: red, green, blue
    Bgr,   // 3 bytes: blue, green, red (a 24-bit Windows bitmap)
    Bgrx,  // 4 bytes: blue, green, red, unused (a 32-bit Windows bitmap)
};

// How each row's filter is picked.
enum class FilterChoice {
    None,
    Sub,
    Up,
    Average,
    Paeth,
    // Per row, the filter whose output has the smallest sum of absolute values (bytes
    // taken as signed), which usually compresses best.
    Smallest,
};

struct Options {
    // From bench/run_png_writer_bench.sh over a test screen, a photo, a web page with text
    // and a picture, and pagegrab's stand-in page (1920 x 1080 each): zlib's run-length
    // matching after the per-row smallest filter gave the smallest files in all (3608 KiB
    // against 3806 KiB at level 6, 4144 KiB at level 1) in a third of level 6's time, and
    // the smallest photo of any setting, fast enough to beat GDI+'s encoder on it. Only
    // text pays: a fifth larger than level 6, where whole letters repeat.
    int level = 6;  // any level above 0 means the same to run-length matching
    FilterChoice filter = FilterChoice::Smallest;
    int strategy = 3;  // Z_RLE; a number here, as this header leaves zlib's out
};

// Writes an 8-bit RGB PNG through `sink`, which gets the file's bytes in order and
// answers false when it could not take them.
class PngWriter {
public:
    using Sink = std::function<bool(const uint8_t* data, size_t size)>;

    // The largest width and height PNG allows.
    static constexpr uint32_t kMaxSide = 0x7FFFFFFF;

    PngWriter();
    ~PngWriter();
    PngWriter(const PngWriter&) = delete;
    PngWriter& operator=(const PngWriter&) = delete;

    // Writes the signature and the header; false for a side of 0 or above kMaxSide, a
    // row too long for this process, options zlib refuses, or a failing sink.
    bool Begin(uint32_t width, uint32_t height, Sink sink, PixelLayout layout = PixelLayout::Rgb,
               const Options& options = {});
    // One row, top first: width pixels in the layout given to Begin.
    bool WriteRow(const uint8_t* pixels);
    // Ends the image data and the file; false unless exactly `height` rows came.
    bool Finish();

    // True once a call failed or the sink refused bytes; the file is then unusable.
    bool failed() const { return failed_; }

private:
    struct ZStreamEnd {
        void operator()(z_stream_s* z) const;
    };

    bool Emit(const uint8_t* data, size_t size);
    void Fail();
    bool Chunk(const char type[4], const uint8_t* data, size_t size);
    bool Deflate(const uint8_t* data, size_t size, bool finish);
    void ToRgb(const uint8_t* pixels);
    const std::vector<uint8_t>& Filter();

    Sink sink_;
    uint32_t height_ = 0;
    uint32_t rows_ = 0;
    size_t rowBytes_ = 0;
    PixelLayout layout_ = PixelLayout::Rgb;
    FilterChoice filter_ = FilterChoice::Smallest;
    bool open_ = false;
    bool failed_ = false;
    std::vector<uint8_t> current_;   // this row as RGB
    std::vector<uint8_t> previous_;  // the last row as RGB (zeros before the first)
    std::vector<uint8_t> filtered_;  // the chosen filter's row, its type byte first
    std::vector<uint8_t> trial_;
    std::vector<uint8_t> out_;  // one IDAT chunk's worth of zlib output
    std::unique_ptr<z_stream_s, ZStreamEnd> z_;
};

}  // namespace kestrow::png
