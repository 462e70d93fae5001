#include "tests/view/view_test_support.h"

#include "band/band_messages.h"

namespace vantorel::test {
namespace {

LRESULT CALLBACK BandWindowProc(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam) {
  if (msg == WM_BAND_FOCUS_INPUT) {
    ++focusRequests;
    return 7;
  }
  return DefWindowProcW(hwnd, msg, wParam, lParam);
}

}  // namespace

int focusRequests = 0;

HWND CreateBandWindow(HWND parent) {
  WNDCLASSW wc = {};
  wc.lpfnWndProc = &BandWindowProc;
  wc.hInstance = GetModuleHandleW(nullptr);
  wc.lpszClassName = L"VantorelTestBandWindow";
  RegisterClassW(&wc);  // a second registration fails harmlessly
  return CreateWindowExW(0, wc.lpszClassName, L"", parent ? WS_CHILD | WS_VISIBLE : WS_POPUP, 0, 0, 200, 24,
                         parent, nullptr, wc.hInstance, nullptr);
}

size_t AllocationSpy::Live() {
  std::lock_guard<std::mutex> hold(lock_);
  return live_.size();
}

void AllocationSpy::Reset() {
  std::lock_guard<std::mutex> hold(lock_);
  live_.clear();
}

void AllocationSpy::Track(void* block, bool alive) {
  if (!block) return;
  std::lock_guard<std::mutex> hold(lock_);
  if (alive) {
    live_.insert(block);
  } else {
    live_.erase(block);
  }
}

STDMETHODIMP AllocationSpy::QueryInterface(REFIID riid, void** ppv) {
  if (!ppv) return E_POINTER;
  if (riid == IID_IUnknown || riid == IID_IMallocSpy) {
    *ppv = static_cast<IMallocSpy*>(this);
    return S_OK;
  }
  *ppv = nullptr;
  return E_NOINTERFACE;
}

STDMETHODIMP_(void*) AllocationSpy::PostAlloc(void* pActual) {
  Track(pActual, true);
  return pActual;
}

STDMETHODIMP_(void*) AllocationSpy::PreFree(void* pRequest, BOOL) {
  Track(pRequest, false);
  return pRequest;
}

STDMETHODIMP_(SIZE_T) AllocationSpy::PreRealloc(void* pRequest, SIZE_T cbRequest, void** ppNewRequest, BOOL) {
  Track(pRequest, false);
  *ppNewRequest = pRequest;
  return cbRequest;
}

AllocationSpy* SharedSpy() {
  static AllocationSpy* const spy = new AllocationSpy;
  static const bool registered = SUCCEEDED(CoRegisterMallocSpy(spy));
  return registered ? spy : nullptr;
}

}  // namespace vantorel::test
