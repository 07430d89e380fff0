#pragma once
// The web service's base address: "service_url" in appconfig.ini when it is a valid
// "http[s]://host[:port]", otherwise the address the program was built with.
#include <string>

namespace kestrow {

class AppConfig;

extern const wchar_t kDefaultServiceUrl[];
inline constexpr wchar_t kServiceUrlKey[] = L"service_url";

// Read from the settings file at each call, like every other setting.
std::wstring ServiceBase(const AppConfig& config);
// ServiceBase of the process's settings followed by `path`.
std::wstring ServiceUrl(const wchar_t* path);

}  // namespace kestrow
