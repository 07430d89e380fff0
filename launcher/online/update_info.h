#pragma once
// The last valid manifest's version and download address, shared by the background
// check, the about dialog and the update balloon. Platform-free.
#include <mutex>
#include <string>

namespace kestrow {

class UpdateInfo {
public:
    struct Texts {
        std::wstring latestVersion;
        std::wstring downloadUrl;
    };

    // The process-wide record. Never destroyed: a check thread may still write it
    // while the process exits.
    static UpdateInfo& Get();

    // Replaces both texts together; a reader sees the old pair or the new one.
    void Set(std::wstring latestVersion, std::wstring downloadUrl);
    Texts Read() const;

private:
    mutable std::mutex lock_;
    Texts texts_;
};

}  // namespace kestrow
