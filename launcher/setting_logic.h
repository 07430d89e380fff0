#pragma once
// What the settings dialog computes without the platform: the page rectangle, the
// hotkey control's value and the texts that tell the user about hotkeys that could
// not be registered. Platform-free.
#include <array>
#include <cstdint>
#include <string>

#include "common/geometry.h"
#include "launcher/hotkey_code.h"

namespace kestrow {

// The pages' place inside the tab control's client rectangle, below the tab row.
Rect PageRect(Rect tabClient);

// The hotkey control keeps the key code in its low byte and the modifier flags in the
// next one; the settings store keeps them as two 16-bit halves.
uint16_t ToHotkeyControlValue(Hotkey hotkey);
Hotkey FromHotkeyControlValue(uint32_t value);

// The labels of the hotkeys page, in the order of kHotkeyKeys.
inline constexpr const wchar_t* kHotkeyLabels[] = {
    L"开始截屏快捷键：",
    L"截取整个屏幕到文件快捷键：",
    L"截取整个屏幕到剪贴板快捷键：",
    L"开始取色快捷键：",
};

// The names a hotkey control shows for its modifiers (the platform's key names).
struct ModifierNames {
    std::wstring ctrl = L"Ctrl";
    std::wstring shift = L"Shift";
    std::wstring alt = L"Alt";
};

// A combination as the hotkey control shows it: "Ctrl + Shift + Alt + key".
std::wstring HotkeyText(uint16_t modifiers, const std::wstring& keyName, const ModifierNames& names);

// The outcome of registering the four stored hotkeys, in the order of kHotkeyKeys.
struct HotkeyRegistration {
    std::array<Hotkey, 4> hotkeys{};
    unsigned failed = 0;  // bit i: hotkeys[i] is set but could not be registered
};

// One line per hotkey that could not be registered: its label, its combination
// (`keyTexts`, as the control shows it) and whether an earlier hotkey of the four has
// the same combination or another program holds it. Empty when all could be registered.
std::wstring TakenHotkeysText(const HotkeyRegistration& registration,
                              const std::array<std::wstring, 4>& keyTexts);

}  // namespace kestrow
