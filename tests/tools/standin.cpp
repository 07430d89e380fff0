// Stands in for a program the worker or launcher starts (KestrowCapture.exe,
// mspaint.exe, Worker.exe): appends its command line to "<own name>.log" beside it.
// With KESTROW_STANDIN_WAIT naming an event in its environment, it then lives until
// that event is signalled, as a watched worker does (the process watcher's tests); with
// KESTROW_STANDIN_UNTIL naming a file, until that file exists (the scenarios').
#include <windows.h>

#include "common/win/handles.h"
#include "tests/tools/tool_io.h"

int WINAPI wWinMain(HINSTANCE, HINSTANCE, LPWSTR, int) {
    wchar_t self[MAX_PATH] = {};
    ::GetModuleFileNameW(nullptr, self, MAX_PATH);
    std::wstring log = self;
    const size_t dot = log.rfind(L'.');
    if (dot != std::wstring::npos) log.resize(dot);
    log += L".log";
    kestrow::testtools::WriteFileBytes(log, kestrow::testtools::ToUtf8(::GetCommandLineW()) + "\n", true);

    wchar_t event[128] = {};
    if (::GetEnvironmentVariableW(L"KESTROW_STANDIN_WAIT", event, 128)) {
        kestrow::win::UniqueHandle release(::OpenEventW(SYNCHRONIZE, FALSE, event));
        if (release) ::WaitForSingleObject(release.Get(), 60000);
    }
    wchar_t until[MAX_PATH] = {};
    if (::GetEnvironmentVariableW(L"KESTROW_STANDIN_UNTIL", until, MAX_PATH)) {
        for (int i = 0; i < 1200 && ::GetFileAttributesW(until) == INVALID_FILE_ATTRIBUTES; ++i) ::Sleep(50);
    }
    return 0;
}
