#include "launcher/online/online_rules.h"

#include <algorithm>
#include <functional>

#include "common/text.h"

namespace kestrow {

namespace {

char LowerAscii(char c) { return (c >= 'A' && c <= 'Z') ? char(c - 'A' + 'a') : c; }

bool IsCharsetChar(char c) {
    return (c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z') || (c >= '0' && c <= '9') || c == '-' || c == '_';
}

bool StartsWithNoCase(std::wstring_view text, std::wstring_view prefix) {
    return text.size() >= prefix.size() && EqualsNoCase(text.substr(0, prefix.size()), prefix);
}

size_t FindNoCase(std::wstring_view text, std::wstring_view what) {
    if (what.size() > text.size()) return std::wstring_view::npos;
    for (size_t i = 0; i + what.size() <= text.size(); ++i)
        if (EqualsNoCase(text.substr(i, what.size()), what)) return i;
    return std::wstring_view::npos;
}

bool IsAsciiAlnum(wchar_t c) {
    return (c >= L'a' && c <= L'z') || (c >= L'A' && c <= L'Z') || (c >= L'0' && c <= L'9');
}

bool IsHex(wchar_t c) {
    return (c >= L'0' && c <= L'9') || (c >= L'a' && c <= L'f') || (c >= L'A' && c <= L'F');
}

// Controls, white space and the invisible formatting characters (direction marks and
// overrides, zero-width characters, the byte-order mark, tags) that can make one
// address look like another.
bool IsInvisibleOrControl(char32_t c) {
    return c <= 0x20 || (c >= 0x7F && c <= 0xA0) || c == 0xAD || c == 0x1680 || c == 0x180E ||
           (c >= 0x2000 && c <= 0x200F) || (c >= 0x2028 && c <= 0x202F) || (c >= 0x205F && c <= 0x206F) ||
           c == 0x3000 || c == 0xFEFF || (c >= 0xFFF9 && c <= 0xFFFB) || (c >= 0xE0000 && c <= 0xE007F);
}

// Host and port of an address: a name of letters, digits, '.' and '-', or a bracketed
// IPv6 literal; then an optional port 1-65535.
bool IsAuthority(std::wstring_view a) {
    std::wstring_view port;
    if (!a.empty() && a[0] == L'[') {
        const size_t close = a.find(L']');
        if (close == std::wstring_view::npos) return false;
        const std::wstring_view literal = a.substr(1, close - 1);
        if (literal.find(L':') == std::wstring_view::npos) return false;
        for (wchar_t c : literal)
            if (!IsHex(c) && c != L':' && c != L'.') return false;
        std::wstring_view after = a.substr(close + 1);
        if (!after.empty() && after[0] != L':') return false;
        if (!after.empty()) port = after.substr(1);
        if (!after.empty() && port.empty()) return false;
    } else {
        const size_t colon = a.find(L':');
        const std::wstring_view host = a.substr(0, colon);
        if (host.empty()) return false;
        for (wchar_t c : host)
            if (!IsAsciiAlnum(c) && c != L'.' && c != L'-') return false;
        if (colon != std::wstring_view::npos) {
            port = a.substr(colon + 1);
            if (port.empty()) return false;
        }
    }
    if (port.empty()) return true;
    if (port.size() > 5) return false;
    unsigned value = 0;
    for (wchar_t c : port) {
        if (c < L'0' || c > L'9') return false;
        value = value * 10 + unsigned(c - L'0');
    }
    return value >= 1 && value <= 65535;
}

void AppendUtf8(std::string& out, char32_t cp) {
    if (cp < 0x80) {
        out += char(cp);
    } else if (cp < 0x800) {
        out += char(0xC0 | (cp >> 6));
        out += char(0x80 | (cp & 0x3F));
    } else if (cp < 0x10000) {
        out += char(0xE0 | (cp >> 12));
        out += char(0x80 | ((cp >> 6) & 0x3F));
        out += char(0x80 | (cp & 0x3F));
    } else {
        out += char(0xF0 | (cp >> 18));
        out += char(0x80 | ((cp >> 12) & 0x3F));
        out += char(0x80 | ((cp >> 6) & 0x3F));
        out += char(0x80 | (cp & 0x3F));
    }
}

void AppendWide(std::wstring& out, char32_t cp) {
    if constexpr (sizeof(wchar_t) == 2) {
        if (cp >= 0x10000) {
            cp -= 0x10000;
            out += wchar_t(0xD800 + (cp >> 10));
            out += wchar_t(0xDC00 + (cp & 0x3FF));
            return;
        }
    }
    out += wchar_t(cp);
}

constexpr char32_t kReplacement = 0xFFFD;

}  // namespace

std::string FindCharset(std::string_view headers) {
    static constexpr std::string_view kKey = "charset=";
    for (size_t i = 0; i + kKey.size() <= headers.size(); ++i) {
        size_t k = 0;
        while (k < kKey.size() && LowerAscii(headers[i + k]) == kKey[k]) ++k;
        if (k < kKey.size()) continue;
        size_t end = i + k;
        while (end < headers.size() && IsCharsetChar(headers[end])) ++end;
        // "charset=" followed by nothing usable is no match; look further on.
        if (end > i + k) return std::string(headers.substr(i + k, end - i - k));
    }
    return {};
}

bool IsUtf8Charset(std::string_view charset) {
    static constexpr std::string_view kUtf8 = "utf-8";
    if (charset.size() < kUtf8.size()) return false;
    for (size_t i = 0; i < kUtf8.size(); ++i)
        if (LowerAscii(charset[i]) != kUtf8[i]) return false;
    return true;
}

bool IsValidUtf8(std::string_view bytes) {
    size_t i = 0;
    while (i < bytes.size()) {
        const unsigned char b = static_cast<unsigned char>(bytes[i]);
        size_t len = 0;
        // The second byte's range rules out overlong forms, surrogates and values past U+10FFFF.
        unsigned char lo = 0x80, hi = 0xBF;
        if (b < 0x80) {
            len = 1;
        } else if (b >= 0xC2 && b <= 0xDF) {
            len = 2;
        } else if (b >= 0xE0 && b <= 0xEF) {
            len = 3;
            if (b == 0xE0) lo = 0xA0;
            if (b == 0xED) hi = 0x9F;
        } else if (b >= 0xF0 && b <= 0xF4) {
            len = 4;
            if (b == 0xF0) lo = 0x90;
            if (b == 0xF4) hi = 0x8F;
        } else {
            return false;
        }
        if (i + len > bytes.size()) return false;
        for (size_t k = 1; k < len; ++k) {
            const unsigned char c = static_cast<unsigned char>(bytes[i + k]);
            if (c < (k == 1 ? lo : 0x80) || c > (k == 1 ? hi : 0xBF)) return false;
        }
        i += len;
    }
    return true;
}

unsigned CodePageForCharset(std::string_view charset) {
    if (IsUtf8Charset(charset)) return kUtf8CodePage;
    std::string name(charset);
    for (char& c : name) c = LowerAscii(c);
    struct Known {
        std::string_view name;
        unsigned codePage;
    };
    static constexpr Known kKnown[] = {
        {"gbk", 936},         {"gb2312", 936},         {"gb_2312-80", 936},
        {"x-gbk", 936},       {"cp936", 936},          {"gb18030", 54936},
        {"big5", 950},        {"shift_jis", 932},      {"x-sjis", 932},
        {"euc-jp", 20932},    {"euc-kr", 949},         {"ks_c_5601-1987", 949},
        {"iso-8859-1", 1252}, {"latin1", 1252},        {"us-ascii", 20127},
        {"koi8-r", 20866},    {"utf8", kUtf8CodePage},
    };
    for (const Known& k : kKnown)
        if (name == k.name) return k.codePage;
    // windows-1250 ... windows-1258
    if (name.size() == 12 && name.rfind("windows-125", 0) == 0 && name[11] >= '0' && name[11] <= '8')
        return 1250u + unsigned(name[11] - '0');
    return 0;
}

unsigned BodyCodePage(std::string_view body, std::string_view charset) {
    return IsValidUtf8(body) ? kUtf8CodePage : CodePageForCharset(charset);
}

bool LooksCutOff(std::wstring_view text) {
    return FindNoCase(text, L"<html>") != std::wstring_view::npos &&
           FindNoCase(text, L"</html>") == std::wstring_view::npos;
}

std::string ToUtf8(std::wstring_view text) {
    std::string out;
    out.reserve(text.size());
    for (size_t i = 0; i < text.size(); ++i) {
        char32_t cp = char32_t(text[i]);
        if constexpr (sizeof(wchar_t) == 2) {
            if (cp >= 0xD800 && cp <= 0xDBFF && i + 1 < text.size() && text[i + 1] >= 0xDC00 &&
                text[i + 1] <= 0xDFFF) {
                cp = 0x10000 + ((cp - 0xD800) << 10) + (char32_t(text[i + 1]) - 0xDC00);
                ++i;
            }
        }
        if ((cp >= 0xD800 && cp <= 0xDFFF) || cp > 0x10FFFF) cp = kReplacement;
        AppendUtf8(out, cp);
    }
    return out;
}

std::wstring FromUtf8(std::string_view text) {
    std::wstring out;
    out.reserve(text.size());
    size_t i = 0;
    while (i < text.size()) {
        const unsigned char b = static_cast<unsigned char>(text[i]);
        size_t len = 0;
        char32_t cp = 0, min = 0;
        if (b < 0x80) {
            len = 1, cp = b;
        } else if ((b & 0xE0) == 0xC0) {
            len = 2, cp = b & 0x1F, min = 0x80;
        } else if ((b & 0xF0) == 0xE0) {
            len = 3, cp = b & 0x0F, min = 0x800;
        } else if ((b & 0xF8) == 0xF0) {
            len = 4, cp = b & 0x07, min = 0x10000;
        }
        bool ok = len > 0 && i + len <= text.size();
        for (size_t k = 1; ok && k < len; ++k) {
            const unsigned char c = static_cast<unsigned char>(text[i + k]);
            ok = (c & 0xC0) == 0x80;
            cp = (cp << 6) | (c & 0x3F);
        }
        if (ok && len > 1) ok = cp >= min && cp <= 0x10FFFF && !(cp >= 0xD800 && cp <= 0xDFFF);
        if (!ok) {
            // One replacement per bad byte; resynchronise on the next one.
            AppendWide(out, kReplacement);
            ++i;
            continue;
        }
        AppendWide(out, cp);
        i += len;
    }
    return out;
}

std::string PercentEncode(std::string_view bytes) {
    static constexpr char kHex[] = "0123456789ABCDEF";
    std::string out;
    out.reserve(bytes.size() * 3);
    for (char ch : bytes) {
        const unsigned char c = static_cast<unsigned char>(ch);
        const bool unreserved = (c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z') || (c >= '0' && c <= '9') ||
                                c == '-' || c == '.' || c == '_' || c == '~';
        if (unreserved) {
            out += ch;
        } else {
            out += '%';
            out += kHex[c >> 4];
            out += kHex[c & 15];
        }
    }
    return out;
}

bool IsWebAddress(std::wstring_view url) {
    size_t schemeLen = 0;
    if (StartsWithNoCase(url, L"http://"))
        schemeLen = 7;
    else if (StartsWithNoCase(url, L"https://"))
        schemeLen = 8;
    else
        return false;
    const std::wstring_view rest = url.substr(schemeLen);
    const size_t authorityEnd = std::min(rest.find_first_of(L"/?#"), rest.size());
    if (!IsAuthority(rest.substr(0, authorityEnd))) return false;
    // Path, query and fragment: what RFC 3986 lets stand unescaped, minus the quote,
    // and any visible character beyond ASCII.
    static constexpr std::wstring_view kPlain = L"-._~!$&()*+,;=:@/?";
    bool inFragment = false;
    for (size_t i = authorityEnd; i < rest.size(); ++i) {
        char32_t c = char32_t(rest[i]);
        if constexpr (sizeof(wchar_t) == 2) {
            if (c >= 0xD800 && c <= 0xDBFF && i + 1 < rest.size() && rest[i + 1] >= 0xDC00 &&
                rest[i + 1] <= 0xDFFF) {
                c = 0x10000 + ((c - 0xD800) << 10) + (char32_t(rest[i + 1]) - 0xDC00);
                ++i;
            }
        }
        if (c == U'%') {
            if (i + 2 >= rest.size() || !IsHex(rest[i + 1]) || !IsHex(rest[i + 2])) return false;
            i += 2;
        } else if (c == U'#') {
            if (inFragment) return false;
            inFragment = true;
        } else if (c < 0x80) {
            if (!IsAsciiAlnum(wchar_t(c)) && kPlain.find(wchar_t(c)) == std::wstring_view::npos) return false;
        } else if (IsInvisibleOrControl(c) || (c >= 0xD800 && c <= 0xDFFF) || c > 0x10FFFF) {
            return false;
        }
    }
    return true;
}

std::wstring ServiceBaseUrl(std::wstring_view configured, std::wstring_view fallback) {
    std::wstring_view v = configured;
    size_t schemeLen = 0;
    if (StartsWithNoCase(v, L"http://"))
        schemeLen = 7;
    else if (StartsWithNoCase(v, L"https://"))
        schemeLen = 8;
    else
        return std::wstring(fallback);
    if (v.size() > schemeLen && v.back() == L'/') v.remove_suffix(1);
    std::wstring_view hostPort = v.substr(schemeLen);
    const size_t colon = hostPort.find(L':');
    std::wstring_view host = hostPort.substr(0, colon);
    if (host.empty()) return std::wstring(fallback);
    for (wchar_t c : host) {
        const bool ok = (c >= L'a' && c <= L'z') || (c >= L'A' && c <= L'Z') || (c >= L'0' && c <= L'9') ||
                        c == L'-' || c == L'.';
        if (!ok) return std::wstring(fallback);
    }
    if (colon != std::wstring_view::npos) {
        std::wstring_view port = hostPort.substr(colon + 1);
        if (port.empty() || port.size() > 5) return std::wstring(fallback);
        unsigned value = 0;
        for (wchar_t c : port) {
            if (c < L'0' || c > L'9') return std::wstring(fallback);
            value = value * 10 + unsigned(c - L'0');
        }
        if (value == 0 || value > 65535) return std::wstring(fallback);
    }
    return std::wstring(v);
}

std::wstring FeedbackUrl(std::wstring_view base, std::wstring_view text) {
    const std::string encoded = PercentEncode(ToUtf8(text));
    return std::wstring(base) + kFeedbackPath + std::wstring(encoded.begin(), encoded.end());
}

void ReplaceAll(std::wstring& text, std::wstring_view from, std::wstring_view to) {
    if (from.empty()) return;
    for (size_t pos = text.find(from); pos != std::wstring::npos; pos = text.find(from, pos + to.size()))
        text.replace(pos, from.size(), to);
}

std::wstring PingVersion(std::wstring_view fileVersion) {
    std::wstring v(fileVersion);
    ReplaceAll(v, L", ", L".");
    return v;
}

std::wstring FillPingPlaceholders(std::wstring url, std::wstring_view version) {
    ReplaceAll(url, L"{productver}", version);
    ReplaceAll(url, L"{productname}", kProductName);
    return url;
}

int ChooseTranslation(const std::vector<Translation>& list, uint16_t userLanguage) {
    auto find = [&](const std::function<bool(uint16_t)>& match) {
        for (size_t i = 0; i < list.size(); ++i)
            if (match(list[i].language)) return int(i);
        return -1;
    };
    auto exactOrPrimary = [&](uint16_t lang) {
        int i = find([lang](uint16_t l) { return l == lang; });
        if (i < 0) i = find([lang](uint16_t l) { return (l & 0xFF) == (lang & 0xFF); });
        return i;
    };
    if (list.empty()) return -1;
    for (uint16_t lang : {userLanguage, uint16_t(0), uint16_t(9)})
        if (int i = exactOrPrimary(lang); i >= 0) return i;
    return 0;
}

std::wstring StringFileInfoPrefix(Translation t) {
    static constexpr wchar_t kHex[] = L"0123456789ABCDEF";
    std::wstring out = L"\\StringFileInfo\\";
    for (uint16_t v : {t.language, t.codePage})
        for (int shift = 12; shift >= 0; shift -= 4) out += kHex[(v >> shift) & 15];
    return out + L"\\";
}

}  // namespace kestrow
