#include "launcher/config_keys.h"

namespace kestrow {

const HotkeyKey* FindHotkeyKey(unsigned hotkeyId) {
    for (const HotkeyKey& k : kHotkeyKeys)
        if (k.hotkeyId == hotkeyId) return &k;
    return nullptr;
}

}  // namespace kestrow
