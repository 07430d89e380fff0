// Whatever is typed or pasted into pagegrab's address box: the address navigated to is
// the text (cut to the box's length) with or without "http://" in front (never before a typed http:// or
// https://), by the rule.
#include <cstdlib>

#include "common/text.h"
#include "pagegrab/web_capture_logic.h"
#include "tests/fuzz/fuzz_input.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    FuzzedDataProvider in(data, size);
    using namespace kestrow;
    using namespace kestrow::pagegrab;

    const bool exists = in.ConsumeBool();
    const std::wstring typed = fuzz::Wide(in, 700);
    int asked = 0;
    std::wstring askedFor;
    const std::wstring address = NormalizeAddress(typed, [&](const std::wstring& p) {
        ++asked;
        askedFor = p;
        return exists;
    });

    const std::wstring cut = typed.substr(0, kMaxAddressLength);
    auto startsWith = [&cut](std::wstring_view scheme) {
        return cut.size() >= scheme.size() &&
               EqualsNoCase(std::wstring_view(cut).substr(0, scheme.size()), scheme);
    };
    const bool http = startsWith(L"http://") || startsWith(L"https://");
    // The file system is asked about the cut text, and only when the answer matters.
    if (asked > 1 || (asked == 1 && askedFor != cut)) std::abort();
    const bool prefixed = cut.size() >= 6 && !http && !exists;
    if (address != (prefixed ? L"http://" + cut : cut)) std::abort();
    if (address.size() > kMaxAddressLength + 7) std::abort();

    // The save dialog's extension test agrees with the plain rule.
    const std::wstring path = fuzz::Wide(in, 20);
    const bool png =
        path.size() >= 4 && EqualsNoCase(std::wstring_view(path).substr(path.size() - 4), L".png");
    if (WantsPng(path) != png) std::abort();
    return 0;
}
