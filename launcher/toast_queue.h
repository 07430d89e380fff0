#pragma once
// How many toasts stand and which results get one, apart from the windows: a burst of
// results must clear within one toast's life and a flood must not grow without end.
#include <algorithm>
#include <cstddef>
#include <deque>
#include <optional>
#include <vector>

#include "launcher/result_reaction.h"

namespace kestrow {

// Toasts alive at once; a newer one ends the oldest early.
inline constexpr size_t kMaxToasts = 3;
// Results waiting for their reaction; past this a flood loses its oldest.
inline constexpr size_t kMaxPendingResults = 64;

// The shown toasts, oldest first.
template <typename Toast>
class ToastQueue {
public:
    // Makes room for one more by ending the oldest (`end(toast)`) until fewer than
    // kMaxToasts stand. Each leaves the list before it is ended, whether or not it ends
    // at once: one that will not end still fades out on its own.
    template <typename End>
    void MakeRoom(End end) {
        while (live_.size() >= kMaxToasts) {
            const Toast oldest = live_.front();
            live_.erase(live_.begin());
            end(oldest);
        }
    }
    void Add(Toast toast) { live_.push_back(toast); }
    // A toast that ended by itself; nothing for one no longer listed.
    void Remove(Toast toast) { std::erase(live_, toast); }
    const std::vector<Toast>& live() const { return live_; }

private:
    std::vector<Toast> live_;
};

// Results answered but not yet reacted to, oldest first.
class PendingResults {
public:
    void Push(ResultReaction r) {
        if (pending_.size() >= kMaxPendingResults) pending_.pop_front();
        pending_.push_back(std::move(r));
    }
    // The next reaction to carry out. A toast with kMaxToasts newer toasts behind it
    // would be ended at once: it is passed over.
    std::optional<ResultReaction> Next() {
        while (!pending_.empty()) {
            ResultReaction r = std::move(pending_.front());
            pending_.pop_front();
            const auto laterToasts = std::count_if(pending_.begin(), pending_.end(), [](const auto& p) {
                return p.action == ResultAction::Toast;
            });
            if (r.action != ResultAction::Toast || laterToasts < std::ptrdiff_t(kMaxToasts)) return r;
        }
        return std::nullopt;
    }
    bool empty() const { return pending_.empty(); }
    size_t size() const { return pending_.size(); }

private:
    std::deque<ResultReaction> pending_;
};

}  // namespace kestrow
