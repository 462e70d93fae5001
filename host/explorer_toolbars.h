#pragma once
// How Explorer loads toolbars, for one window of the stand-in: the toolbars this user had shown
// come back, and every browser helper object registered for Explorer (HKLM, without
// "NoExplorer") is created and given the browser as its site. IWebBrowser2::ShowBrowserBar
// then creates a band registered as a toolbar (through CoCreateInstance) in the toolbar strip,
// or removes it; which toolbars are shown is remembered per user for the next window.
#include <windows.h>
#include <ocidl.h>

#include <string>
#include <vector>

#include "framework/com_ptr.h"

namespace vantorel::host {

class ExplorerHost;

// The CLSID as registry keys write it, in braces.
std::wstring ClsidText(REFCLSID clsid);

class ExplorerToolbars {
 public:
  explicit ExplorerToolbars(ExplorerHost& host) noexcept : host_(host) {}
  ~ExplorerToolbars() { Unload(); }
  ExplorerToolbars(const ExplorerToolbars&) = delete;
  ExplorerToolbars& operator=(const ExplorerToolbars&) = delete;

  void Load();
  // The helper objects are told SetSite(NULL) and released; the band stays with the host.
  void Unload() noexcept;
  // ShowBrowserBar: a CLSID that is not registered as a toolbar gives E_INVALIDARG; a second
  // band while one is shown, E_FAIL (the strip holds one).
  HRESULT Show(REFCLSID clsid, bool show);
  // The toolbars shown in this window.
  std::vector<CLSID> Shown() const;

 private:
  ExplorerHost& host_;
  CLSID band_ = CLSID_NULL;  // the toolbar shown, CLSID_NULL for none
  std::vector<ComPtr<IObjectWithSite>> helpers_;
};

}  // namespace vantorel::host
