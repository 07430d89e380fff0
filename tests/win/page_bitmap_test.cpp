// The whole-page bitmap writer on real GDI, at whatever depth the display has (the
// depth scenario runs this group again on 16- and 8-bit displays).
#include <windows.h>

#include <gdiplus.h>
#include <gtest/gtest.h>

#include <algorithm>
#include <cstring>
#include <fstream>
#include <iterator>

#include "pagegrab/page_bitmap.h"
#include "tests/win/test_support.h"

namespace kestrow::pagegrab {
namespace {

using test::Pixels;

std::vector<uint8_t> ReadAll(const std::wstring& path) {
    HANDLE f = ::CreateFileW(path.c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING, 0, nullptr);
    if (f == INVALID_HANDLE_VALUE) return {};
    std::vector<uint8_t> data(::GetFileSize(f, nullptr));
    DWORD got = 0;
    ::ReadFile(f, data.data(), DWORD(data.size()), &got, nullptr);
    ::CloseHandle(f);
    return data;
}

bool Exists(const std::wstring& path) {
    return ::GetFileAttributesW(path.c_str()) != INVALID_FILE_ATTRIBUTES;
}

uint32_t U32(const std::vector<uint8_t>& d, size_t at) {
    uint32_t v;
    memcpy(&v, &d[at], 4);
    return v;
}
uint16_t U16(const std::vector<uint8_t>& d, size_t at) {
    uint16_t v;
    memcpy(&v, &d[at], 2);
    return v;
}

// Checks every header field of a written file and decodes its pixels (top row first).
Pixels DecodeBmp(const std::vector<uint8_t>& d, int width, int height) {
    const int bpp = FileBitsPerPixel(DisplayBitsPerPixel());
    const auto layout = LayoutBitmapFile(width, height, bpp);
    EXPECT_TRUE(layout);
    if (!layout || d.size() < 54) return {};
    EXPECT_EQ(d.size(), layout->fileSize);
    EXPECT_EQ(U16(d, 0), 0x4D42);
    EXPECT_EQ(U32(d, 2), layout->fileSize);
    EXPECT_EQ(U32(d, 6), 0u);  // both reserved words
    EXPECT_EQ(U32(d, 10), layout->pixelOffset);
    EXPECT_EQ(U32(d, 14), 40u);
    EXPECT_EQ(int32_t(U32(d, 18)), width);
    EXPECT_EQ(int32_t(U32(d, 22)), height);  // positive: bottom-up
    EXPECT_EQ(U16(d, 26), 1);
    EXPECT_EQ(U16(d, 28), bpp);
    for (size_t at = 30; at < 54; at += 4) EXPECT_EQ(U32(d, at), 0u) << "field at " << at;
    if (d.size() != layout->fileSize) return {};
    Pixels p{width, height, std::vector<unsigned>(size_t(width) * height)};
    for (int y = 0; y < height; ++y) {
        const uint8_t* row = &d[layout->RowOffset(y)];
        for (int x = 0; x < width; ++x) {
            unsigned v = 0;
            if (bpp >= 24) {
                const uint8_t* px = row + x * (bpp / 8);
                v = (unsigned(px[2]) << 16) | (unsigned(px[1]) << 8) | px[0];
            } else {  // 8 bits: an index into the colour table (blue, green, red, 0)
                const uint8_t* c = &d[54 + 4 * row[x]];
                v = (unsigned(c[2]) << 16) | (unsigned(c[1]) << 8) | c[0];
            }
            p.data[size_t(y) * width + x] = v;
        }
        // Padding bytes at the end of each row stay zero.
        for (uint32_t i = uint32_t(width) * bpp / 8; i < layout->rowBytes; ++i) EXPECT_EQ(row[i], 0) << y;
    }
    return p;
}

// What the display holds of `p` (a 16- or 8-bit display rounds colours).
Pixels AsDisplayed(const Pixels& p) {
    win::MemorySurface s(nullptr, p.width, p.height);
    test::WriteBitmap(s.bitmap(), p);
    return test::ReadBitmap(s.bitmap());
}

// Distinct colours a palette display keeps exactly: the 16 VGA colours, by position.
Pixels Picture(int w, int h) {
    static const unsigned kVga[] = {0x000000, 0x800000, 0x008000, 0x808000, 0x000080, 0x800080,
                                    0x008080, 0xC0C0C0, 0x808080, 0xFF0000, 0x00FF00, 0xFFFF00,
                                    0x0000FF, 0xFF00FF, 0x00FFFF, 0xFFFFFF};
    const bool palette = DisplayBitsPerPixel() <= 8;
    Pixels p{w, h, std::vector<unsigned>(size_t(w) * h)};
    for (int y = 0; y < h; ++y)
        for (int x = 0; x < w; ++x)
            p.data[size_t(y) * w + x] = palette ? kVga[(x + 3 * y) % 16] : test::Unique(x * 37, y * 11);
    return p;
}

DrawBand DrawPicture(const Pixels& p) {
    return [&p](HDC dc, int top, int rows) {
        BITMAPINFO bi = test::TopDown32(p.width, rows);
        return ::SetDIBitsToDevice(dc, 0, 0, p.width, rows, 0, 0, 0, rows, &p.data[size_t(top) * p.width],
                                   &bi, DIB_RGB_COLORS) == rows;
    };
}

TEST(PageBitmapFile, SaveToFileWritesTheHeaderPaddedRowsBottomUp) {
    RecordProperty("display_bits", DisplayBitsPerPixel());
    test::TempDir dir;
    for (int width : {1, 2, 5}) {
        const Pixels picture = Picture(width, 4);
        CUICachedDC cache;
        ASSERT_TRUE(cache.Create(width, 4));
        test::WriteBitmap(cache.GetBitmap(), picture);
        const std::wstring path = dir.File(L"w" + std::to_wstring(width) + L".bmp");
        ASSERT_EQ(cache.SaveToFile(path), 1);
        const Pixels got = DecodeBmp(ReadAll(path), width, 4);
        EXPECT_EQ(got.data, AsDisplayed(picture).data) << "width " << width;
    }
}

TEST(PageBitmapFile, BandsLandWhereTheWholePictureWould) {
    test::TempDir dir;
    const Pixels picture = Picture(7, 23);
    std::vector<int64_t> progress;
    // A budget of 5 rows of 7 pixels: bands of 5, the last one of 3.
    ASSERT_EQ(WritePageImage(
                  dir.File(L"banded.bmp"), 7, 23, DrawPicture(picture),
                  [&](int64_t done, int64_t total) {
                      EXPECT_EQ(total, 23);
                      progress.push_back(done);
                      return true;
                  },
                  5 * 7 * 4),
              SaveResult::Saved);
    EXPECT_EQ(progress, (std::vector<int64_t>{5, 10, 15, 20, 23}));
    EXPECT_EQ(DecodeBmp(ReadAll(dir.File(L"banded.bmp")), 7, 23).data, AsDisplayed(picture).data);
    // Saving over an existing file replaces it.
    ASSERT_EQ(WritePageImage(dir.File(L"banded.bmp"), 3, 2, DrawPicture(Picture(3, 2))), SaveResult::Saved);
    EXPECT_EQ(DecodeBmp(ReadAll(dir.File(L"banded.bmp")), 3, 2).data, AsDisplayed(Picture(3, 2)).data);
}

TEST(PageBitmapFile, FailuresLeaveNoFileAndKeepAnExistingOne) {
    test::TempDir dir;
    const std::wstring kept = dir.File(L"kept.bmp");
    const Pixels small = Picture(3, 3);
    ASSERT_EQ(WritePageImage(kept, 3, 3, DrawPicture(small)), SaveResult::Saved);
    const auto before = ReadAll(kept);

    int bands = 0;
    const DrawBand failsLater = [&](HDC dc, int top, int rows) { return ++bands < 2; };
    EXPECT_EQ(WritePageImage(kept, 3, 30, failsLater, nullptr, 3 * 4 * 4), SaveResult::NothingDrawn);
    EXPECT_EQ(ReadAll(kept), before);
    // Stopped by the user after the second band, in either format.
    for (const wchar_t* name : {L"kept.bmp", L"stopped.png"}) {
        const SaveProgress stopAtTwo = [](int64_t done, int64_t) { return done < 6; };
        EXPECT_EQ(WritePageImage(dir.File(name), 3, 30, DrawPicture(Picture(3, 30)), stopAtTwo, 3 * 4 * 3),
                  SaveResult::Cancelled);
    }
    EXPECT_EQ(ReadAll(kept), before);
    EXPECT_EQ(WritePageImage(dir.File(L"new.bmp"), 3, 3, [](HDC, int, int) { return false; }),
              SaveResult::NothingDrawn);
    EXPECT_FALSE(Exists(dir.File(L"new.bmp")));
    EXPECT_EQ(WritePageImage(dir.File(L"new.bmp"), 0, 3, DrawPicture(small)), SaveResult::NothingDrawn);
    EXPECT_EQ(WritePageImage(dir.File(L"missing\\a.bmp"), 3, 3, DrawPicture(small)), SaveResult::WriteFailed);
    // Over 4 GB even at 8 bits per pixel: refused before anything is drawn.
    const DrawBand neverCalled = [](HDC, int, int) {
        ADD_FAILURE();
        return false;
    };
    EXPECT_EQ(WritePageImage(dir.File(L"huge.bmp"), 70000, 70000, neverCalled), SaveResult::TooLarge);
    EXPECT_EQ(WritePageImage(dir.File(L"huge.png"), 70000, 70000, neverCalled), SaveResult::TooLarge);
    // A bitmap file one byte larger than the free space: refused before anything is drawn.
    const uint32_t size = LayoutBitmapFile(40, 30, DisplayBitsPerPixel())->fileSize;
    EXPECT_EQ(WritePageImage(dir.File(L"full.bmp"), 40, 30, neverCalled, nullptr, kBandBudgetBytes,
                             [&](const std::wstring&) { return std::optional<uint64_t>(size - 1); }),
              SaveResult::NoRoom);
    EXPECT_TRUE(FreeSpaceBeside(dir.File(L"full.bmp")).value_or(0) > 0);
    EXPECT_EQ(WritePageImage(dir.File(L"missing\\a.png"), 3, 3, DrawPicture(small)), SaveResult::WriteFailed);
    bands = 0;
    EXPECT_EQ(WritePageImage(dir.File(L"later.png"), 3, 30, failsLater, nullptr, 3 * 4 * 4),
              SaveResult::NothingDrawn);

    // Nothing else was left in the folder, temporary files included.
    EXPECT_EQ(dir.Names(), std::vector<std::wstring>{L"kept.bmp"});
}

// Our own encoder read back by the system's decoder: distinct colours above a flat
// area (long matches), written in bands of 4 rows, width 9 (rows not a multiple of 4 bytes).
TEST(PageBitmapFile, PngHoldsTheSamePicture) {
    test::TempDir dir;
    Pixels picture = Picture(9, 31);
    std::fill(picture.data.begin() + 9 * 18, picture.data.end(), 0xFFFFFFu);
    ASSERT_EQ(WritePageImage(dir.File(L"page.PNG"), 9, 31, DrawPicture(picture), nullptr, 4 * 9 * 4),
              SaveResult::Saved);
    Gdiplus::Bitmap png(dir.File(L"page.PNG").c_str());
    ASSERT_EQ(png.GetLastStatus(), Gdiplus::Ok);
    GUID format;
    png.GetRawFormat(&format);
    EXPECT_EQ(format, Gdiplus::ImageFormatPNG);
    ASSERT_EQ(png.GetWidth(), 9u);
    ASSERT_EQ(png.GetHeight(), 31u);
    const Pixels expected = AsDisplayed(picture);
    for (int y = 0; y < 31; ++y)
        for (int x = 0; x < 9; ++x) {
            Gdiplus::Color c;
            png.GetPixel(x, y, &c);
            ASSERT_EQ(c.GetValue() & 0xFFFFFF, expected.At(x, y)) << x << "," << y;
        }
}

TEST(PageBitmapFile, CacheCopiesInAndOut) {
    CUICachedDC cache;
    EXPECT_TRUE(cache.IsNull());
    EXPECT_FALSE(cache.Draw(nullptr, 0, 0, 1, 1));
    EXPECT_EQ(cache.SaveToFile(L"C:\\never.bmp"), 0);
    const Pixels picture = Picture(6, 5);
    win::MemorySurface source(nullptr, 10, 10), target(nullptr, 10, 10);
    Pixels big{10, 10, std::vector<unsigned>(100, 0x123456)};
    for (int y = 0; y < 5; ++y)
        for (int x = 0; x < 6; ++x) big.data[size_t(y + 2) * 10 + x + 3] = picture.At(x, y);
    test::WriteBitmap(source.bitmap(), big);
    ASSERT_TRUE(cache.Create(6, 5));
    EXPECT_TRUE(cache.CopyFrom(source.dc(), 3, 2, 6, 5));
    EXPECT_EQ(test::ReadBitmap(cache.GetBitmap()).data, AsDisplayed(picture).data);
    EXPECT_TRUE(cache.Draw(target.dc(), 4, 4, 6, 5));
    EXPECT_EQ(test::ReadBitmap(target.bitmap()).At(4, 4), AsDisplayed(picture).At(0, 0));
    cache.Release();
    EXPECT_TRUE(cache.IsNull());
}

}  // namespace
}  // namespace kestrow::pagegrab
