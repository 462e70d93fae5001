#pragma once
// A band as the view operations see it: a view with an input edit control, a band window that
// records the band messages, and the IDispatch that the browser's events reach.
// It lives as a COM object: when the stand-in holds the last reference (through the event
// connection), unadvising destroys it, as with the real band.
#include <windows.h>
#include <exdisp.h>
#include <ocidl.h>

#include <utility>
#include <vector>

#include "framework/com_object.h"
#include "host/explorer_host.h"
#include "view/band_view.h"

namespace vantorel::test {

class TestBand : public ComObject<TestBand>, public IDispatch, public InputBoxLink, public CBandView {
 public:
  // On the stand-in's browser, with the edit control and band window in its toolbar strip.
  explicit TestBand(host::ExplorerHost& host, bool* destroyed = nullptr);
  ~TestBand() override;

  VANTOREL_IUNKNOWN_METHODS
  static const InterfaceEntry* Interfaces();

  // IDispatch: only Invoke does something, as with the band.
  STDMETHODIMP GetTypeInfoCount(UINT*) override { return E_NOTIMPL; }
  STDMETHODIMP GetTypeInfo(UINT, LCID, ITypeInfo**) override { return E_NOTIMPL; }
  STDMETHODIMP GetIDsOfNames(REFIID, LPOLESTR*, UINT, LCID, DISPID*) override { return E_NOTIMPL; }
  STDMETHODIMP Invoke(DISPID dispid, REFIID, LCID, WORD, DISPPARAMS* params, VARIANT*, EXCEPINFO*,
                      UINT*) override;

  // InputBoxLink
  HWND InputWindow() const override { return edit_; }
  void SetRunState(DWORD runMode, DWORD noMatch) override { runStates.emplace_back(runMode, noMatch); }
  LANGID TextLanguage() const override { return language; }

  // Connects the IDispatch to the browser's DWebBrowserEvents2.
  bool Advise() { Attach(ComPtr<IWebBrowser2>(Browser()).get(), this); return EventCookie() != 0; }
  void SetText(const wchar_t* text) { SetWindowTextW(edit_, text); }
  HWND Edit() const { return edit_; }
  HWND BandWindow() const { return IsWindow(window_) ? window_ : nullptr; }
  void DropBrowser() { Detach(false); }
  void SetBrowser(IWebBrowser2* browser) { Attach(browser, nullptr); browser->Release(); }  // takes it over
  Settings& CurrentSettings() { return settings_; }

  std::vector<std::pair<DWORD, DWORD>> runStates;
  LANGID language = MAKELANGID(LANG_JAPANESE, SUBLANG_JAPANESE_JAPAN);

 private:
  Settings settings_;
  HWND window_ = nullptr;
  HWND edit_ = nullptr;
  bool* destroyed_ = nullptr;
};

}  // namespace vantorel::test
