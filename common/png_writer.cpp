#include "common/png_writer.h"

#include <algorithm>
#include <array>
#include <cstdlib>
#include <cstring>
#include <new>

namespace kestrow::png {

namespace {

constexpr std::array<uint32_t, 256> MakeCrcTable() {
    std::array<uint32_t, 256> table{};
    for (uint32_t n = 0; n < 256; ++n) {
        uint32_t c = n;
        for (int k = 0; k < 8; ++k) c = (c & 1) ? 0xEDB88320u ^ (c >> 1) : c >> 1;
        table[n] = c;
    }
    return table;
}
constexpr auto kCrcTable = MakeCrcTable();

// Lengths 3..258 and distances 1..32768 as base values of their codes and extra bits.
constexpr uint16_t kLengthBase[29] = {3,  4,  5,  6,  7,  8,  9,  10, 11,  13,  15,  17,  19,  23, 27,
                                      31, 35, 43, 51, 59, 67, 83, 99, 115, 131, 163, 195, 227, 258};
constexpr uint8_t kLengthExtra[29] = {0, 0, 0, 0, 0, 0, 0, 0, 1, 1, 1, 1, 2, 2, 2,
                                      2, 3, 3, 3, 3, 4, 4, 4, 4, 5, 5, 5, 5, 0};
constexpr uint16_t kDistanceBase[30] = {1,    2,    3,    4,    5,    7,    9,    13,    17,    25,
                                        33,   49,   65,   97,   129,  193,  257,  385,   513,   769,
                                        1025, 1537, 2049, 3073, 4097, 6145, 8193, 12289, 16385, 24577};
constexpr uint8_t kDistanceExtra[30] = {0, 0, 0, 0, 1, 1, 2, 2,  3,  3,  4,  4,  5,  5,  6,
                                        6, 7, 7, 8, 8, 9, 9, 10, 10, 11, 11, 12, 12, 13, 13};

uint32_t Reverse(uint32_t code, unsigned bits) {
    uint32_t r = 0;
    for (unsigned i = 0; i < bits; ++i, code >>= 1) r = (r << 1) | (code & 1);
    return r;
}

// The fixed literal/length code, bit-reversed because deflate packs bits from the low end
// while Huffman codes are read from their top bit.
struct FixedCode {
    uint16_t bits;
    uint8_t length;
};
std::array<FixedCode, 288> MakeFixedCodes() {
    std::array<FixedCode, 288> codes{};
    for (unsigned s = 0; s < 288; ++s) {
        uint32_t code;
        unsigned length;
        if (s < 144) {
            code = 0x30 + s, length = 8;
        } else if (s < 256) {
            code = 0x190 + (s - 144), length = 9;
        } else if (s < 280) {
            code = s - 256, length = 7;
        } else {
            code = 0xC0 + (s - 280), length = 8;
        }
        codes[s] = {uint16_t(Reverse(code, length)), uint8_t(length)};
    }
    return codes;
}
const std::array<FixedCode, 288> kFixedCodes = MakeFixedCodes();

// Longer chains find a little more on noisy pictures at a large cost in time; a page is
// mostly flat colour, where the first candidate already gives the longest match.
constexpr int kMaxChain = 32;

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

}  // namespace

uint32_t Crc32(uint32_t crc, const uint8_t* data, size_t size) {
    crc = ~crc;
    for (size_t i = 0; i < size; ++i) crc = kCrcTable[(crc ^ data[i]) & 0xFF] ^ (crc >> 8);
    return ~crc;
}

uint32_t Adler32(uint32_t adler, const uint8_t* data, size_t size) {
    constexpr uint32_t kMod = 65521;
    // The most bytes whose sums cannot overflow 32 bits before the modulo.
    constexpr size_t kRun = 5552;
    uint32_t a = adler & 0xFFFF, b = adler >> 16;
    while (size > 0) {
        const size_t n = std::min(size, kRun);
        for (size_t i = 0; i < n; ++i) {
            a += data[i];
            b += a;
        }
        a %= kMod;
        b %= kMod;
        data += n;
        size -= n;
    }
    return (b << 16) | a;
}

Deflater::Deflater()
    : window_(std::make_unique<uint8_t[]>(2 * kWindow)),
      head_(std::make_unique<uint32_t[]>(kHashSize)),
      prev_(std::make_unique<uint32_t[]>(kWindow)) {
    // One final block with the fixed codes: BFINAL = 1, BTYPE = 01.
    bitBuffer_ = 1 | (1 << 1);
    bitCount_ = 3;
}

void Deflater::Write(const uint8_t* data, size_t size, std::vector<uint8_t>& out) {
    while (size > 0) {
        if (end_ == 2 * kWindow) {
            // Compress leaves fewer than kLookahead bytes, so the upper half holds the
            // current position and the window behind it.
            std::memmove(window_.get(), window_.get() + kWindow, end_ - kWindow);
            pos_ -= kWindow;
            end_ -= kWindow;
            // Positions that slid out of the window are forgotten.
            auto slide = [](uint32_t& at) { at = at > kWindow ? at - uint32_t(kWindow) : 0; };
            std::for_each(head_.get(), head_.get() + kHashSize, slide);
            std::for_each(prev_.get(), prev_.get() + kWindow, slide);
        }
        const size_t n = std::min(size, 2 * kWindow - end_);
        std::memcpy(window_.get() + end_, data, n);
        end_ += n;
        data += n;
        size -= n;
        Compress(false, out);
    }
}

void Deflater::Finish(std::vector<uint8_t>& out) {
    Compress(true, out);
    PutLiteral(256, out);
    while (bitCount_ > 0) {
        out.push_back(uint8_t(bitBuffer_));
        bitBuffer_ >>= 8;
        bitCount_ = bitCount_ > 8 ? bitCount_ - 8 : 0;
    }
    bitBuffer_ = 0;
}

void Deflater::Insert(size_t pos) {
    const uint32_t h =
        ((uint32_t(window_[pos]) << 10) ^ (uint32_t(window_[pos + 1]) << 5) ^ window_[pos + 2]) &
        ((1u << kHashBits) - 1);
    prev_[pos & (kWindow - 1)] = head_[h];
    head_[h] = uint32_t(pos + 1);
}

size_t Deflater::LongestMatch(size_t pos, size_t available, size_t& distance) const {
    // Distances stop short of the whole window so that a candidate's chain slot cannot
    // have been reused by a newer position.
    constexpr size_t kMaxDistance = kWindow - kLookahead;
    const size_t limit = std::min(available, kMaxMatch);
    const uint8_t* here = window_.get() + pos;
    size_t best = 0;
    uint32_t next = prev_[pos & (kWindow - 1)];
    for (int chain = 0; next != 0 && chain < kMaxChain; ++chain) {
        const size_t candidate = next - 1;
        if (candidate >= pos || pos - candidate > kMaxDistance) break;
        const uint8_t* there = window_.get() + candidate;
        if (there[best] == here[best]) {
            size_t length = 0;
            while (length < limit && there[length] == here[length]) ++length;
            if (length > best) {
                best = length;
                distance = pos - candidate;
                if (best >= limit) break;
            }
        }
        next = prev_[candidate & (kWindow - 1)];
    }
    return best;
}

void Deflater::Compress(bool flush, std::vector<uint8_t>& out) {
    while (end_ - pos_ >= kLookahead || (flush && pos_ < end_)) {
        const size_t available = end_ - pos_;
        size_t length = 0, distance = 0;
        if (available >= kMinMatch) {
            Insert(pos_);
            length = LongestMatch(pos_, available, distance);
        }
        if (length >= kMinMatch) {
            PutMatch(length, distance, out);
            for (size_t i = 1; i < length; ++i)
                if (pos_ + i + kMinMatch <= end_) Insert(pos_ + i);
            pos_ += length;
        } else {
            PutLiteral(window_[pos_], out);
            ++pos_;
        }
    }
}

void Deflater::PutBits(uint32_t bits, unsigned count, std::vector<uint8_t>& out) {
    bitBuffer_ |= uint64_t(bits) << bitCount_;
    bitCount_ += count;
    if (bitCount_ >= 32) {
        const uint8_t bytes[4] = {uint8_t(bitBuffer_), uint8_t(bitBuffer_ >> 8), uint8_t(bitBuffer_ >> 16),
                                  uint8_t(bitBuffer_ >> 24)};
        out.insert(out.end(), bytes, bytes + 4);
        bitBuffer_ >>= 32;
        bitCount_ -= 32;
    }
}

void Deflater::PutLiteral(unsigned symbol, std::vector<uint8_t>& out) {
    PutBits(kFixedCodes[symbol].bits, kFixedCodes[symbol].length, out);
}

void Deflater::PutMatch(size_t length, size_t distance, std::vector<uint8_t>& out) {
    const size_t lc = size_t(std::upper_bound(std::begin(kLengthBase), std::end(kLengthBase), length) -
                             std::begin(kLengthBase)) -
                      1;
    PutLiteral(unsigned(257 + lc), out);
    // 258 has a code of its own rather than the top of 227's range.
    if (kLengthExtra[lc]) PutBits(uint32_t(length - kLengthBase[lc]), kLengthExtra[lc], out);
    const size_t dc = size_t(std::upper_bound(std::begin(kDistanceBase), std::end(kDistanceBase), distance) -
                             std::begin(kDistanceBase)) -
                      1;
    PutBits(Reverse(uint32_t(dc), 5), 5, out);
    if (kDistanceExtra[dc]) PutBits(uint32_t(distance - kDistanceBase[dc]), kDistanceExtra[dc], out);
}

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
    PutBigEndian(crc, Crc32(Crc32(0, head + 4, 4), data, size));
    return Emit(head, 8) && Emit(data, size) && Emit(crc, 4);
}

