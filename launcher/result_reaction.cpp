#include "launcher/result_reaction.h"

#include <cstring>

#include "common/result_message.h"

namespace kestrow {

namespace {

// A path payload is whole UTF-16 code units, readable when non-empty, within the
// system's limit, and holds no NUL that would cut the path short at a different file.
// One NUL at the very end is a sender counting the terminator: the same file.
bool ReadPathPayload(const void* data, uint32_t size, std::wstring& path) {
    path.clear();
    if (size == 0) return true;
    if (!data || size % 2 != 0 || size / 2 > kMaxResultPathChars + 1) return false;
    // Code unit by code unit: wchar_t is UTF-16 only on Windows.
    const auto* bytes = static_cast<const unsigned char*>(data);
    size_t units = size / 2;
    char16_t unit;
    std::memcpy(&unit, bytes + 2 * (units - 1), 2);
    if (unit == 0) --units;
    if (units > kMaxResultPathChars) return false;
    path.resize(units);
    for (size_t i = 0; i < units; ++i) {
        std::memcpy(&unit, bytes + 2 * i, 2);
        if (unit == 0) return false;
        path[i] = static_cast<wchar_t>(unit);
    }
    return true;
}

}  // namespace

ResultReaction ReactToResult(uint64_t code, const void* data, uint32_t size, bool autoOpen) {
    ResultReaction r;
    switch (code) {
        case RESULT_FULLSCREEN_SAVED:
        case RESULT_REGION_SAVED: {
            if (!ReadPathPayload(data, size, r.path)) return {};
            r.toast = code == RESULT_FULLSCREEN_SAVED ? kToastFullScreenSaved : kToastRegionSaved;
            r.action = autoOpen && !r.path.empty() ? ResultAction::OpenOrToast : ResultAction::Toast;
            return r;
        }
        case RESULT_REGION_COPIED:
        case RESULT_COLOR_COPIED:
            if (!data || size != 4) return {};
            r.toast = code == RESULT_REGION_COPIED ? kToastRegionCopied : kToastColorCopied;
            r.action = ResultAction::Toast;
            return r;
        case RESULT_OVERLAY_GONE:
            // Process id 0 is the system's idle process, never a worker.
            if (!data || size != 4) return {};
            std::memcpy(&r.processId, data, 4);
            if (r.processId == 0) return {};
            r.action = ResultAction::OverlayGone;
            return r;
    }
    return {};
}

}  // namespace kestrow
