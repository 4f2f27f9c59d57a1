#include "media_host.h"

#include <ocidl.h>
#include <ole2.h>
#include <oleidl.h>

namespace {

const wchar_t kHostClassName[] = L"SoporaMediaHost";
// Posted to the host window, with no payload: the call to run is kept in the
// host's site, so that no message (another process's included) names code.
constexpr UINT kMsgHostCall = WM_APP + 1;
using HostCall = void (*)(void*);

// The client site of one hosted control. It lives in the host window and is
// released when the window goes.
// COM interfaces have no virtual destructor; the object deletes itself in Release.
#pragma GCC diagnostic push
#pragma GCC diagnostic ignored "-Wnon-virtual-dtor"
class HostSite : public IOleClientSite, public IOleInPlaceSite, public IOleInPlaceFrame {
 public:
  explicit HostSite(HWND window) : window_(window) {}
  virtual ~HostSite() = default;

  void SetPendingCall(HostCall call, void* context) {
    pendingCall_ = call;
    pendingContext_ = context;
  }
  // Runs the pending call once; a message with none pending does nothing.
  void RunPendingCall() {
    const HostCall call = pendingCall_;
    void* const context = pendingContext_;
    pendingCall_ = nullptr;
    pendingContext_ = nullptr;
    if (call) call(context);
  }

  HRESULT Attach(REFCLSID clsid, IUnknown** control) {
    HRESULT hr = CoCreateInstance(clsid, nullptr, CLSCTX_INPROC_SERVER, IID_IUnknown,
                                  reinterpret_cast<void**>(&control_));
    if (FAILED(hr)) return hr;
    // A control created without a stream wants to be told it starts afresh.
    IPersistStreamInit* persist = nullptr;
    if (SUCCEEDED(control_->QueryInterface(IID_IPersistStreamInit, reinterpret_cast<void**>(&persist)))) {
      persist->InitNew();
      persist->Release();
    }
    if (SUCCEEDED(control_->QueryInterface(IID_IOleObject, reinterpret_cast<void**>(&object_)))) {
      object_->SetClientSite(static_cast<IOleClientSite*>(this));
      RECT area{0, 0, 0, 0};
      // Audio needs no window of the control's own; a refusal to go in place is no failure.
      object_->DoVerb(OLEIVERB_INPLACEACTIVATE, nullptr, static_cast<IOleClientSite*>(this), 0,
                      window_, &area);
    }
    control_->AddRef();
    *control = control_;
    return S_OK;
  }

  void Detach() {
    if (object_) {
      IOleInPlaceObject* inPlace = nullptr;
      if (SUCCEEDED(object_->QueryInterface(IID_IOleInPlaceObject,
                                            reinterpret_cast<void**>(&inPlace)))) {
        inPlace->InPlaceDeactivate();
        inPlace->Release();
      }
      object_->Close(OLECLOSE_NOSAVE);
      object_->SetClientSite(nullptr);
      object_->Release();
      object_ = nullptr;
    }
    if (control_) {
      control_->Release();
      control_ = nullptr;
    }
  }

  // IUnknown
  HRESULT STDMETHODCALLTYPE QueryInterface(REFIID iid, void** out) override {
    if (!out) return E_POINTER;
    if (iid == IID_IUnknown || iid == IID_IOleClientSite)
      *out = static_cast<IOleClientSite*>(this);
    else if (iid == IID_IOleWindow || iid == IID_IOleInPlaceSite)
      *out = static_cast<IOleInPlaceSite*>(this);
    else if (iid == IID_IOleInPlaceUIWindow || iid == IID_IOleInPlaceFrame)
      *out = static_cast<IOleInPlaceFrame*>(this);
    else {
      *out = nullptr;
      return E_NOINTERFACE;
    }
    AddRef();
    return S_OK;
  }
  ULONG STDMETHODCALLTYPE AddRef() override { return static_cast<ULONG>(InterlockedIncrement(&references_)); }
  ULONG STDMETHODCALLTYPE Release() override {
    const LONG left = InterlockedDecrement(&references_);
    if (left == 0) delete this;
    return static_cast<ULONG>(left);
  }

  // IOleClientSite
  HRESULT STDMETHODCALLTYPE SaveObject() override { return E_NOTIMPL; }
  HRESULT STDMETHODCALLTYPE GetMoniker(DWORD, DWORD, IMoniker** moniker) override {
    if (moniker) *moniker = nullptr;
    return E_NOTIMPL;
  }
  HRESULT STDMETHODCALLTYPE GetContainer(IOleContainer** container) override {
    if (container) *container = nullptr;
    return E_NOINTERFACE;
  }
  HRESULT STDMETHODCALLTYPE ShowObject() override { return S_OK; }
  HRESULT STDMETHODCALLTYPE OnShowWindow(BOOL) override { return S_OK; }
  HRESULT STDMETHODCALLTYPE RequestNewObjectLayout() override { return E_NOTIMPL; }

  // IOleWindow (both the site and the frame)
  HRESULT STDMETHODCALLTYPE GetWindow(HWND* window) override {
    if (!window) return E_POINTER;
    *window = window_;
    return S_OK;
  }
  HRESULT STDMETHODCALLTYPE ContextSensitiveHelp(BOOL) override { return E_NOTIMPL; }

