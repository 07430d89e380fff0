#pragma once
// A PNG encoder that takes the picture a row at a time and hands the file out as it
// goes, so that memory stays small however large the picture is: 8-bit RGB, one
// filter chosen per row, a zlib stream of our own fixed-Huffman deflate.
#include <cstddef>
#include <cstdint>
#include <functional>
#include <memory>
#include <optional>
#include <vector>

namespace kestrow::png {

// CRC-32 as PNG chunks carry it (polynomial 0xEDB88320); `crc` is the value so far, 0 to start.
uint32_t Crc32(uint32_t crc, const uint8_t* data, size_t size);
// Adler-32 as zlib streams end with it; `adler` is the value so far, 1 to start.
uint32_t Adler32(uint32_t adler, const uint8_t* data, size_t size);

// A raw deflate stream (RFC 1951): LZ77 over a 32 KiB window with hash chains, all in
// one block with the fixed Huffman codes. Output is appended to `out` as it is made.
class Deflater {
public:
    Deflater();
    void Write(const uint8_t* data, size_t size, std::vector<uint8_t>& out);
    // Codes what is left, the block's end, and pads to a whole byte.
    void Finish(std::vector<uint8_t>& out);

private:
    static constexpr size_t kWindow = 32768;
    static constexpr size_t kMinMatch = 3;
    static constexpr size_t kMaxMatch = 258;
    // Enough ahead of the current position to find the longest match.
    static constexpr size_t kLookahead = kMaxMatch + kMinMatch + 1;
    static constexpr size_t kHashBits = 15;
    static constexpr size_t kHashSize = size_t(1) << kHashBits;

    void Compress(bool flush, std::vector<uint8_t>& out);
    void Insert(size_t pos);
    size_t LongestMatch(size_t pos, size_t available, size_t& distance) const;
    void PutBits(uint32_t bits, unsigned count, std::vector<uint8_t>& out);
    void PutLiteral(unsigned symbol, std::vector<uint8_t>& out);
    void PutMatch(size_t length, size_t distance, std::vector<uint8_t>& out);

    // Bytes [pos_, end_) of the window are not coded yet.
    std::unique_ptr<uint8_t[]> window_;
    size_t pos_ = 0;
    size_t end_ = 0;
    // Window index + 1 (0: none) of the newest 3-byte sequence by hash, and of the
    // previous one with the same hash for each position (by index modulo the window).
    std::unique_ptr<uint32_t[]> head_;
    std::unique_ptr<uint32_t[]> prev_;
    uint64_t bitBuffer_ = 0;
    unsigned bitCount_ = 0;
};

// Writes an 8-bit RGB PNG through `sink`, which gets the file's bytes in order and
// answers false when it could not take them.
class PngWriter {
public:
    using Sink = std::function<bool(const uint8_t* data, size_t size)>;

    // The largest width and height PNG allows.
    static constexpr uint32_t kMaxSide = 0x7FFFFFFF;

    // Writes the signature and the header; false for a side of 0 or above kMaxSide, a
    // row too long for this process, or a failing sink.
    bool Begin(uint32_t width, uint32_t height, Sink sink);
    // One row, top first: width × 3 bytes of red, green, blue.
    bool WriteRow(const uint8_t* rgb);
    // Ends the image data and the file; false unless exactly `height` rows came.
    bool Finish();

    // True once a call failed or the sink refused bytes; the file is then unusable.
    bool failed() const { return failed_; }

private:
    bool Emit(const uint8_t* data, size_t size);
    void Fail();
    bool Chunk(const char type[4], const uint8_t* data, size_t size);
    bool FlushData(bool all);
    void Compress(const uint8_t* data, size_t size);

    Sink sink_;
    uint32_t width_ = 0;
    uint32_t height_ = 0;
    uint32_t rows_ = 0;
    size_t rowBytes_ = 0;
    bool open_ = false;
    bool failed_ = false;
    std::vector<uint8_t> previous_;  // the last raw row (zeros before the first)
    std::vector<uint8_t> filtered_;  // the chosen filter's row, its type byte first
    std::vector<uint8_t> trial_;
    std::vector<uint8_t> data_;  // zlib bytes not yet written as an IDAT chunk
    std::optional<Deflater> deflater_;
    uint32_t adler_ = 1;
};

}  // namespace kestrow::png
