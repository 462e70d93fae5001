#include "tests/view/test_band.h"

#include "band/band_messages.h"
#include "tests/view/view_test_support.h"

namespace vantorel::test {

TestBand::TestBand(host::ExplorerHost& host, bool* destroyed) : CBandView(this, &settings_), destroyed_(destroyed) {
  SetBrowser(host.Browser());
  window_ = CreateBandWindow(host.ToolbarStrip());
  edit_ = CreateWindowExW(0, L"EDIT", L"", WS_CHILD | WS_VISIBLE | ES_AUTOHSCROLL, 0, 0, 150, 22, window_,
                          nullptr, nullptr, nullptr);
  Wrapper().SetNotifyWindow(window_, WM_BAND_FOCUS_INPUT);
  Keys().SetNotifyWindow(window_, WM_BAND_FOCUS_INPUT);
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

}  // namespace vantorel::test