bool PngWriter::FlushData(bool all) {
    // Chunks of a bounded size, whatever one row compressed to.
    constexpr size_t kChunkBytes = 64 * 1024;
    size_t done = 0;
    while (!failed_ && (data_.size() - done >= kChunkBytes || (all && done < data_.size()))) {
        const size_t n = std::min(kChunkBytes, data_.size() - done);
        Chunk("IDAT", data_.data() + done, n);
        done += n;
    }
    data_.erase(data_.begin(), data_.begin() + std::ptrdiff_t(done));
    return !failed_;
}

void PngWriter::Compress(const uint8_t* data, size_t size) {
    adler_ = Adler32(adler_, data, size);
    deflater_->Write(data, size, data_);
}

bool PngWriter::Begin(uint32_t width, uint32_t height, Sink sink) {
    Fail();
    if (width == 0 || height == 0 || width > kMaxSide || height > kMaxSide || !sink) return false;
    // Four rows are held; on a 32-bit process a very wide row would not fit at all.
    const uint64_t rowBytes = uint64_t(width) * 3;
    if (rowBytes + 1 > SIZE_MAX / 8) return false;
    sink_ = std::move(sink);
    width_ = width;
    height_ = height;
    rows_ = 0;
    rowBytes_ = size_t(rowBytes);
    adler_ = 1;
    try {
        deflater_.emplace();
        previous_.assign(rowBytes_, 0);
        filtered_.assign(rowBytes_ + 1, 0);
        trial_.assign(rowBytes_ + 1, 0);
        data_.clear();
    } catch (const std::bad_alloc&) {
        return false;
    }
    failed_ = false;
    open_ = true;

    static constexpr uint8_t kSignature[8] = {0x89, 'P', 'N', 'G', '\r', '\n', 0x1A, '\n'};
    uint8_t header[13] = {};
    PutBigEndian(header, width);
    PutBigEndian(header + 4, height);
    header[8] = 8;  // bits per channel
    header[9] = 2;  // RGB; compression, filter method and interlace stay 0
    // zlib: deflate with a 32 KiB window, no dictionary; the check bits make 0x7801 a multiple of 31.
    data_ = {0x78, 0x01};
    return Emit(kSignature, sizeof(kSignature)) && Chunk("IHDR", header, sizeof(header));
}

