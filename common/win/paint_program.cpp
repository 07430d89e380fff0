#include "common/win/paint_program.h"

#include <shellapi.h>

#include "common/win/files.h"

namespace kestrow::win {

namespace {

std::wstring EnvironmentVariable(const wchar_t* name) {
    const DWORD need = ::GetEnvironmentVariableW(name, nullptr, 0);
    if (need == 0) return {};
    std::wstring value(need, L'\0');
    const DWORD got = ::GetEnvironmentVariableW(name, value.data(), need);
    if (got == 0 || got >= need) return {};
    value.resize(got);
    return value;
}

// A failed start stays silent: no error box, no "open with" chooser.
PaintStart ShellStart(const wchar_t* verb, const std::wstring& file, const std::wstring& parameters) {
    SHELLEXECUTEINFOW sei{sizeof(sei)};
    sei.fMask = SEE_MASK_NOCLOSEPROCESS | SEE_MASK_FLAG_NO_UI;
    sei.lpVerb = verb;
    sei.lpFile = file.c_str();
    sei.lpParameters = parameters.empty() ? nullptr : parameters.c_str();
    sei.nShow = SW_SHOWNORMAL;
    PaintStart start;
    start.started = ::ShellExecuteExW(&sei) != FALSE;
    if (start.started) start.process.Reset(sei.hProcess);
    return start;
}

}  // namespace

std::vector<std::wstring> PaintProgramPaths() {
    std::vector<std::wstring> paths;
    wchar_t folder[MAX_PATH] = {};
    const UINT n = ::GetSystemDirectoryW(folder, MAX_PATH);
    if (n > 0 && n < MAX_PATH) paths.push_back(std::wstring(folder, n) + L"\\mspaint.exe");
    const std::wstring local = EnvironmentVariable(L"LOCALAPPDATA");
    if (!local.empty()) paths.push_back(local + L"\\Microsoft\\WindowsApps\\mspaint.exe");
    return paths;
}

PaintStart OpenInPaint(const std::wstring& image, const std::vector<std::wstring>& programs) {
    // Quoted, so that a path with blanks reaches the program as one argument.
    const std::wstring quoted = L"\"" + image + L"\"";
    for (const std::wstring& program : programs) {
        if (!FileExists(program)) continue;
        PaintStart start = ShellStart(L"open", program, quoted);
        if (start.started) return start;
    }
    return ShellStart(L"edit", image, {});
}

}  // namespace kestrow::win
