#pragma once
// How Explorer loads toolbars, for one window of the stand-in: the toolbars this user had shown
// come back, and every browser helper object registered for Explorer (HKLM, without
// "NoExplorer") is created and given the browser as its site. IWebBrowser2::ShowBrowserBar
// then creates a band registered as a toolbar (through CoCreateInstance) in the toolbar strip,
// or removes it; which toolbars are shown is remembered per user for the next window.
#include <windows.h>
#include <exdisp.h>
#include <ocidl.h>

#include <string>
#include <vector>

#include "framework/com_ptr.h"

namespace vantorel::host {

// What the toolbars need of the tab they load into.
class ToolbarHost {
 public:
  virtual IWebBrowser2* Browser() = 0;  // a new reference
  virtual IUnknown* StripBand() const = 0;  // the band in the toolbar strip, or null
  virtual HRESULT AddBand(IUnknown* band) = 0;
  virtual void RemoveBand() = 0;
  // The toolbar area stays hidden whatever ShowBrowserBar asks, as on Windows 11 24H2.
  virtual bool ToolbarAreaHidden() const = 0;

 protected:
  ~ToolbarHost() = default;
};

// The CLSID as registry keys write it, in braces.
std::wstring ClsidText(REFCLSID clsid);

class ExplorerToolbars {
 public:
  explicit ExplorerToolbars(ToolbarHost& host) noexcept : host_(host) {}
  ~ExplorerToolbars() { Unload(); }
  ExplorerToolbars(const ExplorerToolbars&) = delete;
  ExplorerToolbars& operator=(const ExplorerToolbars&) = delete;

  void Load();
  // The helper objects are told SetSite(NULL) and released; the band stays with the host.
  void Unload() noexcept;
  // ShowBrowserBar: a CLSID that is not registered as a toolbar gives E_INVALIDARG; a second
  // band while one is shown, E_FAIL (the strip holds one). In a hidden toolbar area it succeeds
  // and is remembered, but no band is loaded.
  HRESULT Show(REFCLSID clsid, bool show);
  // The toolbars shown in this window.
  std::vector<CLSID> Shown() const;

 private:
  ToolbarHost& host_;
  CLSID band_ = CLSID_NULL;  // the toolbar shown, CLSID_NULL for none
  std::vector<ComPtr<IObjectWithSite>> helpers_;
};

}  // namespace vantorel::host
