// Rules of the online services: response decoding, the manifest, URLs and version texts.
#include <gtest/gtest.h>

#include <atomic>
#include <thread>

#include "launcher/online/json_object.h"
#include "launcher/online/online_rules.h"
#include "launcher/online/update_info.h"

namespace kestrow {
namespace {

TEST(HttpResponseText, CharsetIsTheFirstMatchAndPicksTheDecoding) {
    EXPECT_EQ(FindCharset("HTTP/1.1 200 OK\r\nContent-Type: text/html; CHARSET=Utf-8\r\n\r\n"), "Utf-8");
    EXPECT_EQ(FindCharset("Content-Type: text/plain; charset=gb_2312-80;x\r\nX: charset=utf-8\r\n"),
              "gb_2312-80");
    // A key with no usable value is skipped, not taken as an empty charset.
    EXPECT_EQ(FindCharset("X-A: charset=;\r\nContent-Type: a; charset=GBK\r\n"), "GBK");
    EXPECT_EQ(FindCharset("Content-Type: text/plain\r\n"), "");

    EXPECT_TRUE(IsUtf8Charset("UTF-8"));
    EXPECT_TRUE(IsUtf8Charset("utf-8-variant"));
    EXPECT_FALSE(IsUtf8Charset("utf8"));
    EXPECT_FALSE(IsUtf8Charset("GBK"));
    EXPECT_FALSE(IsUtf8Charset(""));
}

TEST(HttpResponseText, ValidUtf8WinsOverTheDeclaredCharset) {
    const std::string utf8 = "\xE4\xB8\xAD\xF0\x9F\x98\x80 a", gbk = "\xD6\xD0\xCE\xC4";
    EXPECT_EQ(BodyCodePage(utf8, "GBK"), kUtf8CodePage);
    EXPECT_EQ(BodyCodePage(utf8, ""), kUtf8CodePage);
    EXPECT_EQ(BodyCodePage(gbk, "GBK"), 936u);
    EXPECT_EQ(BodyCodePage(gbk, "gb2312"), 936u);
    EXPECT_EQ(BodyCodePage(gbk, "windows-1251"), 1251u);
    EXPECT_EQ(BodyCodePage(gbk, ""), 0u);  // the ANSI code page
    EXPECT_EQ(BodyCodePage(gbk, "x-unknown"), 0u);
    EXPECT_EQ(BodyCodePage(gbk, "UTF-8"), kUtf8CodePage);  // declared so: replacements, not ANSI
    // Not UTF-8: overlong forms, surrogates, past U+10FFFF, cut sequences, stray continuations.
    for (const char* bad :
         {"\xC0\x80", "\xE0\x80\x80", "\xED\xA0\x80", "\xF4\x90\x80\x80", "\xE4\xB8", "\x80", "\xFF"})
        EXPECT_FALSE(IsValidUtf8(bad)) << bad;
    EXPECT_TRUE(IsValidUtf8("\xF4\x8F\xBF\xBF\xEF\xBF\xBD"));
}

TEST(HttpResponseText, CutOffPageHasAnOpeningButNoClosingTag) {
    EXPECT_TRUE(LooksCutOff(L"<HTML><body>half"));
    EXPECT_FALSE(LooksCutOff(L"<html><body>whole</HTML>"));
    EXPECT_FALSE(LooksCutOff(L"{\"errorcode\":\"0\"}"));
}

TEST(ManifestErrorCode, LeadingIntegerRule) {
    EXPECT_EQ(LeadingInteger("0"), 0);
    EXPECT_EQ(LeadingInteger("  -12abc"), -12);
    EXPECT_EQ(LeadingInteger("+7"), 7);
    EXPECT_EQ(LeadingInteger("abc"), 0);
    EXPECT_EQ(LeadingInteger(""), 0);
    EXPECT_EQ(LeadingInteger("99999999999999999999"), 2147483647);
}

CNewVersionObject Manifest(const std::wstring& text, bool expectParsed = true) {
    CNewVersionObject m;
    EXPECT_EQ(m.Parse(text), expectParsed) << std::string(text.begin(), text.end());
    return m;
}

TEST(Manifest, ValidWithVersionAndUrl) {
    const auto m = Manifest(
        LR"({ // comments are allowed
            "errorcode": "0", "errordesc": "ok",
            "data": [{"clientversion": "1, 0, 0, 7011", "url": "http://h/d"}, {"clientversion": "x"}]})");
    EXPECT_TRUE(m.valid());
    EXPECT_EQ(m.clientVersion(), L"1, 0, 0, 7011");
    EXPECT_EQ(m.url(), L"http://h/d");
    EXPECT_EQ(m.errorDesc(), L"ok");
}

TEST(Manifest, ErrorCodeDecidesValidity) {
    EXPECT_FALSE(Manifest(LR"({"errorcode": "1", "data": [{"clientversion": "2"}]})").valid());
    EXPECT_FALSE(Manifest(LR"({"data": [{"clientversion": "2"}]})").valid());
    EXPECT_FALSE(Manifest(LR"({"errorcode": null})").valid());
    EXPECT_TRUE(Manifest(LR"({"errorcode": "ok"})").valid());
    EXPECT_TRUE(Manifest(LR"({"errorcode": 0})").valid());
    // Not JSON, or JSON that is no object: invalid, and nothing throws.
    EXPECT_FALSE(Manifest(L"<html>502</html>", false).valid());
    EXPECT_FALSE(Manifest(L"", false).valid());
    EXPECT_FALSE(Manifest(L"[1, 2]").valid());
    EXPECT_FALSE(Manifest(L"\"0\"").valid());
}

TEST(Manifest, MissingOrOddDataLeavesTextsEmpty) {
    for (const wchar_t* text : {LR"({"errorcode": "0", "data": []})", LR"({"errorcode": "0", "data": null})",
                                LR"({"errorcode": "0", "data": {"clientversion": "2"}})",
                                LR"({"errorcode": "0", "data": ["2"]})"}) {
        const auto m = Manifest(text);
        EXPECT_TRUE(m.valid());
        EXPECT_EQ(m.clientVersion(), L"");
        EXPECT_EQ(m.url(), L"");
    }
}

TEST(Manifest, ValuesReadAsTextAndNonAsciiFromUtf8) {
    const auto m = Manifest(LR"({"errorcode": "0", "data": [{"clientversion": 2.5, "url": {"a": 1}}]})");
    EXPECT_EQ(m.clientVersion(), L"2.5");
    EXPECT_EQ(m.url(), LR"({"a":1})");
    const auto cn = Manifest(
        L"{\"errorcode\": \"0\", \"data\": [{\"clientversion\": \"\u7248\u672c 2\","
        L" \"url\": \"http://h/\u4e0b\u8f7d\"}]}");
    EXPECT_EQ(cn.clientVersion(), L"\u7248\u672c 2");
    EXPECT_EQ(cn.url(), L"http://h/\u4e0b\u8f7d");
}

TEST(ServiceUrls, FeedbackTextIsPercentEncodedUtf8) {
    EXPECT_EQ(PercentEncode("aZ09-._~ /?#%\r\n"), "aZ09-._~%20%2F%3F%23%25%0D%0A");
    EXPECT_EQ(FeedbackUrl(L"http://127.0.0.1:8080", L"\u4e2d\r\nx y"),
              L"http://127.0.0.1:8080/feedbacks/addFeedback/1/%E4%B8%AD%0D%0Ax%20y");
    // Characters outside the basic plane survive as four bytes, not as two surrogates.
    EXPECT_EQ(ToUtf8(FromUtf8("\xF0\x9F\x98\x80")), "\xF0\x9F\x98\x80");
    EXPECT_EQ(FromUtf8("a\xFF"
                       "b"),
              L"a\uFFFDb");
}

TEST(ServiceUrls, BaseAddressFallsBackWhenEmptyOrMalformed) {
    const std::wstring def = L"http://default";
    EXPECT_EQ(ServiceBaseUrl(L"http://127.0.0.1:8080", def), L"http://127.0.0.1:8080");
    EXPECT_EQ(ServiceBaseUrl(L"HTTPS://svc.example.com/", def), L"HTTPS://svc.example.com");
    for (const wchar_t* bad :
         {L"", L"127.0.0.1", L"ftp://h", L"http://", L"http://h/path", L"http:///", L"http://h:",
          L"http://h:70000", L"http://u@h", L"http://h:80x", L"file:///c:/x"})
        EXPECT_EQ(ServiceBaseUrl(bad, def), def) << std::wstring(bad).size();
}

// The download address comes from the network and goes to the shell.
TEST(ServiceUrls, OnlyWellFormedWebAddressesAreOpened) {
    for (const wchar_t* good :
         {L"http://h", L"HTTPS://www.kestrow.com/download/setup.exe?v=2&x=%E4%B8#top",
          L"http://127.0.0.1:65535/a/b;c=d/~x(1)*+,!$@:", L"https://[::1]:8443/", L"http://h/\u4e0b\u8f7d"})
        EXPECT_TRUE(IsWebAddress(good)) << std::wstring(good).size();
    for (const wchar_t* bad : {L"",
                               L"file:///C:/windows/notepad.exe",
                               L"C:\\windows\\notepad.exe",
                               L"\\\\server\\share\\a.exe",
                               L"javascript:alert(1)",
                               L"http:/h",
                               L"httpx://h",
                               L"http://",
                               L"http:///x",
                               L" http://h",
                               L"http://h/x ",
                               L"http://h/a b",
                               L"http://h/a\tb",
                               L"http://h/\"x",
                               L"http://h/'x",
                               L"http://h/a\\b",
                               L"http://h/a\x7f",
                               L"http://h/a\x85",
                               L"http://h/a\u00a0",
                               L"http://h/a\u202eexe.txt",
                               L"http://h/a\u3000",
                               L"http://h/<x>",
                               L"http://h/%4",
                               L"http://h/%zz",
                               L"http://h/#a#b",
                               L"http://h:0/",
                               L"http://h:65536/",
                               L"http://h:/",
                               L"http://h:8o/",
                               L"http://u@h/",
                               L"http://h_x/",
                               L"http://[::1/",
                               L"http://[1.2.3.4]/",
                               L"http://[::1]x/",
                               L"http://\u4e0b.com/"})
        EXPECT_FALSE(IsWebAddress(bad)) << std::wstring(bad).size();
}

TEST(ServiceUrls, PingPlaceholders) {
    EXPECT_EQ(PingVersion(L"1, 0, 0, 7011"), L"1.0.0.7011");
    EXPECT_EQ(FillPingPlaceholders(std::wstring(L"http://s") + kStartPingPath, L"1.0.0.7011"),
              L"http://s/staticses/addstatics/kestrowcapture/1.0.0.7011/1/1");
    EXPECT_EQ(FillPingPlaceholders(std::wstring(L"http://s") + kExitPingPath, L"1.0.0.7011"),
              L"http://s/staticses/addstatics/kestrowcapture/1.0.0.7011/1/2");
}

TEST(VersionTranslation, ChoiceRulesInOrder) {
    const Translation zhCN{0x0804, 1200}, zhTW{0x0404, 1200}, neutral{0x0000, 1200}, enUS{0x0409, 1252},
        enGB{0x0809, 1252}, de{0x0407, 1252}, fr{0x040C, 1252};
    EXPECT_EQ(ChooseTranslation({de, zhTW, zhCN}, 0x0804), 2);                  // exact
    EXPECT_EQ(ChooseTranslation({de, zhTW, neutral}, 0x0804), 1);               // same primary language
    EXPECT_EQ(ChooseTranslation({de, neutral, enUS}, 0x0804), 1);               // neutral
    EXPECT_EQ(ChooseTranslation({de, enGB, enUS, {0x0009, 1252}}, 0x0804), 3);  // English, exact
    EXPECT_EQ(ChooseTranslation({de, enGB, enUS}, 0x0804), 1);                  // English by primary language
    EXPECT_EQ(ChooseTranslation({de, fr}, 0x0804), 0);                          // the first
    EXPECT_EQ(ChooseTranslation({}, 0x0804), -1);
    EXPECT_EQ(StringFileInfoPrefix(zhCN), L"\\StringFileInfo\\080404B0\\");
}

// The background check and the about dialog's check may write at the same time; a
// reader must never see the version of one manifest with the address of another.
TEST(UpdateInfoRecord, ReadersSeeWholePairsWhileChecksOverlap) {
    UpdateInfo info;
    std::atomic<bool> done{false};
    auto writer = [&](const std::wstring& text) {
        for (int i = 0; i < 20000; ++i) info.Set(text, text);
    };
    std::thread a(writer, std::wstring(40, L'a')), b(writer, std::wstring(50, L'b'));
    std::thread reader([&] {
        while (!done) {
            const UpdateInfo::Texts t = info.Read();
            ASSERT_EQ(t.latestVersion, t.downloadUrl);
        }
    });
    a.join();
    b.join();
    done = true;
    reader.join();
}

}  // namespace
}  // namespace kestrow
