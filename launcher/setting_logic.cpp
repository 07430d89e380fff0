#include "launcher/setting_logic.h"

#include <string_view>

namespace kestrow {

namespace {

std::wstring_view LabelName(size_t index) {
    std::wstring_view label = kHotkeyLabels[index];
    if (label.ends_with(L'：')) label.remove_suffix(1);
    return label;
}

// Two hotkeys that register as the same combination (the extended-key flag aside).
bool SameCombination(Hotkey a, Hotkey b) {
    return a.keyCode == b.keyCode && ToRegisterModifiers(a.modifiers) == ToRegisterModifiers(b.modifiers);
}

}  // namespace

Rect PageRect(Rect tabClient) {
    return {tabClient.left + 5, tabClient.top + 30, tabClient.right - 5, tabClient.bottom - 5};
}

uint16_t ToHotkeyControlValue(Hotkey hotkey) {
    return static_cast<uint16_t>(((hotkey.modifiers & 0xFF) << 8) | (hotkey.keyCode & 0xFF));
}

Hotkey FromHotkeyControlValue(uint32_t value) {
    return {static_cast<uint16_t>(value & 0xFF), static_cast<uint16_t>((value >> 8) & 0xFF)};
}

std::wstring HotkeyText(uint16_t modifiers, const std::wstring& keyName, const ModifierNames& names) {
    std::wstring text;
    if (modifiers & kHotkeyControl) text += names.ctrl + L" + ";
    if (modifiers & kHotkeyShift) text += names.shift + L" + ";
    if (modifiers & kHotkeyAlt) text += names.alt + L" + ";
    return text + keyName;
}

std::wstring TakenHotkeysText(const HotkeyRegistration& registration,
                              const std::array<std::wstring, 4>& keyTexts) {
    std::wstring text;
    for (size_t i = 0; i < registration.hotkeys.size(); ++i) {
        if (!(registration.failed & (1u << i))) continue;
        text += L"“";
        text += LabelName(i);
        text += L"”（" + keyTexts[i] + L"）";
        size_t same = i;
        for (size_t j = 0; j < i && same == i; ++j)
            if (registration.hotkeys[j].IsSet() &&
                SameCombination(registration.hotkeys[j], registration.hotkeys[i]))
                same = j;
        if (same != i) {
            text += L"与“";
            text += LabelName(same);
            text += L"”相同\r\n";
        } else {
            text += L"已被其他程序占用\r\n";
        }
    }
    if (text.empty()) return text;
    return L"以下快捷键无法使用：\r\n" + text + L"请在“设置...”中换一个快捷键。";
}

}  // namespace kestrow
