// Feedback text of any content travels as a URL path: percent-encoding keeps every byte
// and lets nothing through that could split or bend the request; the service base
// address taken from the INI file is either a plain http(s) host or the default.
#include <cstdlib>

#include "common/text.h"
#include "launcher/online/online_rules.h"
#include "tests/fuzz/fuzz_input.h"

namespace {

bool IsUnreserved(char c) {
    return (c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z') || (c >= '0' && c <= '9') || c == '-' ||
           c == '.' || c == '_' || c == '~';
}

int HexValue(char c) {
    if (c >= '0' && c <= '9') return c - '0';
    if (c >= 'A' && c <= 'F') return c - 'A' + 10;
    return -1;  // lower-case digits are not what we write
}

// Decodes strictly: only unreserved characters and %XX with upper-case digits.
bool Decode(const std::string& encoded, std::string& out) {
    out.clear();
    for (size_t i = 0; i < encoded.size(); ++i) {
        if (IsUnreserved(encoded[i])) {
            out += encoded[i];
            continue;
        }
        if (encoded[i] != '%' || i + 2 >= encoded.size()) return false;
        const int hi = HexValue(encoded[i + 1]), lo = HexValue(encoded[i + 2]);
        if (hi < 0 || lo < 0) return false;
        const char byte = char(hi * 16 + lo);
        // Bytes that could have gone literally were not escaped.
        if (IsUnreserved(byte)) return false;
        out += byte;
        i += 2;
    }
    return true;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    FuzzedDataProvider in(data, size);
    using namespace kestrow;

    const std::string bytes = in.ConsumeRandomLengthString(1000);
    const std::string encoded = PercentEncode(bytes);
    std::string decoded;
    if (!Decode(encoded, decoded) || decoded != bytes) std::abort();

    const std::wstring base = fuzz::Wide(in, 100);
    const std::wstring text = fuzz::Wide(in, 500);
    const std::wstring url = FeedbackUrl(base, text);
    const std::wstring prefix = base + kFeedbackPath;
    if (url.compare(0, prefix.size(), prefix) != 0) std::abort();
    std::string tail;
    for (size_t i = prefix.size(); i < url.size(); ++i) {
        if (url[i] > 0x7F) std::abort();
        tail += char(url[i]);
    }
    if (!Decode(tail, decoded) || decoded != ToUtf8(text)) std::abort();

    const std::wstring configured = fuzz::Wide(in, 100);
    const std::wstring fallback = L"http://fallback.invalid";
    const std::wstring service = ServiceBaseUrl(configured, fallback);
    if (service != fallback) {
        // Exactly what was configured, less one trailing slash, and a web address.
        if (service != configured && service + L"/" != configured) std::abort();
        if (!IsWebAddress(service) || service.back() == L'/') std::abort();
        for (wchar_t c : service)
            if (c <= L' ' || c > 0x7E || c == L'?' || c == L'#' || c == L'@' || c == L'%') std::abort();
    }
    return 0;
}
