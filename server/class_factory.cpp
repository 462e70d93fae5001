#include "server/class_factory.h"

#include "framework/guard.h"
#include "framework/module.h"

namespace vantorel {

STDMETHODIMP CClassFactory::QueryInterface(REFIID riid, void** ppv) {
  if (!ppv) return E_POINTER;
  if (riid == IID_IUnknown || riid == IID_IClassFactory) {
    *ppv = static_cast<IClassFactory*>(this);
    AddRef();
    return S_OK;
  }
  *ppv = nullptr;
  return E_NOINTERFACE;
}

STDMETHODIMP_(ULONG) CClassFactory::AddRef() {
  LONG count = InterlockedIncrement(&refs_);
  if (count == 2) Module::Lock();
  return static_cast<ULONG>(count);
}

STDMETHODIMP_(ULONG) CClassFactory::Release() {
  LONG count = InterlockedDecrement(&refs_);
  if (count == 1) Module::Unlock();
  if (count == 0) delete this;
  return static_cast<ULONG>(count);
}

STDMETHODIMP CClassFactory::CreateInstance(IUnknown* outer, REFIID riid, void** ppv) {
  if (!ppv) return E_POINTER;
  *ppv = nullptr;
  // An aggregated object hands its outer object the inner (non-delegating) unknown only.
  if (outer && riid != IID_IUnknown) return CLASS_E_NOAGGREGATION;
  if (!create_) return E_UNEXPECTED;
  return GuardHresult([&] { return create_(outer, riid, ppv); });
}

STDMETHODIMP CClassFactory::LockServer(BOOL lock) {
  if (lock) {
    Module::Lock();
  } else {
    Module::Unlock();
  }
  return S_OK;
}

}  // namespace vantorel
