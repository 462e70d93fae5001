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
  virtual HWND FrameWindow() const = 0;
  virtual HWND StripWindow() const = 0;
  virtual IShellView* ActiveView() const = 0;
  virtual bool RefreshView() = 0;
  virtual bool NavigateFromBrowser(const wchar_t* path) = 0;
  virtual void BrowseLater(PCUIDLIST_RELATIVE pidl, UINT flags) = 0;
  virtual void RequestClose() = 0;
  virtual bool CurrentPath(wchar_t (&path)[MAX_PATH]) const = 0;
  virtual void ReportFocus(BOOL focus) = 0;
  // The band said its sizes changed (DBID_BANDINFOCHANGED): ask GetBandInfo again, lay out.
  virtual void BandInfoChanged() = 0;
  virtual HRESULT ShowBrowserBar(REFCLSID clsid, bool show) = 0;

 protected:
  ~BrowserHost() = default;
};

class CBrowser;

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

  STDMETHODIMP GetConnectionInterface(IID* iid) override;
  STDMETHODIMP GetConnectionPointContainer(IConnectionPointContainer** out) override;
  STDMETHODIMP Advise(IUnknown* sink, DWORD* cookie) override;
  STDMETHODIMP Unadvise(DWORD cookie) override;
  STDMETHODIMP EnumConnections(IEnumConnections** out) override;

  void Fire(DISPID id, DISPPARAMS* params) noexcept;
  int Count() const noexcept { return static_cast<int>(sinks_.size()); }
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

