// WinHttpClient against the loopback service of tests/tools/loopback_server.py (run as
// "loopback_server.py run <this runner>"; without it these tests are skipped), and
// CPEFileVersion against real version resources.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "common/win/handles.h"
#include "launcher/online/pe_file_version.h"
#include "launcher/online/win_http_client.h"
#include "tests/win/test_support.h"

namespace kestrow {
namespace {

std::wstring Env(const wchar_t* name) {
    wchar_t value[1024] = {};
    const DWORD n = ::GetEnvironmentVariableW(name, value, 1024);
    return n && n < 1024 ? std::wstring(value) : std::wstring();
}

std::string ReadFileBytes(const std::wstring& path) {
    win::UniqueFile f(::CreateFileW(path.c_str(), GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr,
                                    OPEN_EXISTING, 0, nullptr));
    std::string out;
    if (!f) return out;
    char buf[4096];
    DWORD read = 0;
    while (::ReadFile(f.Get(), buf, sizeof(buf), &read, nullptr) && read) out.append(buf, read);
    return out;
}

class WinHttpClientTest : public ::testing::Test {
protected:
    void SetUp() override {
        http_ = Env(L"KESTROW_TEST_HTTP");
        log_ = Env(L"KESTROW_TEST_REQUEST_LOG");
        if (http_.empty() || log_.empty()) GTEST_SKIP() << "needs the loopback service";
    }
    std::wstring Url(const std::wstring& path) const { return L"http://127.0.0.1:" + http_ + path; }

    // The request lines the servers recorded for `pathPart` ("<server> GET <target> HTTP/1.1").
    std::vector<std::string> Requests(const std::string& pathPart) const {
        std::vector<std::string> out;
        const std::string text = ReadFileBytes(log_);
        size_t start = 0;
        while (start < text.size()) {
            size_t end = text.find('\n', start);
            if (end == std::string::npos) end = text.size();
            std::string line = text.substr(start, end - start);
            if (line.find(pathPart) != std::string::npos) out.push_back(line);
            start = end + 1;
        }
        return out;
    }

