// A result record from any local process: any code, size and bytes give the reaction a
// plain reading of the record gives, and a path is only ever taken as whole, NUL-free
// UTF-16.
#include <cstdlib>
#include <cstring>

#include "common/result_message.h"
#include "launcher/result_reaction.h"
#include "tests/fuzz/fuzz_input.h"

namespace {

using namespace kestrow;

// The payload as UTF-16 code units; one NUL at its end is a counted terminator.
bool ModelPath(const std::vector<uint8_t>& payload, std::wstring& path) {
    if (payload.size() % 2 != 0) return false;
    std::u16string units(payload.size() / 2, u'\0');
    if (!units.empty()) std::memcpy(units.data(), payload.data(), payload.size());
    if (!units.empty() && units.back() == 0) units.pop_back();
    if (units.size() > kMaxResultPathChars || units.find(u'\0') != std::u16string::npos) return false;
    path.assign(units.begin(), units.end());
    return true;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    FuzzedDataProvider in(data, size);
    const uint64_t code =
        in.ConsumeBool() ? in.ConsumeIntegralInRange<uint64_t>(1522, 1529) : in.ConsumeIntegral<uint64_t>();
    const bool autoOpen = in.ConsumeBool();
    const std::vector<uint8_t> payload = in.ConsumeRemainingBytes<uint8_t>();
    const auto r =
        ReactToResult(code, payload.empty() ? nullptr : payload.data(), uint32_t(payload.size()), autoOpen);

    ResultReaction expected;
    std::wstring path;
    if ((code == RESULT_FULLSCREEN_SAVED || code == RESULT_REGION_SAVED) && ModelPath(payload, path)) {
        expected.action = autoOpen && !path.empty() ? ResultAction::OpenOrToast : ResultAction::Toast;
        expected.toast = code == RESULT_FULLSCREEN_SAVED ? kToastFullScreenSaved : kToastRegionSaved;
        expected.path = path;
    } else if ((code == RESULT_REGION_COPIED || code == RESULT_COLOR_COPIED) && payload.size() == 4) {
        expected.action = ResultAction::Toast;
        expected.toast = code == RESULT_REGION_COPIED ? kToastRegionCopied : kToastColorCopied;
    } else if (code == RESULT_OVERLAY_GONE && payload.size() == 4) {
        uint32_t pid = 0;
        std::memcpy(&pid, payload.data(), 4);
        if (pid != 0) expected = {ResultAction::OverlayGone, nullptr, {}, pid};
    }
    if (r.action != expected.action || r.toast != expected.toast || r.path != expected.path ||
        r.processId != expected.processId)
        std::abort();
    return 0;
}
