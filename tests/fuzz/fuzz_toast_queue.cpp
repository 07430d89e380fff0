// Any order of results arriving, reactions running, toasts being shown and fading out
// by themselves: the toast and result queues agree with a model that only counts.
#include <algorithm>
#include <cstdlib>
#include <string>

#include "launcher/toast_queue.h"
#include "tests/fuzz/fuzz_input.h"

namespace {

using namespace kestrow;

// The results ever pushed, numbered; the pending ones are always the numbers from
// `front` on, as a flood drops the oldest first.
struct ResultsModel {
    std::vector<ResultAction> actions;
    size_t front = 0;

    void Push(ResultAction a) {
        actions.push_back(a);
        if (actions.size() - front > kMaxPendingResults) front = actions.size() - kMaxPendingResults;
    }
    // The number of the next result reacted to, or -1.
    long Next() {
        while (front < actions.size()) {
            const size_t n = front++;
            size_t laterToasts = 0;
            for (size_t k = n + 1; k < actions.size(); ++k) laterToasts += actions[k] == ResultAction::Toast;
            if (actions[n] != ResultAction::Toast || laterToasts < kMaxToasts) return long(n);
        }
        return -1;
    }
};

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    FuzzedDataProvider in(data, size);
    PendingResults results;
    ResultsModel resultsModel;
    ToastQueue<int> toasts;
    std::vector<bool> standing;  // by toast number

    while (in.remaining_bytes() > 0) {
        switch (in.ConsumeIntegralInRange(0, 3)) {
            case 0: {
                // A burst of results; the number travels in the path.
                for (int n = in.ConsumeIntegralInRange(1, 80); n > 0; --n) {
                    ResultReaction r;
                    r.action = in.ConsumeBool() ? ResultAction::Toast : ResultAction::OpenOrToast;
                    r.path = std::to_wstring(resultsModel.actions.size());
                    resultsModel.Push(r.action);
                    results.Push(std::move(r));
                }
                break;
            }
            case 1: {
                const auto next = results.Next();
                const long expected = resultsModel.Next();
                if (next.has_value() != (expected >= 0)) std::abort();
                if (next && (next->path != std::to_wstring(expected) ||
                             next->action != resultsModel.actions[size_t(expected)]))
                    std::abort();
                break;
            }
            case 2: {
                // A new toast ends exactly the oldest standing ones, oldest first; an end
                // takes its toast off the list at once or not at all (a window that
                // will not end now).
                std::vector<int> ended;
                toasts.MakeRoom([&](int t) {
                    ended.push_back(t);
                    if (in.ConsumeBool()) toasts.Remove(t);
                });
                size_t count = size_t(std::count(standing.begin(), standing.end(), true));
                for (int t : ended) {
                    if (t < 0 || size_t(t) >= standing.size() || !standing[t]) std::abort();
                    if (std::find(standing.begin(), standing.begin() + t, true) != standing.begin() + t)
                        std::abort();
                    standing[t] = false;
                    --count;
                }
                if (count != std::min(count + ended.size(), kMaxToasts - 1)) std::abort();
                toasts.Add(int(standing.size()));
                standing.push_back(true);
                break;
            }
            case 3: {
                // A toast fades out by itself, or one already gone is reported again.
                if (standing.empty()) break;
                const size_t t = in.ConsumeIntegralInRange<size_t>(0, standing.size() - 1);
                toasts.Remove(int(t));
                standing[t] = false;
                break;
            }
        }
        if (results.size() != resultsModel.actions.size() - resultsModel.front) std::abort();
        std::vector<int> expected;
        for (size_t t = 0; t < standing.size(); ++t)
            if (standing[t]) expected.push_back(int(t));
        if (toasts.live() != expected) std::abort();
    }
    return 0;
}