    std::wstring http_, log_;
};

std::wstring AnsiDecoded(const std::string& bytes) {
    std::wstring out(bytes.size() + 1, L'\0');
    const int n = ::MultiByteToWideChar(CP_ACP, MB_PRECOMPOSED, bytes.data(), int(bytes.size()), out.data(),
                                        int(out.size()));
    out.resize(size_t(n));
    return out;
}

// Valid UTF-8 is UTF-8 whatever the header says; other bytes follow the declared
// charset, and without one the ANSI code page.
TEST_F(WinHttpClientTest, DecodesUtf8FirstThenByTheDeclaredCharset) {
    for (const wchar_t* path : {L"/charset/utf8", L"/charset/gbk-but-utf8"}) {
        WinHttpClient client(Url(path));
        ASSERT_TRUE(client.SendRequest(L"get"));
        EXPECT_EQ(client.GetResponseText(), L"中文 UTF-8 ü") << path;
    }
    WinHttpClient gbk(Url(L"/charset/gbk"));
    ASSERT_TRUE(gbk.SendRequest(L"GET"));
    EXPECT_EQ(gbk.GetResponseText(), L"中文 GBK");
    WinHttpClient none(Url(L"/charset/none"));
    ASSERT_TRUE(none.SendRequest(L"GET"));
    EXPECT_EQ(none.GetResponseText(), AnsiDecoded("\xD6\xD0\xCE\xC4 GBK"));
}

TEST_F(WinHttpClientTest, ReadsLongBodiesWhole) {
    const std::string pattern = "abcdefghijklmnopqrstuvwxyz0123456789\n";
    for (int size : {10240, 20480, 100000}) {
        WinHttpClient client(Url(L"/size/" + std::to_wstring(size)));
        ASSERT_TRUE(client.SendRequest(L"GET")) << size;
        const std::wstring& text = client.GetResponseText();
        ASSERT_EQ(text.size(), size_t(size));
        for (int i = 0; i < size; i += 997)
            ASSERT_EQ(text[size_t(i)], wchar_t(pattern[size_t(i) % pattern.size()])) << i;
    }
}

TEST_F(WinHttpClientTest, RefusesABodyOverTheLimit) {
    WinHttpClient client(Url(L"/size/" + std::to_wstring(WinHttpClient::kMaxBodyBytes + 1)));
    EXPECT_FALSE(client.SendRequest(L"GET"));
    EXPECT_EQ(client.GetResponseText(), L"");
}

TEST_F(WinHttpClientTest, AsksThreeTimesForACutOffPageAndOnceForJson) {
    WinHttpClient cut(Url(L"/cutoff"));
    EXPECT_FALSE(cut.SendRequest(L"GET"));
    EXPECT_EQ(cut.GetResponseText(), L"<html><body>half a page");
    EXPECT_EQ(Requests("GET /cutoff ").size(), 3u);

    WinHttpClient json(Url(L"/json"));
    EXPECT_TRUE(json.SendRequest(L"GET"));
    EXPECT_EQ(Requests("GET /json ").size(), 1u);

    WinHttpClient put(Url(L"/json"));
    EXPECT_FALSE(put.SendRequest(L"PUT"));
    EXPECT_EQ(Requests("/json ").size(), 1u);
}

TEST_F(WinHttpClientTest, ServerErrorPagesAreAnswers) {
    for (int status : {404, 500}) {
        WinHttpClient client(Url(L"/status/" + std::to_wstring(status)));
        EXPECT_TRUE(client.SendRequest(L"GET"));
        EXPECT_EQ(client.GetResponseText(), L"error page " + std::to_wstring(status));
        EXPECT_EQ(client.GetStatusCode(), DWORD(status));
    }
}

TEST_F(WinHttpClientTest, LongPercentEncodedPathIsSentWhole) {
    std::wstring path = L"/feedbacks/addFeedback/1/";
    for (int i = 0; i < 1024; ++i) path += L"%E4%B8%AD";
    WinHttpClient client(Url(path));
    EXPECT_TRUE(client.SendRequest(L"GET"));
    EXPECT_EQ(Requests(std::string(path.begin(), path.end()) + " HTTP").size(), 1u);
}

// The server holds "/hold" for seconds; a cancel from another thread ends the request
// without a second attempt and without a response. Windows aborts the waiting call;
// Wine lets it run until the answer comes, which the client must then drop.
TEST_F(WinHttpClientTest, ACancelledRequestEndsAndIsNotRepeated) {
    HttpCancel cancel;
    struct Request {
        WinHttpClient client;
        bool result = true;
        static DWORD WINAPI Run(void* p) {
            auto* r = static_cast<Request*>(p);
            r->result = r->client.SendRequest(L"GET");
            return 0;
        }
    } request{WinHttpClient(Url(L"/hold"), &cancel)};
    win::UniqueHandle thread(::CreateThread(nullptr, 0, &Request::Run, &request, 0, nullptr));
    ASSERT_TRUE(thread);
    for (int i = 0; i < 200 && Requests("GET /hold ").empty(); ++i) ::Sleep(20);
    ASSERT_EQ(Requests("GET /hold ").size(), 1u);
    cancel.Cancel();
    ASSERT_EQ(::WaitForSingleObject(thread.Get(), 20000), WAIT_OBJECT_0);
    EXPECT_FALSE(request.result);
    EXPECT_EQ(request.client.GetResponseText(), L"");
    EXPECT_EQ(Requests("GET /hold ").size(), 1u);

    WinHttpClient late(Url(L"/late"), &cancel);  // cancelled before it starts: nothing sent
    EXPECT_FALSE(late.SendRequest(L"GET"));
    EXPECT_TRUE(Requests("/late").empty());
}

// The browser settings' fixed proxy, as Internet Settings stores it.
class ProxySetting {
public:
    explicit ProxySetting(const std::string& proxy) {
        ::RegCreateKeyExW(HKEY_CURRENT_USER, kKey, 0, nullptr, 0, KEY_ALL_ACCESS, nullptr, &key_, nullptr);
        std::vector<BYTE> blob;
        auto dword = [&](DWORD v) {
            blob.insert(blob.end(), reinterpret_cast<BYTE*>(&v), reinterpret_cast<BYTE*>(&v) + 4);
        };
        dword(0x46);  // version
        dword(1);     // change counter
        dword(0x3);   // direct connection allowed, named proxy set
        dword(DWORD(proxy.size()));
        blob.insert(blob.end(), proxy.begin(), proxy.end());
        dword(0);  // no bypass list
        dword(0);  // no configuration script
        blob.resize(blob.size() + 32, 0);
        ::RegSetValueExW(key_, kValue, 0, REG_BINARY, blob.data(), DWORD(blob.size()));
    }
    ~ProxySetting() {
        ::RegDeleteValueW(key_, kValue);
        ::RegCloseKey(key_);
    }

private:
    static constexpr wchar_t kKey[] =
        L"Software\\Microsoft\\Windows\\CurrentVersion\\Internet Settings\\Connections";
    static constexpr wchar_t kValue[] = L"DefaultConnectionSettings";
    HKEY key_ = nullptr;
};

TEST_F(WinHttpClientTest, SecondAttemptGoesThroughTheBrowserProxy) {
    const std::wstring closed = Env(L"KESTROW_TEST_CLOSED");
    const std::wstring proxy = Env(L"KESTROW_TEST_PROXY");
    ASSERT_FALSE(closed.empty());
    ProxySetting setting("127.0.0.1:" + std::string(proxy.begin(), proxy.end()));
    WinHttpClient client(L"http://127.0.0.1:" + closed + L"/via-proxy");
    EXPECT_TRUE(client.SendRequest(L"GET"));
    EXPECT_EQ(client.GetResponseText(), L"ok");
    const std::vector<std::string> lines = Requests("/via-proxy");
    // One request, at the proxy. (Wine's WinHTTP sends the path alone to a proxy, not
    // the absolute address Windows sends, so only the path is compared.)
    ASSERT_EQ(lines.size(), 1u);
    EXPECT_EQ(lines[0].rfind("proxy GET ", 0), 0u) << lines[0];
}

TEST_F(WinHttpClientTest, HttpsRefusesASelfSignedCertificate) {
    const std::wstring https = Env(L"KESTROW_TEST_HTTPS");
    WinHttpClient client(L"https://127.0.0.1:" + https + L"/json");
    EXPECT_FALSE(client.SendRequest(L"GET"));
    // The client reached the server's TLS (so https works here) and then sent nothing:
    // refused after seeing the certificate, not merely unable to talk TLS.
    EXPECT_FALSE(Requests("https-tls handshake").empty());
    EXPECT_TRUE(Requests("https GET").empty());
}

TEST(PEFileVersion, TextsOfTheBuiltPrograms) {
    for (const wchar_t* name : {L"KestrowCapture.exe", L"Worker.exe"}) {
        CPEFileVersion version;
        ASSERT_TRUE(version.Open(test::BuiltProgram(name))) << name;
        EXPECT_EQ(version.GetFileVersion(), L"1, 0, 0, 7011");
        EXPECT_EQ(version.fixedInfo().dwFileVersionLS, 7011u);
        EXPECT_EQ(version.GetCompanyName(), L"Kestrow");
        EXPECT_EQ(version.GetOriginalFileName(), name);
        EXPECT_EQ(version.GetSpecialBuild(), L"");
    }
    CPEFileVersion none;
    EXPECT_FALSE(none.Open(test::BuiltProgram(L"missing.exe")));
    EXPECT_EQ(none.GetFileVersion(), L"");
}

// The runner's own version resource (tests/win/version_test.rc) lists three translations.
TEST(PEFileVersion, TakesTheUsersLanguageAmongSeveral) {
    wchar_t self[MAX_PATH] = {};
    ::GetModuleFileNameW(nullptr, self, MAX_PATH);
    ASSERT_EQ(::GetUserDefaultLangID(), 0x0409) << "the test expects an English (US) user";
    CPEFileVersion version;
    ASSERT_TRUE(version.Open(self));
    EXPECT_EQ(version.GetCompanyName(), L"English block");
    EXPECT_EQ(version.GetComments(), L"en-US");
    EXPECT_EQ(version.GetFileVersion(), L"9, 8, 7, 6");
    EXPECT_EQ(version.fixedInfo().dwFileVersionMS, (9u << 16) | 8u);
}

}  // namespace
}  // namespace kestrow
