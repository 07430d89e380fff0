#pragma once
// The stored form of a hotkey: key code in the low 16 bits, hotkey-control modifier
// flags in the high 16 bits. Platform-free.
#include <cstdint>

namespace kestrow {

// Modifier flags as the hotkey control reports them.
inline constexpr uint16_t kHotkeyShift = 0x01;
inline constexpr uint16_t kHotkeyControl = 0x02;
inline constexpr uint16_t kHotkeyAlt = 0x04;
inline constexpr uint16_t kHotkeyExtended = 0x08;

// Modifier flags of system hotkey registration.
inline constexpr unsigned kModAlt = 0x0001;
inline constexpr unsigned kModControl = 0x0002;
inline constexpr unsigned kModShift = 0x0004;
// One press, one hotkey message: no more while the key is held (Windows 7 and later).
inline constexpr unsigned kModNoRepeat = 0x4000;

struct Hotkey {
    uint16_t keyCode = 0;
    uint16_t modifiers = 0;  // hotkey-control flags
    bool IsSet() const { return keyCode != 0 || modifiers != 0; }
    bool operator==(const Hotkey&) const = default;
};

int32_t EncodeHotkey(Hotkey hotkey);
Hotkey DecodeHotkey(int32_t value);

// Hotkey-control flags to registration flags; the extended-key flag has no
// counterpart and is dropped.
unsigned ToRegisterModifiers(uint16_t hotkeyFlags);

}  // namespace kestrow
