#include "launcher/hotkey_code.h"

namespace kestrow {

int32_t EncodeHotkey(Hotkey hotkey) {
    const uint32_t bits = (uint32_t(hotkey.modifiers) << 16) | hotkey.keyCode;
    return static_cast<int32_t>(bits);
}

Hotkey DecodeHotkey(int32_t value) {
    const uint32_t bits = static_cast<uint32_t>(value);
    return {static_cast<uint16_t>(bits & 0xFFFF), static_cast<uint16_t>(bits >> 16)};
}

unsigned ToRegisterModifiers(uint16_t hotkeyFlags) {
    unsigned mods = 0;
    if (hotkeyFlags & kHotkeyShift) mods |= kModShift;
    if (hotkeyFlags & kHotkeyControl) mods |= kModControl;
    if (hotkeyFlags & kHotkeyAlt) mods |= kModAlt;
    return mods;
}

}  // namespace kestrow
