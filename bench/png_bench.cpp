// The worker's PNG save of a 1920x1080 screen of the test picture and of a photo, against
// GDI+'s PNG encoder (the worker's PNG output before its own writer): file size and save
// time, printed into a file (Wine and pipes do not mix).
//   png_bench OUT DIR        files written into DIR
#include <windows.h>

#include <gdiplus.h>
#include <shellapi.h>

#include <algorithm>
#include <cstdarg>
#include <cstdio>
#include <string>
#include <vector>

#include "bench/bench_pictures.h"
#include "common/win/com.h"
#include "common/win/gdi.h"
#include "common/win/image_encoder.h"
#include "tests/tools/tool_io.h"
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

// Processor time of this process, not wall time: the figures hold on a busy machine.
double Now() {
    FILETIME created, exited, kernel, user;
    ::GetProcessTimes(::GetCurrentProcess(), &created, &exited, &kernel, &user);
    auto seconds = [](const FILETIME& f) {
        return double((uint64_t(f.dwHighDateTime) << 32) | f.dwLowDateTime) / 1e7;
    };
    return seconds(kernel) + seconds(user);
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

std::vector<Picture> MakePictures() {
    std::vector<Picture> list = {{"test screen", {}}, {"photo", {}}};
    uint32_t seed = 12345;
    for (auto& p : list) {
        const bool photo = std::string(p.name) == "photo";
        p.pixels.resize(size_t(kWidth) * kHeight);
        for (int y = 0; y < kHeight; ++y)
            for (int x = 0; x < kWidth; ++x)
                p.pixels[size_t(y) * kWidth + x] =
                    photo ? kestrow::bench::PhotoPixel(x, y, seed) : kestrow::bench::TestScreenPixel(x, y);
    }
    return list;
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
    std::string text =
        Format("Worker PNG save, 1920x1080 screen bitmap, median processor time of %d:\n", kRuns);
    for (const auto& p : MakePictures()) {
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
    if (argc != 3) return 64;
    kestrow::testtools::WriteFileBytes(argv[1], Worker(argv[2]), true);
    ::LocalFree(argv);
    return 0;
}
