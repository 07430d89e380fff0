#include "launcher/hotkey_registration.h"

#include "launcher/app_config.h"

namespace kestrow {

namespace {

HotkeyRegistration g_latest;

// The name the keyboard layout gives a virtual key, as the hotkey control asks for it.
std::wstring KeyName(UINT vk, bool extended) {
    const UINT scan = ::MapVirtualKeyW(vk, MAPVK_VK_TO_VSC);
    wchar_t name[64] = {};
    const LONG lparam = LONG(scan << 16) | (extended ? (1 << 24) : 0);
    if (::GetKeyNameTextW(lparam, name, 64) > 0) return name;
    return {};
}

// A held key would start a task per repeat; systems before Windows 7 refuse the flag.
BOOL RegisterHotkeyNoRepeat(HWND hwnd, int id, UINT modifiers, UINT keyCode) {
    return ::RegisterHotKey(hwnd, id, modifiers | kModNoRepeat, keyCode) ||
           ::RegisterHotKey(hwnd, id, modifiers, keyCode);
}

}  // namespace

HotkeyRegistration RegisterHotkeys(HWND owner, const AppConfig& config) {
    HotkeyRegistration result;
    for (size_t i = 0; i < std::size(kHotkeyKeys); ++i) {
        const Hotkey hk = config.GetHotkey(kHotkeyKeys[i].hotkeyId);
        result.hotkeys[i] = hk;
        if (!hk.IsSet()) continue;
        if (!RegisterHotkeyNoRepeat(owner, static_cast<int>(kHotkeyKeys[i].hotkeyId),
                                    ToRegisterModifiers(hk.modifiers), hk.keyCode))
            result.failed |= 1u << i;
    }
    g_latest = result;
    return result;
}

void UnregisterHotkeys(HWND owner) {
    for (const HotkeyKey& key : kHotkeyKeys) ::UnregisterHotKey(owner, static_cast<int>(key.hotkeyId));
}

const HotkeyRegistration& LatestHotkeyRegistration() { return g_latest; }

std::wstring HotkeyDisplayText(Hotkey hotkey) {
    ModifierNames names;
    if (std::wstring n = KeyName(VK_CONTROL, false); !n.empty()) names.ctrl = n;
    if (std::wstring n = KeyName(VK_SHIFT, false); !n.empty()) names.shift = n;
    if (std::wstring n = KeyName(VK_MENU, false); !n.empty()) names.alt = n;
    const bool extended = hotkey.modifiers & kHotkeyExtended;
    return HotkeyText(hotkey.modifiers, KeyName(hotkey.keyCode, extended), names);
}

std::wstring TakenHotkeysReport(const HotkeyRegistration& registration) {
    if (!registration.failed) return {};
    std::array<std::wstring, 4> texts;
    for (size_t i = 0; i < texts.size(); ++i)
        if (registration.failed & (1u << i)) texts[i] = HotkeyDisplayText(registration.hotkeys[i]);
    return TakenHotkeysText(registration, texts);
}

}  // namespace kestrow
