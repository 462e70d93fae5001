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

void PressAltSInEachCase(HWND window, const std::function<void()>& pump,
                         const std::function<void(const char*)>& check) {
  BYTE keys[256] = {};
  if (!GetKeyboardState(keys)) return;
  const BYTE saved[2] = {keys[VK_SHIFT], keys[VK_CAPITAL]};
  const struct {
    const char* name;
    BYTE shift, capsLock;
  } states[] = {{"Alt+S", 0, 0}, {"Alt+Shift+S", 0x80, 0}, {"Alt+S with Caps Lock", 0, 0x01}};
  for (const auto& state : states) {
    keys[VK_SHIFT] = state.shift;
    keys[VK_CAPITAL] = state.capsLock;
    SetKeyboardState(keys);
    PostMessageW(window, WM_SYSKEYDOWN, 'S', 0x20000001 | (0x1F << 16));
    pump();
    check(state.name);
  }
  keys[VK_SHIFT] = saved[0];
  keys[VK_CAPITAL] = saved[1];
  SetKeyboardState(keys);
}

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
