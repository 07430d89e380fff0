#include "launcher/online/win_http_client.h"

#include <new>
#include <utility>

#include "common/text.h"
#include "launcher/online/online_rules.h"

namespace kestrow {

namespace {

constexpr DWORD kResolveTimeoutMs = 0;  // no limit
constexpr DWORD kConnectTimeoutMs = 60000;
constexpr DWORD kSendTimeoutMs = 30000;
constexpr DWORD kReceiveTimeoutMs = 30000;
constexpr DWORD kHostChars = 260;

// Strings WinHTTP hands out with GlobalAlloc.
struct GlobalText {
    wchar_t* p = nullptr;
    GlobalText() = default;
    GlobalText(const GlobalText&) = delete;
    GlobalText& operator=(const GlobalText&) = delete;
    ~GlobalText() {
        if (p) ::GlobalFree(p);
    }
};

struct IeProxyConfig {
    WINHTTP_CURRENT_USER_IE_PROXY_CONFIG config{};
    IeProxyConfig(const IeProxyConfig&) = delete;
    IeProxyConfig& operator=(const IeProxyConfig&) = delete;
    IeProxyConfig() = default;
    ~IeProxyConfig() {
        for (wchar_t* p : {config.lpszAutoConfigUrl, config.lpszProxy, config.lpszProxyBypass})
            if (p) ::GlobalFree(p);
    }
};

std::string RawHeaders(HINTERNET request) {
    DWORD bytes = 0;
    ::WinHttpQueryHeaders(request, WINHTTP_QUERY_RAW_HEADERS_CRLF, WINHTTP_HEADER_NAME_BY_INDEX, nullptr,
                          &bytes, WINHTTP_NO_HEADER_INDEX);
    if (bytes == 0) return {};
    std::wstring wide(bytes / sizeof(wchar_t) + 1, L'\0');
    if (!::WinHttpQueryHeaders(request, WINHTTP_QUERY_RAW_HEADERS_CRLF, WINHTTP_HEADER_NAME_BY_INDEX,
                               wide.data(), &bytes, WINHTTP_NO_HEADER_INDEX))
        return {};
    wide.resize(bytes / sizeof(wchar_t));
    // Header names and the charset are ASCII; other characters cannot match.
    std::string out;
    out.reserve(wide.size());
    for (wchar_t c : wide) out += c < 0x80 ? char(c) : '?';
    return out;
}

BOOL Send(HINTERNET request) {
    return ::WinHttpSendRequest(request, WINHTTP_NO_ADDITIONAL_HEADERS, 0, WINHTTP_NO_REQUEST_DATA, 0, 0, 0);
}

DWORD StatusCode(HINTERNET request) {
    DWORD status = 0, bytes = sizeof(status);
    if (!::WinHttpQueryHeaders(request, WINHTTP_QUERY_STATUS_CODE | WINHTTP_QUERY_FLAG_NUMBER,
                               WINHTTP_HEADER_NAME_BY_INDEX, &status, &bytes, WINHTTP_NO_HEADER_INDEX))
        return 0;
    return status;
}

}  // namespace

void HttpCancel::Cancel() {
    std::lock_guard<std::mutex> hold(lock_);
    cancelled_ = true;
    if (inFlight_) {
        ::WinHttpCloseHandle(std::exchange(inFlight_, nullptr));
        closed_ = true;
    }
}

bool HttpCancel::Cancelled() const {
    std::lock_guard<std::mutex> hold(lock_);
    return cancelled_;
}

bool HttpCancel::Enter(HINTERNET request) {
    std::lock_guard<std::mutex> hold(lock_);
    if (cancelled_) return false;
    inFlight_ = request;
    return true;
}

bool HttpCancel::Leave() {
    std::lock_guard<std::mutex> hold(lock_);
    inFlight_ = nullptr;
    return std::exchange(closed_, false);
}

WinHttpClient::WinHttpClient(std::wstring url, HttpCancel* cancel) : url_(std::move(url)), cancel_(cancel) {}

// One blocking call on the current request, open to a cancel from another thread.
// False when the call failed or the request was cancelled before or during it; a
// handle that Cancel closed is dropped, never closed or used again.
template <class Call>
bool WinHttpClient::Blocking(Call&& call) {
    if (cancel_ && !cancel_->Enter(request_.Get())) return false;
    const BOOL ok = call(request_.Get());
    if (cancel_ && cancel_->Leave()) {
        request_.Release();
        return false;
    }
    return ok != FALSE;
}

bool WinHttpClient::SendRequest(const std::wstring& verb) {
    if (url_.empty()) return false;
    const bool isGet = EqualsNoCase(verb, L"GET");
    if (!isGet && !EqualsNoCase(verb, L"POST")) return false;
    verb_ = isGet ? L"GET" : L"POST";
    if (!session_ && !OpenSession(WINHTTP_NO_PROXY_NAME, WINHTTP_NO_PROXY_BYPASS)) return false;

    // The path buffer grows with the URL: a percent-encoded feedback text is long.
    std::wstring host(kHostChars, L'\0');
    std::wstring path(url_.size() + 1, L'\0');
    std::wstring extra(url_.size() + 1, L'\0');
    URL_COMPONENTS parts{};
    parts.dwStructSize = sizeof(parts);
    parts.lpszHostName = host.data();
    parts.dwHostNameLength = kHostChars;
    parts.lpszUrlPath = path.data();
    parts.dwUrlPathLength = DWORD(path.size());
    parts.lpszExtraInfo = extra.data();
    parts.dwExtraInfoLength = DWORD(extra.size());
    if (!::WinHttpCrackUrl(url_.c_str(), DWORD(url_.size()), 0, &parts)) return false;
    host_.assign(host.data(), parts.dwHostNameLength);
    path_.assign(path.data(), parts.dwUrlPathLength);
    path_.append(extra.data(), parts.dwExtraInfoLength);
    if (path_.empty()) path_ = L"/";
    port_ = parts.nPort;
    secure_ = parts.nScheme == INTERNET_SCHEME_HTTPS;
    if (!OpenRequest()) return false;

    bool complete = false;
    for (int attempt = 0; attempt < kAttempts && !complete && !Cancelled(); ++attempt) {
        if (!request_ && !OpenRequest()) break;
        if (!SendWithProxyFallback()) continue;
        if (!Blocking([](HINTERNET r) { return ::WinHttpReceiveResponse(r, nullptr); })) continue;
        charset_ = FindCharset(RawHeaders(request_.Get()));
        status_ = StatusCode(request_.Get());
        const ReadResult read = ReadBody();
        if (read == ReadResult::kFailed) continue;
        Decode();
        if (read == ReadResult::kOutOfMemory) break;
        // A page that begins but never ends was cut off on the way: ask again.
        complete = !(isGet && LooksCutOff(responseText_));
    }
    request_.Reset();
    connection_.Reset();
    return complete;
}

bool WinHttpClient::OpenSession(const wchar_t* proxy, const wchar_t* bypass) {
    request_.Reset();
    connection_.Reset();
    session_.Reset(::WinHttpOpen(L"WinHttpClient",
                                 proxy ? WINHTTP_ACCESS_TYPE_NAMED_PROXY : WINHTTP_ACCESS_TYPE_DEFAULT_PROXY,
                                 proxy, proxy ? bypass : WINHTTP_NO_PROXY_BYPASS, 0));
    if (!session_) return false;
    ::WinHttpSetTimeouts(session_.Get(), kResolveTimeoutMs, kConnectTimeoutMs, kSendTimeoutMs,
                         kReceiveTimeoutMs);
    return true;
}

bool WinHttpClient::OpenRequest() {
    request_.Reset();
    connection_.Reset(::WinHttpConnect(session_.Get(), host_.c_str(), port_, 0));
    if (!connection_) return false;
    // Certificates are checked on https (no security flags relaxed): the manifest
    // decides which address the launcher opens.
    request_.Reset(::WinHttpOpenRequest(connection_.Get(), verb_, path_.c_str(), nullptr, WINHTTP_NO_REFERER,
                                        WINHTTP_DEFAULT_ACCEPT_TYPES, secure_ ? WINHTTP_FLAG_SECURE : 0));
    if (!request_) return false;
    // Never answer a proxy's or server's challenge with the user's own log-on: a proxy
    // found through a configuration script may be anyone's.
    DWORD policy = WINHTTP_AUTOLOGON_SECURITY_LEVEL_HIGH;
    ::WinHttpSetOption(request_.Get(), WINHTTP_OPTION_AUTOLOGON_POLICY, &policy, sizeof(policy));
    return true;
}

// A proxy from the browser settings takes effect through a session opened with it:
// that works on every WinHTTP, where a proxy set on an open request is not honoured
// everywhere (Wine ignores it).
bool WinHttpClient::UseProxy(const wchar_t* proxy, const wchar_t* bypass) {
    return OpenSession(proxy, bypass) && OpenRequest();
}

bool WinHttpClient::SendWithProxyFallback() {
    if (Blocking(Send)) return true;
    if (Cancelled()) return false;
    IeProxyConfig ie;
    if (!::WinHttpGetIEProxyConfigForCurrentUser(&ie.config)) return false;
    if (ie.config.lpszAutoConfigUrl) {
        WINHTTP_AUTOPROXY_OPTIONS options{};
        options.dwFlags = WINHTTP_AUTOPROXY_AUTO_DETECT | WINHTTP_AUTOPROXY_CONFIG_URL;
        options.dwAutoDetectFlags = WINHTTP_AUTO_DETECT_TYPE_DHCP;
        options.lpszAutoConfigUrl = ie.config.lpszAutoConfigUrl;
        options.fAutoLogonIfChallenged = FALSE;
        WINHTTP_PROXY_INFO info{};
        if (!::WinHttpGetProxyForUrl(session_.Get(), url_.c_str(), &options, &info)) return false;
        GlobalText proxy, bypass;
        proxy.p = info.lpszProxy;
        bypass.p = info.lpszProxyBypass;
        if (!proxy.p) return false;
        return !Cancelled() && UseProxy(proxy.p, bypass.p) && Blocking(Send);
    }
    // A fixed proxy serves the next attempt; this one has failed.
    if (ie.config.lpszProxy) UseProxy(ie.config.lpszProxy, ie.config.lpszProxyBypass);
    return false;
}

WinHttpClient::ReadResult WinHttpClient::ReadBody() {
    std::vector<char> buffer(kInitialBufferBytes, '\0');
    size_t used = 0;
    for (;;) {
        DWORD available = 0;
        if (!Blocking([&](HINTERNET r) { return ::WinHttpQueryDataAvailable(r, &available); })) {
            if (Cancelled()) return ReadResult::kFailed;
            break;
        }
        if (available == 0) break;
        if (used + available > kMaxBodyBytes) return ReadResult::kFailed;
        if (used + available > buffer.size()) {
            size_t size = buffer.size();
            while (used + available > size) size *= 2;
            try {
                std::vector<char> bigger(size, '\0');
                std::copy(buffer.begin(), buffer.begin() + used, bigger.begin());
                buffer = std::move(bigger);
            } catch (const std::bad_alloc&) {
                // Keep what was read; the caller decodes it and gives up.
                buffer.resize(used);
                body_ = std::move(buffer);
                return ReadResult::kOutOfMemory;
            }
        }
        DWORD read = 0;
        if (!Blocking(
                [&](HINTERNET r) { return ::WinHttpReadData(r, buffer.data() + used, available, &read); }))
            return ReadResult::kFailed;
        if (read == 0) break;
        used += read;
    }
    buffer.resize(used);
    body_ = std::move(buffer);
    return ReadResult::kComplete;
}

void WinHttpClient::Decode() {
    std::vector<char> bytes = body_;
    bytes.push_back('\0');
    auto convert = [&](UINT codePage, std::wstring& out) {
        // Only the ANSI code page takes MB_PRECOMPOSED; UTF-8 and GB18030 refuse any flag.
        const DWORD flags = codePage == CP_ACP ? MB_PRECOMPOSED : 0;
        const int chars = ::MultiByteToWideChar(codePage, flags, bytes.data(), int(bytes.size()), nullptr, 0);
        if (chars <= 0) return false;
        out.assign(size_t(chars), L'\0');
        if (!::MultiByteToWideChar(codePage, flags, bytes.data(), int(bytes.size()), out.data(), chars))
            return false;
        out.resize(size_t(chars) - 1);  // the terminating zero
        return true;
    };
    const unsigned codePage = BodyCodePage(std::string_view(body_.data(), body_.size()), charset_);
    std::wstring text;
    // A declared charset this system has no table for reads as the ANSI code page.
    if (convert(codePage ? codePage : CP_ACP, text) || (codePage && convert(CP_ACP, text)))
        responseText_ = std::move(text);
}

}  // namespace kestrow