bool PngWriter::WriteRow(const uint8_t* rgb) {
    if (!open_ || rows_ >= height_) {
        Fail();
        return false;
    }
    // The filter whose output has the smallest sum of absolute values (bytes taken as
    // signed) usually compresses best.
    const uint8_t* up = previous_.data();
    uint64_t bestSum = UINT64_MAX;
    for (uint8_t type = 0; type < 5; ++type) {
        uint8_t* row = trial_.data();
        row[0] = type;
        uint64_t sum = 0;
        for (size_t i = 0; i < rowBytes_; ++i) {
            const int a = i >= 3 ? rgb[i - 3] : 0, b = up[i], c = i >= 3 ? up[i - 3] : 0;
            int predicted = 0;
            switch (type) {
                case 1: predicted = a; break;
                case 2: predicted = b; break;
                case 3: predicted = (a + b) / 2; break;
                case 4: predicted = PaethPredictor(a, b, c); break;
                default: break;
            }
            const uint8_t v = uint8_t(rgb[i] - predicted);
            row[i + 1] = v;
            sum += v < 128 ? v : 256 - v;
        }
        if (sum < bestSum) {
            bestSum = sum;
            filtered_.swap(trial_);
        }
    }
    Compress(filtered_.data(), filtered_.size());
    std::memcpy(previous_.data(), rgb, rowBytes_);
    ++rows_;
    return FlushData(false);
}

bool PngWriter::Finish() {
    if (!open_ || rows_ != height_) {
        Fail();
        return false;
    }
    deflater_->Finish(data_);
    uint8_t adler[4];
    PutBigEndian(adler, adler_);
    data_.insert(data_.end(), adler, adler + 4);
    if (!FlushData(true) || !Chunk("IEND", nullptr, 0)) return false;
    // Another row or a second Finish would only make a broken file.
    open_ = false;
    return true;
}

}  // namespace kestrow::png
