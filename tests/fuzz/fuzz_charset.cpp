// Response headers and bodies from any server: the charset found in the headers, the
// choice of UTF-8 decoding, the UTF-8 conversions and the cut-off page test, each
// against a plain model of the rule.
#include <algorithm>
#include <cstdlib>

#include "launcher/online/online_rules.h"
#include "tests/fuzz/fuzz_input.h"

namespace {

bool IsCharsetChar(char c) {
    return (c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z') || (c >= '0' && c <= '9') || c == '-' || c == '_';
}

template <typename S>
S Lower(S s) {
    for (auto& c : s)
        if (c >= 'A' && c <= 'Z') c = c - 'A' + 'a';
    return s;
}

// The first "charset=" (any case) that a charset character follows, and the run of them.
std::string ModelCharset(const std::string& headers) {
    const std::string lower = Lower(headers);
    for (size_t at = lower.find("charset="); at != std::string::npos; at = lower.find("charset=", at + 1)) {
        size_t end = at + 8;
        while (end < headers.size() && IsCharsetChar(headers[end])) ++end;
        if (end > at + 8) return headers.substr(at + 8, end - at - 8);
    }
    return {};
}

// Well-formed UTF-8 (RFC 3629): shortest forms, no surrogates, nothing above U+10FFFF.
bool IsValidUtf8(const std::string& s) {
    size_t i = 0;
    auto cont = [&](size_t k, unsigned lo = 0x80, unsigned hi = 0xBF) {
        if (i + k >= s.size()) return false;
        const unsigned c = static_cast<unsigned char>(s[i + k]);
        return c >= lo && c <= hi;
    };
    while (i < s.size()) {
        const unsigned b = static_cast<unsigned char>(s[i]);
        if (b < 0x80) {
            i += 1;
        } else if (b >= 0xC2 && b <= 0xDF && cont(1)) {
            i += 2;
        } else if (b == 0xE0 && cont(1, 0xA0) && cont(2)) {
            i += 3;
        } else if (((b >= 0xE1 && b <= 0xEC) || b == 0xEE || b == 0xEF) && cont(1) && cont(2)) {
            i += 3;
        } else if (b == 0xED && cont(1, 0x80, 0x9F) && cont(2)) {
            i += 3;
        } else if (b == 0xF0 && cont(1, 0x90) && cont(2) && cont(3)) {
            i += 4;
        } else if (b >= 0xF1 && b <= 0xF3 && cont(1) && cont(2) && cont(3)) {
            i += 4;
        } else if (b == 0xF4 && cont(1, 0x80, 0x8F) && cont(2) && cont(3)) {
            i += 4;
        } else {
            return false;
        }
    }
    return true;
}

bool IsScalar(char32_t c) { return c <= 0x10FFFF && !(c >= 0xD800 && c <= 0xDFFF); }

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    FuzzedDataProvider in(data, size);
    using namespace kestrow;

    const std::string headers = in.ConsumeRandomLengthString(2000);
    const std::string charset = FindCharset(headers);
    if (charset != ModelCharset(headers)) std::abort();
    if (IsUtf8Charset(charset) != (Lower(charset).rfind("utf-8", 0) == 0)) std::abort();

    const std::string body = in.ConsumeRandomLengthString(4000);
    const std::wstring text = FromUtf8(body);
    if (text.size() > body.size()) std::abort();
    for (wchar_t c : text)
        if (!IsScalar(char32_t(c))) std::abort();
    // Valid UTF-8 decodes and encodes back to itself; anything else has a replacement in it.
    const bool valid = IsValidUtf8(body);
    if (valid != (ToUtf8(text) == body)) std::abort();
    if (!valid && text.find(wchar_t(0xFFFD)) == std::wstring::npos) std::abort();

    const std::wstring lower = Lower(text);
    if (LooksCutOff(text) !=
        (lower.find(L"<html>") != std::wstring::npos && lower.find(L"</html>") == std::wstring::npos))
        std::abort();

    // Any scalar values survive the way out and back.
    std::wstring scalars;
    while (in.remaining_bytes() >= 4) {
        const char32_t c = in.ConsumeIntegralInRange<char32_t>(0, 0x10FFFF);
        if (IsScalar(c)) scalars += wchar_t(c);
    }
    const std::string utf8 = ToUtf8(scalars);
    if (!IsValidUtf8(utf8) || FromUtf8(utf8) != scalars) std::abort();
    return 0;
}
