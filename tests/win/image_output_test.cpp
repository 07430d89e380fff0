#include "worker/image_output.h"

#include <gdiplus.h>
#include <gtest/gtest.h>

#include <cstdlib>
#include <fstream>

#include "common/win/com.h"
#include "tests/win/test_support.h"

namespace kestrow {
namespace {

using test::Pixels;

class GdiplusEnv : public ::testing::Environment {
public:
    void SetUp() override { session_ = new win::GdiplusSession(false); }
    win::GdiplusSession* session_ = nullptr;
};
const auto* const kGdiplus = ::testing::AddGlobalTestEnvironment(new GdiplusEnv);

// A surface a little larger than the display, filled with per-pixel unique colours.
struct PatternSurface {
    PatternSurface() {
        win::WindowDC screen(nullptr);
        displayW = ::GetDeviceCaps(screen.Get(), HORZRES);
        displayH = ::GetDeviceCaps(screen.Get(), VERTRES);
        surface.Create(nullptr, displayW + 40, displayH + 30);
        Pixels p{surface.width(), surface.height(),
                 std::vector<unsigned>(size_t(surface.width()) * surface.height())};
        for (int y = 0; y < p.height; ++y)
            for (int x = 0; x < p.width; ++x) p.data[size_t(y) * p.width + x] = test::Unique(x, y);
        test::WriteBitmap(surface.bitmap(), p);
    }
    int displayW, displayH;
    win::MemorySurface surface;
};

void ExpectCopyOf(HBITMAP bitmap, int left, int top, int w, int h) {
    ASSERT_NE(bitmap, nullptr);
    Pixels p = test::ReadBitmap(bitmap);
    ASSERT_EQ(p.width, w);
    ASSERT_EQ(p.height, h);
    for (int y = 0; y < h; ++y)
        for (int x = 0; x < w; ++x)
            ASSERT_EQ(p.At(x, y), test::Unique(left + x, top + y)) << "at " << x << "," << y;
}

TEST(CopyRegion, CopiesExactlyTheRectangle) {
    PatternSurface s;
    ASSERT_TRUE(s.surface);
    win::Bitmap b = CopyRegion(s.surface.dc(), RECT{13, 7, 13 + 300, 7 + 200});
    ExpectCopyOf(b.Get(), 13, 7, 300, 200);
}

TEST(CopyRegion, StopsAtThePrimaryDisplaysEdges) {
    PatternSurface s;
    win::Bitmap b =
        CopyRegion(s.surface.dc(), RECT{s.displayW - 50, s.displayH - 20, s.displayW + 30, s.displayH + 25});
    ExpectCopyOf(b.Get(), s.displayW - 50, s.displayH - 20, 50, 20);
}

TEST(CopyRegion, NegativeOriginStartsAtZero) {
    PatternSurface s;
    win::Bitmap b = CopyRegion(s.surface.dc(), RECT{-10, -4, 60, 30});
    ExpectCopyOf(b.Get(), 0, 0, 60, 30);
}

TEST(CopyRegion, NothingToCopyGivesNoBitmap) {
    PatternSurface s;
    EXPECT_FALSE(CopyRegion(s.surface.dc(), RECT{20, 20, 20, 80}));
    EXPECT_FALSE(CopyRegion(s.surface.dc(), RECT{s.displayW + 1, 0, s.displayW + 20, 10}));
}

std::string ReadHead(const std::wstring& path, size_t n) {
    std::ifstream f(path.c_str(), std::ios::binary);
    std::string s(n, '\0');
    f.read(s.data(), std::streamsize(n));
    s.resize(size_t(f.gcount()));
    return s;
}

Pixels Decode(const std::wstring& path) {
    Gdiplus::Bitmap image(path.c_str());
    Pixels p{int(image.GetWidth()), int(image.GetHeight())};
    p.data.resize(size_t(p.width) * p.height);
    for (int y = 0; y < p.height; ++y)
        for (int x = 0; x < p.width; ++x) {
            Gdiplus::Color c;
            image.GetPixel(x, y, &c);
            p.data[size_t(y) * p.width + x] = c.GetValue() & 0xFFFFFF;
        }
    return p;
}

win::Bitmap MakeBitmap(const Pixels& p) {
    win::WindowDC screen(nullptr);
    win::Bitmap b(::CreateCompatibleBitmap(screen.Get(), p.width, p.height));
    test::WriteBitmap(b.Get(), p);
    return b;
}

struct Encoded {
    const wchar_t* name;
    bool (*save)(HBITMAP, const std::wstring&);
    std::string magic;
    int tolerance;  // largest channel difference allowed after decoding
};

TEST(Encoders, EachFileDecodesToTheSamePixels) {
    const Pixels source = test::Gradient(96, 64);
    win::Bitmap bitmap = MakeBitmap(source);
    test::TempDir dir;
    const Encoded cases[] = {
        {L"a.png", SaveAsPng, "\x89PNG", 0},
        {L"a.bmp", SaveAsBmp, "BM", 0},
        {L"a.jpg", SaveAsJpeg, "\xFF\xD8\xFF", 24},
    };
    for (const auto& c : cases) {
        const std::wstring path = dir.File(c.name);
        ASSERT_TRUE(c.save(bitmap.Get(), path)) << c.magic;
        EXPECT_EQ(ReadHead(path, c.magic.size()), c.magic);
        Pixels decoded = Decode(path);
        ASSERT_EQ(decoded.width, source.width);
        ASSERT_EQ(decoded.height, source.height);
        int worst = 0;
        for (size_t i = 0; i < source.data.size(); ++i)
            for (int shift : {0, 8, 16}) {
                int a = (source.data[i] >> shift) & 255, b = (decoded.data[i] >> shift) & 255;
                worst = std::max(worst, std::abs(a - b));
            }
        EXPECT_LE(worst, c.tolerance) << c.magic;
    }
}

TEST(Encoders, SaveImageFollowsTheFormat) {
    win::Bitmap bitmap = MakeBitmap(test::Gradient(16, 16));
    test::TempDir dir;
    ASSERT_TRUE(SaveImage(bitmap.Get(), dir.File(L"x.dat"), ImageFormat::Png));
    EXPECT_EQ(ReadHead(dir.File(L"x.dat"), 4), "\x89PNG");
    ASSERT_TRUE(SaveImage(bitmap.Get(), dir.File(L"y.dat"), ImageFormat::Bmp));
    EXPECT_EQ(ReadHead(dir.File(L"y.dat"), 2), "BM");
    ASSERT_TRUE(SaveImage(bitmap.Get(), dir.File(L"z.dat"), ImageFormat::Jpeg));
    EXPECT_EQ(ReadHead(dir.File(L"z.dat"), 2), "\xFF\xD8");
}

TEST(Encoders, AFailedWriteIsReported) {
    win::Bitmap bitmap = MakeBitmap(test::Gradient(16, 16));
    test::TempDir dir;
    const std::wstring missingFolder = dir.File(L"no-such-folder\\a.png");
    EXPECT_FALSE(SaveAsPng(bitmap.Get(), missingFolder));

    // A file another program holds open without sharing cannot be replaced.
    const std::wstring locked = dir.File(L"locked.bmp");
    win::UniqueFile holder(::CreateFileW(locked.c_str(), GENERIC_READ | GENERIC_WRITE, 0, nullptr,
                                         CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr));
    ASSERT_TRUE(holder);
    EXPECT_FALSE(SaveAsBmp(bitmap.Get(), locked));
    EXPECT_FALSE(SaveAsJpeg(bitmap.Get(), locked));
    holder.Reset();
    EXPECT_TRUE(SaveAsBmp(bitmap.Get(), locked));
}

}  // namespace
}  // namespace kestrow
