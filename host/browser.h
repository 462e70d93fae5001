#pragma once
// The stand-in's browser object and band site. Both talk to the host through BrowserHost;
// the host detaches them when it goes, after which they answer with failures.
#include <windows.h>
#include <exdisp.h>
#include <exdispid.h>
#include <ocidl.h>
#include <servprov.h>
#include <shlobj.h>
#include <shobjidl.h>

#include <vector>

#include "framework/com_object.h"
#include "framework/com_ptr.h"

namespace vantorel::host {

// What the browser and the site need of the host.
class BrowserHost {
 public:
  virtual HWND FrameForBrowser() const = 0;  // null when get_HWND is to fail
  virtual HWND Frame() const = 0;
  // What IShellBrowser::GetWindow answers: the frame, or the tab of a tabbed frame.
  virtual HWND ShellBrowserWindow() const = 0;
  virtual HWND ToolbarStrip() const = 0;
  virtual IShellView* ActiveView() const = 0;
  virtual bool Refresh() = 0;
  virtual bool Navigate(const wchar_t* path) = 0;
  virtual void BrowseLater(PCUIDLIST_RELATIVE pidl, UINT flags) = 0;
  virtual void RequestClose() = 0;
  virtual bool CurrentPath(wchar_t (&path)[MAX_PATH]) const = 0;
  virtual void ReportFocus(BOOL focus) = 0;
  // The band said its sizes changed (DBID_BANDINFOCHANGED): ask GetBandInfo again, lay out.
  virtual void BandInfoChanged() = 0;
  virtual HRESULT ShowBrowserBar(REFCLSID clsid, bool show) = 0;
  // Whether the browser answers IFolderFilterSite and ICommDlgBrowser.
  virtual bool OffersFilterSite() const = 0;
  // The shown folder and its absolute identifier list; null before the first navigation.
  virtual IShellFolder* ShownFolder() const = 0;
  virtual PCIDLIST_ABSOLUTE ShownFolderId() const = 0;

 protected:
  ~BrowserHost() = default;
};

// An out parameter answered with nothing, for what the stand-in does not have.
template <class T>
HRESULT Null(T** out) noexcept {
  if (!out) return E_POINTER;
  *out = nullptr;
  return E_NOTIMPL;
}

// An out parameter answered with a value that never changes.
template <class T, class V>
HRESULT Give(T* out, V value) noexcept {
  if (!out) return E_POINTER;
  *out = value;
  return S_OK;
}

// The DWebBrowserEvents2 connection point. Each advised sink is held with one reference until
// its Unadvise; firing works on a copy of the list so sinks may unadvise from inside Invoke.
class CEventPoint : public ComObject<CEventPoint>, public IConnectionPoint {
 public:
  explicit CEventPoint(IConnectionPointContainer* container) noexcept : container_(container) {}
  VANTOREL_IUNKNOWN_METHODS
  static const InterfaceEntry* Interfaces() {
    static const InterfaceEntry table[] = {VANTOREL_INTERFACE(CEventPoint, IConnectionPoint), {}};
    return table;
  }

  STDMETHODIMP GetConnectionInterface(IID* iid) override { return Give(iid, DIID_DWebBrowserEvents2); }
  STDMETHODIMP GetConnectionPointContainer(IConnectionPointContainer** out) override;
  STDMETHODIMP Advise(IUnknown* sink, DWORD* cookie) override;
  STDMETHODIMP Unadvise(DWORD cookie) override;
  STDMETHODIMP EnumConnections(IEnumConnections** out) override { return Null(out); }

  void Fire(DISPID id, DISPPARAMS* params) noexcept;
  int Count() const noexcept { return static_cast<int>(sinks_.size()); }
  // The advised sink for which match holds, or null (no reference added).
  template <class Match>
  IDispatch* FindSink(Match match) const {
    for (const Sink& s : sinks_) {
      if (match(s.sink.get())) return s.sink.get();
    }
    return nullptr;
  }
  void DropAll() noexcept;
  void DetachContainer() noexcept { container_ = nullptr; }

