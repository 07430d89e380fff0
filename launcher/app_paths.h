#pragma once
// Where the launcher's settings and its sibling programs lie.
#include <string>

#include "common/win/files.h"

namespace kestrow {

class AppPaths {
public:
    // The process-wide paths, built (and the data folder created) on first use.
    static const AppPaths& Get();

    // Paths for an executable at `ownExePath` with data under `dataFolder` (ending in '\').
    AppPaths(std::wstring ownExePath, std::wstring dataFolder);

    const std::wstring& DataFolder() const { return dataFolder_; }
    const std::wstring& OwnExePath() const { return ownExe_; }
    const std::wstring& OwnFolder() const { return ownFolder_; }
    const std::wstring& SettingsFile() const { return settingsFile_; }
    const std::wstring& WorkerExePath() const { return workerExe_; }
    const std::wstring& WebCaptureExePath() const { return webCaptureExe_; }

private:
    std::wstring ownExe_, ownFolder_, dataFolder_, settingsFile_, workerExe_, webCaptureExe_;
};

// True when `path` names an existing file (not a folder).
using win::FileExists;

// The user's roaming data folder followed by "Kestrow\KestrowCapture\", created
// with any missing parents. Empty when the system has no such folder.
std::wstring MakeDataFolder();

}  // namespace kestrow
