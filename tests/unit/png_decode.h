#pragma once
// A strict PNG reader for what the writer makes (8-bit RGB, no interlace): chunk order,
// lengths and CRCs, the zlib stream's end and its Adler-32, and every filter type undone
// by hand. Shared by the unit tests and the fuzz target.
#include <zlib.h>

#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <string>
#include <vector>

namespace kestrow::test {

struct DecodedPng {
    std::string error;  // empty when the file is valid
    uint32_t width = 0, height = 0;
    std::vector<uint8_t> rgb;  // top row first, 3 bytes a pixel
    size_t idatChunks = 0;
};

inline uint32_t BigEndian32(const uint8_t* p) {
    return (uint32_t(p[0]) << 24) | (uint32_t(p[1]) << 16) | (uint32_t(p[2]) << 8) | p[3];
}

inline DecodedPng DecodePng(const std::vector<uint8_t>& file) {
    DecodedPng png;
    auto fail = [&](std::string why) {
        png.error = std::move(why);
        return png;
    };
    static const uint8_t kSignature[8] = {0x89, 'P', 'N', 'G', '\r', '\n', 0x1A, '\n'};
    if (file.size() < 8 || std::memcmp(file.data(), kSignature, 8) != 0) return fail("signature");
    std::vector<uint8_t> zdata;
    size_t at = 8;
    bool header = false, end = false;
    while (!end) {
        if (file.size() - at < 12) return fail("truncated chunk at " + std::to_string(at));
        const uint32_t length = BigEndian32(&file[at]);
        if (length > 0x7FFFFFFF || file.size() - at - 12 < length) return fail("chunk length");
        const std::string type(reinterpret_cast<const char*>(&file[at + 4]), 4);
        const uint8_t* data = &file[at + 8];
        const uLong crc = crc32(0, &file[at + 4], uInt(length + 4));
        if (crc != BigEndian32(data + length)) return fail("CRC of " + type);
        if (!header && type != "IHDR") return fail("IHDR not first");
        if (type == "IHDR") {
            if (header || length != 13) return fail("IHDR");
            header = true;
            png.width = BigEndian32(data);
            png.height = BigEndian32(data + 4);
            if (png.width == 0 || png.height == 0 || png.width > 0x7FFFFFFF || png.height > 0x7FFFFFFF)
                return fail("size");
            if (data[8] != 8 || data[9] != 2 || data[10] != 0 || data[11] != 0 || data[12] != 0)
                return fail("IHDR format fields");
        } else if (type == "IDAT") {
            zdata.insert(zdata.end(), data, data + length);
            ++png.idatChunks;
        } else if (type == "IEND") {
            if (length != 0) return fail("IEND length");
            end = true;
        } else {
            return fail("unexpected chunk " + type);
        }
        at += 12 + length;
    }
    if (at != file.size()) return fail("bytes after IEND");
    if (zdata.size() < 6) return fail("zlib stream too short");

    const size_t stride = size_t(png.width) * 3 + 1;
    const size_t expected = stride * png.height;
    // One byte of room beyond the rows shows a stream that holds more than it should.
    std::vector<uint8_t> raw(expected + 1);
    uLongf rawSize = uLongf(raw.size());
    const int z = uncompress(raw.data(), &rawSize, zdata.data(), uLong(zdata.size()));
    if (z != Z_OK) return fail("inflate: " + std::to_string(z));
    if (rawSize != expected) return fail("inflated size");
    // zlib checks the Adler-32 itself; checked again here so a fault names itself.
    const uLong adler = adler32(adler32(0, nullptr, 0), raw.data(), uInt(expected));
    if (adler != BigEndian32(&zdata[zdata.size() - 4])) return fail("Adler-32");

    png.rgb.resize(expected - png.height);
    const size_t rowBytes = stride - 1;
    for (uint32_t y = 0; y < png.height; ++y) {
        const uint8_t* in = &raw[y * stride];
        uint8_t* out = &png.rgb[y * rowBytes];
        const uint8_t* up = y > 0 ? out - rowBytes : nullptr;
        for (size_t i = 0; i < rowBytes; ++i) {
            const int a = i >= 3 ? out[i - 3] : 0, b = up ? up[i] : 0, c = up && i >= 3 ? up[i - 3] : 0;
            int predicted;
            switch (in[0]) {
                case 0: predicted = 0; break;
                case 1: predicted = a; break;
                case 2: predicted = b; break;
                case 3: predicted = (a + b) / 2; break;
                case 4: {
                    const int p = a + b - c, pa = std::abs(p - a), pb = std::abs(p - b), pc = std::abs(p - c);
                    predicted = (pa <= pb && pa <= pc) ? a : (pb <= pc ? b : c);
                    break;
                }
                default: return fail("filter type " + std::to_string(in[0]));
            }
            out[i] = uint8_t(in[1 + i] + predicted);
        }
    }
    return png;
}

}  // namespace kestrow::test