 private:
  struct Sink {
    DWORD cookie;
    ComPtr<IDispatch> sink;
  };
  bool Has(DWORD cookie) const noexcept;
  IConnectionPointContainer* container_;
  std::vector<Sink> sinks_;
  DWORD nextCookie_ = 0;
};

// An out parameter answered with a window; E_FAIL when there is none.
inline HRESULT GiveWindow(HWND* out, HWND window) noexcept {
  if (!out) return E_POINTER;
  *out = window;
  return window ? S_OK : E_FAIL;
}

// A property of the browser that the stand-in does not have: both halves answer E_NOTIMPL.
#define VANTOREL_NO_PROPERTY(Name, Type)                          \
  STDMETHODIMP get_##Name(Type*) override { return E_NOTIMPL; } \
  STDMETHODIMP put_##Name(Type) override { return E_NOTIMPL; }

// The browser of one tab. With a filter site (BrowserHost::OffersFilterSite) it filters its view
// as the platform documents it for the Explorer Browser: a client's IFolderFilter, given with
// IFolderFilterSite::SetFilter, decides through ICommDlgBrowser::IncludeObject, which the view
// asks for each item as it fills, which items show.
class CBrowser : public ComObject<CBrowser>,
                 public IWebBrowser2,
                 public IServiceProvider,
                 public IConnectionPointContainer,
                 public IShellBrowser,
                 public IFolderFilterSite,
                 public ICommDlgBrowser {
 public:
  explicit CBrowser(BrowserHost* host) noexcept;
  ~CBrowser() override;
  // IFolderFilterSite and ICommDlgBrowser only with a filter site.
  STDMETHODIMP QueryInterface(REFIID riid, void** ppv) override;
  STDMETHODIMP_(ULONG) AddRef() override { return OuterAddRef(); }
  STDMETHODIMP_(ULONG) Release() override { return OuterRelease(); }
  static const InterfaceEntry* Interfaces();

  void Detach() noexcept;
  CEventPoint* Events() const noexcept { return events_.get(); }
  // Whether the client's filter lets the child of the shown folder show (always without one).
  bool Includes(PCUITEMID_CHILD child) noexcept;
  bool Filtered() const noexcept { return static_cast<bool>(filter_); }

  // IDispatch
  STDMETHODIMP GetTypeInfoCount(UINT* count) override { return Give(count, 0u); }
  STDMETHODIMP GetTypeInfo(UINT, LCID, ITypeInfo** info) override { return Null(info); }
  STDMETHODIMP GetIDsOfNames(REFIID, LPOLESTR*, UINT, LCID, DISPID*) override { return E_NOTIMPL; }
  STDMETHODIMP Invoke(DISPID, REFIID, LCID, WORD, DISPPARAMS*, VARIANT*, EXCEPINFO*, UINT*) override {
    return DISP_E_MEMBERNOTFOUND;
  }
  // IWebBrowser
  STDMETHODIMP GoBack() override { return E_NOTIMPL; }
  STDMETHODIMP GoForward() override { return E_NOTIMPL; }
  STDMETHODIMP GoHome() override { return E_NOTIMPL; }
  STDMETHODIMP GoSearch() override { return E_NOTIMPL; }
  STDMETHODIMP Navigate(BSTR url, VARIANT*, VARIANT*, VARIANT*, VARIANT*) override;
  STDMETHODIMP Refresh() override;
  STDMETHODIMP Refresh2(VARIANT*) override { return Refresh(); }
  STDMETHODIMP Stop() override { return E_NOTIMPL; }
  STDMETHODIMP get_Application(IDispatch** out) override;
  STDMETHODIMP get_Parent(IDispatch** out) override { return get_Application(out); }
  STDMETHODIMP get_Container(IDispatch** out) override { return Null(out); }
  STDMETHODIMP get_Document(IDispatch** out) override { return Null(out); }
  STDMETHODIMP get_TopLevelContainer(VARIANT_BOOL* value) override { return Give(value, VARIANT_TRUE); }
  STDMETHODIMP get_Type(BSTR* out) override { return Null(out); }
  VANTOREL_NO_PROPERTY(Left, LONG)
  VANTOREL_NO_PROPERTY(Top, LONG)
  VANTOREL_NO_PROPERTY(Width, LONG)
  VANTOREL_NO_PROPERTY(Height, LONG)
  STDMETHODIMP get_LocationName(BSTR* out) override { return Location(out, true); }
  STDMETHODIMP get_LocationURL(BSTR* out) override { return Location(out, false); }
  STDMETHODIMP get_Busy(VARIANT_BOOL* value) override { return Give(value, VARIANT_FALSE); }
  // IWebBrowserApp
  STDMETHODIMP Quit() override;
  STDMETHODIMP ClientToWindow(int*, int*) override { return E_NOTIMPL; }
  STDMETHODIMP PutProperty(BSTR, VARIANT) override { return E_NOTIMPL; }
  STDMETHODIMP GetProperty(BSTR, VARIANT*) override { return E_NOTIMPL; }
  STDMETHODIMP get_Name(BSTR* out) override { return Null(out); }
  STDMETHODIMP get_HWND(SHANDLE_PTR* out) override;
  STDMETHODIMP get_FullName(BSTR* out) override { return Null(out); }
  STDMETHODIMP get_Path(BSTR* out) override { return Null(out); }
  STDMETHODIMP get_Visible(VARIANT_BOOL* value) override;
  STDMETHODIMP put_Visible(VARIANT_BOOL) override { return E_NOTIMPL; }
  VANTOREL_NO_PROPERTY(StatusBar, VARIANT_BOOL)
  STDMETHODIMP get_StatusText(BSTR* out) override { return Null(out); }
  STDMETHODIMP put_StatusText(BSTR) override { return E_NOTIMPL; }
  VANTOREL_NO_PROPERTY(ToolBar, int)
  VANTOREL_NO_PROPERTY(MenuBar, VARIANT_BOOL)
  VANTOREL_NO_PROPERTY(FullScreen, VARIANT_BOOL)
  // IWebBrowser2
  STDMETHODIMP Navigate2(VARIANT* url, VARIANT*, VARIANT*, VARIANT*, VARIANT*) override;
  STDMETHODIMP QueryStatusWB(OLECMDID, OLECMDF*) override { return E_NOTIMPL; }
  STDMETHODIMP ExecWB(OLECMDID, OLECMDEXECOPT, VARIANT*, VARIANT*) override { return E_NOTIMPL; }
  STDMETHODIMP ShowBrowserBar(VARIANT* clsid, VARIANT* show, VARIANT* size) override;
  STDMETHODIMP get_ReadyState(READYSTATE* state) override { return Give(state, READYSTATE_COMPLETE); }
  VANTOREL_NO_PROPERTY(Offline, VARIANT_BOOL)
  VANTOREL_NO_PROPERTY(Silent, VARIANT_BOOL)
  VANTOREL_NO_PROPERTY(RegisterAsBrowser, VARIANT_BOOL)
  VANTOREL_NO_PROPERTY(RegisterAsDropTarget, VARIANT_BOOL)
  VANTOREL_NO_PROPERTY(TheaterMode, VARIANT_BOOL)
  VANTOREL_NO_PROPERTY(AddressBar, VARIANT_BOOL)
  VANTOREL_NO_PROPERTY(Resizable, VARIANT_BOOL)

  // IServiceProvider
  STDMETHODIMP QueryService(REFGUID service, REFIID riid, void** ppv) override;
  // IConnectionPointContainer
  STDMETHODIMP EnumConnectionPoints(IEnumConnectionPoints** out) override { return Null(out); }
  STDMETHODIMP FindConnectionPoint(REFIID riid, IConnectionPoint** out) override;
  // IOleWindow / IShellBrowser
  STDMETHODIMP GetWindow(HWND* out) override { return GiveWindow(out, host_ ? host_->ShellBrowserWindow() : nullptr); }
  STDMETHODIMP ContextSensitiveHelp(BOOL) override { return E_NOTIMPL; }
  STDMETHODIMP InsertMenusSB(HMENU, LPOLEMENUGROUPWIDTHS widths) override;
  STDMETHODIMP SetMenuSB(HMENU, HOLEMENU, HWND) override { return S_OK; }
  STDMETHODIMP RemoveMenusSB(HMENU) override { return S_OK; }
  STDMETHODIMP SetStatusTextSB(LPCWSTR) override { return S_OK; }
  STDMETHODIMP EnableModelessSB(WINBOOL) override { return S_OK; }
  STDMETHODIMP TranslateAcceleratorSB(MSG*, WORD) override { return S_FALSE; }
  STDMETHODIMP BrowseObject(PCUIDLIST_RELATIVE pidl, UINT flags) override;
  STDMETHODIMP GetViewStateStream(DWORD, IStream** out) override { return Null(out); }
  STDMETHODIMP GetControlWindow(UINT id, HWND* out) override;
  STDMETHODIMP SendControlMsg(UINT id, UINT msg, WPARAM, LPARAM, LRESULT* result) override;
  STDMETHODIMP QueryActiveShellView(IShellView** out) override;
  STDMETHODIMP OnViewWindowActive(IShellView*) override { return S_OK; }
  STDMETHODIMP SetToolbarItems(LPTBBUTTONSB, UINT, UINT) override { return S_OK; }
  // IFolderFilterSite: a filter object (IFolderFilter), or null to show everything again.
  STDMETHODIMP SetFilter(IUnknown* filter) override;
  // ICommDlgBrowser: the view keeps its own handling of the default command and of its states.
  STDMETHODIMP OnDefaultCommand(IShellView*) override { return S_FALSE; }
  STDMETHODIMP OnStateChange(IShellView*, ULONG) override { return S_OK; }
  STDMETHODIMP IncludeObject(IShellView*, PCUITEMID_CHILD child) override { return Includes(child) ? S_OK : S_FALSE; }

 private:
  // The shown folder's path, or only its last part.
  HRESULT Location(BSTR* out, bool nameOnly);
  BrowserHost* host_;
  ComPtr<CEventPoint> events_;
  ComPtr<IFolderFilter> filter_;
};
#undef VANTOREL_NO_PROPERTY

// The band site: the toolbar strip as the band's parent, focus reports, the band's commands
// to its container, and the browser's services.
class CBandSite : public ComObject<CBandSite>,
                  public IOleWindow,
                  public IInputObjectSite,
                  public IOleCommandTarget,
                  public IServiceProvider {
 public:
  CBandSite(BrowserHost* host, IServiceProvider* browser) noexcept : host_(host), browser_(browser) {}
  VANTOREL_IUNKNOWN_METHODS
  static const InterfaceEntry* Interfaces() {
    static const InterfaceEntry table[] = {VANTOREL_INTERFACE(CBandSite, IOleWindow),
                                           VANTOREL_INTERFACE(CBandSite, IInputObjectSite),
                                           VANTOREL_INTERFACE(CBandSite, IOleCommandTarget),
                                           VANTOREL_INTERFACE(CBandSite, IServiceProvider), {}};
    return table;
  }
  void Detach() noexcept {
    host_ = nullptr;
    browser_.reset();
  }

  STDMETHODIMP GetWindow(HWND* out) override { return GiveWindow(out, host_ ? host_->ToolbarStrip() : nullptr); }
  STDMETHODIMP ContextSensitiveHelp(BOOL) override { return E_NOTIMPL; }
  STDMETHODIMP OnFocusChangeIS(IUnknown* object, BOOL focus) override;
  STDMETHODIMP QueryStatus(const GUID*, ULONG, OLECMD*, OLECMDTEXT*) override { return E_NOTIMPL; }
  STDMETHODIMP Exec(const GUID* group, DWORD command, DWORD options, VARIANT* in, VARIANT* out) override;
  STDMETHODIMP QueryService(REFGUID service, REFIID riid, void** ppv) override;

 private:
  BrowserHost* host_;
  ComPtr<IServiceProvider> browser_;
};

}  // namespace vantorel::host
