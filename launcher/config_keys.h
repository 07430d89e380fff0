#pragma once
// The keys of appconfig.ini and their defaults. Platform-free.
#include <cstdint>

#include "launcher/launcher_ids.h"

namespace kestrow {

inline constexpr wchar_t kConfigSection[] = L"config";
inline constexpr wchar_t kConfigFileName[] = L"appconfig.ini";

struct FlagKey {
    const wchar_t* name;
    bool defaultValue;
};

inline constexpr FlagKey kShowBalloonKey{L"showballon", true};
inline constexpr FlagKey kAutoOpenKey{L"auto_open_screencapture", false};
inline constexpr FlagKey kShowStartupScreenKey{L"showstartupscreen", true};
// A worker kept started and waiting, so that a capture only has to wake it.
inline constexpr FlagKey kStandbyKey{L"standby", true};

struct HotkeyKey {
    unsigned hotkeyId;
    const wchar_t* name;
    int32_t defaultValue;  // stored encoding
};

// In registration order: a combination used twice goes to the earlier entry.
inline constexpr HotkeyKey kHotkeyKeys[] = {
    {HOTKEY_ID_SCREENCAPTURE, L"hk_screencapture", 0x6004A},               // Ctrl+Alt+J
    {HOTKEY_ID_FULLSCREEN_FILE, L"hk_screencapture_file", 113},            // F2
    {HOTKEY_ID_FULLSCREEN_CLIPBOARD, L"hk_screencapture_clipboard", 115},  // F4
    {HOTKEY_ID_COLORCAPTURE, L"hk_colorcapture", 0x60053},                 // Ctrl+Alt+S
};

const HotkeyKey* FindHotkeyKey(unsigned hotkeyId);

}  // namespace kestrow
