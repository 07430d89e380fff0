#include "launcher/app_config.h"

#include <windows.h>

#include <shlwapi.h>

#include <cwchar>

#include "common/win/handles.h"
#include "launcher/app_paths.h"
#include "launcher/autorun_path.h"

namespace kestrow {

namespace {
// The longest Run value read: a quoted path of the system's longest length.
constexpr DWORD kMaxRunValueBytes = (32767 + 3) * sizeof(wchar_t);
}  // namespace

AppConfig& AppConfig::Get() {
    static AppConfig config(AppPaths::Get().SettingsFile());
    return config;
}

AppConfig::AppConfig(std::wstring settingsFile) : file_(std::move(settingsFile)) {}

int AppConfig::ReadInt(const wchar_t* key, int defaultValue) const {
    return static_cast<int>(::GetPrivateProfileIntW(kConfigSection, key, defaultValue, file_.c_str()));
}

bool AppConfig::WriteInt(const wchar_t* key, int value) {
    const std::wstring text = std::to_wstring(value);
    return ::WritePrivateProfileStringW(kConfigSection, key, text.c_str(), file_.c_str()) != FALSE;
}

bool AppConfig::ReadFlag(const FlagKey& key) const {
    return ReadInt(key.name, key.defaultValue ? 1 : 0) != 0;
}

bool AppConfig::WriteFlag(const FlagKey& key, bool on) { return WriteInt(key.name, on ? 1 : 0); }

Hotkey AppConfig::GetHotkey(unsigned hotkeyId) const {
    const HotkeyKey* key = FindHotkeyKey(hotkeyId);
    if (!key) return {};
    return DecodeHotkey(ReadInt(key->name, key->defaultValue));
}

bool AppConfig::SetHotkey(unsigned hotkeyId, Hotkey hotkey) {
    const HotkeyKey* key = FindHotkeyKey(hotkeyId);
    return key && WriteInt(key->name, EncodeHotkey(hotkey));
}

bool GetAutorun(const std::wstring& exePath) {
    // Sized by the value: a quoted own path is two characters longer than the path.
    DWORD bytes = 0;
    if (::RegGetValueW(HKEY_CURRENT_USER, kRunKeyPath, kRunValueName, RRF_RT_REG_SZ, nullptr, nullptr,
                       &bytes) != ERROR_SUCCESS ||
        bytes > kMaxRunValueBytes)
        return false;
    std::wstring value(bytes / sizeof(wchar_t) + 1, L'\0');
    bytes = DWORD(value.size() * sizeof(wchar_t));
    if (::RegGetValueW(HKEY_CURRENT_USER, kRunKeyPath, kRunValueName, RRF_RT_REG_SZ, nullptr, value.data(),
                       &bytes) != ERROR_SUCCESS)
        return false;
    value.resize(std::wcslen(value.c_str()));
    const std::wstring stored = PathFromRunValue(value);
    if (stored.empty() || !FileExists(stored)) return false;
    const std::wstring a = NormalizeAutorunPath(stored);
    const std::wstring b = NormalizeAutorunPath(exePath);
    return ::CompareStringOrdinal(a.c_str(), int(a.size()), b.c_str(), int(b.size()), TRUE) == CSTR_EQUAL;
}

void SetAutorun(const std::wstring& exePath, bool on) {
    HKEY raw = nullptr;
    if (::RegOpenKeyExW(HKEY_CURRENT_USER, kRunKeyPath, 0, KEY_READ | KEY_SET_VALUE | KEY_CREATE_SUB_KEY,
                        &raw) != ERROR_SUCCESS)
        return;
    win::UniqueRegKey key(raw);
    if (on) {
        const std::wstring value = RunValueForPath(exePath);
        // The byte count leaves the terminator out, as the value has always been written;
        // readers add it.
        ::RegSetValueExW(key.Get(), kRunValueName, 0, REG_SZ, reinterpret_cast<const BYTE*>(value.c_str()),
                         DWORD(value.size() * sizeof(wchar_t)));
    } else {
        ::RegDeleteValueW(key.Get(), kRunValueName);
    }
}

}  // namespace kestrow
