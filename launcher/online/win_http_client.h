#pragma once
// One blocking HTTP request through WinHTTP, its body decoded to wide text.
#include <windows.h>

#include <winhttp.h>

#include <string>
#include <vector>

#include "common/win/handles.h"

namespace kestrow {

inline void CloseInternetHandle(HINTERNET h) { ::WinHttpCloseHandle(h); }
using UniqueInternet = win::Unique<win::NullTraits<HINTERNET, CloseInternetHandle>>;

class WinHttpClient {
public:
    explicit WinHttpClient(std::wstring url);
    WinHttpClient(const WinHttpClient&) = delete;
    WinHttpClient& operator=(const WinHttpClient&) = delete;

    // "GET" or "POST" (any case); up to three attempts. True when a complete response
    // was read; a server error page counts as a response.
    bool SendRequest(const std::wstring& verb);
    // The decoded body of the last response read, empty when none.
    const std::wstring& GetResponseText() const { return responseText_; }
    const std::string& GetResponseCharset() const { return charset_; }

    static constexpr int kAttempts = 3;
    static constexpr DWORD kInitialBufferBytes = 10240;
    // The service's answers are a few hundred bytes; anything beyond this is no answer
    // of ours and is refused rather than held in memory.
    static constexpr DWORD kMaxBodyBytes = 4u << 20;

private:
    enum class ReadResult { kComplete, kFailed, kOutOfMemory };
    ReadResult ReadBody(HINTERNET request);
    void Decode();
    bool OpenSession(const wchar_t* proxy, const wchar_t* bypass);
    bool OpenRequest();
    bool SendWithProxyFallback();
    bool UseProxy(const wchar_t* proxy, const wchar_t* bypass);

    std::wstring url_;
    // Where the URL points, from WinHttpCrackUrl.
    std::wstring host_, path_;
    INTERNET_PORT port_ = 0;
    bool secure_ = false;
    const wchar_t* verb_ = L"GET";
    // Declared in closing order: request, then connection, then session.
    UniqueInternet session_;
    UniqueInternet connection_;
    UniqueInternet request_;
    std::string charset_;
    std::vector<char> body_;
    std::wstring responseText_;
};

}  // namespace kestrow
