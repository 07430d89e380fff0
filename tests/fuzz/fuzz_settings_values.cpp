// Values read from appconfig.ini and the Run key: hotkeys of any stored number and Run
// values of any text, against plain readings of the stored forms.
#include <cstdlib>

#include "launcher/autorun_path.h"
#include "launcher/hotkey_code.h"
#include "tests/fuzz/fuzz_input.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    FuzzedDataProvider in(data, size);
    using namespace kestrow;

    const int32_t stored = in.ConsumeIntegral<int32_t>();
    const Hotkey key = DecodeHotkey(stored);
    // The key code in the low half, the control's flags in the high half.
    if (key.keyCode != (uint32_t(stored) & 0xFFFF) || key.modifiers != uint32_t(stored) >> 16) std::abort();
    if (EncodeHotkey(key) != stored) std::abort();
    const unsigned mods = ToRegisterModifiers(key.modifiers);
    if (mods !=
        (((key.modifiers & kHotkeyShift) ? kModShift : 0) |
         ((key.modifiers & kHotkeyControl) ? kModControl : 0) | ((key.modifiers & kHotkeyAlt) ? kModAlt : 0)))
        std::abort();

    const std::wstring value = fuzz::Wide(in, 600);
    const std::wstring path = PathFromRunValue(value);
    // Each run of n separators (either slash) becomes ceil(n / 16) backslashes: four
    // passes that each halve a run.
    std::wstring model;
    for (size_t i = 0; i < path.size();) {
        size_t run = 0;
        while (i + run < path.size() && (path[i + run] == L'\\' || path[i + run] == L'/')) ++run;
        if (run == 0) {
            model += path[i++];
            continue;
        }
        model.append((run + 15) / 16, L'\\');
        i += run;
    }
    if (NormalizeAutorunPath(path) != model) std::abort();
    // What we write reads back as the same path whenever the path itself has no quote.
    if (path.find(L'"') == std::wstring::npos && !path.empty() && path.front() != L' ' &&
        PathFromRunValue(RunValueForPath(path)) != path)
        std::abort();
    return 0;
}
