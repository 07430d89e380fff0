// Helper for the launcher scenarios; the first argument picks the job:
//   send CODE path TEXT OUT      sends a result record with a UTF-16 path, as a worker does
//   send CODE int VALUE OUT      sends a result record with a 4-byte number
//   send CODE bytes N OUT        sends N bytes (N odd, or not 4, to test bad records)
//   main MSG WPARAM LPARAM OUT   sends a message to the launcher's hidden main dialog and
//                                writes its answer (or "nowindow") to OUT
//   toasts OUT                   lists the toast windows: "<visible> <exstyle hex> <l> <t> <r> <b>
//   <title>"
//   hold MODS VK READY           holds a global hotkey (registration flags, virtual key), as
//                                another program would, and writes READY once it has it;
//                                runs until it is killed
//   watch CLASS SECONDS OUT      follows the first window of CLASS for up to SECONDS: one line
//                                "<ms since first shown> <visible> <l> <t> <r> <b>" per change,
//                                from when it shows until it is hidden or gone
// The send job writes the launcher's answer (or "nowindow") to OUT.
#include <windows.h>

#include <shellapi.h>

#include <cstdio>
#include <string>
#include <vector>

#include "common/win/command_line.h"
#include "common/result_message.h"
#include "tests/tools/tool_io.h"

using kestrow::testtools::ToUtf8;
using kestrow::testtools::WriteFileBytes;

namespace {

int Send(const std::vector<std::wstring>& args) {
    const ULONG_PTR code = std::wcstoul(args[2].c_str(), nullptr, 10);
    const std::wstring& kind = args[3];
    const std::wstring& out = args[5];
    std::vector<char> payload;
    if (kind == L"path") {
        const std::wstring& text = args[4];
        payload.assign(reinterpret_cast<const char*>(text.data()),
                       reinterpret_cast<const char*>(text.data() + text.size()));
    } else if (kind == L"int") {
        const int value = std::wcstol(args[4].c_str(), nullptr, 10);
        payload.assign(reinterpret_cast<const char*>(&value), reinterpret_cast<const char*>(&value) + 4);
    } else {
        payload.assign(std::wcstoul(args[4].c_str(), nullptr, 10), 'x');
    }
    HWND target = ::FindWindowW(kestrow::kResultWindowClass, kestrow::kResultWindowTitle);
    if (!target) return WriteFileBytes(out, "nowindow\n", false) ? 0 : 5;
    COPYDATASTRUCT cds{code, DWORD(payload.size()), payload.empty() ? nullptr : payload.data()};
    const LRESULT r = ::SendMessageW(target, WM_COPYDATA, 0, reinterpret_cast<LPARAM>(&cds));
    return WriteFileBytes(out, std::to_string(r) + "\n", false) ? 0 : 5;
}

int SendToMain(const std::vector<std::wstring>& args) {
    const std::wstring& out = args[5];
    HWND main = ::FindWindowW(L"#32770", L"Snaptrel");
    if (!main) return WriteFileBytes(out, "nowindow\n", false) ? 0 : 5;
    const UINT msg = std::wcstoul(args[2].c_str(), nullptr, 10);
    const WPARAM wp = std::wcstoul(args[3].c_str(), nullptr, 10);
    const LPARAM lp = std::wcstol(args[4].c_str(), nullptr, 10);
    const LRESULT r = ::SendMessageW(main, msg, wp, lp);
    return WriteFileBytes(out, std::to_string(r) + "\n", false) ? 0 : 5;
}

int Toasts(const std::wstring& out) {
    std::string text;
    HWND h = nullptr;
    while ((h = ::FindWindowExW(nullptr, h, L"ToastWndClass", nullptr)) != nullptr) {
        RECT rc{};
        ::GetWindowRect(h, &rc);
        wchar_t title[512] = {};
        ::GetWindowTextW(h, title, 512);
        char head[128];
        std::snprintf(head, sizeof(head), "%d %08lx %ld %ld %ld %ld ", ::IsWindowVisible(h) ? 1 : 0,
                      static_cast<unsigned long>(::GetWindowLongW(h, GWL_EXSTYLE)), rc.left, rc.top, rc.right,
                      rc.bottom);
        text += head + ToUtf8(title) + "\n";
    }
    return WriteFileBytes(out, text, false) ? 0 : 5;
}

int Hold(const std::vector<std::wstring>& args) {
    HWND owner = ::CreateWindowExW(0, L"STATIC", L"", 0, 0, 0, 0, 0, HWND_MESSAGE, nullptr, nullptr, nullptr);
    if (!::RegisterHotKey(owner, 1, std::wcstoul(args[2].c_str(), nullptr, 10),
                          std::wcstoul(args[3].c_str(), nullptr, 10)))
        return 3;
    if (!WriteFileBytes(args[4], "held\n", false)) return 5;
    MSG msg;
    while (::GetMessageW(&msg, nullptr, 0, 0) > 0) ::DispatchMessageW(&msg);
    return 0;
}

int Watch(const std::vector<std::wstring>& args) {
    const DWORD limit = std::wcstoul(args[3].c_str(), nullptr, 10) * 1000;
    const DWORD begin = ::GetTickCount();
    HWND window = nullptr;
    DWORD seen = 0;
    std::string log, last;
    while (::GetTickCount() - begin < limit) {
        if (!window) {
            window = ::FindWindowW(args[2].c_str(), nullptr);
            if (window && !::IsWindowVisible(window)) window = nullptr;  // not shown yet
            seen = ::GetTickCount();
        }
        if (window) {
            RECT rc{};
            const bool alive = ::GetWindowRect(window, &rc);
            const bool visible = alive && ::IsWindowVisible(window);
            char state[96];
            std::snprintf(state, sizeof(state), "%d %ld %ld %ld %ld", visible ? 1 : 0, rc.left, rc.top,
                          rc.right, rc.bottom);
            if (state != last) {
                log += std::to_string(::GetTickCount() - seen) + " " + state + "\n";
                last = state;
            }
            if (!visible) break;
        }
        ::Sleep(5);
    }
    return WriteFileBytes(args[4], log, false) ? 0 : 5;
}

}  // namespace

int WINAPI wWinMain(HINSTANCE, HINSTANCE, LPWSTR, int) {
    const std::vector<std::wstring> args = kestrow::win::SplitCommandLine(::GetCommandLineW());
    if (args.size() == 6 && args[1] == L"send") return Send(args);
    if (args.size() == 6 && args[1] == L"main") return SendToMain(args);
    if (args.size() == 3 && args[1] == L"toasts") return Toasts(args[2]);
    if (args.size() == 5 && args[1] == L"hold") return Hold(args);
    if (args.size() == 5 && args[1] == L"watch") return Watch(args);
    return 2;
}
