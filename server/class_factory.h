#pragma once
// The class object of a creatable class. It is cached by the module with one reference of its
// own, and holds a module lock exactly while somebody outside holds a reference as well
// (taken when its count rises from 1 to 2, given back when it falls from 2 to 1).
#include <windows.h>
#include <unknwn.h>

#include "server/vantorel_module.h"

namespace vantorel {

class CClassFactory final : public IClassFactory {
 public:
  // Count 1: the reference of the module's cache.
  explicit CClassFactory(ObjectCreator create) noexcept : create_(create) {}
  CClassFactory(const CClassFactory&) = delete;
  CClassFactory& operator=(const CClassFactory&) = delete;

  STDMETHODIMP QueryInterface(REFIID riid, void** ppv) override;
  STDMETHODIMP_(ULONG) AddRef() override;
  STDMETHODIMP_(ULONG) Release() override;
  STDMETHODIMP CreateInstance(IUnknown* outer, REFIID riid, void** ppv) override;
  STDMETHODIMP LockServer(BOOL lock) override;

 private:
  ~CClassFactory() = default;
  volatile LONG refs_ = 1;
  ObjectCreator create_;
};

}  // namespace vantorel
