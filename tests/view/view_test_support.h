#pragma once
// Shared pieces of the view tests: a band window that counts focus requests and a count of the
// COM task allocator's live blocks.
#include <windows.h>
#include <objidl.h>

#include <functional>
#include <mutex>
#include <set>

#include "tests/support/temp_folder.h"

namespace vantorel::test {

// A window as the band's: WM_BAND_FOCUS_INPUT adds one to focusRequests and answers 7. A child of
// parent, or a hidden popup without one.
HWND CreateBandWindow(HWND parent);
extern int focusRequests;

// The keyboard's Alt+S as it arrives at window: WM_SYSKEYDOWN, turned into WM_SYSCHAR by the
// host's message loop (pump), with the letter's case as Shift and Caps Lock make it. Calls
// check(name) after each of plain, Shift and Caps Lock; the keyboard is put back afterwards.
void PressAltSInEachCase(HWND window, const std::function<void()>& pump,
                         const std::function<void(const char*)>& check);

// Counts the blocks of the COM task allocator (CoTaskMemAlloc, SHAlloc, identifier lists)
// allocated while it is registered and not freed since.
class AllocationSpy final : public IMallocSpy {
 public:
  // Blocks allocated since registration or the last Reset and still alive.
  size_t Live();
  // Forgets what is alive now; later counts start from zero.
  void Reset();

  STDMETHODIMP QueryInterface(REFIID riid, void** ppv) override;
  STDMETHODIMP_(ULONG) AddRef() override { return 2; }
  STDMETHODIMP_(ULONG) Release() override { return 1; }
  STDMETHODIMP_(SIZE_T) PreAlloc(SIZE_T cbRequest) override { return cbRequest; }
  STDMETHODIMP_(void*) PostAlloc(void* pActual) override;
  STDMETHODIMP_(void*) PreFree(void* pRequest, BOOL fSpyed) override;
  STDMETHODIMP_(void) PostFree(BOOL) override {}
  STDMETHODIMP_(SIZE_T) PreRealloc(void* pRequest, SIZE_T cbRequest, void** ppNewRequest, BOOL fSpyed) override;
  STDMETHODIMP_(void*) PostRealloc(void* pActual, BOOL) override { return PostAlloc(pActual); }
  STDMETHODIMP_(void*) PreGetSize(void* pRequest, BOOL) override { return pRequest; }
  STDMETHODIMP_(SIZE_T) PostGetSize(SIZE_T cbActual, BOOL) override { return cbActual; }
  STDMETHODIMP_(void*) PreDidAlloc(void* pRequest, BOOL) override { return pRequest; }
  STDMETHODIMP_(int) PostDidAlloc(void*, BOOL, int fActual) override { return fActual; }
  STDMETHODIMP_(void) PreHeapMinimize() override {}
  STDMETHODIMP_(void) PostHeapMinimize() override {}

 private:
  void Track(void* block, bool alive);

  std::mutex lock_;
  std::set<void*> live_;  // through operator new, never through the spied allocator
};

// The process's one spy, registered on first use and never revoked or deleted: the allocator
// still calls a spy that saw live blocks. Null when it could not be registered.
AllocationSpy* SharedSpy();

}  // namespace vantorel::test
