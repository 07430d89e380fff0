#pragma once
// When a saved file may be opened in the paint program. Results come from any local
// process and may come in floods: only a path on a local drive is opened (a share would
// be looked up on the UI thread), the same path at most once in a few seconds, and never
// more than a couple of paint programs at a time. Platform-free.
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

namespace kestrow {

inline constexpr uint64_t kPaintRepeatMs = 5000;
inline constexpr size_t kMaxPaintPrograms = 2;

// The upper-case drive letter of a path "X:\..." or "\\?\X:\...", or 0 for anything the
// text alone cannot show to be a file on a drive: shares, device names, drive-relative
// and relative paths. Whether the drive itself is local the system says.
wchar_t DriveLetterOf(std::wstring_view path);

class PaintOpenLimiter {
public:
    // `running`: paint programs started here whose processes are known to run still.
    bool MayOpen(std::wstring_view path, uint64_t nowMs, size_t running) const;
    // `tracked`: the start gave a process that the caller counts in `running`. One that
    // did not counts as running until kPaintRepeatMs has passed.
    void Opened(std::wstring_view path, uint64_t nowMs, bool tracked);

private:
    struct Start {
        std::wstring key;
        uint64_t at;
        bool tracked;
    };
    bool Recent(const Start& s, uint64_t nowMs) const { return nowMs - s.at < kPaintRepeatMs; }

    std::vector<Start> starts_;
};

}  // namespace kestrow
