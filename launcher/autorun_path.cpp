#include "launcher/autorun_path.h"

namespace kestrow {

std::wstring RunValueForPath(std::wstring_view exePath) {
    std::wstring value;
    value.reserve(exePath.size() + 2);
    value += L'"';
    value += exePath;
    value += L'"';
    return value;
}

std::wstring PathFromRunValue(std::wstring_view value) {
    const size_t first = value.find_first_not_of(L' ');
    if (first == std::wstring_view::npos) return {};
    value.remove_prefix(first);
    if (value.front() == L'"') {
        value.remove_prefix(1);
        const size_t close = value.find(L'"');
        return std::wstring(value.substr(0, close));
    }
    while (!value.empty() && value.back() == L' ') value.remove_suffix(1);
    return std::wstring(value);
}

std::wstring NormalizeAutorunPath(std::wstring_view path) {
    std::wstring out(path);
    for (wchar_t& c : out)
        if (c == L'/') c = L'\\';
    for (int pass = 0; pass < 4; ++pass) {
        std::wstring collapsed;
        collapsed.reserve(out.size());
        for (size_t i = 0; i < out.size(); ++i) {
            collapsed += out[i];
            if (out[i] == L'\\' && i + 1 < out.size() && out[i + 1] == L'\\') ++i;
        }
        out.swap(collapsed);
    }
    return out;
}

}  // namespace kestrow
