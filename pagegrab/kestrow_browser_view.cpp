#include "pagegrab/kestrow_browser_view.h"

#include <exdispid.h>

#include <cstring>

namespace kestrow::pagegrab {

namespace {

constexpr wchar_t kHostClass[] = L"KestrowAxHostWindow";

// Event arguments arrive last first; by-reference variants are unwrapped.
const VARIANT* Arg(DISPPARAMS* params, UINT indexFromFirst) {
    if (!params || indexFromFirst >= params->cArgs) return nullptr;
    const VARIANT* v = &params->rgvarg[params->cArgs - 1 - indexFromFirst];
    while (v && v->vt == (VT_VARIANT | VT_BYREF)) v = v->pvarVal;
    return v;
}

IDispatch* ArgDispatch(DISPPARAMS* params, UINT index) {
    const VARIANT* v = Arg(params, index);
    if (!v) return nullptr;
    if (v->vt == VT_DISPATCH) return v->pdispVal;
    if (v->vt == (VT_DISPATCH | VT_BYREF) && v->ppdispVal) return *v->ppdispVal;
    return nullptr;
}

const wchar_t* ArgString(DISPPARAMS* params, UINT index) {
    const VARIANT* v = Arg(params, index);
    if (!v) return nullptr;
    if (v->vt == VT_BSTR) return v->bstrVal ? v->bstrVal : L"";
    if (v->vt == (VT_BSTR | VT_BYREF) && v->pbstrVal) return *v->pbstrVal ? *v->pbstrVal : L"";
    return nullptr;
}

long ArgLong(DISPPARAMS* params, UINT index) {
    const VARIANT* v = Arg(params, index);
    if (!v) return 0;
    if (v->vt == VT_I4) return v->lVal;
    if (v->vt == (VT_I4 | VT_BYREF) && v->plVal) return *v->plVal;
    return 0;
}

void SetArgBool(DISPPARAMS* params, UINT index, bool value) {
    const VARIANT* v = Arg(params, index);
    if (v && v->vt == (VT_BOOL | VT_BYREF) && v->pboolVal)
        *v->pboolVal = value ? VARIANT_TRUE : VARIANT_FALSE;
}

// A BSTR owned for one call.
class Bstr {
public:
    explicit Bstr(const std::wstring& s) : b_(::SysAllocStringLen(s.data(), UINT(s.size()))) {}
    Bstr(const Bstr&) = delete;
    Bstr& operator=(const Bstr&) = delete;
    ~Bstr() { ::SysFreeString(b_); }
    BSTR Get() const { return b_; }

private:
    BSTR b_;
};

}  // namespace

// ---- CDocHostUIHandler ----------------------------------------------------------------

STDMETHODIMP CDocHostUIHandler::QueryInterface(REFIID iid, void** out) {
    if (!out) return E_POINTER;
    if (iid == IID_IUnknown || iid == IID_IDocHostUIHandler) {
        *out = static_cast<IDocHostUIHandler*>(this);
        return S_OK;
    }
    *out = nullptr;
    return E_NOINTERFACE;
}

STDMETHODIMP CDocHostUIHandler::GetHostInfo(DOCHOSTUIINFO* info) {
    if (!info) return E_POINTER;
    info->dwFlags = kHostFlags;
    return S_OK;
}

// The answers below supply nothing; the out values are cleared so that no caller reads
// whatever its variable held.
STDMETHODIMP CDocHostUIHandler::GetOptionKeyPath(LPOLESTR* key, DWORD) {
    if (key) *key = nullptr;
    return S_OK;
}

STDMETHODIMP CDocHostUIHandler::GetDropTarget(IDropTarget*, IDropTarget** target) {
    if (target) *target = nullptr;
    return S_OK;
}

STDMETHODIMP CDocHostUIHandler::GetExternal(IDispatch** external) {
    if (external) *external = nullptr;
    return E_NOTIMPL;
}

STDMETHODIMP CDocHostUIHandler::TranslateUrl(DWORD, LPWSTR, LPWSTR* out) {
    if (out) *out = nullptr;
    return S_OK;
}

STDMETHODIMP CDocHostUIHandler::FilterDataObject(IDataObject*, IDataObject** out) {
    if (out) *out = nullptr;
    return S_FALSE;
}

// ---- CKestrowBrowserView ----------------------------------------------------------------

// Matched on DISPID in this order; events without a handler are taken and ignored.
const CKestrowBrowserView::SinkEntry CKestrowBrowserView::kSinkTable[] = {
    {DISPID_STATUSTEXTCHANGE, nullptr},
    {DISPID_PROGRESSCHANGE, nullptr},
    {DISPID_COMMANDSTATECHANGE, nullptr},
    {DISPID_DOWNLOADBEGIN, nullptr},
    {DISPID_DOWNLOADCOMPLETE, nullptr},
    {DISPID_TITLECHANGE, nullptr},
    {DISPID_NAVIGATECOMPLETE2, nullptr},
    {DISPID_BEFORENAVIGATE2, &CKestrowBrowserView::OnBeforeNavigate2},
    {DISPID_PROPERTYCHANGE, nullptr},
    {DISPID_NEWWINDOW2, &CKestrowBrowserView::OnNewWindow},
    {DISPID_NEWWINDOW3, &CKestrowBrowserView::OnNewWindow},
    {DISPID_DOCUMENTCOMPLETE, &CKestrowBrowserView::OnDocumentComplete},
    {DISPID_NAVIGATEERROR, &CKestrowBrowserView::OnNavigateError},
    {DISPID_PRIVACYIMPACTEDSTATECHANGE, nullptr},
};

CKestrowBrowserView::CKestrowBrowserView(UINT loadTimeoutMs, const CLSID& control)
    : loadTimeoutMs_(loadTimeoutMs),
      control_(control),
      sink_(DIID_DWebBrowserEvents2, [this](DISPID id, DISPPARAMS* p) { OnEvent(id, p); }) {
    win::RegisterStandardClass(kHostClass);
}

CKestrowBrowserView::~CKestrowBrowserView() {
    Destroy();
    OnDestroy();
}

HWND CKestrowBrowserView::Create(HWND parent, const RECT& rect, const wchar_t* text) {
    parent_ = parent;
    return win::Window::Create({.className = kHostClass,
                                .title = text,
                                .style = WS_CHILD | WS_CLIPSIBLINGS | WS_CLIPCHILDREN,
                                .x = rect.left,
                                .y = rect.top,
                                .width = rect.right - rect.left,
                                .height = rect.bottom - rect.top,
                                .parent = parent});
}

LRESULT CKestrowBrowserView::HandleMessage(UINT msg, WPARAM wp, LPARAM lp) {
    switch (msg) {
        case WM_CREATE: OnCreate(); return 0;
        case WM_DESTROY: OnDestroy(); return 0;
        case WM_TIMER: OnTimer(wp); return 0;
        case WM_SIZE: host_.SetControlRect(RECT{0, 0, LOWORD(lp), HIWORD(lp)}); return 0;
    }
    return DefaultMessage(msg, wp, lp);
}

void CKestrowBrowserView::OnCreate() {
    // The site goes in first so that the control's very first service requests reach us.
    host_.SetSite(static_cast<IServiceProvider*>(this));
    if (FAILED(host_.CreateControl(hwnd(), control_))) return;
    if (FAILED(host_.QueryControl(IID_IWebBrowser2, reinterpret_cast<void**>(browser_.Put())))) return;
    if (FAILED(sink_.Connect(browser_.Get()))) {
        // Without events no navigation could ever complete: act as if there were no browser.
        browser_ = {};
        return;
    }
    wchar_t text[512] = {};
    ::GetWindowTextW(hwnd(), text, int(std::size(text)));
    if (text[0]) {
        Bstr url(text);
        VARIANT target{}, empty{};
        target.vt = VT_BSTR;
        target.bstrVal = url.Get();
        browser_->Navigate2(&target, &empty, &empty, &empty, &empty);
    }
}

void CKestrowBrowserView::OnDestroy() {
    if (hwnd()) ::KillTimer(hwnd(), TIMER_LOAD_TIMEOUT);
    sink_.Disconnect();
    browser_ = {};
    host_.DestroyControl();
    host_.SetSite(nullptr);
}

void CKestrowBrowserView::Notify(LPARAM code) {
    if (notify_ != 0 && parent_) ::PostMessageW(parent_, notify_, 0, code);
}

HRESULT CKestrowBrowserView::Navigate(const std::wstring& url) {
    if (!browser_ || !hwnd()) {
        // Nothing will ever load: say so now rather than after the time-out.
        Notify(LOAD_NO_BROWSER);
        return E_FAIL;
    }
    ::KillTimer(hwnd(), TIMER_LOAD_TIMEOUT);
    ::SetTimer(hwnd(), TIMER_LOAD_TIMEOUT, loadTimeoutMs_, nullptr);
    browser_->put_Silent(VARIANT_TRUE);
    Bstr text(url);
    VARIANT target{}, flags{}, empty{};
    target.vt = VT_BSTR;
    target.bstrVal = text.Get();
    flags.vt = VT_I4;
    flags.lVal = 0;
    return browser_->Navigate2(&target, &flags, &empty, &empty, &empty);
}

void CKestrowBrowserView::Stop() {
    if (browser_) browser_->Stop();
}

void CKestrowBrowserView::SetBrowserWidth(int width) {
    if (browser_) browser_->put_Width(width);
}

void CKestrowBrowserView::SetBrowserHeight(int height) {
    if (browser_) browser_->put_Height(height);
}

void CKestrowBrowserView::OnTimer(UINT_PTR id) {
    if (id != TIMER_LOAD_TIMEOUT) return;
    ::KillTimer(hwnd(), TIMER_LOAD_TIMEOUT);
    Stop();
    Notify(LOAD_TIMEOUT);
}

void CKestrowBrowserView::OnEvent(DISPID id, DISPPARAMS* params) {
    for (const SinkEntry& e : kSinkTable) {
        if (e.id != id) continue;
        if (e.handler) (this->*e.handler)(params);
        return;
    }
}

// BeforeNavigate2(pDisp, URL, Flags, TargetFrameName, PostData, Headers, Cancel)
void CKestrowBrowserView::OnBeforeNavigate2(DISPPARAMS* params) {
    if (!browser_) return;
    win::ComPtr<IDispatch> document;
    browser_->get_Document(document.Put());
    browser_->put_Resizable(VARIANT_FALSE);
    win::ComPtr<ICustomDoc> custom;
    if (document &&
        SUCCEEDED(document->QueryInterface(__uuidof(ICustomDoc), reinterpret_cast<void**>(custom.Put()))))
        custom->SetUIHandler(&uiHandler_);
    SetArgBool(params, 6, false);
}

// DocumentComplete(pDisp, URL): only the top-level document counts; the blank start
// page never does.
void CKestrowBrowserView::OnDocumentComplete(DISPPARAMS* params) {
    const wchar_t* url = ArgString(params, 1);
    if (url && wcscmp(url, L"about:blank") == 0) return;
    if (!browser_) return;
    win::ComPtr<IDispatch> self;
    browser_->QueryInterface(IID_IDispatch, reinterpret_cast<void**>(self.Put()));
    if (self && self.Get() == ArgDispatch(params, 0)) {
        ::KillTimer(hwnd(), TIMER_LOAD_TIMEOUT);
        Notify(LOAD_OK);
    }
}

// NavigateError(pDisp, URL, TargetFrameName, StatusCode, Cancel), frames included.
void CKestrowBrowserView::OnNavigateError(DISPPARAMS* params) {
    ::KillTimer(hwnd(), TIMER_LOAD_TIMEOUT);
    Notify(ArgLong(params, 3));
    Stop();
    SetArgBool(params, 4, true);
}

// NewWindow2(ppDisp, Cancel) and NewWindow3(ppDisp, Cancel, ...): a page being grabbed
// opens no windows of its own, hidden or not.
void CKestrowBrowserView::OnNewWindow(DISPPARAMS* params) { SetArgBool(params, 1, true); }

STDMETHODIMP CKestrowBrowserView::QueryInterface(REFIID iid, void** out) {
    if (!out) return E_POINTER;
    if (iid == IID_IUnknown || iid == IID_IServiceProvider)
        *out = static_cast<IServiceProvider*>(this);
    else if (iid == IID_IInternetSecurityManager)
        *out = static_cast<IInternetSecurityManager*>(this);
    else {
        *out = nullptr;
        return E_NOINTERFACE;
    }
    return S_OK;
}

STDMETHODIMP CKestrowBrowserView::QueryService(REFGUID service, REFIID iid, void** out) {
    if (!out) return E_POINTER;
    *out = nullptr;
    if (service == SID_SInternetSecurityManager) return QueryInterface(iid, out);
    return E_NOINTERFACE;
}

// The page is hidden and grabbed unattended: nothing it does may reach beyond drawing
// itself. What would run code, fetch or start files, or read another site's data is
// refused outright; answers that only spare a prompt nobody could see are given; the
// rest is the zone's own policy.
STDMETHODIMP CKestrowBrowserView::ProcessUrlAction(LPCWSTR, DWORD action, BYTE* policy, DWORD size, BYTE*,
                                                   DWORD, DWORD, DWORD) {
    DWORD answer = URLPOLICY_DISALLOW;
    bool allowed = false;
    switch (action) {
        case URLACTION_ACTIVEX_RUN:
        case URLACTION_ACTIVEX_OVERRIDE_OBJECT_SAFETY:
        case URLACTION_ACTIVEX_OVERRIDE_DATA_SAFETY:
        case URLACTION_ACTIVEX_OVERRIDE_SCRIPT_SAFETY:
        case URLACTION_ACTIVEX_CONFIRM_NOOBJECTSAFETY:
        case URLACTION_SCRIPT_OVERRIDE_SAFETY:
        case URLACTION_DOWNLOAD_SIGNED_ACTIVEX:
        case URLACTION_DOWNLOAD_UNSIGNED_ACTIVEX:
        case URLACTION_SHELL_FILE_DOWNLOAD:
        case URLACTION_SHELL_EXECUTE_HIGHRISK:
        case URLACTION_HTML_JAVA_RUN:
        case URLACTION_CROSS_DOMAIN_DATA:
        // No automatic prompting for downloads or controls (both are refused anyway).
        case URLACTION_AUTOMATIC_DOWNLOAD_UI:
        case URLACTION_AUTOMATIC_ACTIVEX_UI: break;
        case URLACTION_JAVA_PERMISSIONS: answer = URLPOLICY_JAVA_PROHIBIT; break;
        // The pop-up blocker on; insecure parts of a secure page shown without asking.
        case URLACTION_SHELL_POPUPMGR:
        case URLACTION_HTML_MIXED_CONTENT:
            answer = URLPOLICY_ALLOW;
            allowed = true;
            break;
        default: return INET_E_DEFAULT_ACTION;
    }
    if (!policy || size < sizeof(DWORD)) return E_INVALIDARG;
    memcpy(policy, &answer, sizeof(answer));
    // Java's "prohibit" has the same value as "allow": the result tells them apart.
    return allowed ? S_OK : S_FALSE;
}

win::ComPtr<IHTMLElement> CKestrowBrowserView::Body(win::ComPtr<IDispatch>* documentOut) {
    win::ComPtr<IHTMLElement> body;
    if (!browser_) return body;
    win::ComPtr<IDispatch> document;
    if (FAILED(browser_->get_Document(document.Put())) || !document) return body;
    win::ComPtr<IHTMLDocument2> html;
    if (FAILED(document->QueryInterface(IID_IHTMLDocument2, reinterpret_cast<void**>(html.Put()))))
        return body;
    html->get_body(body.Put());
    if (documentOut) *documentOut = document;
    return body;
}

int CKestrowBrowserView::PageMeasure(bool width) {
    win::ComPtr<IHTMLElement> body = Body();
    if (!body) return 0;
    long value = 0;
    win::ComPtr<IHTMLElement2> body2;
    if (SUCCEEDED(body->QueryInterface(IID_IHTMLElement2, reinterpret_cast<void**>(body2.Put())))) {
        if (width)
            body2->get_scrollWidth(&value);
        else
            body2->get_scrollHeight(&value);
    } else {
        if (width)
            body->get_offsetWidth(&value);
        else
            body->get_offsetHeight(&value);
    }
    return int(value);
}

int CKestrowBrowserView::GetPageWidth() { return PageMeasure(true); }
int CKestrowBrowserView::GetPageHeight() { return PageMeasure(false); }

SaveResult CKestrowBrowserView::SaveAsBitmap(const std::wstring& path, const SaveProgress& progress) {
    win::ComPtr<IDispatch> document;
    win::ComPtr<IHTMLElement> body = Body(&document);
    if (!body) return SaveResult::NothingDrawn;
    long width = 0, height = 0;
    body->get_offsetWidth(&width);
    body->get_offsetHeight(&height);
    return RenderToFile(document.Get(), path, int(width), int(height), progress);
}

SaveResult CKestrowBrowserView::RenderToFile(IDispatch* document, const std::wstring& path, int width,
                                             int height, const SaveProgress& progress) {
    if (!document) return SaveResult::NothingDrawn;
    win::ComPtr<IViewObject> view;
    if (FAILED(document->QueryInterface(IID_IViewObject, reinterpret_cast<void**>(view.Put()))))
        return SaveResult::NothingDrawn;
    // Each band is the whole page drawn with its origin moved up to the band's top.
    return WritePageImage(
        path, width, height,
        [&](HDC dc, int top, int rows) {
            win::WindowDC screen(nullptr);
            POINT old;
            ::SetViewportOrgEx(dc, 0, -top, &old);
            RECTL bounds{0, 0, width, height};
            const HRESULT hr = view->Draw(DVASPECT_CONTENT, 1, nullptr, nullptr, screen.Get(), dc, &bounds,
                                          nullptr, nullptr, 0);
            ::SetViewportOrgEx(dc, old.x, old.y, nullptr);
            return SUCCEEDED(hr);
        },
        progress);
}

}  // namespace kestrow::pagegrab
