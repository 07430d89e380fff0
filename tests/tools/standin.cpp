// Stands in for a program the worker or launcher starts (KestrowCapture.exe,
// mspaint.exe, Worker.exe): appends its command line to "<own name>.log" beside it.
#include <windows.h>

#include "tests/tools/tool_io.h"

int WINAPI wWinMain(HINSTANCE, HINSTANCE, LPWSTR, int) {
    wchar_t self[MAX_PATH] = {};
    ::GetModuleFileNameW(nullptr, self, MAX_PATH);
    std::wstring log = self;
    const size_t dot = log.rfind(L'.');
    if (dot != std::wstring::npos) log.resize(dot);
    log += L".log";
    kestrow::testtools::WriteFileBytes(log, kestrow::testtools::ToUtf8(::GetCommandLineW()) + "\n", true);
    return 0;
}