class CBrowser : public ComObject<CBrowser>,
                 public IWebBrowser2,
                 public IServiceProvider,
                 public IConnectionPointContainer,
                 public IShellBrowser {
 public:
  explicit CBrowser(BrowserHost* host) noexcept;
  ~CBrowser() override;
  VANTOREL_IUNKNOWN_METHODS
  static const InterfaceEntry* Interfaces();

  void Detach() noexcept;
  CEventPoint* Events() const noexcept { return events_.get(); }

  // IDispatch
  STDMETHODIMP GetTypeInfoCount(UINT* count) override;
  STDMETHODIMP GetTypeInfo(UINT, LCID, ITypeInfo** info) override;
  STDMETHODIMP GetIDsOfNames(REFIID, LPOLESTR*, UINT, LCID, DISPID*) override;
  STDMETHODIMP Invoke(DISPID, REFIID, LCID, WORD, DISPPARAMS*, VARIANT*, EXCEPINFO*, UINT*) override;
  // IWebBrowser
  STDMETHODIMP GoBack() override { return E_NOTIMPL; }
  STDMETHODIMP GoForward() override { return E_NOTIMPL; }
  STDMETHODIMP GoHome() override { return E_NOTIMPL; }
  STDMETHODIMP GoSearch() override { return E_NOTIMPL; }
  STDMETHODIMP Navigate(BSTR url, VARIANT*, VARIANT*, VARIANT*, VARIANT*) override;
  STDMETHODIMP Refresh() override;
  STDMETHODIMP Refresh2(VARIANT* level) override;
  STDMETHODIMP Stop() override { return E_NOTIMPL; }
  STDMETHODIMP get_Application(IDispatch** out) override;
  STDMETHODIMP get_Parent(IDispatch** out) override;
  STDMETHODIMP get_Container(IDispatch** out) override { return Null(out); }
  STDMETHODIMP get_Document(IDispatch** out) override { return Null(out); }
  STDMETHODIMP get_TopLevelContainer(VARIANT_BOOL* value) override;
  STDMETHODIMP get_Type(BSTR* out) override { return Null(out); }
  STDMETHODIMP get_Left(LONG*) override { return E_NOTIMPL; }
  STDMETHODIMP put_Left(LONG) override { return E_NOTIMPL; }
  STDMETHODIMP get_Top(LONG*) override { return E_NOTIMPL; }
  STDMETHODIMP put_Top(LONG) override { return E_NOTIMPL; }
  STDMETHODIMP get_Width(LONG*) override { return E_NOTIMPL; }
  STDMETHODIMP put_Width(LONG) override { return E_NOTIMPL; }
  STDMETHODIMP get_Height(LONG*) override { return E_NOTIMPL; }
  STDMETHODIMP put_Height(LONG) override { return E_NOTIMPL; }
  STDMETHODIMP get_LocationName(BSTR* out) override;
  STDMETHODIMP get_LocationURL(BSTR* out) override;
  STDMETHODIMP get_Busy(VARIANT_BOOL* value) override;
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
  STDMETHODIMP get_StatusBar(VARIANT_BOOL*) override { return E_NOTIMPL; }
  STDMETHODIMP put_StatusBar(VARIANT_BOOL) override { return E_NOTIMPL; }
  STDMETHODIMP get_StatusText(BSTR* out) override { return Null(out); }
  STDMETHODIMP put_StatusText(BSTR) override { return E_NOTIMPL; }
  STDMETHODIMP get_ToolBar(int*) override { return E_NOTIMPL; }
  STDMETHODIMP put_ToolBar(int) override { return E_NOTIMPL; }
  STDMETHODIMP get_MenuBar(VARIANT_BOOL*) override { return E_NOTIMPL; }
  STDMETHODIMP put_MenuBar(VARIANT_BOOL) override { return E_NOTIMPL; }
  STDMETHODIMP get_FullScreen(VARIANT_BOOL*) override { return E_NOTIMPL; }
  STDMETHODIMP put_FullScreen(VARIANT_BOOL) override { return E_NOTIMPL; }
  // IWebBrowser2
  STDMETHODIMP Navigate2(VARIANT* url, VARIANT*, VARIANT*, VARIANT*, VARIANT*) override;
  STDMETHODIMP QueryStatusWB(OLECMDID, OLECMDF*) override { return E_NOTIMPL; }
  STDMETHODIMP ExecWB(OLECMDID, OLECMDEXECOPT, VARIANT*, VARIANT*) override { return E_NOTIMPL; }
  STDMETHODIMP ShowBrowserBar(VARIANT* clsid, VARIANT* show, VARIANT* size) override;
  STDMETHODIMP get_ReadyState(READYSTATE* state) override;
  STDMETHODIMP get_Offline(VARIANT_BOOL*) override { return E_NOTIMPL; }
  STDMETHODIMP put_Offline(VARIANT_BOOL) override { return E_NOTIMPL; }
  STDMETHODIMP get_Silent(VARIANT_BOOL*) override { return E_NOTIMPL; }
  STDMETHODIMP put_Silent(VARIANT_BOOL) override { return E_NOTIMPL; }
  STDMETHODIMP get_RegisterAsBrowser(VARIANT_BOOL*) override { return E_NOTIMPL; }
  STDMETHODIMP put_RegisterAsBrowser(VARIANT_BOOL) override { return E_NOTIMPL; }
  STDMETHODIMP get_RegisterAsDropTarget(VARIANT_BOOL*) override { return E_NOTIMPL; }
  STDMETHODIMP put_RegisterAsDropTarget(VARIANT_BOOL) override { return E_NOTIMPL; }
  STDMETHODIMP get_TheaterMode(VARIANT_BOOL*) override { return E_NOTIMPL; }
  STDMETHODIMP put_TheaterMode(VARIANT_BOOL) override { return E_NOTIMPL; }
  STDMETHODIMP get_AddressBar(VARIANT_BOOL*) override { return E_NOTIMPL; }
  STDMETHODIMP put_AddressBar(VARIANT_BOOL) override { return E_NOTIMPL; }
  STDMETHODIMP get_Resizable(VARIANT_BOOL*) override { return E_NOTIMPL; }
  STDMETHODIMP put_Resizable(VARIANT_BOOL) override { return E_NOTIMPL; }

  // IServiceProvider
  STDMETHODIMP QueryService(REFGUID service, REFIID riid, void** ppv) override;
  // IConnectionPointContainer
  STDMETHODIMP EnumConnectionPoints(IEnumConnectionPoints** out) override;
  STDMETHODIMP FindConnectionPoint(REFIID riid, IConnectionPoint** out) override;
  // IOleWindow / IShellBrowser
  STDMETHODIMP GetWindow(HWND* out) override;
  STDMETHODIMP ContextSensitiveHelp(BOOL) override { return E_NOTIMPL; }
  STDMETHODIMP InsertMenusSB(HMENU, LPOLEMENUGROUPWIDTHS widths) override;
  STDMETHODIMP SetMenuSB(HMENU, HOLEMENU, HWND) override { return S_OK; }
  STDMETHODIMP RemoveMenusSB(HMENU) override { return S_OK; }
  STDMETHODIMP SetStatusTextSB(LPCWSTR) override { return S_OK; }
  STDMETHODIMP EnableModelessSB(WINBOOL) override { return S_OK; }
  STDMETHODIMP TranslateAcceleratorSB(MSG*, WORD) override { return S_FALSE; }
  STDMETHODIMP BrowseObject(PCUIDLIST_RELATIVE pidl, UINT flags) override;
  STDMETHODIMP GetViewStateStream(DWORD, IStream** out) override;
  STDMETHODIMP GetControlWindow(UINT id, HWND* out) override;
  STDMETHODIMP SendControlMsg(UINT id, UINT msg, WPARAM, LPARAM, LRESULT* result) override;
  STDMETHODIMP QueryActiveShellView(IShellView** out) override;
  STDMETHODIMP OnViewWindowActive(IShellView*) override { return S_OK; }
  STDMETHODIMP SetToolbarItems(LPTBBUTTONSB, UINT, UINT) override { return S_OK; }

 private:
  template <class T>
  static HRESULT Null(T** out) noexcept {
    if (!out) return E_POINTER;
    *out = nullptr;
    return E_NOTIMPL;
  }
  BrowserHost* host_;
  ComPtr<CEventPoint> events_;
};

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

  STDMETHODIMP GetWindow(HWND* out) override;
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
