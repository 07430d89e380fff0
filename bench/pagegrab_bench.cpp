// Writes a 1920 × 20000 page from the stand-in browser as BMP or PNG and prints the time
// and the process's peak working set against the size of one full-page bitmap.
//   pagegrab_bench bmp|png OUTFILE REPORT
#include <windows.h>

#include <psapi.h>
#include <shellapi.h>

#include <cstdio>
#include <string>

#include "tests/tools/standin_view.h"

namespace {

double PeakMiB() {
    PROCESS_MEMORY_COUNTERS pmc{sizeof(pmc)};
    ::GetProcessMemoryInfo(::GetCurrentProcess(), &pmc, sizeof(pmc));
    return pmc.PeakWorkingSetSize / 1048576.0;
}

}  // namespace

int WINAPI wWinMain(HINSTANCE, HINSTANCE, LPWSTR, int) {
    int argc = 0;
    LPWSTR* argv = ::CommandLineToArgvW(::GetCommandLineW(), &argc);
    if (argc != 4) return 64;
    const std::wstring format = argv[1], out = argv[2], report = argv[3];
    constexpr int kWidth = 1920, kHeight = 20000;

    kestrow::testtools::StandinView view(L"");
    view.SetBrowserWidth(kWidth);
    view.SetBrowserHeight(kHeight);
    const double before = PeakMiB();
    LARGE_INTEGER freq, t0, t1;
    ::QueryPerformanceFrequency(&freq);
    ::QueryPerformanceCounter(&t0);
    const auto result = view.SaveAsBitmap(out, nullptr);
    ::QueryPerformanceCounter(&t1);
    const double seconds = double(t1.QuadPart - t0.QuadPart) / double(freq.QuadPart);

    WIN32_FILE_ATTRIBUTE_DATA fa{};
    ::GetFileAttributesExW(out.c_str(), GetFileExInfoStandard, &fa);
    const double fileMiB = ((uint64_t(fa.nFileSizeHigh) << 32) | fa.nFileSizeLow) / 1048576.0;
    const double pageMiB = double(kWidth) * kHeight * 4 / 1048576.0;
    char line[512];
    std::snprintf(line, sizeof(line),
                  "%-3ls 1920x20000: %s in %.2f s, file %.1f MiB; peak working set %.1f MiB "
                  "(%.1f MiB before saving); one full-page 32-bit bitmap is %.1f MiB\n",
                  format.c_str(), result == kestrow::pagegrab::SaveResult::Saved ? "saved" : "FAILED",
                  seconds, fileMiB, PeakMiB(), before, pageMiB);
    kestrow::testtools::WriteFileBytes(report, line, true);
    ::LocalFree(argv);
    return result == kestrow::pagegrab::SaveResult::Saved ? 0 : 1;
}
