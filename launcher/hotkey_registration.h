#pragma once
// Registering the four stored hotkeys on the main window, and telling the user
// about those that could not be registered.
#include <windows.h>

#include <string>

#include "launcher/setting_logic.h"

namespace kestrow {

class AppConfig;

// Registers every set hotkey of `config` on `owner` in the order of kHotkeyKeys and
// remembers the outcome as the process's latest registration.
HotkeyRegistration RegisterHotkeys(HWND owner, const AppConfig& config);
void UnregisterHotkeys(HWND owner);
// The outcome of the latest RegisterHotkeys in this process (main thread only).
const HotkeyRegistration& LatestHotkeyRegistration();

// The combination as the hotkey control shows it, with the system's key names.
std::wstring HotkeyDisplayText(Hotkey hotkey);
// What to tell the user about hotkeys that could not be registered; empty when none.
std::wstring TakenHotkeysReport(const HotkeyRegistration& registration);

}  // namespace kestrow
