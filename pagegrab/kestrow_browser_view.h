#pragma once
// The hidden browser of the web capture dialog: the system's WebBrowser control in an
// ActiveX host window. It loads pages silently with a load time-out and posts exactly
// one result per navigation to its parent; it draws the loaded page for saving.
#include <windows.h>

#include <exdisp.h>
#include <mshtmhst.h>
#include <mshtml.h>
#include <urlmon.h>

#include "common/win/ax_host.h"
#include "common/win/com.h"
#include "common/win/window.h"
#include "pagegrab/browser_view.h"

namespace kestrow::pagegrab {

constexpr UINT_PTR TIMER_LOAD_TIMEOUT = 1;
constexpr UINT kLoadTimeoutMs = 30000;

// The document's UI handler: no context menu, no borders or scroll bars, no external
// object for scripts. Owned by value by the view, so it does not count references.
class CDocHostUIHandler final : public IDocHostUIHandler {
public:
    static constexpr DWORD kHostFlags = 0x0124001E;

    STDMETHODIMP QueryInterface(REFIID iid, void** out) override;
    STDMETHODIMP_(ULONG) AddRef() override { return 1; }
    STDMETHODIMP_(ULONG) Release() override { return 1; }
    STDMETHODIMP ShowContextMenu(DWORD, POINT*, IUnknown*, IDispatch*) override { return S_OK; }
    STDMETHODIMP GetHostInfo(DOCHOSTUIINFO* info) override;
    STDMETHODIMP ShowUI(DWORD, IOleInPlaceActiveObject*, IOleCommandTarget*, IOleInPlaceFrame*,
                        IOleInPlaceUIWindow*) override {
        return S_FALSE;
    }
    STDMETHODIMP HideUI() override { return S_OK; }
    STDMETHODIMP UpdateUI() override { return S_OK; }
    STDMETHODIMP EnableModeless(BOOL) override { return S_OK; }
    STDMETHODIMP OnDocWindowActivate(BOOL) override { return S_OK; }
    STDMETHODIMP OnFrameWindowActivate(BOOL) override { return S_OK; }
    STDMETHODIMP ResizeBorder(LPCRECT, IOleInPlaceUIWindow*, BOOL) override { return S_OK; }
    STDMETHODIMP TranslateAccelerator(LPMSG, const GUID*, DWORD) override { return S_OK; }
    STDMETHODIMP GetOptionKeyPath(LPOLESTR* key, DWORD) override;
    STDMETHODIMP GetDropTarget(IDropTarget*, IDropTarget** target) override;
    STDMETHODIMP GetExternal(IDispatch** external) override;
    STDMETHODIMP TranslateUrl(DWORD, LPWSTR, LPWSTR* out) override;
    STDMETHODIMP FilterDataObject(IDataObject*, IDataObject** out) override;
};

class CKestrowBrowserView final : public BrowserView,
                                  public win::Window,
                                  public IServiceProvider,
                                  public IInternetSecurityManager {
public:
    // `control` is what the host creates (tests pass a class that does not exist).
    explicit CKestrowBrowserView(UINT loadTimeoutMs = kLoadTimeoutMs,
                                 const CLSID& control = CLSID_WebBrowser);
    ~CKestrowBrowserView() override;

    // BrowserView
    HWND Create(HWND parent, const RECT& rect, const wchar_t* text) override;
    void SetNotifyMessage(UINT id) override { notify_ = id; }
    HRESULT Navigate(const std::wstring& url) override;
    int GetPageWidth() override;
    int GetPageHeight() override;
    void SetBrowserWidth(int width) override;
    void SetBrowserHeight(int height) override;
    SaveResult SaveAsBitmap(const std::wstring& path, const SaveProgress& progress) override;

    void Stop();
    bool HasBrowser() const { return static_cast<bool>(browser_); }
    bool IsSinkConnected() const { return sink_.IsConnected(); }

    // An event of the control, as its connection point delivers it.
    void OnEvent(DISPID id, DISPPARAMS* params);

    // IUnknown (shared by the service provider and the security manager)
    STDMETHODIMP QueryInterface(REFIID iid, void** out) override;
    STDMETHODIMP_(ULONG) AddRef() override { return 1; }
    STDMETHODIMP_(ULONG) Release() override { return 1; }

    // IServiceProvider
    STDMETHODIMP QueryService(REFGUID service, REFIID iid, void** out) override;

    // IInternetSecurityManager: a few URL actions are answered (see ProcessUrlAction);
    // everything else is left to the control's defaults.
    STDMETHODIMP SetSecuritySite(IInternetSecurityMgrSite*) override { return INET_E_DEFAULT_ACTION; }
    STDMETHODIMP GetSecuritySite(IInternetSecurityMgrSite**) override { return INET_E_DEFAULT_ACTION; }
    STDMETHODIMP MapUrlToZone(LPCWSTR, DWORD*, DWORD) override { return INET_E_DEFAULT_ACTION; }
    STDMETHODIMP GetSecurityId(LPCWSTR, BYTE*, DWORD*, DWORD_PTR) override { return INET_E_DEFAULT_ACTION; }
    STDMETHODIMP ProcessUrlAction(LPCWSTR, DWORD, BYTE* policy, DWORD size, BYTE*, DWORD, DWORD,
                                  DWORD) override;
    STDMETHODIMP QueryCustomPolicy(LPCWSTR, REFGUID, BYTE**, DWORD*, BYTE*, DWORD, DWORD) override {
        return INET_E_DEFAULT_ACTION;
    }
    STDMETHODIMP SetZoneMapping(DWORD, LPCWSTR, DWORD) override { return INET_E_DEFAULT_ACTION; }
    STDMETHODIMP GetZoneMappings(DWORD, IEnumString**, DWORD) override { return INET_E_DEFAULT_ACTION; }

    // Draws `document` at width × height a band at a time and writes it to `path`.
    static SaveResult RenderToFile(IDispatch* document, const std::wstring& path, int width, int height,
                                   const SaveProgress& progress);

protected:
    LRESULT HandleMessage(UINT msg, WPARAM wp, LPARAM lp) override;

private:
    struct SinkEntry {
        DISPID id;
        void (CKestrowBrowserView::*handler)(DISPPARAMS*);
    };
    static const SinkEntry kSinkTable[];

    void OnCreate();
    void OnDestroy();
    void OnTimer(UINT_PTR id);
    void OnBeforeNavigate2(DISPPARAMS* params);
    void OnDocumentComplete(DISPPARAMS* params);
    void OnNavigateError(DISPPARAMS* params);
    void OnNewWindow(DISPPARAMS* params);
    void Notify(LPARAM code);

    win::ComPtr<IHTMLElement> Body(win::ComPtr<IDispatch>* document = nullptr);
    int PageMeasure(bool width);

    UINT loadTimeoutMs_;
    CLSID control_;
    HWND parent_ = nullptr;
    UINT notify_ = 0;
    win::AxHost host_;
    win::EventSink sink_;
    win::ComPtr<IWebBrowser2> browser_;
    CDocHostUIHandler uiHandler_;
};

}  // namespace kestrow::pagegrab
