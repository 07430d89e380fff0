#include "common/standby_handover.h"

#include "common/text.h"

namespace kestrow {
namespace {

void PutU32(std::string& out, uint32_t v) {
    for (int i = 0; i < 4; ++i) out.push_back(char((v >> (8 * i)) & 0xFF));
}

uint32_t GetU32(std::string_view in, size_t at) {
    uint32_t v = 0;
    for (int i = 0; i < 4; ++i) v |= uint32_t(uint8_t(in[at + i])) << (8 * i);
    return v;
}

std::optional<uintptr_t> HandleValue(const std::wstring& text) {
    if (text.empty() || text.size() > 10) return std::nullopt;
    uint64_t v = 0;
    for (wchar_t c : text) {
        if (c < L'0' || c > L'9') return std::nullopt;
        v = v * 10 + uint64_t(c - L'0');
    }
    if (v == 0 || v > UINT32_MAX) return std::nullopt;
    return uintptr_t(v);
}

}  // namespace

std::string EncodeHandover(std::wstring_view parameters) {
    if (parameters.size() > kHandoverMaxChars) parameters = parameters.substr(0, kHandoverMaxChars);
    std::string out;
    PutU32(out, kHandoverMagic);
    PutU32(out, uint32_t(parameters.size()));
    for (wchar_t c : parameters) {
        out.push_back(char(uint16_t(c) & 0xFF));
        out.push_back(char(uint16_t(c) >> 8));
    }
    return out;
}

std::optional<uint32_t> HandoverLength(std::string_view header) {
    if (header.size() != kHandoverHeaderBytes || GetU32(header, 0) != kHandoverMagic) return std::nullopt;
    const uint32_t length = GetU32(header, 4);
    if (length > kHandoverMaxChars) return std::nullopt;
    return length;
}

std::wstring HandoverParameters(std::string_view body) {
    std::wstring text;
    for (size_t i = 0; i + 1 < body.size(); i += 2)
        text.push_back(wchar_t(uint8_t(body[i]) | (uint16_t(uint8_t(body[i + 1])) << 8)));
    return text;
}

std::optional<StandbyHandles> ParseStandbyArgs(const std::vector<std::wstring>& args) {
    if (args.size() != 4 || !EqualsNoCase(args[1], L"-standby")) return std::nullopt;
    const auto pipe = HandleValue(args[2]), signal = HandleValue(args[3]);
    if (!pipe || !signal) return std::nullopt;
    return StandbyHandles{*pipe, *signal};
}

std::wstring StandbyParameters(const StandbyHandles& handles) {
    return L"-standby " + std::to_wstring(handles.pipe) + L" " + std::to_wstring(handles.signal);
}

}  // namespace kestrow
