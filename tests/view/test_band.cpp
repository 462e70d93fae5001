#include "tests/view/test_band.h"

#include "band/band_messages.h"

namespace vantorel::test {
namespace {

LRESULT CALLBACK BandWindowProc(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam) {
  if (msg == WM_BAND_FOCUS_INPUT) {
    ++TestBand::focusRequests;
    return 0;
  }
  return DefWindowProcW(hwnd, msg, wParam, lParam);
}

}  // namespace

int TestBand::focusRequests = 0;

TestBand::TestBand(IWebBrowser2* browser, HWND parent, bool* destroyed) : destroyed_(destroyed) {
  browser_ = ComPtr<IWebBrowser2>(browser);
  WNDCLASSW wc = {};
  wc.lpfnWndProc = &BandWindowProc;
  wc.hInstance = GetModuleHandleW(nullptr);
  wc.lpszClassName = L"VantorelTestBandWindow";
  RegisterClassW(&wc);
  DWORD childStyle = parent ? WS_CHILD | WS_VISIBLE : WS_POPUP;
  window_ = CreateWindowExW(0, wc.lpszClassName, L"", childStyle, 0, 0, 200, 24, parent, nullptr,
                                wc.hInstance, nullptr);
  edit_ = CreateWindowExW(0, L"EDIT", L"", childStyle | ES_AUTOHSCROLL, 0, 0, 150, 22, window_,
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

STDMETHODIMP TestBand::GetTypeInfoCount(UINT* count) {
  if (!count) return E_POINTER;
  *count = 0;
  return S_OK;
}

STDMETHODIMP TestBand::GetTypeInfo(UINT, LCID, ITypeInfo** info) {
  if (info) *info = nullptr;
  return E_NOTIMPL;
}

STDMETHODIMP TestBand::GetIDsOfNames(REFIID, LPOLESTR*, UINT, LCID, DISPID*) { return E_NOTIMPL; }

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
