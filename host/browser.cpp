#include "host/browser.h"

#include <olectl.h>
#include <shlwapi.h>

#include <algorithm>

#include "framework/guard.h"

namespace vantorel::host {

// --- CEventPoint -------------------------------------------------------------------------

STDMETHODIMP CEventPoint::GetConnectionPointContainer(IConnectionPointContainer** out) {
  if (!out) return E_POINTER;
  *out = container_;
  if (!container_) return E_UNEXPECTED;
  container_->AddRef();
  return S_OK;
}

STDMETHODIMP CEventPoint::Advise(IUnknown* sink, DWORD* cookie) {
  return GuardHresult([&]() -> HRESULT {
    if (cookie) *cookie = 0;
    if (!sink || !cookie) return E_POINTER;
    ComPtr<IDispatch> dispatch;
    // A sink answers either the event interface itself or its plain IDispatch.
    if (FAILED(sink->QueryInterface(DIID_DWebBrowserEvents2, dispatch.put_void())) &&
        FAILED(sink->QueryInterface(IID_IDispatch, dispatch.put_void()))) {
      return CONNECT_E_CANNOTCONNECT;
    }
    DWORD next = nextCookie_ + 1;
    if (next == 0) next = 1;
    sinks_.push_back(Sink{next, dispatch});
    nextCookie_ = next;
    *cookie = next;
    return S_OK;
  });
}

STDMETHODIMP CEventPoint::Unadvise(DWORD cookie) {
  auto it = std::find_if(sinks_.begin(), sinks_.end(), [cookie](const Sink& s) { return s.cookie == cookie; });
  if (it == sinks_.end()) return CONNECT_E_NOCONNECTION;
  // The sink may go away with this release, and may even be calling us from its own Invoke:
  // take it out of the list first, release it last.
  ComPtr<IDispatch> released = std::move(it->sink);
  sinks_.erase(it);
  released.reset();
  return S_OK;
}

bool CEventPoint::Has(DWORD cookie) const noexcept {
  return std::any_of(sinks_.begin(), sinks_.end(), [cookie](const Sink& s) { return s.cookie == cookie; });
}

void CEventPoint::Fire(DISPID id, DISPPARAMS* params) noexcept {
  std::vector<Sink> snapshot;
  try {
    snapshot = sinks_;
  } catch (...) {
    return;
  }
  ComPtr<CEventPoint> self(this);  // a sink may drop the last reference to the browser
  DISPPARAMS none = {nullptr, nullptr, 0, 0};
  for (Sink& s : snapshot) {
    if (!Has(s.cookie)) continue;  // unadvised by an earlier sink of this round
    s.sink->Invoke(id, IID_NULL, LOCALE_USER_DEFAULT, DISPATCH_METHOD, params ? params : &none,
                   nullptr, nullptr, nullptr);
  }
}

void CEventPoint::DropAll() noexcept {
  std::vector<Sink> dropped;
  dropped.swap(sinks_);  // released once the list is empty, as a sink may call back
}

// --- CBrowser ----------------------------------------------------------------------------

CBrowser::CBrowser(BrowserHost* host) noexcept : host_(host) {
  events_ = MakeComObject<CEventPoint>(static_cast<IConnectionPointContainer*>(this));
}

CBrowser::~CBrowser() {
  if (events_) {
    events_->DetachContainer();
    events_->DropAll();
  }
}

const InterfaceEntry* CBrowser::Interfaces() {
  static const InterfaceEntry table[] = {
      VANTOREL_INTERFACE(CBrowser, IWebBrowser2),
      VANTOREL_INTERFACE_VIA(CBrowser, IWebBrowser2, IDispatch),
      VANTOREL_INTERFACE_VIA(CBrowser, IWebBrowser2, IWebBrowser),
      VANTOREL_INTERFACE_VIA(CBrowser, IWebBrowser2, IWebBrowserApp),
      VANTOREL_INTERFACE(CBrowser, IServiceProvider),
      VANTOREL_INTERFACE(CBrowser, IConnectionPointContainer),
      VANTOREL_INTERFACE(CBrowser, IShellBrowser),
      VANTOREL_INTERFACE_VIA(CBrowser, IShellBrowser, IOleWindow),
      VANTOREL_INTERFACE(CBrowser, IFolderFilterSite),
      VANTOREL_INTERFACE(CBrowser, ICommDlgBrowser),
      {}};
  return table;
}

STDMETHODIMP CBrowser::QueryInterface(REFIID riid, void** ppv) {
  if ((riid == IID_IFolderFilterSite || riid == IID_ICommDlgBrowser) && !(host_ && host_->OffersFilterSite())) {
    if (ppv) *ppv = nullptr;
    return ppv ? E_NOINTERFACE : E_POINTER;
  }
  return OuterQueryInterface(riid, ppv);
}

void CBrowser::Detach() noexcept {
  host_ = nullptr;
  filter_.reset();
  if (events_) events_->DropAll();
}

STDMETHODIMP CBrowser::SetFilter(IUnknown* filter) {
  ComPtr<IFolderFilter> given;
  if (filter && FAILED(filter->QueryInterface(IID_PPV_ARGS(given.put())))) return E_NOINTERFACE;
  filter_ = given;
  return S_OK;
}

bool CBrowser::Includes(PCUITEMID_CHILD child) noexcept {
  // The filter may call back into the browser: it is the call's own until it returns.
  ComPtr<IFolderFilter> filter = filter_;
  IShellFolder* folder = host_ ? host_->ShownFolder() : nullptr;
  if (!filter || !folder || !child) return true;
  return filter->ShouldShow(folder, host_->ShownFolderId(), child) != S_FALSE;
}

STDMETHODIMP CBrowser::Navigate(BSTR url, VARIANT*, VARIANT*, VARIANT*, VARIANT*) {
  if (!host_) return E_FAIL;
  if (!url) return E_INVALIDARG;
  return host_->Navigate(url) ? S_OK : E_FAIL;
}

STDMETHODIMP CBrowser::Navigate2(VARIANT* url, VARIANT*, VARIANT*, VARIANT*, VARIANT*) {
  if (!url) return E_INVALIDARG;
  VARIANT* v = url;
  if (V_VT(v) == (VT_BYREF | VT_VARIANT) && V_VARIANTREF(v)) v = V_VARIANTREF(v);
  if (V_VT(v) != VT_BSTR) return E_NOTIMPL;
  return Navigate(V_BSTR(v), nullptr, nullptr, nullptr, nullptr);
}

STDMETHODIMP CBrowser::Refresh() { return host_ && host_->Refresh() ? S_OK : E_FAIL; }

STDMETHODIMP CBrowser::get_Application(IDispatch** out) {
  if (!out) return E_POINTER;
  *out = static_cast<IWebBrowser2*>(this);
  AddRef();
  return S_OK;
}

HRESULT CBrowser::Location(BSTR* out, bool nameOnly) {
  if (!out) return E_POINTER;
  *out = nullptr;
  wchar_t path[MAX_PATH];
  if (!host_ || !host_->CurrentPath(path)) return E_FAIL;
  *out = SysAllocString(nameOnly ? PathFindFileNameW(path) : path);
  return *out ? S_OK : E_OUTOFMEMORY;
}

// The bar as a CLSID string; show as a boolean, true when left out.
STDMETHODIMP CBrowser::ShowBrowserBar(VARIANT* clsid, VARIANT* show, VARIANT*) {
  if (!host_) return E_FAIL;
  CLSID bar;
  if (!clsid || V_VT(clsid) != VT_BSTR || !V_BSTR(clsid) || FAILED(CLSIDFromString(V_BSTR(clsid), &bar))) {
    return E_INVALIDARG;
  }
  VARIANT flag;
  VariantInit(&flag);
  bool visible = !show || V_VT(show) == VT_EMPTY || V_VT(show) == VT_ERROR ||
                 (SUCCEEDED(VariantChangeType(&flag, show, 0, VT_BOOL)) && V_BOOL(&flag) != VARIANT_FALSE);
  return host_->ShowBrowserBar(bar, visible);
}

STDMETHODIMP CBrowser::Quit() {
  if (!host_) return E_FAIL;
  host_->RequestClose();
  return S_OK;
}

STDMETHODIMP CBrowser::get_HWND(SHANDLE_PTR* out) {
  if (!out) return E_POINTER;
  HWND frame = host_ ? host_->FrameForBrowser() : nullptr;
  *out = reinterpret_cast<SHANDLE_PTR>(frame);
  return frame ? S_OK : E_FAIL;
}

STDMETHODIMP CBrowser::get_Visible(VARIANT_BOOL* value) {
  return Give(value, host_ && IsWindowVisible(host_->Frame()) ? VARIANT_TRUE : VARIANT_FALSE);
}

STDMETHODIMP CBrowser::QueryService(REFGUID service, REFIID riid, void** ppv) {
  if (!ppv) return E_POINTER;
  *ppv = nullptr;
  if (service == SID_SWebBrowserApp || service == SID_SShellBrowser || service == SID_STopLevelBrowser ||
      service == IID_IWebBrowserApp) {
    return QueryInterface(riid, ppv);
  }
  return E_NOINTERFACE;  // what SVC_E_UNKNOWNSERVICE stands for in the headers
}

STDMETHODIMP CBrowser::FindConnectionPoint(REFIID riid, IConnectionPoint** out) {
  if (!out) return E_POINTER;
  *out = nullptr;
  if (riid != DIID_DWebBrowserEvents2 || !events_) return CONNECT_E_NOCONNECTION;
  *out = events_.get();  // the IConnectionPoint part of the object, not its start
  (*out)->AddRef();
  return S_OK;
}

STDMETHODIMP CBrowser::InsertMenusSB(HMENU, LPOLEMENUGROUPWIDTHS widths) {
  // The frame has no menu of its own: every group stays empty.
  if (widths) {
    for (LONG& w : widths->width) w = 0;
  }
  return S_OK;
}

STDMETHODIMP CBrowser::BrowseObject(PCUIDLIST_RELATIVE pidl, UINT flags) {
  if (!host_) return E_FAIL;
  // The view asks for this from inside its own message handling: the navigation, which
  // destroys that view, runs later from the frame's queue.
  host_->BrowseLater(pidl, flags);
  return S_OK;
}

STDMETHODIMP CBrowser::GetControlWindow(UINT, HWND* out) {
  // No status bar, tool bar or tree of the browser frame's own that a view could drive.
  if (!out) return E_POINTER;
  *out = nullptr;
  return E_FAIL;
}

STDMETHODIMP CBrowser::SendControlMsg(UINT, UINT, WPARAM, LPARAM, LRESULT* result) {
  if (result) *result = 0;
  return S_OK;
}

STDMETHODIMP CBrowser::QueryActiveShellView(IShellView** out) {
  if (!out) return E_POINTER;
  *out = host_ ? host_->ActiveView() : nullptr;
  if (!*out) return E_FAIL;
  (*out)->AddRef();
  return S_OK;
}

// --- CBandSite ---------------------------------------------------------------------------

STDMETHODIMP CBandSite::OnFocusChangeIS(IUnknown*, BOOL focus) {
  if (host_) host_->ReportFocus(focus);
  return S_OK;
}

// Of the commands a band sends its container, Explorer's band site knows the change of the
// band's sizes; the others are not offered here.
STDMETHODIMP CBandSite::Exec(const GUID* group, DWORD command, DWORD, VARIANT*, VARIANT*) {
  if (!group || *group != CGID_DeskBand) return OLECMDERR_E_UNKNOWNGROUP;
  if (command != DBID_BANDINFOCHANGED) return OLECMDERR_E_NOTSUPPORTED;
  if (host_) host_->BandInfoChanged();
  return S_OK;
}

STDMETHODIMP CBandSite::QueryService(REFGUID service, REFIID riid, void** ppv) {
  if (!ppv) return E_POINTER;
  *ppv = nullptr;
  if (!browser_) return E_FAIL;
  return browser_->QueryService(service, riid, ppv);
}

}  // namespace vantorel::host
