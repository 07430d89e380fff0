#include "worker/task_options.h"

#include "common/text.h"

namespace kestrow {
namespace {

void ApplyPair(const std::wstring& name, const std::wstring& value, TaskOptions& options) {
    if (EqualsNoCase(name, L"-tasktype")) {
        static const struct {
            const wchar_t* word;
            TaskType type;
        } kWords[] = {
            {L"screencapture", TaskType::ScreenCapture},
            {L"colorcapture", TaskType::ColorCapture},
            {L"screenfullscreentoclipboard", TaskType::FullScreenToClipboard},
            {L"screenfullscreentofile", TaskType::FullScreenToFile},
        };
        for (const auto& w : kWords) {
            if (EqualsNoCase(value, w.word)) {
                options.taskType = w.type;
                return;
            }
        }
    } else if (EqualsNoCase(name, L"-trackwindow")) {
        options.trackWindow = (EqualsNoCase(value, L"FALSE") || value == L"0") ? 0 : 1;
    }
}

}  // namespace

bool ParseTaskArgs(const std::vector<std::wstring>& args, TaskOptions& options) {
    const size_t after = args.empty() ? 0 : args.size() - 1;
    if (after < 1) return false;
    if (after >= 2) {
        ApplyPair(args[1], args[2], options);
        if (!EqualsNoCase(args[1], L"-tasktype")) return false;
    }
    // Up to three more pairs; anything after the fourth pair, or without a partner, is ignored.
    for (size_t first = 3; first <= 7 && first + 1 <= after; first += 2)
        ApplyPair(args[first], args[first + 1], options);
    return true;
}

}  // namespace kestrow
