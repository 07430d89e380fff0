// The launcher under a long stream of results, as a worker (or a hostile neighbour)
// sends them. Figures go into files (Wine and pipes do not mix):
//   launcher_soak wait                         returns once the launcher's receiver exists
//   launcher_soak send N SECONDS SAVED OUT     sends N results spread over SECONDS; SAVED is
//                                              an existing image the paint stand-in opens
//   launcher_soak windows OUT                  the launcher's top-level windows and toasts
#include <windows.h>
#include <shellapi.h>

#include <algorithm>
#include <cstdio>
#include <string>
#include <vector>

#include "common/result_message.h"

namespace {

double NowMs() {
    static const LARGE_INTEGER freq = [] {
        LARGE_INTEGER f;
        ::QueryPerformanceFrequency(&f);
        return f;
    }();
    LARGE_INTEGER t;
    ::QueryPerformanceCounter(&t);
    return double(t.QuadPart) * 1000.0 / double(freq.QuadPart);
}

HWND Receiver() { return ::FindWindowW(kestrow::kResultWindowClass, kestrow::kResultWindowTitle); }

bool WriteText(const std::wstring& path, const std::string& text, bool append) {
    FILE* f = _wfopen(path.c_str(), append ? L"ab" : L"wb");
    if (!f) return false;
    fputs(text.c_str(), f);
    fclose(f);
    return true;
}

// One result of the mix, by its number: mostly toasts, one in a hundred opens the
// saved image in the paint program, two in five are records no worker sends.
struct Record {
    ULONG_PTR code;
    std::vector<char> bytes;
};

Record MakeRecord(int i, const std::wstring& saved) {
    auto text = [](const std::wstring& s) {
        return std::vector<char>(reinterpret_cast<const char*>(s.data()),
                                 reinterpret_cast<const char*>(s.data() + s.size()));
    };
    const int zero = 0;
    const std::vector<char> number(reinterpret_cast<const char*>(&zero),
                                   reinterpret_cast<const char*>(&zero) + 4);
    switch (i % 20) {
        case 0:
        case 1:
        case 2:
        case 3: return {kestrow::RESULT_REGION_COPIED, number};
        case 4:
        case 5: return {kestrow::RESULT_COLOR_COPIED, number};
        case 6:
        case 7: return {kestrow::RESULT_FULLSCREEN_SAVED, text(L"C:\\no such folder\\shot.png")};
        case 8:
        case 9:
        case 10:
        case 11:
            return {kestrow::RESULT_REGION_SAVED,
                    text(i % 100 == 8 ? saved : L"C:\\no such folder\\region.png")};
        case 12:
        case 13: return {kestrow::RESULT_REGION_SAVED, std::vector<char>(15, 'x')};
        case 14:
        case 15: return {kestrow::RESULT_REGION_COPIED, std::vector<char>(8, 0)};
        case 16:
        case 17: return {1999, number};
        case 18: return {kestrow::RESULT_FULLSCREEN_SAVED, text(std::wstring(L"C:\\a\0.exe", 9))};
        default: return {kestrow::RESULT_REGION_SAVED, text(std::wstring(40000, L'a'))};
    }
}

int Send(int count, double seconds, const std::wstring& saved, const std::wstring& out) {
    std::vector<double> waits;
    int answered = 0, failed = 0;
    const double start = NowMs();
    for (int i = 0; i < count; ++i) {
        const double due = start + seconds * 1000.0 * i / count;
        const double ahead = due - NowMs();
        if (ahead > 1) ::Sleep(DWORD(ahead));
        HWND target = Receiver();
        if (!target) {
            ++failed;
            continue;
        }
        Record r = MakeRecord(i, saved);
        COPYDATASTRUCT cds{r.code, DWORD(r.bytes.size()), r.bytes.empty() ? nullptr : r.bytes.data()};
        DWORD_PTR result = 0;
        const double t0 = NowMs();
        const LRESULT ok = ::SendMessageTimeoutW(target, WM_COPYDATA, 0, reinterpret_cast<LPARAM>(&cds),
                                                 SMTO_ABORTIFHUNG, 10000, &result);
        waits.push_back(NowMs() - t0);
        ok ? ++answered : ++failed;
    }
    const double total = (NowMs() - start) / 1000.0;
    std::sort(waits.begin(), waits.end());
    double sum = 0;
    for (double w : waits) sum += w;
    char line[512];
    std::snprintf(line, sizeof(line),
                  "results sent                              %8d in %.0f s (%d answered, %d not)\n"
                  "worker's wait for the answer              mean %.2f ms, 99th %.2f ms, max %.1f ms\n",
                  count, total, answered, failed, waits.empty() ? 0.0 : sum / waits.size(),
                  waits.empty() ? 0.0 : waits[waits.size() * 99 / 100], waits.empty() ? 0.0 : waits.back());
    return WriteText(out, line, false) ? 0 : 5;
}

struct Count {
    DWORD pid;
    int windows = 0;
    int toasts = 0;
};

BOOL CALLBACK CountWindow(HWND hwnd, LPARAM lp) {
    auto* c = reinterpret_cast<Count*>(lp);
    DWORD pid = 0;
    ::GetWindowThreadProcessId(hwnd, &pid);
    if (pid != c->pid) return TRUE;
    ++c->windows;
    wchar_t cls[32] = {};
    ::GetClassNameW(hwnd, cls, 32);
    if (std::wstring(cls) == L"ToastWndClass") ++c->toasts;
    return TRUE;
}

int Windows(const std::wstring& out) {
    HWND receiver = Receiver();
    if (!receiver) return WriteText(out, "- -\n", false) ? 0 : 5;
    Count c{};
    ::GetWindowThreadProcessId(receiver, &c.pid);
    ::EnumWindows(&CountWindow, reinterpret_cast<LPARAM>(&c));
    return WriteText(out, std::to_string(c.windows) + " " + std::to_string(c.toasts) + "\n", false) ? 0 : 5;
}

}  // namespace

int WINAPI wWinMain(HINSTANCE, HINSTANCE, LPWSTR, int) {
    int argc = 0;
    LPWSTR* argv = ::CommandLineToArgvW(::GetCommandLineW(), &argc);
    std::vector<std::wstring> args(argv, argv + argc);
    ::LocalFree(argv);
    if (args.size() == 2 && args[1] == L"wait") {
        for (int i = 0; i < 600 && !Receiver(); ++i) ::Sleep(50);
        return Receiver() ? 0 : 3;
    }
    if (args.size() == 6 && args[1] == L"send")
        return Send(std::stoi(args[2]), std::stod(args[3]), args[4], args[5]);
    if (args.size() == 3 && args[1] == L"windows") return Windows(args[2]);
    return 2;
}
