// The real browser host under Wine, as far as Wine's WebBrowser control goes without a
// browser engine: the control and its event sink on the blank page, the COM answers
// that shape the control, and one result per navigation to a loopback page.
#include <winsock2.h>
#include <windows.h>

#include <gtest/gtest.h>

#include <exdispid.h>

#include <atomic>
#include <thread>
#include <vector>

#include "common/win/ax_host.h"
#include "pagegrab/kestrow_browser_view.h"
#include "tests/win/test_support.h"

namespace kestrow::pagegrab {
namespace {

// A hidden top-level window that records the results posted to it.
class ResultWindow : public win::Window {
public:
    ResultWindow() {
        win::RegisterStandardClass(L"KestrowTestResults");
        Create({.className = L"KestrowTestResults", .x = 0, .y = 0, .width = 10, .height = 10});
    }
    std::vector<LPARAM> results;

protected:
    LRESULT HandleMessage(UINT msg, WPARAM wp, LPARAM lp) override {
        if (msg == WM_BROWSER_NOTIFY) {
            results.push_back(lp);
            return 0;
        }
        return DefaultMessage(msg, wp, lp);
    }
};

// Runs the thread's messages for `ms`, or until `done` holds.
template <class Pred>
void Pump(DWORD ms, Pred done) {
    const DWORD end = ::GetTickCount() + ms;
    while (!done() && int(::GetTickCount() - end) < 0) {
        MSG m;
        while (::PeekMessageW(&m, nullptr, 0, 0, PM_REMOVE)) {
            ::TranslateMessage(&m);
            ::DispatchMessageW(&m);
        }
        ::MsgWaitForMultipleObjects(0, nullptr, FALSE, 20, QS_ALLINPUT);
    }
}
void Pump(DWORD ms) {
    Pump(ms, [] { return false; });
}

// Serves one small page on 127.0.0.1 at a free port until destroyed; a server that
// `hangs` takes the requests and never answers.
class LoopbackPage {
public:
    explicit LoopbackPage(bool hangs = false) : hangs_(hangs) {
        WSADATA wsa;
        ::WSAStartup(MAKEWORD(2, 2), &wsa);
        listener_ = ::socket(AF_INET, SOCK_STREAM, IPPROTO_TCP);
        sockaddr_in addr{};
        addr.sin_family = AF_INET;
        addr.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
        ::bind(listener_, reinterpret_cast<sockaddr*>(&addr), sizeof(addr));
        int len = sizeof(addr);
        ::getsockname(listener_, reinterpret_cast<sockaddr*>(&addr), &len);
        port_ = ntohs(addr.sin_port);
        ::listen(listener_, 8);
        thread_ = std::thread([this] { Serve(); });
    }
    ~LoopbackPage() {
        stop_ = true;
        thread_.join();
        for (SOCKET s : held_) ::closesocket(s);
        ::closesocket(listener_);
        ::WSACleanup();
    }
    std::wstring Url() const { return L"http://127.0.0.1:" + std::to_wstring(port_) + L"/page.html"; }
    int Requests() const { return requests_; }

private:
    void Serve() {
        static const char kResponse[] =
            "HTTP/1.0 200 OK\r\nContent-Type: text/html\r\nConnection: close\r\n\r\n"
            "<html><body style='margin:0'><div style='width:300px;height:900px'>page</div></body></html>";
        while (!stop_) {
            fd_set set;
            FD_ZERO(&set);
            FD_SET(listener_, &set);
            timeval wait{0, 100000};
            if (::select(0, &set, nullptr, nullptr, &wait) != 1) continue;
            SOCKET s = ::accept(listener_, nullptr, nullptr);
            if (s == INVALID_SOCKET) continue;
            char request[4096];
            ::recv(s, request, sizeof(request), 0);
            ++requests_;
            if (hangs_) {
                held_.push_back(s);
                continue;
            }
            ::send(s, kResponse, int(sizeof(kResponse) - 1), 0);
            ::closesocket(s);
        }
    }

