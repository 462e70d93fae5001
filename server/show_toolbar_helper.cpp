#include "server/show_toolbar_helper.h"

#include <exdisp.h>
#include <shlguid.h>
#include <shobjidl.h>

#include "framework/guard.h"
#include "framework/registry.h"
#include "view/shell_view.h"
#include "vantorel_h.h"

namespace vantorel {
namespace {

bool ShownBefore() noexcept {
  DWORD shown = 0;
  DWORD bytes = sizeof(shown);
  return RegGetValueW(HKEY_CURRENT_USER, kUserKey, kToolbarShownValue, RRF_RT_REG_DWORD, nullptr, &shown,
                      &bytes) == ERROR_SUCCESS &&
         shown != 0;
}

// The browser of a file-system window: a shell browser whose frame is not a web browser's.
bool IsShellBrowserWindow(IWebBrowser2* browser) noexcept {
  SHANDLE_PTR handle = 0;
  if (FAILED(browser->get_HWND(&handle)) || !handle) return false;
  wchar_t frameClass[32] = {};
  GetClassNameW(reinterpret_cast<HWND>(handle), frameClass, 32);
  if (lstrcmpW(frameClass, L"IEFrame") == 0) return false;
  return static_cast<bool>(ShellBrowserOf(browser));
}

void ShowBandOncePerUser(IUnknown* site) noexcept {
  if (ShownBefore()) return;
  ComPtr<IWebBrowser2> browser;
  if (FAILED(site->QueryInterface(IID_PPV_ARGS(browser.put()))) || !browser || !IsShellBrowserWindow(browser.get())) {
    return;
  }
  wchar_t clsid[40];
  if (!StringFromGUID2(CLSID_SelectorCore, clsid, 40)) return;
  VARIANT bar, show, size;
  VariantInit(&bar);
  VariantInit(&size);
  VariantInit(&show);
  V_VT(&bar) = VT_BSTR;
  V_BSTR(&bar) = SysAllocString(clsid);
  V_VT(&show) = VT_BOOL;
  V_BOOL(&show) = VARIANT_TRUE;
  if (V_BSTR(&bar) && SUCCEEDED(browser->ShowBrowserBar(&bar, &show, &size))) {
    registry::SetDword(HKEY_CURRENT_USER, kUserKey, kToolbarShownValue, 1);
  }
  VariantClear(&bar);
}

}  // namespace

const InterfaceEntry* CShowToolbarHelper::Interfaces() {
  static const InterfaceEntry table[] = {VANTOREL_INTERFACE(CShowToolbarHelper, IObjectWithSite), {}};
  return table;
}

CShowToolbarHelper::~CShowToolbarHelper() { StopWatching(); }

STDMETHODIMP CShowToolbarHelper::SetSite(IUnknown* site) {
  return GuardHresult([&]() -> HRESULT {
    StopWatching();
    site_ = ComPtr<IUnknown>(site);
    if (site) ShowBandOncePerUser(site);
    if (site) WatchTab(site);
    return S_OK;
  });
}

void CShowToolbarHelper::WatchTab(IUnknown* site) { watch_ = CTabWatch::WatchSite(site, ObjectUnknown()); }

void CShowToolbarHelper::StopWatching() noexcept {
  std::unique_ptr<CTabWatch> watch = std::move(watch_);
  if (watch) watch->Stop();
}

STDMETHODIMP CShowToolbarHelper::GetSite(REFIID riid, void** ppv) {
  if (!ppv) return E_POINTER;
  *ppv = nullptr;
  if (!site_) return E_FAIL;
  return site_->QueryInterface(riid, ppv);
}

HRESULT CreateShowToolbarHelper(IUnknown* outer, REFIID riid, void** ppv) noexcept {
  return CShowToolbarHelper::CreateInstance(outer, riid, ppv);
}

}  // namespace vantorel
