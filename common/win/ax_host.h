#pragma once
// A small ActiveX control container: the client site, in-place site and frame that a
// control such as the system's WebBrowser needs to live in a child window, plus an
// IDispatch event sink that connects to a control's connection point. Neither object
// is heap-allocated by COM: each belongs by value to its owner, which must outlive the
// control (the owner calls DestroyControl / Disconnect before it goes).
#include <windows.h>

#include <ocidl.h>
#include <oleidl.h>
#include <servprov.h>

#include <functional>

#include "common/win/com.h"

namespace kestrow::win {

class AxHost final : public IOleClientSite,
                     public IOleInPlaceSite,
                     public IOleInPlaceFrame,
                     public IObjectWithSite,
                     public IServiceProvider {
public:
    AxHost() = default;
    AxHost(const AxHost&) = delete;
    AxHost& operator=(const AxHost&) = delete;
    ~AxHost() { DestroyControl(); }

    // Creates the control of `clsid` and activates it in place over the client area
    // of `window`. Fails when the class is not there or refuses to be activated.
    HRESULT CreateControl(HWND window, REFCLSID clsid);
    // Deactivates, closes and releases the control; idempotent.
    void DestroyControl();
    // The control's interface `iid`, or a failure when there is no control.
    HRESULT QueryControl(REFIID iid, void** out) const;
    // Moves the control to `rect` of the host window.
    void SetControlRect(const RECT& rect);
    bool HasControl() const { return static_cast<bool>(object_); }

    // IUnknown: the host's lifetime is its owner's, so counting only keeps COM happy.
    STDMETHODIMP QueryInterface(REFIID iid, void** out) override;
    STDMETHODIMP_(ULONG) AddRef() override { return 1; }
    STDMETHODIMP_(ULONG) Release() override { return 1; }

    // IOleClientSite
    STDMETHODIMP SaveObject() override { return E_NOTIMPL; }
    STDMETHODIMP GetMoniker(DWORD, DWORD, IMoniker** out) override;
    STDMETHODIMP GetContainer(IOleContainer** out) override;
    STDMETHODIMP ShowObject() override { return S_OK; }
    STDMETHODIMP OnShowWindow(BOOL) override { return S_OK; }
    STDMETHODIMP RequestNewObjectLayout() override { return E_NOTIMPL; }

    // IOleWindow (shared by the in-place site and frame)
    STDMETHODIMP GetWindow(HWND* out) override;
    STDMETHODIMP ContextSensitiveHelp(BOOL) override { return E_NOTIMPL; }

    // IOleInPlaceSite
    STDMETHODIMP CanInPlaceActivate() override { return S_OK; }
    STDMETHODIMP OnInPlaceActivate() override { return S_OK; }
    STDMETHODIMP OnUIActivate() override { return S_OK; }
    STDMETHODIMP GetWindowContext(IOleInPlaceFrame** frame, IOleInPlaceUIWindow** doc, LPRECT pos,
                                  LPRECT clip, LPOLEINPLACEFRAMEINFO info) override;
    STDMETHODIMP Scroll(SIZE) override { return E_NOTIMPL; }
    STDMETHODIMP OnUIDeactivate(BOOL) override { return S_OK; }
    STDMETHODIMP OnInPlaceDeactivate() override { return S_OK; }
    STDMETHODIMP DiscardUndoState() override { return S_OK; }
    STDMETHODIMP DeactivateAndUndo() override { return S_OK; }
    STDMETHODIMP OnPosRectChange(LPCRECT rect) override;

    // IOleInPlaceUIWindow / IOleInPlaceFrame: no menus, tool bars or borders to share.
    STDMETHODIMP GetBorder(LPRECT) override { return INPLACE_E_NOTOOLSPACE; }
    STDMETHODIMP RequestBorderSpace(LPCBORDERWIDTHS) override { return INPLACE_E_NOTOOLSPACE; }
    STDMETHODIMP SetBorderSpace(LPCBORDERWIDTHS) override { return S_OK; }
    STDMETHODIMP SetActiveObject(IOleInPlaceActiveObject*, LPCOLESTR) override { return S_OK; }
    STDMETHODIMP InsertMenus(HMENU, LPOLEMENUGROUPWIDTHS) override { return S_OK; }
    STDMETHODIMP SetMenu(HMENU, HOLEMENU, HWND) override { return S_OK; }
    STDMETHODIMP RemoveMenus(HMENU) override { return S_OK; }
    STDMETHODIMP SetStatusText(LPCOLESTR) override { return S_OK; }
    STDMETHODIMP EnableModeless(BOOL) override { return S_OK; }
    STDMETHODIMP TranslateAccelerator(LPMSG, WORD) override { return S_FALSE; }

    // IObjectWithSite: the site's IServiceProvider answers the control's service requests.
    STDMETHODIMP SetSite(IUnknown* site) override;
    STDMETHODIMP GetSite(REFIID iid, void** out) override;

    // IServiceProvider, forwarded to the site.
    STDMETHODIMP QueryService(REFGUID service, REFIID iid, void** out) override;

private:
    HWND window_ = nullptr;
    ComPtr<IOleObject> object_;
    ComPtr<IOleInPlaceObject> inPlace_;
    ComPtr<IUnknown> site_;
};

// An IDispatch that receives a source's events (DISPID and arguments) over the source's
// connection point for `events`.
class EventSink final : public IDispatch {
public:
    using Handler = std::function<void(DISPID, DISPPARAMS*)>;

    EventSink(REFIID events, Handler handler) : events_(events), handler_(std::move(handler)) {}
    EventSink(const EventSink&) = delete;
    EventSink& operator=(const EventSink&) = delete;
    ~EventSink() { Disconnect(); }

    HRESULT Connect(IUnknown* source);
    void Disconnect();
    bool IsConnected() const { return static_cast<bool>(point_); }

    STDMETHODIMP QueryInterface(REFIID iid, void** out) override;
    STDMETHODIMP_(ULONG) AddRef() override { return 1; }
    STDMETHODIMP_(ULONG) Release() override { return 1; }
    STDMETHODIMP GetTypeInfoCount(UINT*) override { return E_NOTIMPL; }
    STDMETHODIMP GetTypeInfo(UINT, LCID, ITypeInfo**) override { return E_NOTIMPL; }
    STDMETHODIMP GetIDsOfNames(REFIID, LPOLESTR*, UINT, LCID, DISPID*) override { return E_NOTIMPL; }
    STDMETHODIMP Invoke(DISPID id, REFIID, LCID, WORD, DISPPARAMS* params, VARIANT*, EXCEPINFO*,
                        UINT*) override;

private:
    IID events_;
    Handler handler_;
    ComPtr<IConnectionPoint> point_;
    DWORD cookie_ = 0;
};

}  // namespace kestrow::win