  // IOleInPlaceSite
  HRESULT STDMETHODCALLTYPE CanInPlaceActivate() override { return S_OK; }
  HRESULT STDMETHODCALLTYPE OnInPlaceActivate() override { return S_OK; }
  HRESULT STDMETHODCALLTYPE OnUIActivate() override { return S_OK; }
  HRESULT STDMETHODCALLTYPE GetWindowContext(IOleInPlaceFrame** frame, IOleInPlaceUIWindow** document,
                                             LPRECT position, LPRECT clip,
                                             LPOLEINPLACEFRAMEINFO info) override {
    if (!frame || !document || !position || !clip || !info) return E_POINTER;
    *frame = static_cast<IOleInPlaceFrame*>(this);
    AddRef();
    *document = nullptr;
    SetRectEmpty(position);
    SetRectEmpty(clip);
    info->fMDIApp = FALSE;
    info->hwndFrame = GetParent(window_);
    info->haccel = nullptr;
    info->cAccelEntries = 0;
    return S_OK;
  }
  HRESULT STDMETHODCALLTYPE Scroll(SIZE) override { return E_NOTIMPL; }
  HRESULT STDMETHODCALLTYPE OnUIDeactivate(BOOL) override { return S_OK; }
  HRESULT STDMETHODCALLTYPE OnInPlaceDeactivate() override { return S_OK; }
  HRESULT STDMETHODCALLTYPE DiscardUndoState() override { return E_NOTIMPL; }
  HRESULT STDMETHODCALLTYPE DeactivateAndUndo() override { return E_NOTIMPL; }
  HRESULT STDMETHODCALLTYPE OnPosRectChange(LPCRECT) override { return S_OK; }

  // IOleInPlaceUIWindow, IOleInPlaceFrame: no menus, tools or borders to share.
  HRESULT STDMETHODCALLTYPE GetBorder(LPRECT) override { return INPLACE_E_NOTOOLSPACE; }
  HRESULT STDMETHODCALLTYPE RequestBorderSpace(LPCBORDERWIDTHS) override { return INPLACE_E_NOTOOLSPACE; }
  HRESULT STDMETHODCALLTYPE SetBorderSpace(LPCBORDERWIDTHS) override { return S_OK; }
  HRESULT STDMETHODCALLTYPE SetActiveObject(IOleInPlaceActiveObject*, LPCOLESTR) override { return S_OK; }
  HRESULT STDMETHODCALLTYPE InsertMenus(HMENU, LPOLEMENUGROUPWIDTHS) override { return E_NOTIMPL; }
  HRESULT STDMETHODCALLTYPE SetMenu(HMENU, HOLEMENU, HWND) override { return S_OK; }
  HRESULT STDMETHODCALLTYPE RemoveMenus(HMENU) override { return E_NOTIMPL; }
  HRESULT STDMETHODCALLTYPE SetStatusText(LPCOLESTR) override { return S_OK; }
  HRESULT STDMETHODCALLTYPE EnableModeless(BOOL) override { return S_OK; }
  HRESULT STDMETHODCALLTYPE TranslateAccelerator(LPMSG, WORD) override { return S_FALSE; }

 private:
  LONG references_ = 1;
  HWND window_;
  HostCall pendingCall_ = nullptr;
  void* pendingContext_ = nullptr;
  IUnknown* control_ = nullptr;
  IOleObject* object_ = nullptr;
};

#pragma GCC diagnostic pop

LRESULT CALLBACK HostWindowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
  if (message == kMsgHostCall) {
    HostSite* site = reinterpret_cast<HostSite*>(GetWindowLongPtrW(window, GWLP_USERDATA));
    if (site) site->RunPendingCall();
    return 0;
  }
  if (message == WM_DESTROY) {
    HostSite* site = reinterpret_cast<HostSite*>(GetWindowLongPtrW(window, GWLP_USERDATA));
    if (site) {
      SetWindowLongPtrW(window, GWLP_USERDATA, 0);
      site->Detach();
      site->Release();
    }
  }
  return DefWindowProcW(window, message, wParam, lParam);
}

bool RegisterHostClass(HINSTANCE instance) {
  WNDCLASSEXW existing{};
  existing.cbSize = sizeof existing;
  if (GetClassInfoExW(instance, kHostClassName, &existing)) return true;
  WNDCLASSEXW wc{};
  wc.cbSize = sizeof wc;
  wc.lpfnWndProc = HostWindowProc;
  wc.hInstance = instance;
  wc.lpszClassName = kHostClassName;
  return RegisterClassExW(&wc) != 0 || GetLastError() == ERROR_CLASS_ALREADY_EXISTS;
}

}  // namespace

HWND CreateMediaHostWindow(HWND parent) {
  HINSTANCE instance = GetModuleHandleW(nullptr);
  if (!RegisterHostClass(instance)) return nullptr;
  return CreateWindowExW(0, kHostClassName, nullptr, WS_CHILD, 0, 0, 0, 0, parent, nullptr,
                         instance, nullptr);
}

bool PostHostCall(HWND host, void (*call)(void* context), void* context) {
  HostSite* site = IsWindow(host) ? reinterpret_cast<HostSite*>(GetWindowLongPtrW(host, GWLP_USERDATA)) : nullptr;
  if (!site) return false;
  site->SetPendingCall(call, context);
  return PostMessageW(host, kMsgHostCall, 0, 0) != FALSE;
}

HRESULT CreateHostedControl(HWND host, REFCLSID clsid, IUnknown** control) {
  *control = nullptr;
  if (!IsWindow(host) || GetWindowLongPtrW(host, GWLP_USERDATA)) return E_INVALIDARG;
  HostSite* site = new HostSite(host);
  const HRESULT hr = site->Attach(clsid, control);
  if (FAILED(hr)) {
    site->Detach();
    site->Release();
    return hr;
  }
  SetWindowLongPtrW(host, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(site));
  return S_OK;
}
