// The update manifest as the service (or anyone between) may send it: any text parses
// or fails without an exception, and a well-formed manifest gives back exactly its values.
#include <cstdlib>

#include "launcher/online/json_object.h"
#include "launcher/online/online_rules.h"
#include "tests/fuzz/fuzz_input.h"

namespace {

std::string JsonString(const std::wstring& text) {
    std::string out = "\"";
    for (char c : kestrow::ToUtf8(text)) {
        const unsigned char u = static_cast<unsigned char>(c);
        if (c == '"' || c == '\\') {
            out += '\\';
            out += c;
        } else if (u < 0x20) {
            static constexpr char kHex[] = "0123456789abcdef";
            out += "\\u00";
            out += kHex[u >> 4];
            out += kHex[u & 15];
        } else {
            out += c;
        }
    }
    return out + "\"";
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    FuzzedDataProvider in(data, size);
    using namespace kestrow;

    if (in.ConsumeBool()) {
        // Any text at all.
        const std::wstring text = fuzz::Wide(in, 4096);
        CNewVersionObject manifest;
        const bool parsed = manifest.Parse(text);
        if (parsed != manifest.parsed()) std::abort();
        if (!parsed && (manifest.errorCode() != -1 || !manifest.clientVersion().empty() ||
                        !manifest.url().empty() || !manifest.errorDesc().empty()))
            std::abort();
        if (manifest.valid() && !parsed) std::abort();
        // The base object reads the same error fields from the same text.
        CJsonObject answer;
        if (answer.Parse(text) != parsed || answer.errorCode() != manifest.errorCode() ||
            answer.errorDesc() != manifest.errorDesc())
            std::abort();
        return 0;
    }

    // A well-formed manifest built from fuzzed values, in any of the shapes it may take.
    const int32_t code = in.ConsumeIntegral<int32_t>();
    const bool codeAsText = in.ConsumeBool();
    const bool comments = in.ConsumeBool();
    const std::wstring desc = fuzz::Wide(in, 40);
    const std::wstring version = fuzz::Wide(in, 40);
    const std::wstring url = fuzz::Wide(in, 200);
    const int extraEntries = in.ConsumeIntegralInRange(0, 2);
    const std::string codeText = codeAsText ? "\"" + std::to_string(code) + "\"" : std::to_string(code);
    const std::string gap = comments ? " /* x */\n// y\n " : " ";
    std::string json =
        "{" + gap + "\"errorcode\":" + gap + codeText + "," + gap + "\"errordesc\": " + JsonString(desc) +
        ", \"data\": [{\"clientversion\": " + JsonString(version) + ", \"url\": " + JsonString(url) + "}";
    for (int i = 0; i < extraEntries; ++i) json += ", {\"clientversion\": \"0\", \"url\": 1}";
    json += "]}";

    CNewVersionObject manifest;
    if (!manifest.Parse(FromUtf8(json))) std::abort();
    // Texts travel as UTF-8: what cannot be said in it (a lone surrogate) comes back as U+FFFD.
    auto viaUtf8 = [](const std::wstring& s) { return FromUtf8(ToUtf8(s)); };
    if (manifest.errorCode() != code || manifest.valid() != (code == 0)) std::abort();
    if (manifest.errorDesc() != viaUtf8(desc)) std::abort();
    if (manifest.clientVersion() != viaUtf8(version) || manifest.url() != viaUtf8(url)) std::abort();
    return 0;
}
