// The worker's command line: any arguments give the task a plain reading of the grammar
// gives, or the same refusal.
#include <cstdlib>

#include "tests/fuzz/fuzz_input.h"
#include "worker/task_options.h"

namespace {

using kestrow::TaskOptions;
using kestrow::TaskType;

std::wstring Lower(std::wstring s) {
    for (auto& c : s)
        if (c >= L'A' && c <= L'Z') c = c - L'A' + L'a';
    return s;
}

// The grammar read as pairs: "-tasktype" must come first when a pair is there at all;
// up to four whole pairs count, the last word of each name wins.
bool ModelParse(const std::vector<std::wstring>& args, TaskOptions& options) {
    if (args.size() < 2) return false;
    if (args.size() >= 3 && Lower(args[1]) != L"-tasktype") return false;
    for (size_t name = 1; name <= 7 && name + 1 < args.size(); name += 2) {
        const std::wstring key = Lower(args[name]), value = Lower(args[name + 1]);
        if (key == L"-trackwindow") options.trackWindow = value == L"false" || value == L"0" ? 0 : 1;
        if (key != L"-tasktype") continue;
        if (value == L"screencapture") options.taskType = TaskType::ScreenCapture;
        if (value == L"colorcapture") options.taskType = TaskType::ColorCapture;
        if (value == L"screenfullscreentoclipboard") options.taskType = TaskType::FullScreenToClipboard;
        if (value == L"screenfullscreentofile") options.taskType = TaskType::FullScreenToFile;
    }
    return true;
}

// A word the grammar knows, in any ASCII case, so the fuzzer reaches deep into it.
std::wstring KnownWord(FuzzedDataProvider& in) {
    static const wchar_t* const kWords[] = {L"-tasktype",
                                            L"-trackwindow",
                                            L"screencapture",
                                            L"colorcapture",
                                            L"screenfullscreentofile",
                                            L"screenfullscreentoclipboard",
                                            L"true",
                                            L"false",
                                            L"0",
                                            L"1"};
    std::wstring word = kWords[in.ConsumeIntegralInRange<size_t>(0, std::size(kWords) - 1)];
    const uint64_t upper = in.ConsumeIntegral<uint64_t>();
    for (size_t i = 0; i < word.size(); ++i)
        if (((upper >> (i % 64)) & 1) && word[i] >= L'a' && word[i] <= L'z') word[i] = word[i] - L'a' + L'A';
    return word;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    FuzzedDataProvider in(data, size);
    std::vector<std::wstring> args;
    while (in.remaining_bytes() > 0 && args.size() < 16)
        args.push_back(in.ConsumeBool() ? KnownWord(in)
                                        : kestrow::fuzz::Wide(in, in.ConsumeIntegralInRange<size_t>(0, 40)));

    TaskOptions options, expected;
    const bool accepted = kestrow::ParseTaskArgs(args, options);
    if (accepted != ModelParse(args, expected)) std::abort();
    // A refused command line starts the launcher instead: its options mean nothing.
    if (accepted && (options.taskType != expected.taskType || options.trackWindow != expected.trackWindow))
        std::abort();
    return 0;
}
