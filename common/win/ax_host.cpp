#include "common/win/ax_host.h"

namespace kestrow::win {

HRESULT AxHost::CreateControl(HWND window, REFCLSID clsid) {
    DestroyControl();
    window_ = window;
    HRESULT hr = ::CoCreateInstance(clsid, nullptr, CLSCTX_INPROC_SERVER, IID_IOleObject,
                                    reinterpret_cast<void**>(object_.Put()));
    if (FAILED(hr)) return hr;
    hr = object_->SetClientSite(static_cast<IOleClientSite*>(this));
    if (SUCCEEDED(hr)) {
        ComPtr<IPersistStreamInit> persist;
        if (SUCCEEDED(
                object_->QueryInterface(IID_IPersistStreamInit, reinterpret_cast<void**>(persist.Put()))))
            persist->InitNew();
        RECT rect;
        ::GetClientRect(window_, &rect);
        hr = object_->DoVerb(OLEIVERB_INPLACEACTIVATE, nullptr, static_cast<IOleClientSite*>(this), 0,
                             window_, &rect);
    }
    if (SUCCEEDED(hr))
        object_->QueryInterface(IID_IOleInPlaceObject, reinterpret_cast<void**>(inPlace_.Put()));
    if (FAILED(hr)) DestroyControl();
    return hr;
}

void AxHost::DestroyControl() {
    if (inPlace_) inPlace_->InPlaceDeactivate();
    inPlace_ = {};
    if (object_) {
        object_->Close(OLECLOSE_NOSAVE);
        object_->SetClientSite(nullptr);
    }
    object_ = {};
}

HRESULT AxHost::QueryControl(REFIID iid, void** out) const {
    if (!out) return E_POINTER;
    *out = nullptr;
    return object_ ? object_->QueryInterface(iid, out) : E_NOINTERFACE;
}

void AxHost::SetControlRect(const RECT& rect) {
    if (inPlace_) inPlace_->SetObjectRects(&rect, &rect);
}

STDMETHODIMP AxHost::QueryInterface(REFIID iid, void** out) {
    if (!out) return E_POINTER;
    if (iid == IID_IUnknown || iid == IID_IOleClientSite)
        *out = static_cast<IOleClientSite*>(this);
    else if (iid == IID_IOleWindow || iid == IID_IOleInPlaceSite)
        *out = static_cast<IOleInPlaceSite*>(this);
    else if (iid == IID_IOleInPlaceUIWindow || iid == IID_IOleInPlaceFrame)
        *out = static_cast<IOleInPlaceFrame*>(this);
    else if (iid == IID_IObjectWithSite)
        *out = static_cast<IObjectWithSite*>(this);
    else if (iid == IID_IServiceProvider)
        *out = static_cast<IServiceProvider*>(this);
    else {
        *out = nullptr;
        return E_NOINTERFACE;
    }
    return S_OK;
}

STDMETHODIMP AxHost::GetMoniker(DWORD, DWORD, IMoniker** out) {
    if (out) *out = nullptr;
    return E_NOTIMPL;
}

STDMETHODIMP AxHost::GetContainer(IOleContainer** out) {
    if (out) *out = nullptr;
    return E_NOINTERFACE;
}

STDMETHODIMP AxHost::GetWindow(HWND* out) {
    if (!out) return E_POINTER;
    *out = window_;
    return window_ ? S_OK : E_FAIL;
}

STDMETHODIMP AxHost::GetWindowContext(IOleInPlaceFrame** frame, IOleInPlaceUIWindow** doc, LPRECT pos,
                                      LPRECT clip, LPOLEINPLACEFRAMEINFO info) {
    if (frame) {
        *frame = static_cast<IOleInPlaceFrame*>(this);
        AddRef();
    }
    if (doc) *doc = nullptr;
    if (pos) ::GetClientRect(window_, pos);
    if (clip) ::GetClientRect(window_, clip);
    if (info) {
        info->fMDIApp = FALSE;
        info->hwndFrame = ::GetAncestor(window_, GA_ROOT);
        info->haccel = nullptr;
        info->cAccelEntries = 0;
    }
    return S_OK;
}

STDMETHODIMP AxHost::OnPosRectChange(LPCRECT rect) {
    if (rect) SetControlRect(*rect);
    return S_OK;
}

STDMETHODIMP AxHost::SetSite(IUnknown* site) {
    site_ = {};
    if (site) {
        site->AddRef();
        *site_.Put() = site;
    }
    return S_OK;
}

STDMETHODIMP AxHost::GetSite(REFIID iid, void** out) {
    if (!out) return E_POINTER;
    *out = nullptr;
    return site_ ? site_->QueryInterface(iid, out) : E_FAIL;
}

STDMETHODIMP AxHost::QueryService(REFGUID service, REFIID iid, void** out) {
    if (!out) return E_POINTER;
    *out = nullptr;
    ComPtr<IServiceProvider> provider;
    if (!site_ ||
        FAILED(site_->QueryInterface(IID_IServiceProvider, reinterpret_cast<void**>(provider.Put()))))
        return E_NOINTERFACE;
    return provider->QueryService(service, iid, out);
}

HRESULT EventSink::Connect(IUnknown* source) {
    Disconnect();
    if (!source) return E_POINTER;
    ComPtr<IConnectionPointContainer> container;
    HRESULT hr =
        source->QueryInterface(IID_IConnectionPointContainer, reinterpret_cast<void**>(container.Put()));
    if (SUCCEEDED(hr)) hr = container->FindConnectionPoint(events_, point_.Put());
    if (SUCCEEDED(hr)) hr = point_->Advise(static_cast<IDispatch*>(this), &cookie_);
    if (FAILED(hr)) {
        point_ = {};
        cookie_ = 0;
    }
    return hr;
}

void EventSink::Disconnect() {
    if (point_) point_->Unadvise(cookie_);
    point_ = {};
    cookie_ = 0;
}

STDMETHODIMP EventSink::QueryInterface(REFIID iid, void** out) {
    if (!out) return E_POINTER;
    if (iid == IID_IUnknown || iid == IID_IDispatch || iid == events_) {
        *out = static_cast<IDispatch*>(this);
        return S_OK;
    }
    *out = nullptr;
    return E_NOINTERFACE;
}

STDMETHODIMP EventSink::Invoke(DISPID id, REFIID, LCID, WORD, DISPPARAMS* params, VARIANT*, EXCEPINFO*,
                               UINT*) {
    if (handler_) handler_(id, params);
    return S_OK;
}

}  // namespace kestrow::win
