// Any download address a manifest may carry: the launcher hands it to the shell exactly
// when a plain reference (regular expressions over the URL grammar, a table of the
// invisible characters) accepts it.
#include <cstdlib>
#include <regex>

#include "launcher/online/online_rules.h"
#include "tests/fuzz/fuzz_input.h"

namespace {

struct Range {
    char32_t from, to;
};
// Controls, white space and invisible formatting characters, and what is no scalar value.
constexpr Range kInvisible[] = {{0x00, 0x20},      {0x7F, 0xA0},     {0xAD, 0xAD},     {0x1680, 0x1680},
                                {0x180E, 0x180E},  {0x2000, 0x200F}, {0x2028, 0x202F}, {0x205F, 0x206F},
                                {0x3000, 0x3000},  {0xD800, 0xDFFF}, {0xFEFF, 0xFEFF}, {0xFFF9, 0xFFFB},
                                {0xE0000, 0xE007F}};

bool Invisible(char32_t c) {
    if (c > 0x10FFFF) return true;
    for (const Range& r : kInvisible)
        if (c >= r.from && c <= r.to) return true;
    return false;
}

bool Reference(const std::wstring& url) {
    static const std::wregex kShape(
        LR"(^[Hh][Tt][Tt][Pp][Ss]?://([A-Za-z0-9.\-]+|\[[0-9A-Fa-f.]*:[0-9A-Fa-f:.]*\])(:([0-9]{1,5}))?([/?#].*)?$)");
    static const std::wregex kTail(
        LR"(^([A-Za-z0-9\-._~!$&()*+,;=:@/?]|%[0-9A-Fa-f]{2})*(#([A-Za-z0-9\-._~!$&()*+,;=:@/?]|%[0-9A-Fa-f]{2})*)?$)");
    std::wsmatch m;
    if (!std::regex_match(url, m, kShape)) return false;
    if (m[3].matched) {
        const long port = std::wcstol(m[3].str().c_str(), nullptr, 10);
        if (port < 1 || port > 65535) return false;
    }
    // Visible characters beyond ASCII stand for themselves; the tail grammar sees a
    // letter that is no hex digit (it must not complete a %XX escape).
    std::wstring tail = m[4].str();
    for (wchar_t& c : tail) {
        if (char32_t(c) < 0x80) continue;
        if (Invisible(char32_t(c))) return false;
        c = L'g';
    }
    return std::regex_match(tail, kTail);
}

// Pieces that make the fuzzer reach deep into the grammar quickly.
constexpr const wchar_t* kPrefixes[] = {L"http://", L"HTTPS://", L"https://[", L"http://h:", L"", L"hTtP:/"};
constexpr wchar_t kAlphabet[] =
    L"aZ09.-_~:/?#[]@!$&'()*+,;=%\"\\ \t\r\n<>^`{|}\x7f\x85\xa0\xad\u4e0b\u202e\u3000\ufeff";

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    FuzzedDataProvider in(data, size);
    std::wstring url = kPrefixes[in.ConsumeIntegralInRange<size_t>(0, std::size(kPrefixes) - 1)];
    while (url.size() < 200 && in.remaining_bytes() >= 2) {
        if (in.ConsumeBool())
            url += kAlphabet[in.ConsumeIntegralInRange<size_t>(0, std::size(kAlphabet) - 2)];
        else
            url += kestrow::fuzz::Wide(in, 1);
    }
    if (kestrow::IsWebAddress(url) != Reference(url)) std::abort();
    return 0;
}
