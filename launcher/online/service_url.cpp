#include "launcher/online/service_url.h"

#include <windows.h>

#include "launcher/app_config.h"
#include "launcher/config_keys.h"
#include "launcher/online/online_rules.h"

#ifndef KESTROW_SERVICE_URL
#define KESTROW_SERVICE_URL "https://www.kestrow.com"
#endif

namespace kestrow {

const wchar_t kDefaultServiceUrl[] = L"" KESTROW_SERVICE_URL;

std::wstring ServiceBase(const AppConfig& config) {
    wchar_t value[512] = {};
    ::GetPrivateProfileStringW(kConfigSection, kServiceUrlKey, L"", value, 512, config.file().c_str());
    return ServiceBaseUrl(value, kDefaultServiceUrl);
}

std::wstring ServiceUrl(const wchar_t* path) { return ServiceBase(AppConfig::Get()) + path; }

}  // namespace kestrow
