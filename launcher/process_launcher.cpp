#include "launcher/process_launcher.h"

#include <shellapi.h>
#include <shlwapi.h>

#include "launcher/app_paths.h"

namespace kestrow {

ProcessLauncher::ProcessLauncher(std::wstring exePath, std::wstring parameters)
    : exePath_(std::move(exePath)), parameters_(std::move(parameters)) {
    // A relative executable is looked for beside the launcher first.
    if (!exePath_.empty() && ::PathIsRelativeW(exePath_.c_str())) {
        const std::wstring beside = AppPaths::Get().OwnFolder() + L"\\" + exePath_;
        if (FileExists(beside)) exePath_ = beside;
    }
}

win::UniqueHandle ProcessLauncher::Start() {
    if (exePath_.empty() || !FileExists(exePath_)) return {};
    SHELLEXECUTEINFOW sei{sizeof(sei)};
    // A failed start stays silent: no error box from the shell.
    sei.fMask = SEE_MASK_NOCLOSEPROCESS | SEE_MASK_FLAG_NO_UI;
    sei.lpFile = exePath_.c_str();
    sei.lpParameters = parameters_.c_str();
    sei.nShow = SW_SHOWNORMAL;
    if (!::ShellExecuteExW(&sei)) return {};
    return win::UniqueHandle(sei.hProcess);
}

void OpenWithShell(const std::wstring& exePath, const std::wstring& parameters, int show) {
    SHELLEXECUTEINFOW sei{sizeof(sei)};
    sei.fMask = SEE_MASK_FLAG_NO_UI;
    sei.lpVerb = L"open";
    sei.lpFile = exePath.c_str();
    sei.lpParameters = parameters.c_str();
    sei.nShow = show;
    ::ShellExecuteExW(&sei);
}

}  // namespace kestrow
