// A result record from any local process: any code, size and bytes give one reaction,
// and a path is only ever taken as whole, NUL-free UTF-16.
#include <cstdlib>

#include "launcher/result_reaction.h"
#include "tests/fuzz/fuzz_input.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    FuzzedDataProvider in(data, size);
    const uint64_t code =
        in.ConsumeBool() ? in.ConsumeIntegralInRange<uint64_t>(1522, 1529) : in.ConsumeIntegral<uint64_t>();
    const bool autoOpen = in.ConsumeBool();
    const std::vector<uint8_t> payload = in.ConsumeRemainingBytes<uint8_t>();
    const auto r = kestrow::ReactToResult(code, payload.empty() ? nullptr : payload.data(),
                                          uint32_t(payload.size()), autoOpen);
    for (wchar_t c : r.path)
        if (c == 0) std::abort();
    if (r.path.size() * 2 > payload.size()) std::abort();
    if (r.action != kestrow::ResultAction::Ignore && !r.toast) std::abort();
    return 0;
}
