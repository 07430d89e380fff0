// The PNG writer's own figures, natively (the encoder is platform-free; run by
// bench/run_png_writer_bench.sh, which also builds it against an older writer):
//   png_writer_bench page       pagegrab's 1920 x 20000 stand-in page: time, file size,
//                               peak resident memory
//   png_writer_bench pictures   1920 x 1080 pictures with the writer's settings
//   png_writer_bench settings   every compression level, zlib strategy and row filter
//                               on 1920 x 1080 pictures: file size and time
//   png_writer_bench floor      each row filter's order-0 entropy on those pictures
// Built with KESTROW_PAGE_ONLY it needs only Begin(width, height, sink), WriteRow(rgb)
// and Finish(), which every version of the writer has.
#include <sys/resource.h>

#include <cmath>
#include <cstdlib>
#include <ctime>
#include <cstdio>
#include <cstring>
#include <utility>
#include <string>
#include <vector>

#include "bench/bench_pictures.h"
#include "common/png_writer.h"
#ifndef KESTROW_PAGE_ONLY
#include <zlib.h>
#endif

namespace {

// Processor time, not wall time: the figures hold on a machine that is busy with more.
double Now() {
    timespec t{};
    clock_gettime(CLOCK_PROCESS_CPUTIME_ID, &t);
    return double(t.tv_sec) + t.tv_nsec / 1e9;
}

double PeakMiB() {
    rusage usage{};
    getrusage(RUSAGE_SELF, &usage);
    return usage.ru_maxrss / 1024.0;
}

template <typename PixelFn>
void FillRgb(std::vector<uint8_t>& row, int width, int y, PixelFn&& pixel) {
    for (int x = 0; x < width; ++x) {
        const uint32_t v = pixel(x, y);
        row[size_t(x) * 3] = uint8_t(v >> 16);
        row[size_t(x) * 3 + 1] = uint8_t(v >> 8);
        row[size_t(x) * 3 + 2] = uint8_t(v);
    }
}

int Page() {
    constexpr int kWidth = 1920, kHeight = 20000;
    std::vector<uint8_t> row(size_t(kWidth) * 3);
    size_t bytes = 0;
    const double before = PeakMiB();
    kestrow::png::PngWriter writer;
    const double start = Now();
    double making = 0;
    bool ok = writer.Begin(kWidth, kHeight, [&](const uint8_t*, size_t n) {
        bytes += n;
        return true;
    });
    for (int y = 0; y < kHeight && ok; ++y) {
        const double made = Now();
        FillRgb(row, kWidth, y, kestrow::bench::StandinPagePixel);
        making += Now() - made;
        ok = writer.WriteRow(row.data());
    }
    ok = ok && writer.Finish();
    const double seconds = Now() - start - making;
    std::printf(
        "page 1920x20000 RGB rows: %s in %.2f s of processor time, file %.2f MiB; peak resident %.1f MiB "
        "(%.1f MiB "
        "before the writer)\n",
        ok ? "written" : "FAILED", seconds, bytes / 1048576.0, PeakMiB(), before);
    return ok ? 0 : 1;
}

constexpr int kPictureWidth = 1920, kPictureHeight = 1080;

struct Picture {
    const char* name;
    std::vector<uint8_t> rgb;
};

std::vector<Picture> MakePictures() {
    std::vector<Picture> pictures = {
        {"test screen", {}}, {"photo", {}}, {"web page", {}}, {"stand-in page", {}}};
    uint32_t seed = 12345;
    std::vector<uint8_t> row(size_t(kPictureWidth) * 3);
    for (auto& p : pictures) {
        const std::string name = p.name;
        for (int y = 0; y < kPictureHeight; ++y) {
            FillRgb(row, kPictureWidth, y, [&](int x, int at) {
                if (name == "test screen") return kestrow::bench::TestScreenPixel(x, at);
                if (name == "photo") return kestrow::bench::PhotoPixel(x, at, seed);
                if (name == "web page") return kestrow::bench::WebPagePixel(x, at, seed);
                return kestrow::bench::StandinPagePixel(x, at);
            });
            p.rgb.insert(p.rgb.end(), row.begin(), row.end());
        }
    }
    return pictures;
}

// Encodes with `begin` (which calls the writer's Begin); the file's size and the time.
template <typename Begin>
std::pair<size_t, double> Encode(const Picture& p, Begin&& begin) {
    size_t bytes = 0;
    kestrow::png::PngWriter writer;
    const double start = Now();
    begin(writer, [&](const uint8_t*, size_t n) {
        bytes += n;
        return true;
    });
    for (int y = 0; y < kPictureHeight; ++y) writer.WriteRow(&p.rgb[size_t(y) * kPictureWidth * 3]);
    const bool ok = writer.Finish();
    return {ok ? bytes : 0, Now() - start};
}

// Each picture with the writer's own settings.
int Pictures() {
    std::printf("1920x1080 pictures with the writer's settings:");
    for (const auto& p : MakePictures()) {
        const auto [bytes, seconds] = Encode(
            p, [](kestrow::png::PngWriter& w, auto sink) { w.Begin(kPictureWidth, kPictureHeight, sink); });
        std::printf(" %s %.1f KiB (%.0f ms);", p.name, bytes / 1024.0, seconds * 1000);
    }
    std::printf("\n");
    return 0;
}

#ifndef KESTROW_PAGE_ONLY
int Settings() {
    using kestrow::png::FilterChoice;
    const std::vector<Picture> pictures = MakePictures();
    struct Filter {
        FilterChoice choice;
        const char* name;
    };
    const Filter filters[] = {{FilterChoice::None, "none"},   {FilterChoice::Sub, "sub"},
                              {FilterChoice::Up, "up"},       {FilterChoice::Average, "average"},
                              {FilterChoice::Paeth, "paeth"}, {FilterChoice::Smallest, "smallest"}};
    struct Deflate {
        int level, strategy;
        const char* name;
    };
    // Levels 1 to 3 ignore the strategy (zlib's fast matcher), so only 6 and 9 are
    // tried filtered; run-length matching ignores the level.
    const Deflate deflates[] = {{1, Z_DEFAULT_STRATEGY, "level 1"},  {2, Z_DEFAULT_STRATEGY, "level 2"},
                                {3, Z_DEFAULT_STRATEGY, "level 3"},  {4, Z_DEFAULT_STRATEGY, "level 4"},
                                {5, Z_DEFAULT_STRATEGY, "level 5"},  {6, Z_DEFAULT_STRATEGY, "level 6"},
                                {9, Z_DEFAULT_STRATEGY, "level 9"},  {6, Z_FILTERED, "level 6 filtered"},
                                {9, Z_FILTERED, "level 9 filtered"}, {6, Z_RLE, "rle"}};
    const kestrow::png::Options chosen;
    std::printf("PNG settings on 1920x1080 pictures: file KiB (encode ms of processor time)\n%-17s %-8s",
                "deflate", "filter");
    for (const auto& p : pictures) std::printf(" %20s", p.name);
    std::printf(" %19s\n", "all: KiB (ms)");
    for (const auto& d : deflates)
        for (const auto& f : filters) {
            kestrow::png::Options options;
            options.level = d.level;
            options.strategy = d.strategy;
            options.filter = f.choice;
            std::printf("%-17s %-8s", d.name, f.name);
            double allSeconds = 0;
            size_t allBytes = 0;
            for (const auto& p : pictures) {
                const auto [bytes, seconds] = Encode(p, [&](kestrow::png::PngWriter& w, auto sink) {
                    w.Begin(kPictureWidth, kPictureHeight, sink, kestrow::png::PixelLayout::Rgb, options);
                });
                allSeconds += seconds;
                allBytes += bytes;
                std::printf(" %11.1f (%6.1f)", bytes / 1024.0, seconds * 1000);
            }
            const bool isChosen =
                d.level == chosen.level && d.strategy == chosen.strategy && f.choice == chosen.filter;
            std::printf(" %9.1f (%6.1f)%s\n", allBytes / 1024.0, allSeconds * 1000,
                        isChosen ? "  <- default" : "");
            std::fflush(stdout);
        }
    return 0;
}

// What no deflate setting can beat: the order-0 entropy of each filter's output (every
// byte coded alone, as deflate's literals are where nothing repeats, as in a photo's
// noise), per picture, in KiB. A per-row choice mixes these and cannot go below the best.
int Floor() {
    const std::vector<Picture> pictures = MakePictures();
    const char* names[] = {"none", "sub", "up", "average", "paeth"};
    std::printf("order-0 entropy of the filtered bytes, KiB (a floor for literal coding)\n%-17s", "filter");
    for (const auto& p : pictures) std::printf(" %13s", p.name);
    std::printf("\n");
    const size_t n = size_t(kPictureWidth) * 3;
    for (int type = 0; type < 5; ++type) {
        std::printf("%-17s", names[type]);
        for (const auto& p : pictures) {
            std::vector<double> counts(256, 0);
            for (int y = 0; y < kPictureHeight; ++y) {
                const uint8_t* row = &p.rgb[size_t(y) * n];
                const uint8_t* up = y > 0 ? row - n : nullptr;
                for (size_t i = 0; i < n; ++i) {
                    const int a = i >= 3 ? row[i - 3] : 0, b = up ? up[i] : 0,
                              c = up && i >= 3 ? up[i - 3] : 0;
                    int predicted = 0;
                    if (type == 1) predicted = a;
                    if (type == 2) predicted = b;
                    if (type == 3) predicted = (a + b) / 2;
                    if (type == 4) {
                        const int pa = std::abs(b - c), pb = std::abs(a - c), pc = std::abs(a + b - 2 * c);
                        predicted = pa <= pb && pa <= pc ? a : pb <= pc ? b : c;
                    }
                    ++counts[uint8_t(row[i] - predicted)];
                }
            }
            const double total = double(n) * kPictureHeight;
            double bits = 0;
            for (double k : counts)
                if (k > 0) bits -= k * std::log2(k / total);
            std::printf(" %13.1f", bits / 8 / 1024);
        }
        std::printf("\n");
    }
    return 0;
}
#endif

}  // namespace

int main(int argc, char** argv) {
    const std::string mode = argc == 2 ? argv[1] : "";
    if (mode == "page") return Page();
    if (mode == "pictures") return Pictures();
#ifndef KESTROW_PAGE_ONLY
    if (mode == "settings") return Settings();
    if (mode == "floor") return Floor();
#endif
    std::fprintf(stderr, "usage: %s page|pictures|settings|floor\n", argv[0]);
    return 64;
}
