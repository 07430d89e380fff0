#include "launcher/online/update_check_thread.h"

#include "common/text.h"
#include "launcher/app_paths.h"
#include "launcher/online/json_object.h"
#include "launcher/online/online_rules.h"
#include "launcher/online/pe_file_version.h"
#include "launcher/online/service_url.h"
#include "launcher/online/win_http_client.h"

namespace kestrow {

bool CheckForUpdate(UpdateInfo& info, bool& upToDate, const std::wstring& manifestUrl,
                    const std::wstring& exePath, HttpCancel* cancel) {
    WinHttpClient client(manifestUrl, cancel);
    client.SendRequest(L"GET");
    if (cancel && cancel->Cancelled()) return false;
    CNewVersionObject manifest;
    manifest.Parse(client.GetResponseText());
    if (!manifest.valid()) return false;
    info.Set(manifest.clientVersion(), manifest.url());
    CPEFileVersion version;
    if (!version.Open(exePath)) return false;
    upToDate = EqualsNoCase(version.GetFileVersion(), manifest.clientVersion());
    return true;
}

CUpdateCheckThread::CUpdateCheckThread(HWND target, UINT message, std::wstring manifestUrl,
                                       std::wstring exePath, bool reportAlways,
                                       std::shared_ptr<HttpCancel> cancel)
    : target_(target),
      message_(message),
      manifestUrl_(std::move(manifestUrl)),
      exePath_(std::move(exePath)),
      reportAlways_(reportAlways),
      cancel_(std::move(cancel)) {}

void CUpdateCheckThread::Run() {
    bool upToDate = true;
    const bool ok = CheckForUpdate(UpdateInfo::Get(), upToDate, manifestUrl_, exePath_, cancel_.get());
    // A cancelled check answers nobody: whoever cancelled has stopped waiting.
    const bool cancelled = cancel_ && cancel_->Cancelled();
    if (!cancelled && reportAlways_)
        ::PostMessageW(target_, message_, ok, upToDate);
    else if (!cancelled && ok && !upToDate)
        ::PostMessageW(target_, message_, 0, 0);
    // Nobody waits for this object: it ends with its one check.
    delete this;
}

bool CUpdateCheckThread::Launch(HWND target, UINT message, bool reportAlways,
                                std::shared_ptr<HttpCancel> cancel) {
    // The address and path are read here, on the UI thread, so the check thread touches
    // nothing the process tears down at exit.
    auto* check = new CUpdateCheckThread(target, message, ServiceUrl(kManifestPath),
                                         AppPaths::Get().OwnExePath(), reportAlways, std::move(cancel));
    if (check->Start()) return true;
    delete check;
    return false;
}

}  // namespace kestrow
