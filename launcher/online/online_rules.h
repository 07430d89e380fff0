#pragma once
// Platform-free rules of the online services: response charsets and cut-off pages,
// UTF-8 conversion, the service address and the URLs built on it, and the choice of a
// version resource's translation.
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

namespace kestrow {

// The first "charset=" value of raw response headers (letters, digits, '-' and '_';
// the key without regard to case); empty when there is none.
std::string FindCharset(std::string_view rawHeaders);
// True for a charset that begins with "utf-8" (any case).
bool IsUtf8Charset(std::string_view charset);
// Well-formed UTF-8: shortest forms, no surrogates, nothing above U+10FFFF.
bool IsValidUtf8(std::string_view bytes);
// The Windows code page of a charset name (any case); 0 for an unknown or empty name,
// which means the system's ANSI code page.
unsigned CodePageForCharset(std::string_view charset);
// The code page a response body is decoded with: our service speaks UTF-8 whatever
// its headers claim, so bytes that are valid UTF-8 are taken as such; only other bytes
// follow the declared charset (0: the ANSI code page).
unsigned BodyCodePage(std::string_view body, std::string_view charset);
inline constexpr unsigned kUtf8CodePage = 65001;
// An HTML page that starts but does not end: "<html>" without "</html>", any case.
bool LooksCutOff(std::wstring_view text);

// UTF-8 to and from the program's wide texts (UTF-16 on Windows). Malformed input
// becomes U+FFFD, never an error.
std::string ToUtf8(std::wstring_view text);
std::wstring FromUtf8(std::string_view text);

// Every byte outside the unreserved set (letters, digits, "-._~") as %XX.
std::string PercentEncode(std::string_view bytes);

// True for an address the launcher may hand to the shell: a well-formed http or https
// URL (scheme in any case, a host name or bracketed IPv6 literal, an optional port
// 1-65535, no user part) whose path, query and fragment hold no quotes, white space,
// control or invisible formatting characters, backslashes or broken %XX escapes.
// Anything else may start a local program or pass for another address.
bool IsWebAddress(std::wstring_view url);

// The web service's base address: `configured` when it is "http[s]://host[:port]"
// (one trailing slash allowed and dropped), otherwise `fallback`.
std::wstring ServiceBaseUrl(std::wstring_view configured, std::wstring_view fallback);

inline constexpr wchar_t kManifestPath[] = L"/app/webroot/clientversion/snaptrel_beta.json";
inline constexpr wchar_t kFeedbackPath[] = L"/feedbacks/addFeedback/1/";
inline constexpr wchar_t kStartPingPath[] = L"/staticses/addstatics/{productname}/{productver}/1/1";
inline constexpr wchar_t kExitPingPath[] = L"/staticses/addstatics/{productname}/{productver}/1/2";
inline constexpr wchar_t kFeedbackPagePath[] = L"/product/screencapture/feedback.php";
inline constexpr wchar_t kProductName[] = L"kestrowcapture";

// The feedback request: the text travels percent-encoded as UTF-8, so line breaks
// cannot split the request and the service gets exactly what was typed.
std::wstring FeedbackUrl(std::wstring_view base, std::wstring_view text);

void ReplaceAll(std::wstring& text, std::wstring_view from, std::wstring_view to);
// A FileVersion text as the pings carry it: "1, 0, 0, 7011" -> "1.0.0.7011".
std::wstring PingVersion(std::wstring_view fileVersion);
// Fills "{productver}" and then "{productname}".
std::wstring FillPingPlaceholders(std::wstring url, std::wstring_view version);

// One "\VarFileInfo\Translation" entry.
struct Translation {
    uint16_t language;
    uint16_t codePage;
};
// The translation to read the texts from, for a user whose default language is
// `userLanguage`: exact language, then the same primary (low) byte, then neutral,
// then English, then the first listed. -1 for an empty list.
int ChooseTranslation(const std::vector<Translation>& list, uint16_t userLanguage);
// "\StringFileInfo\LLLLCCCC\" for the chosen translation.
std::wstring StringFileInfoPrefix(Translation t);

}  // namespace kestrow
