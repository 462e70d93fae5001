#pragma once
// Shared pieces of the view tests: numbered file names and a count of the COM task allocator's
// live blocks.
#include <windows.h>
#include <objidl.h>
#include <shlobj.h>

#include <set>
#include <string>
#include <vector>

#include "tests/support/temp_folder.h"

namespace vantorel::test {

// Names "file0000.txt" ... for count files.
std::vector<std::wstring> NumberedNames(int count, const wchar_t* prefix = L"file",
                                        const wchar_t* extension = L".txt");

// Counts the blocks of the COM task allocator (CoTaskMemAlloc, SHAlloc, identifier lists)
// allocated while it is registered and not freed since. Register() fails when another spy is on.
class AllocationSpy final : public IMallocSpy {
 public:
  AllocationSpy();
  ~AllocationSpy();
  bool Register();
  void Revoke();
  // Blocks allocated since Register and still alive.
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
  STDMETHODIMP_(void*) PostRealloc(void* pActual, BOOL fSpyed) override;
  STDMETHODIMP_(void*) PreGetSize(void* pRequest, BOOL) override { return pRequest; }
  STDMETHODIMP_(SIZE_T) PostGetSize(SIZE_T cbActual, BOOL) override { return cbActual; }
  STDMETHODIMP_(void*) PreDidAlloc(void* pRequest, BOOL) override { return pRequest; }
  STDMETHODIMP_(int) PostDidAlloc(void*, BOOL, int fActual) override { return fActual; }
  STDMETHODIMP_(void) PreHeapMinimize() override {}
  STDMETHODIMP_(void) PostHeapMinimize() override {}

 private:
  CRITICAL_SECTION lock_;
  std::set<void*>* live_;  // on the C heap, never through the spied allocator
  bool registered_ = false;
};

// The process's one spy, registered on first use and left registered: the allocator keeps a
// spy that saw live blocks anyway. Null when it could not be registered.
AllocationSpy* SharedSpy();

// Pumps the thread's messages until none is waiting.
void Pump();

}  // namespace vantorel::test
