#pragma once
// One blocking HTTP request through WinHTTP, its body decoded to wide text.
#include <windows.h>

#include <winhttp.h>

#include <mutex>
#include <string>
#include <vector>

#include "common/win/handles.h"

namespace kestrow {

inline void CloseInternetHandle(HINTERNET h) { ::WinHttpCloseHandle(h); }
using UniqueInternet = win::Unique<win::NullTraits<HINTERNET, CloseInternetHandle>>;

// Lets another thread abandon a request: the request handle a blocking call waits on
// is closed (on Windows that call returns at once) and no further attempt starts.
// Shared between the client's thread and the canceller.
class HttpCancel {
public:
    HttpCancel() = default;
    HttpCancel(const HttpCancel&) = delete;
    HttpCancel& operator=(const HttpCancel&) = delete;
    void Cancel();
    bool Cancelled() const;

private:
    friend class WinHttpClient;
    // Around each blocking call: Enter is false once cancelled; Leave is true when
    // Cancel closed the handle meanwhile (it then belongs to nobody).
    bool Enter(HINTERNET request);
    bool Leave();

    mutable std::mutex lock_;
    bool cancelled_ = false;
    bool closed_ = false;
    HINTERNET inFlight_ = nullptr;
};

class WinHttpClient {
public:
    // `cancel`, when given, must outlive the client.
    explicit WinHttpClient(std::wstring url, HttpCancel* cancel = nullptr);
    WinHttpClient(const WinHttpClient&) = delete;
    WinHttpClient& operator=(const WinHttpClient&) = delete;

    // "GET" or "POST" (any case); up to three attempts. True when a complete response
    // was read; a server error page counts as a response.
    bool SendRequest(const std::wstring& verb);
    // The decoded body of the last response read, empty when none.
    const std::wstring& GetResponseText() const { return responseText_; }
    const std::string& GetResponseCharset() const { return charset_; }
    // The HTTP status of the last response read, 0 when none.
    DWORD GetStatusCode() const { return status_; }

    static constexpr int kAttempts = 3;
    static constexpr DWORD kInitialBufferBytes = 10240;
    // The service's answers are a few hundred bytes; anything beyond this is no answer
    // of ours and is refused rather than held in memory.
    static constexpr DWORD kMaxBodyBytes = 4u << 20;

private:
    enum class ReadResult { kComplete, kFailed, kOutOfMemory };
    ReadResult ReadBody();
    void Decode();
    bool OpenSession(const wchar_t* proxy, const wchar_t* bypass);
    bool OpenRequest();
    bool SendWithProxyFallback();
    bool UseProxy(const wchar_t* proxy, const wchar_t* bypass);
    bool Cancelled() const { return cancel_ && cancel_->Cancelled(); }
    template <class Call>
    bool Blocking(Call&& call);

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
    HttpCancel* cancel_;
    std::string charset_;
    DWORD status_ = 0;
    std::vector<char> body_;
    std::wstring responseText_;
};

}  // namespace kestrow
