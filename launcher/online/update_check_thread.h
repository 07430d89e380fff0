#pragma once
// The update check: the manifest against the launcher's own FileVersion.
#include <windows.h>

#include <memory>
#include <string>

#include "launcher/online/update_info.h"
#include "launcher/online/win_http_client.h"
#include "launcher/online/x_thread.h"

namespace kestrow {

// One blocking check. True when a valid manifest was read and the executable's version
// resource too; `upToDate` then says whether the versions are equal (ignoring case).
// A valid manifest replaces `info`'s texts even when the version cannot be read. A
// cancelled check is false and leaves `info` alone.
bool CheckForUpdate(UpdateInfo& info, bool& upToDate, const std::wstring& manifestUrl,
                    const std::wstring& exePath, HttpCancel* cancel = nullptr);

// Runs one check on its own thread and deletes itself afterwards. In the background
// it posts `message` (wParam 0, lParam 0) only when another version is published; with
// `reportAlways` it posts every outcome: wParam = check succeeded, lParam = up to date.
// A check cancelled through `cancel` posts nothing.
class CUpdateCheckThread : public CXThread {
public:
    CUpdateCheckThread(HWND target, UINT message, std::wstring manifestUrl, std::wstring exePath,
                       bool reportAlways = false, std::shared_ptr<HttpCancel> cancel = nullptr);
    ~CUpdateCheckThread() override = default;
    void Run() override;

    // Starts a self-deleting check; false (and the object gone) when no thread could start.
    static bool Launch(HWND target, UINT message, bool reportAlways,
                       std::shared_ptr<HttpCancel> cancel = nullptr);

private:
    HWND target_;
    UINT message_;
    std::wstring manifestUrl_;
    std::wstring exePath_;
    bool reportAlways_;
    std::shared_ptr<HttpCancel> cancel_;
};

}  // namespace kestrow
