// Values read from appconfig.ini and the Run key: hotkeys of any stored number and Run
// values of any text.
#include <cstdlib>

#include "launcher/autorun_path.h"
#include "launcher/hotkey_code.h"
#include "tests/fuzz/fuzz_input.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    FuzzedDataProvider in(data, size);
    using namespace kestrow;

    const int32_t stored = in.ConsumeIntegral<int32_t>();
    const Hotkey key = DecodeHotkey(stored);
    if (DecodeHotkey(EncodeHotkey(key)) != key) std::abort();
    if (ToRegisterModifiers(key.modifiers) & ~(kModAlt | kModControl | kModShift)) std::abort();

    const std::wstring value = fuzz::Wide(in, 600);
    const std::wstring path = PathFromRunValue(value);
    const std::wstring normal = NormalizeAutorunPath(path);
    if (normal.size() > path.size()) std::abort();
    if (NormalizeAutorunPath(normal).size() > normal.size()) std::abort();
    // What we write reads back as the same path whenever the path itself has no quote.
    if (path.find(L'"') == std::wstring::npos && !path.empty() && path.front() != L' ' &&
        PathFromRunValue(RunValueForPath(path)) != path)
        std::abort();
    return 0;
}
