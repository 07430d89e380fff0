#include "launcher/online/app_statics.h"

#include <utility>

#include "launcher/app_paths.h"
#include "launcher/online/online_rules.h"
#include "launcher/online/pe_file_version.h"
#include "launcher/online/service_url.h"
#include "launcher/online/win_http_client.h"

namespace kestrow {

CAppStatics& CAppStatics::Get() {
    static CAppStatics* statics = new CAppStatics(AppPaths::Get().OwnExePath());
    return *statics;
}

CAppStatics::CAppStatics(std::wstring exePath) : exePath_(std::move(exePath)) {}

void CAppStatics::Post(const std::wstring& url) {
    if (!thread()) Start();
    std::lock_guard<std::mutex> hold(lock_);
    queue_.push_back(url);
}

bool CAppStatics::TakeNext(std::wstring& url) {
    std::lock_guard<std::mutex> hold(lock_);
    if (queue_.empty()) return false;
    url = std::move(queue_.front());
    queue_.pop_front();
    return true;
}

void CAppStatics::Run() {
    ::InterlockedExchange(&stop_, 0);
    while (!stop_) {
        std::wstring url;
        if (!TakeNext(url) || url.empty()) {
            ::Sleep(kIdlePollMs);
            continue;
        }
        if (version_.empty()) {
            CPEFileVersion file;
            if (file.Open(exePath_)) version_ = PingVersion(file.GetFileVersion());
        }
        WinHttpClient client(FillPingPlaceholders(url, version_));
        client.SendRequest(L"GET");
    }
}

void PostStartPing() { CAppStatics::Get().Post(ServiceUrl(kStartPingPath)); }
void PostExitPing() { CAppStatics::Get().Post(ServiceUrl(kExitPingPath)); }

}  // namespace kestrow
