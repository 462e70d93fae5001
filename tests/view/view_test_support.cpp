#include "tests/view/view_test_support.h"

#include <shellapi.h>
#include <shlwapi.h>

#include <cwchar>

namespace vantorel::test {
std::vector<std::wstring> NumberedNames(int count, const wchar_t* prefix, const wchar_t* extension) {
  std::vector<std::wstring> names;
  for (int i = 0; i < count; ++i) {
    wchar_t name[64];
    swprintf(name, 64, L"%ls%04d%ls", prefix, i, extension);
    names.push_back(name);
  }
  return names;
}

AllocationSpy::AllocationSpy() : live_(new std::set<void*>) { InitializeCriticalSection(&lock_); }

AllocationSpy::~AllocationSpy() {
  Revoke();
  // A revoked spy may still be called for blocks it saw; it stays usable until process end.
  if (!registered_) {
    delete live_;
    live_ = nullptr;
  }
  DeleteCriticalSection(&lock_);
}

bool AllocationSpy::Register() {
  if (registered_) return true;
  registered_ = SUCCEEDED(CoRegisterMallocSpy(this));
  return registered_;
}

void AllocationSpy::Revoke() {
  if (!registered_) return;
  HRESULT hr = CoRevokeMallocSpy();
  // E_ACCESSDENIED: blocks it saw are alive; the allocator releases it when they are freed,
  // so the object must outlive them. Tests keep their spies static.
  if (SUCCEEDED(hr)) registered_ = false;
}

size_t AllocationSpy::Live() {
  EnterCriticalSection(&lock_);
  size_t count = live_ ? live_->size() : 0;
  LeaveCriticalSection(&lock_);
  return count;
}

void AllocationSpy::Reset() {
  EnterCriticalSection(&lock_);
  if (live_) live_->clear();
  LeaveCriticalSection(&lock_);
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
  if (pActual) {
    EnterCriticalSection(&lock_);
    if (live_) live_->insert(pActual);
    LeaveCriticalSection(&lock_);
  }
  return pActual;
}

STDMETHODIMP_(void*) AllocationSpy::PreFree(void* pRequest, BOOL) {
  if (pRequest) {
    EnterCriticalSection(&lock_);
    if (live_) live_->erase(pRequest);
    LeaveCriticalSection(&lock_);
  }
  return pRequest;
}

STDMETHODIMP_(SIZE_T) AllocationSpy::PreRealloc(void* pRequest, SIZE_T cbRequest, void** ppNewRequest, BOOL) {
  if (pRequest) {
    EnterCriticalSection(&lock_);
    if (live_) live_->erase(pRequest);
    LeaveCriticalSection(&lock_);
  }
  *ppNewRequest = pRequest;
  return cbRequest;
}

STDMETHODIMP_(void*) AllocationSpy::PostRealloc(void* pActual, BOOL) { return PostAlloc(pActual); }

AllocationSpy* SharedSpy() {
  static AllocationSpy* spy = [] {
    AllocationSpy* created = new AllocationSpy;  // never deleted: the allocator may call it late
    if (!created->Register()) {
      delete created;
      created = nullptr;
    }
    return created;
  }();
  return spy;
}

void Pump() {
  MSG msg;
  while (PeekMessageW(&msg, nullptr, 0, 0, PM_REMOVE)) {
    TranslateMessage(&msg);
    DispatchMessageW(&msg);
  }
}

}  // namespace vantorel::test
