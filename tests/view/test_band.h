#pragma once
// A band as the view operations see it: the view state with an input edit control, a band
// window that records the band messages, and the IDispatch that the browser's events reach.
// It lives as a COM object: when the stand-in holds the last reference (through the event
// connection), unadvising destroys it, as with the real band.
#include <windows.h>
#include <exdisp.h>
#include <ocidl.h>

#include <utility>
#include <vector>

#include "framework/com_object.h"
#include "host/explorer_host.h"
#include "view/band_view_state.h"

namespace vantorel::test {

class TestBand : public ComObject<TestBand>, public IDispatch, public CBandViewState, public InputBoxLink {
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

  // Connects the IDispatch to the browser's DWebBrowserEvents2; the cookie goes to the state.
  bool Advise();
  void SetText(const wchar_t* text) { SetWindowTextW(edit_, text); }
  HWND Edit() const { return edit_; }
  HWND BandWindow() const override { return IsWindow(window_) ? window_ : nullptr; }
  IWebBrowser2* Browser() const { return browser_.get(); }
  DWORD Cookie() const { return eventCookie_; }
  void DropBrowser() { browser_.reset(); }
  void SetBrowser(IWebBrowser2* browser) { browser_.attach(browser); }  // takes over the reference

  std::vector<std::pair<DWORD, DWORD>> runStates;

 private:
  HWND window_ = nullptr;
  HWND edit_ = nullptr;
  bool* destroyed_ = nullptr;
};

}  // namespace vantorel::test
