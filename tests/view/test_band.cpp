#include "tests/view/test_band.h"

#include "band/band_messages.h"
#include "tests/view/view_test_support.h"

namespace vantorel::test {

TestBand::TestBand(host::ExplorerHost& host, bool* destroyed) : destroyed_(destroyed) {
  browser_.attach(host.Browser());
  window_ = CreateBandWindow(host.ToolbarStrip());
  edit_ = CreateWindowExW(0, L"EDIT", L"", WS_CHILD | WS_VISIBLE | ES_AUTOHSCROLL, 0, 0, 150, 22, window_,
                          nullptr, nullptr, nullptr);
  inputBox_ = this;
  wrapper_.SetNotifyWindow(window_, WM_BAND_FOCUS_INPUT);
  if (destroyed_) *destroyed_ = false;
}

TestBand::~TestBand() {
  if (IsWindow(window_)) DestroyWindow(window_);
  if (destroyed_) *destroyed_ = true;
}

const InterfaceEntry* TestBand::Interfaces() {
  static const InterfaceEntry table[] = {VANTOREL_INTERFACE(TestBand, IDispatch), {}};
  return table;
}

STDMETHODIMP TestBand::Invoke(DISPID dispid, REFIID, LCID, WORD, DISPPARAMS* params, VARIANT*,
                              EXCEPINFO*, UINT*) {
  try {
    return OnBrowserEvent(dispid, params);
  } catch (...) {
    return E_UNEXPECTED;
  }
}

bool TestBand::Advise() {
  if (!browser_) return false;
  ComPtr<IConnectionPointContainer> container;
  if (FAILED(browser_.As(container))) return false;
  ComPtr<IConnectionPoint> point;
  if (FAILED(container->FindConnectionPoint(DIID_DWebBrowserEvents2, point.put())) || !point) return false;
  DWORD cookie = 0;
  if (FAILED(point->Advise(static_cast<IDispatch*>(this), &cookie))) return false;
  eventCookie_ = cookie;
  return true;
}

}  // namespace vantorel::test
