#include "launcher/paint_open_policy.h"

#include <algorithm>

#include "common/file_names.h"
#include "common/text.h"

namespace kestrow {

namespace {

bool IsSlash(wchar_t c) { return c == L'\\' || c == L'/'; }

// One spelling per file as far as the text goes: case and slashes.
std::wstring PathKey(std::wstring_view path) {
    std::wstring key(path);
    for (wchar_t& c : key) c = IsSlash(c) ? L'\\' : AsciiLower(c);
    return key;
}

}  // namespace

wchar_t DriveLetterOf(std::wstring_view path) {
    if (IsDeviceName(path)) return 0;
    if (path.size() >= 4 && path.substr(0, 4) == L"\\\\?\\") path.remove_prefix(4);
    if (path.size() < 3 || path[1] != L':' || !IsSlash(path[2])) return 0;
    const wchar_t upper = wchar_t(AsciiLower(path[0]) - L'a' + L'A');
    return upper >= L'A' && upper <= L'Z' ? upper : 0;
}

bool PaintOpenLimiter::MayOpen(std::wstring_view path, uint64_t nowMs, size_t running) const {
    const std::wstring key = PathKey(path);
    for (const Start& s : starts_) {
        if (!Recent(s, nowMs)) continue;
        if (s.key == key) return false;
        if (!s.tracked) ++running;
    }
    return running < kMaxPaintPrograms;
}

void PaintOpenLimiter::Opened(std::wstring_view path, uint64_t nowMs, bool tracked) {
    std::erase_if(starts_, [&](const Start& s) { return !Recent(s, nowMs); });
    starts_.push_back({PathKey(path), nowMs, tracked});
}

}  // namespace kestrow
