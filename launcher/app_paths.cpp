#include "launcher/app_paths.h"

#include <windows.h>

#include <shlobj.h>

#include "launcher/config_keys.h"

namespace kestrow {

AppPaths::AppPaths(std::wstring ownExePath, std::wstring dataFolder)
    : ownExe_(std::move(ownExePath)), dataFolder_(std::move(dataFolder)) {
    const size_t slash = ownExe_.find_last_of(L"\\/");
    ownFolder_ = slash == std::wstring::npos ? std::wstring() : ownExe_.substr(0, slash);
    settingsFile_ = dataFolder_ + kConfigFileName;
    workerExe_ = ownFolder_ + L"\\Worker.exe";
    webCaptureExe_ = ownFolder_ + L"\\pagegrab.exe";
}

std::wstring MakeDataFolder() {
    wchar_t appData[MAX_PATH] = {};
    if (FAILED(::SHGetFolderPathW(nullptr, CSIDL_APPDATA | CSIDL_FLAG_CREATE, nullptr, SHGFP_TYPE_CURRENT,
                                  appData)))
        return {};
    std::wstring folder = appData;
    if (!folder.empty() && folder.back() != L'\\') folder += L'\\';
    folder += L"Kestrow\\KestrowCapture\\";
    ::SHCreateDirectoryExW(nullptr, folder.c_str(), nullptr);
    return folder;
}

const AppPaths& AppPaths::Get() {
    static const AppPaths paths = [] {
        // Own path: at most 511 characters, as the module name is read.
        wchar_t self[512] = {};
        ::GetModuleFileNameW(nullptr, self, 511);
        return AppPaths(self, MakeDataFolder());
    }();
    return paths;
}

}  // namespace kestrow