    bool hangs_;
    std::vector<SOCKET> held_;
    SOCKET listener_ = INVALID_SOCKET;
    int port_ = 0;
    std::atomic<bool> stop_{false};
    std::atomic<int> requests_{0};
    std::thread thread_;
};

class BrowserHost : public ::testing::Test {
protected:
    void SetUp() override { ::CoInitialize(nullptr); }
    void TearDown() override { ::CoUninitialize(); }
    RECT screen_{0, 0, 800, 600};
};

TEST_F(BrowserHost, BlankPageGivesNoResultAndANavigationExactlyOne) {
    ResultWindow parent;
    LoopbackPage page;
    {
        CKestrowBrowserView view(3000);
        ASSERT_TRUE(view.Create(parent.hwnd(), screen_, L"about:blank"));
        view.SetNotifyMessage(WM_BROWSER_NOTIFY);
        ASSERT_TRUE(view.HasBrowser());
        EXPECT_TRUE(view.IsSinkConnected());
        Pump(1000);
        EXPECT_TRUE(parent.results.empty()) << "the blank start page reports nothing";

        view.Navigate(page.Url());
        Pump(6000, [&] { return !parent.results.empty(); });
        Pump(1500);  // nothing more may follow
        ASSERT_EQ(parent.results.size(), 1u);
        RecordProperty("result", std::to_string(parent.results[0]));
        RecordProperty("requests", page.Requests());
        if (parent.results[0] == LOAD_OK) {
            // With an engine the page has its size; without one the measures stay 0.
            EXPECT_GE(view.GetPageHeight(), 0);
        }
    }
    EXPECT_FALSE(::IsWindow(::FindWindowExW(parent.hwnd(), nullptr, nullptr, nullptr)));
}

TEST_F(BrowserHost, AStalledPageTimesOutOnceCountedFromTheLastNavigation) {
    ResultWindow parent;
    LoopbackPage page(/*hangs=*/true);
    CKestrowBrowserView view(2000);
    ASSERT_TRUE(view.Create(parent.hwnd(), screen_, L"about:blank"));
    view.SetNotifyMessage(WM_BROWSER_NOTIFY);
    ASSERT_TRUE(view.HasBrowser());
    view.Navigate(page.Url());
    Pump(1200);
    EXPECT_TRUE(parent.results.empty());
    view.Navigate(page.Url());
    const DWORD restarted = ::GetTickCount();
    Pump(5000, [&] { return !parent.results.empty(); });
    const DWORD waited = ::GetTickCount() - restarted;
    Pump(1000);
    EXPECT_EQ(parent.results, std::vector<LPARAM>{LOAD_TIMEOUT});
    EXPECT_GE(waited, 1900u);
}

TEST_F(BrowserHost, WithoutAControlEveryNavigationEndsAtOnce) {
    ResultWindow parent;
    CKestrowBrowserView view(30000, CLSID_NULL);
    ASSERT_TRUE(view.Create(parent.hwnd(), screen_, L"about:blank"));
    view.SetNotifyMessage(WM_BROWSER_NOTIFY);
    EXPECT_FALSE(view.HasBrowser());
    EXPECT_TRUE(FAILED(view.Navigate(L"http://127.0.0.1:1/")));
    Pump(500, [&] { return !parent.results.empty(); });
    EXPECT_EQ(parent.results, std::vector<LPARAM>{LOAD_NO_BROWSER});
    EXPECT_EQ(view.GetPageWidth(), 0);
    EXPECT_EQ(view.SaveAsBitmap(L"C:\\never.bmp", nullptr), SaveResult::NothingDrawn);
}

TEST_F(BrowserHost, SecurityManagerRefusesWhatAPageCouldRunOrFetch) {
    CKestrowBrowserView view;
    IServiceProvider* provider = &view;
    win::ComPtr<IInternetSecurityManager> manager;
    ASSERT_EQ(provider->QueryService(SID_SInternetSecurityManager, IID_IInternetSecurityManager,
                                     reinterpret_cast<void**>(manager.Put())),
              S_OK);
    auto ask = [&](DWORD action, DWORD* policy) {
        *policy = 0xFFFFFFFF;
        return manager->ProcessUrlAction(L"http://a/", action, reinterpret_cast<BYTE*>(policy),
                                         sizeof(*policy), nullptr, 0, 0, 0);
    };
    DWORD policy;
    for (DWORD action :
         {URLACTION_ACTIVEX_RUN, URLACTION_ACTIVEX_OVERRIDE_OBJECT_SAFETY,
          URLACTION_ACTIVEX_OVERRIDE_DATA_SAFETY, URLACTION_ACTIVEX_OVERRIDE_SCRIPT_SAFETY,
          URLACTION_SCRIPT_OVERRIDE_SAFETY, URLACTION_DOWNLOAD_SIGNED_ACTIVEX,
          URLACTION_DOWNLOAD_UNSIGNED_ACTIVEX, URLACTION_SHELL_FILE_DOWNLOAD,
          URLACTION_SHELL_EXECUTE_HIGHRISK, URLACTION_HTML_JAVA_RUN, URLACTION_CROSS_DOMAIN_DATA}) {
        EXPECT_EQ(ask(action, &policy), S_FALSE) << std::hex << action;
        EXPECT_EQ(policy, DWORD(URLPOLICY_DISALLOW)) << std::hex << action;
    }
    EXPECT_EQ(ask(URLACTION_JAVA_PERMISSIONS, &policy), S_FALSE);
    EXPECT_EQ(policy, DWORD(URLPOLICY_JAVA_PROHIBIT));
    // Scripts and everything else: the zone decides, the buffer is not touched.
    EXPECT_EQ(ask(URLACTION_SCRIPT_RUN, &policy), INET_E_DEFAULT_ACTION);
    EXPECT_EQ(policy, 0xFFFFFFFFu);
    DWORD zone = 0;
    EXPECT_EQ(manager->MapUrlToZone(L"http://a/", &zone, 0), INET_E_DEFAULT_ACTION);
    void* out = &view;
    EXPECT_EQ(provider->QueryService(IID_IWebBrowserApp, IID_IUnknown, &out), E_NOINTERFACE);
    EXPECT_EQ(out, nullptr);
    EXPECT_EQ(provider->QueryService(SID_SInternetSecurityManager, IID_IUnknown, nullptr), E_POINTER);
}

TEST_F(BrowserHost, NewWindowsAreCancelled) {
    CKestrowBrowserView view;
    for (DISPID id : {DISPID_NEWWINDOW2, DISPID_NEWWINDOW3}) {
        VARIANT_BOOL cancel = VARIANT_FALSE;
        IDispatch* opened = nullptr;
        // Arguments arrive last first: Cancel is the second one.
        VARIANT args[5] = {};
        const UINT count = id == DISPID_NEWWINDOW2 ? 2 : 5;
        args[count - 1].vt = VT_DISPATCH | VT_BYREF;
        args[count - 1].ppdispVal = &opened;
        args[count - 2].vt = VT_BOOL | VT_BYREF;
        args[count - 2].pboolVal = &cancel;
        DISPPARAMS params{args, nullptr, count, 0};
        view.OnEvent(id, &params);
        EXPECT_EQ(cancel, VARIANT_TRUE) << id;
    }
}

TEST_F(BrowserHost, UiHandlerTurnsOffBordersScrollBarsAndMenus) {
    CDocHostUIHandler handler;
    DOCHOSTUIINFO info{sizeof(info)};
    info.dwDoubleClick = 7;
    EXPECT_EQ(handler.GetHostInfo(&info), S_OK);
    EXPECT_EQ(info.dwFlags, 0x0124001Eu);
    EXPECT_EQ(info.dwDoubleClick, 7u);
    EXPECT_EQ(handler.ShowContextMenu(0, nullptr, nullptr, nullptr), S_OK);
    EXPECT_EQ(handler.ShowUI(0, nullptr, nullptr, nullptr, nullptr), S_FALSE);
    IDispatch* external = reinterpret_cast<IDispatch*>(1);
    EXPECT_EQ(handler.GetExternal(&external), E_NOTIMPL);
    EXPECT_EQ(external, nullptr);
    void* out = &handler;
    EXPECT_EQ(handler.QueryInterface(IID_IDispatch, &out), E_NOINTERFACE);
    EXPECT_EQ(out, nullptr);
}

// The generic host hands the control's service requests to its site.
TEST_F(BrowserHost, ControlReachesTheSiteThroughTheClientSite) {
    ResultWindow window;
    CKestrowBrowserView site;
    win::AxHost host;
    host.SetSite(static_cast<IServiceProvider*>(&site));
    ASSERT_EQ(host.CreateControl(window.hwnd(), CLSID_WebBrowser), S_OK);
    win::ComPtr<IOleObject> object;
    ASSERT_EQ(host.QueryControl(IID_IOleObject, reinterpret_cast<void**>(object.Put())), S_OK);
    win::ComPtr<IOleClientSite> clientSite;
    ASSERT_EQ(object->GetClientSite(clientSite.Put()), S_OK);
    win::ComPtr<IServiceProvider> services;
    ASSERT_EQ(clientSite->QueryInterface(IID_IServiceProvider, reinterpret_cast<void**>(services.Put())),
              S_OK);
    win::ComPtr<IInternetSecurityManager> manager;
    EXPECT_EQ(services->QueryService(SID_SInternetSecurityManager, IID_IInternetSecurityManager,
                                     reinterpret_cast<void**>(manager.Put())),
              S_OK);
    EXPECT_EQ(static_cast<IInternetSecurityManager*>(&site), manager.Get());
    HWND where = nullptr;
    win::ComPtr<IOleInPlaceSite> inPlace;
    clientSite->QueryInterface(IID_IOleInPlaceSite, reinterpret_cast<void**>(inPlace.Put()));
    ASSERT_TRUE(inPlace);
    inPlace->GetWindow(&where);
    EXPECT_EQ(where, window.hwnd());
    object = {};
    clientSite = {};
    services = {};
    manager = {};
    inPlace = {};
    host.DestroyControl();
    EXPECT_FALSE(host.HasControl());
}

}  // namespace
}  // namespace kestrow::pagegrab
