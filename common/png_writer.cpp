#include "common/png_writer.h"

#include <zlib.h>

#include <algorithm>
#include <climits>
#include <cstdlib>
#include <cstring>
#include <new>

namespace kestrow::png {

static_assert(Options{}.strategy == Z_RLE);

namespace {

// IDAT chunks of a bounded size, whatever one row compresses to.
constexpr size_t kChunkBytes = 64 * 1024;

void PutBigEndian(uint8_t* at, uint32_t v) {
    at[0] = uint8_t(v >> 24);
    at[1] = uint8_t(v >> 16);
    at[2] = uint8_t(v >> 8);
    at[3] = uint8_t(v);
}

int PaethPredictor(int a, int b, int c) {
    const int p = a + b - c;
    const int pa = std::abs(p - a), pb = std::abs(p - b), pc = std::abs(p - c);
    if (pa <= pb && pa <= pc) return a;
    return pb <= pc ? b : c;
}

// Filters `row` (n bytes of RGB) against `up` into out[1..n], out[0] being the type;
// returns the sum of the output taken as signed bytes, the measure of the smallest.
uint64_t FilterRow(uint8_t type, const uint8_t* row, const uint8_t* up, size_t n, uint8_t* out) {
    out[0] = type;
    ++out;
    uint64_t sum = 0;
    auto put = [&](size_t i, int predicted) {
        const uint8_t v = uint8_t(row[i] - predicted);
        out[i] = v;
        sum += v < 128 ? v : 256 - v;
    };
    const size_t first = std::min<size_t>(3, n);
    switch (type) {
        case 0:
            for (size_t i = 0; i < n; ++i) put(i, 0);
            break;
        case 1:
            for (size_t i = 0; i < first; ++i) put(i, 0);
            for (size_t i = 3; i < n; ++i) put(i, row[i - 3]);
            break;
        case 2:
            for (size_t i = 0; i < n; ++i) put(i, up[i]);
            break;
        case 3:
            for (size_t i = 0; i < first; ++i) put(i, up[i] / 2);
            for (size_t i = 3; i < n; ++i) put(i, (row[i - 3] + up[i]) / 2);
            break;
        default:
            for (size_t i = 0; i < first; ++i) put(i, up[i]);
            for (size_t i = 3; i < n; ++i) put(i, PaethPredictor(row[i - 3], up[i], up[i - 3]));
            break;
    }
    return sum;
}

}  // namespace

void PngWriter::ZStreamEnd::operator()(z_stream_s* z) const {
    deflateEnd(z);
    delete z;
}

PngWriter::PngWriter() = default;
PngWriter::~PngWriter() = default;

bool PngWriter::Emit(const uint8_t* data, size_t size) {
    if (failed_) return false;
    if (size > 0 && !sink_(data, size)) Fail();
    return !failed_;
}

void PngWriter::Fail() {
    failed_ = true;
    open_ = false;
}

bool PngWriter::Chunk(const char type[4], const uint8_t* data, size_t size) {
    uint8_t head[8];
    PutBigEndian(head, uint32_t(size));
    std::memcpy(head + 4, type, 4);
    uint8_t crc[4];
    uLong sum = crc32(0, head + 4, 4);
    // zlib answers its initial value for a null buffer, as IEND's is.
    if (size > 0) sum = crc32(sum, data, uInt(size));
    PutBigEndian(crc, uint32_t(sum));
    return Emit(head, 8) && Emit(data, size) && Emit(crc, 4);
}

// Compresses `size` bytes; every full buffer of output goes out as an IDAT chunk, and
// with `finish` the stream's end and the last, shorter chunk too.
bool PngWriter::Deflate(const uint8_t* data, size_t size, bool finish) {
    z_stream_s& z = *z_;
    for (;;) {
        // zlib counts input in uInt; a row of a very wide picture goes in parts.
        const size_t part = std::min<size_t>(size, UINT_MAX / 2);
        z.next_in = const_cast<Bytef*>(data);
        z.avail_in = uInt(part);
        const bool last = part == size;
        const int flush = finish && last ? Z_FINISH : Z_NO_FLUSH;
        int result;
        do {
            z.next_out = out_.data() + (kChunkBytes - z.avail_out);
            result = deflate(&z, flush);
            if (result == Z_STREAM_ERROR) {
                Fail();
                return false;
            }
            if (z.avail_out == 0) {
                if (!Chunk("IDAT", out_.data(), kChunkBytes)) return false;
                z.avail_out = uInt(kChunkBytes);
            }
        } while (z.avail_in > 0 || (flush == Z_FINISH && result != Z_STREAM_END));
        data += part;
        size -= part;
        if (last) break;
    }
    if (finish && z.avail_out < kChunkBytes) return Chunk("IDAT", out_.data(), kChunkBytes - z.avail_out);
    return true;
}

bool PngWriter::Begin(uint32_t width, uint32_t height, Sink sink, PixelLayout layout,
                      const Options& options) {
    Fail();
    z_.reset();
    if (width == 0 || height == 0 || width > kMaxSide || height > kMaxSide || !sink) return false;
    // Four rows are held; on a 32-bit process a very wide row would not fit at all.
    const uint64_t rowBytes = uint64_t(width) * 3;
    if (rowBytes + 1 > SIZE_MAX / 8) return false;
    sink_ = std::move(sink);
    height_ = height;
    rows_ = 0;
    rowBytes_ = size_t(rowBytes);
    layout_ = layout;
    filter_ = options.filter;
    try {
        current_.assign(rowBytes_, 0);
        previous_.assign(rowBytes_, 0);
        filtered_.assign(rowBytes_ + 1, 0);
        trial_.assign(filter_ == FilterChoice::Smallest ? rowBytes_ + 1 : 0, 0);
        out_.resize(kChunkBytes);
        z_.reset(new z_stream_s{});
    } catch (const std::bad_alloc&) {
        return false;
    }
    if (deflateInit2(z_.get(), options.level, Z_DEFLATED, 15, 8, options.strategy) != Z_OK) {
        // Nothing to end: the stream never started.
        delete z_.release();
        return false;
    }
    z_->avail_out = uInt(kChunkBytes);
    failed_ = false;
    open_ = true;

    static constexpr uint8_t kSignature[8] = {0x89, 'P', 'N', 'G', '\r', '\n', 0x1A, '\n'};
    uint8_t header[13] = {};
    PutBigEndian(header, width);
    PutBigEndian(header + 4, height);
    header[8] = 8;  // bits per channel
    header[9] = 2;  // RGB; compression, filter method and interlace stay 0
    return Emit(kSignature, sizeof(kSignature)) && Chunk("IHDR", header, sizeof(header));
}

void PngWriter::ToRgb(const uint8_t* pixels) {
    uint8_t* rgb = current_.data();
    switch (layout_) {
        case PixelLayout::Rgb: std::memcpy(rgb, pixels, rowBytes_); break;
        case PixelLayout::Bgr:
            for (size_t i = 0; i < rowBytes_; i += 3, pixels += 3) {
                rgb[i] = pixels[2];
                rgb[i + 1] = pixels[1];
                rgb[i + 2] = pixels[0];
            }
            break;
        case PixelLayout::Bgrx:
            for (size_t i = 0; i < rowBytes_; i += 3, pixels += 4) {
                rgb[i] = pixels[2];
                rgb[i + 1] = pixels[1];
                rgb[i + 2] = pixels[0];
            }
            break;
    }
}

const std::vector<uint8_t>& PngWriter::Filter() {
    const uint8_t* row = current_.data();
    const uint8_t* up = previous_.data();
    if (filter_ != FilterChoice::Smallest) {
        FilterRow(uint8_t(filter_), row, up, rowBytes_, filtered_.data());
        return filtered_;
    }
    uint64_t best = UINT64_MAX;
    for (uint8_t type = 0; type < 5; ++type) {
        const uint64_t sum = FilterRow(type, row, up, rowBytes_, trial_.data());
        if (sum < best) {
            best = sum;
            filtered_.swap(trial_);
        }
    }
    return filtered_;
}

bool PngWriter::WriteRow(const uint8_t* pixels) {
    if (!open_ || rows_ >= height_) {
        Fail();
        return false;
    }
    ToRgb(pixels);
    const std::vector<uint8_t>& filtered = Filter();
    if (!Deflate(filtered.data(), filtered.size(), false)) return false;
    previous_.swap(current_);
    ++rows_;
    return true;
}

bool PngWriter::Finish() {
    if (!open_ || rows_ != height_) {
        Fail();
        return false;
    }
    if (!Deflate(nullptr, 0, true) || !Chunk("IEND", nullptr, 0)) return false;
    // Another row or a second Finish would only make a broken file.
    open_ = false;
    z_.reset();
    return true;
}

}  // namespace kestrow::png
