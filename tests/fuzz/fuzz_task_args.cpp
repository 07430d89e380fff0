// The worker's command line: any arguments give a usable task or a clean refusal.
#include "tests/fuzz/fuzz_input.h"
#include "worker/task_options.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    FuzzedDataProvider in(data, size);
    std::vector<std::wstring> args;
    while (in.remaining_bytes() > 0 && args.size() < 16) {
        // Mostly the words the grammar knows, so the fuzzer reaches deep into it.
        static const wchar_t* const kWords[] = {L"-tasktype",
                                                L"-trackwindow",
                                                L"screencapture",
                                                L"colorcapture",
                                                L"screenfullscreentofile",
                                                L"screenfullscreentoclipboard",
                                                L"true",
                                                L"0"};
        if (in.ConsumeBool())
            args.push_back(kWords[in.ConsumeIntegralInRange<size_t>(0, std::size(kWords) - 1)]);
        else
            args.push_back(kestrow::fuzz::Wide(in, in.ConsumeIntegralInRange<size_t>(0, 40)));
    }
    kestrow::TaskOptions options;
    kestrow::ParseTaskArgs(args, options);
    return 0;
}
