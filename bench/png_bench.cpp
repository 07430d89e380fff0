// Figures for PNG output, printed into a file (Wine and pipes do not mix):
//   png_bench choose OUT        every compression level, zlib strategy and row filter choice
//                               on 1920x1080 pictures, in memory: file size and time
//   png_bench worker OUT DIR    the worker's PNG save of a 1920x1080 screen of the test
//                               picture and of a photo, against GDI+'s PNG encoder: file
//                               size and save time, files written into DIR
#include <windows.h>

#include <gdiplus.h>
#include <shellapi.h>
#include <zlib.h>

#include <algorithm>
#include <cmath>
#include <cstdarg>
#include <cstdio>
#include <string>
#include <vector>

#include "common/png_writer.h"
#include "common/win/com.h"
#include "common/win/gdi.h"
#include "common/win/image_encoder.h"
#include "tests/tools/standin_view.h"
#include "worker/image_output.h"

namespace {

constexpr int kWidth = 1920, kHeight = 1080;

std::string Format(const char* fmt, ...) {
    char buffer[1024];
    va_list args;
    va_start(args, fmt);
    std::vsnprintf(buffer, sizeof(buffer), fmt, args);
    va_end(args);
    return buffer;
}

double Now() {
    LARGE_INTEGER freq, t;
    ::QueryPerformanceFrequency(&freq);
    ::QueryPerformanceCounter(&t);
    return double(t.QuadPart) / double(freq.QuadPart);
}

template <typename F>
double MedianSeconds(int runs, F&& f) {
    std::vector<double> times;
    for (int i = 0; i < runs; ++i) {
        const double t0 = Now();
        f();
        times.push_back(Now() - t0);
    }
    std::sort(times.begin(), times.end());
    return times[times.size() / 2];
}

// 0x00RRGGBB pixels, top row first.
struct Picture {
    const char* name;
    std::vector<uint32_t> pixels;
};

// The end-to-end scenarios' screen (tests/tools/testtool.cpp): red and green from the
// position's low bits, blue from the high bits.
uint32_t TestScreenPixel(int x, int y) {
    const unsigned r = x & 255, g = y & 255, b = (((x >> 8) << 5) | ((y >> 8) << 2) | 3) & 255;
    return (r << 16) | (g << 8) | b;
}

// A desktop wallpaper's kind of photo: broad smooth colour waves with sensor noise.
uint32_t PhotoPixel(int x, int y, uint32_t& seed) {
    auto channel = [&](double wave) {
        seed = seed * 1664525u + 1013904223u;
        const int noise = int((seed >> 24) % 9) - 4;
        return uint32_t(std::clamp(int(wave) + noise, 0, 255));
    };
    const double r = 120 + 90 * std::sin(x / 310.0 + y / 530.0);
    const double g = 110 + 70 * std::sin(x / 470.0 - y / 260.0 + 1.0);
    const double b = 140 + 80 * std::cos((x + 2 * y) / 700.0);
    return channel(r) << 16 | channel(g) << 8 | channel(b);
}

// A web page: white, a coloured header, lines of dark text-like specks, a picture.
uint32_t WebPagePixel(int x, int y, uint32_t& seed) {
    if (y < 90) return 0x2B5797;
    if (x >= 1200 && x < 1800 && y >= 200 && y < 600) return PhotoPixel(x, y, seed);
    const int line = (y - 120) % 28;
    if (x >= 240 && x < 1100 && y >= 120 && line < 14) {
        seed = seed * 1664525u + 1013904223u;
        if ((seed >> 28) < 5) return (seed >> 29) ? 0x222222 : 0x777777;
    }
    return 0xFFFFFF;
}

std::vector<Picture> MakePictures(bool all) {
    std::vector<Picture> list = {{"test screen", {}}, {"photo", {}}};
    if (all) list.push_back({"web page", {}}), list.push_back({"pagegrab page", {}});
    uint32_t seed = 12345;
    for (auto& p : list) {
        p.pixels.resize(size_t(kWidth) * kHeight);
        for (int y = 0; y < kHeight; ++y)
            for (int x = 0; x < kWidth; ++x) {
                uint32_t& px = p.pixels[size_t(y) * kWidth + x];
                const std::string name = p.name;
                if (name == "test screen")
                    px = TestScreenPixel(x, y);
                else if (name == "photo")
                    px = PhotoPixel(x, y, seed);
                else if (name == "web page")
                    px = WebPagePixel(x, y, seed);
                else
                    px = kestrow::testtools::StandinPixel(x, y);
            }
    }
    return list;
}

size_t EncodeInMemory(const Picture& p, const kestrow::png::Options& options) {
    size_t bytes = 0;
    kestrow::png::PngWriter writer;
    writer.Begin(
        kWidth, kHeight,
        [&](const uint8_t*, size_t n) {
            bytes += n;
            return true;
        },
        kestrow::png::PixelLayout::Bgrx, options);
    for (int y = 0; y < kHeight; ++y)
        writer.WriteRow(reinterpret_cast<const uint8_t*>(&p.pixels[size_t(y) * kWidth]));
    return writer.Finish() ? bytes : 0;
}

std::string Choose() {
    using kestrow::png::FilterChoice;
    const auto pictures = MakePictures(true);
    struct Filter {
        FilterChoice choice;
        const char* name;
    };
    const Filter filters[] = {{FilterChoice::None, "none"},   {FilterChoice::Sub, "sub"},
                              {FilterChoice::Up, "up"},       {FilterChoice::Average, "average"},
                              {FilterChoice::Paeth, "paeth"}, {FilterChoice::Smallest, "smallest"}};
    struct Setting {
        int level, strategy;
        const char* name;
    };
    const Setting settings[] = {{1, Z_DEFAULT_STRATEGY, "level 1"},
                                {3, Z_DEFAULT_STRATEGY, "level 3"},
                                {6, Z_DEFAULT_STRATEGY, "level 6"},
                                {9, Z_DEFAULT_STRATEGY, "level 9"},
                                {1, Z_FILTERED, "level 1 filtered"},
                                {3, Z_FILTERED, "level 3 filtered"},
                                {6, Z_FILTERED, "level 6 filtered"},
                                {9, Z_FILTERED, "level 9 filtered"},
                                {6, Z_RLE, "rle"}};
    const kestrow::png::Options chosen;
    std::string text = "PNG settings, 1920x1080 each, file KiB (encode ms):\n";
    text += Format("%-18s %-9s", "deflate", "filter");
    for (const auto& p : pictures) text += Format(" %21s", p.name);
    text += Format(" %14s\n", "total KiB (ms)");
    for (const auto& s : settings)
        for (const auto& f : filters) {
            kestrow::png::Options options;
            options.level = s.level;
            options.strategy = s.strategy;
            options.filter = f.choice;
            text += Format("%-18s %-9s", s.name, f.name);
            double totalMs = 0;
            size_t totalBytes = 0;
            for (const auto& p : pictures) {
                size_t bytes = 0;
                const double ms = MedianSeconds(1, [&] { bytes = EncodeInMemory(p, options); }) * 1000;
                totalMs += ms;
                totalBytes += bytes;
                text += Format(" %12.1f (%5.0f)", bytes / 1024.0, ms);
            }
            const bool isChosen = options.level == chosen.level && options.strategy == chosen.strategy &&
                                  options.filter == chosen.filter;
            text += Format(" %7.0f (%5.0f)%s\n", totalBytes / 1024.0, totalMs, isChosen ? "  <- chosen" : "");
        }
    return text;
}

kestrow::win::Bitmap ScreenBitmap(const Picture& p) {
    kestrow::win::WindowDC screen(nullptr);
    kestrow::win::Bitmap bitmap(::CreateCompatibleBitmap(screen.Get(), kWidth, kHeight));
    BITMAPINFO info{};
    info.bmiHeader = {sizeof(BITMAPINFOHEADER), kWidth, -kHeight, 1, 32, BI_RGB};
    ::SetDIBits(screen.Get(), bitmap.Get(), 0, kHeight, p.pixels.data(), &info, DIB_RGB_COLORS);
    return bitmap;
}

// The worker's PNG save before this writer: GDI+'s encoder on the bitmap.
bool SaveWithGdiplus(HBITMAP bitmap, const std::wstring& path) {
    CLSID clsid;
    if (!kestrow::win::FindImageEncoder(L"image/png", clsid)) return false;
    Gdiplus::Bitmap image(bitmap, nullptr);
    return image.Save(path.c_str(), &clsid, nullptr) == Gdiplus::Ok;
}

double FileKiB(const std::wstring& path) {
    WIN32_FILE_ATTRIBUTE_DATA fa{};
    if (!::GetFileAttributesExW(path.c_str(), GetFileExInfoStandard, &fa)) return -1;
    return double((uint64_t(fa.nFileSizeHigh) << 32) | fa.nFileSizeLow) / 1024.0;
}

std::string Worker(const std::wstring& dir) {
    kestrow::win::GdiplusSession gdiplus;
    constexpr int kRuns = 5;
    std::string text = Format("Worker PNG save, 1920x1080 screen bitmap, median of %d:\n", kRuns);
    for (const auto& p : MakePictures(false)) {
        kestrow::win::Bitmap bitmap = ScreenBitmap(p);
        const std::wstring gdiplusPath = dir + L"\\gdiplus.png", oursPath = dir + L"\\ours.png";
        const double gdiplusS = MedianSeconds(kRuns, [&] { SaveWithGdiplus(bitmap.Get(), gdiplusPath); });
        const double oursS = MedianSeconds(kRuns, [&] { kestrow::SaveAsPng(bitmap.Get(), oursPath); });
        const double gdiplusKiB = FileKiB(gdiplusPath), oursKiB = FileKiB(oursPath);
        text += Format(
            "  %-12s GDI+ %8.1f KiB in %4.0f ms; zlib writer %8.1f KiB in %4.0f ms "
            "(size %.2f, time %.2f of GDI+)\n",
            p.name, gdiplusKiB, gdiplusS * 1000, oursKiB, oursS * 1000, oursKiB / gdiplusKiB,
            oursS / gdiplusS);
    }
    return text;
}

}  // namespace

int WINAPI wWinMain(HINSTANCE, HINSTANCE, LPWSTR, int) {
    int argc = 0;
    LPWSTR* argv = ::CommandLineToArgvW(::GetCommandLineW(), &argc);
    std::string text;
    if (argc == 3 && std::wstring(argv[1]) == L"choose")
        text = Choose();
    else if (argc == 4 && std::wstring(argv[1]) == L"worker")
        text = Worker(argv[3]);
    else
        return 64;
    kestrow::testtools::WriteFileBytes(argv[2], text, true);
    ::LocalFree(argv);
    return 0;
}
