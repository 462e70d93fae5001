#pragma once
// COM object plumbing: reference counting, an interface table for QueryInterface, optional
// aggregation, and one module lock held for the object's whole life.
//
//   class CThing : public ComObject<CThing>, public IFoo, public IBar {
//    public:
//     VANTOREL_IUNKNOWN_METHODS
//     static const InterfaceEntry* Interfaces() {
//       static const InterfaceEntry table[] = {
//           VANTOREL_INTERFACE(CThing, IFoo), VANTOREL_INTERFACE(CThing, IBar), {}};
//       return table;
//     }
//   };
//   ComPtr<CThing> thing = MakeComObject<CThing>(args...);
#include <windows.h>
#include <unknwn.h>
#include <new>
#include <utility>

#include "framework/com_ptr.h"
#include "framework/module.h"

namespace vantorel {

struct InterfaceEntry {
  const IID* iid;
  void* (*cast)(void* object);  // object is the implementing class
};

template <class Class, class Interface>
void* CastToInterface(void* object) noexcept {
  return static_cast<Interface*>(static_cast<Class*>(object));
}
// For an interface reached through another one (IDispatch through a dual interface).
template <class Class, class Via, class Interface>
void* CastToInterfaceVia(void* object) noexcept {
  return static_cast<Interface*>(static_cast<Via*>(static_cast<Class*>(object)));
}

#define VANTOREL_INTERFACE(Class, Interface) \
  ::vantorel::InterfaceEntry { &__uuidof(Interface), &::vantorel::CastToInterface<Class, Interface> }
#define VANTOREL_INTERFACE_IID(Class, Interface, iidValue) \
  ::vantorel::InterfaceEntry { &(iidValue), &::vantorel::CastToInterface<Class, Interface> }
#define VANTOREL_INTERFACE_VIA(Class, Via, Interface) \
  ::vantorel::InterfaceEntry { &__uuidof(Interface), &::vantorel::CastToInterfaceVia<Class, Via, Interface> }

// The IUnknown methods of a class built on ComObject<>. They delegate to the controlling
// unknown when the object is aggregated.
#define VANTOREL_IUNKNOWN_METHODS                                                        \
  STDMETHODIMP QueryInterface(REFIID riid, void** ppv) override {                      \
    return this->OuterQueryInterface(riid, ppv);                                       \
  }                                                                                    \
  STDMETHODIMP_(ULONG) AddRef() override { return this->OuterAddRef(); }               \
  STDMETHODIMP_(ULONG) Release() override { return this->OuterRelease(); }

template <class Derived>
class ComObject {
 public:
  ComObject(const ComObject&) = delete;
  ComObject& operator=(const ComObject&) = delete;

  // Creates an object for a class factory: aggregated when outer is given (then riid must be
  // IUnknown and the inner unknown is handed out).
  template <class... Args>
  static HRESULT CreateInstance(IUnknown* outer, REFIID riid, void** ppv, Args&&... args) noexcept {
    if (!ppv) return E_POINTER;
    *ppv = nullptr;
    if (outer && riid != IID_IUnknown) return CLASS_E_NOAGGREGATION;
    Derived* object = nullptr;
    try {
      object = new Derived(std::forward<Args>(args)...);
    } catch (const std::bad_alloc&) {
      return E_OUTOFMEMORY;
    } catch (...) {
      return E_UNEXPECTED;
    }
    ComObject* base = object;
    base->outer_ = outer;
    base->InternalAddRef();
    HRESULT hr = S_OK;
    if (outer) {
      *ppv = static_cast<IUnknown*>(&base->inner_);
    } else {
      hr = base->InternalQueryInterface(riid, ppv);
      base->InternalRelease();
    }
    return hr;
  }

  ULONG InternalAddRef() noexcept { return static_cast<ULONG>(InterlockedIncrement(&refs_)); }
  ULONG InternalRelease() noexcept {
    LONG count = InterlockedDecrement(&refs_);
    if (count == 0) {
      refs_ = 1;  // guards against a release from inside the destructor
      delete static_cast<Derived*>(this);
    }
    return static_cast<ULONG>(count);
  }
  HRESULT InternalQueryInterface(REFIID riid, void** ppv) noexcept {
    if (!ppv) return E_POINTER;
    *ppv = nullptr;
    const InterfaceEntry* table = Derived::Interfaces();
    if (!table || !table[0].iid) return E_NOINTERFACE;
    void* self = static_cast<Derived*>(this);
    if (riid == IID_IUnknown) {
      *ppv = table[0].cast(self);
    } else {
      for (const InterfaceEntry* entry = table; entry->iid; ++entry) {
        if (*entry->iid == riid) {
          *ppv = entry->cast(self);
          break;
        }
      }
    }
    if (!*ppv) return E_NOINTERFACE;
    static_cast<IUnknown*>(*ppv)->AddRef();
    return S_OK;
  }

 protected:
  ComObject() noexcept : inner_(this) {}
  virtual ~ComObject() = default;

  HRESULT OuterQueryInterface(REFIID riid, void** ppv) noexcept {
    return outer_ ? outer_->QueryInterface(riid, ppv) : InternalQueryInterface(riid, ppv);
  }
  ULONG OuterAddRef() noexcept { return outer_ ? outer_->AddRef() : InternalAddRef(); }
  ULONG OuterRelease() noexcept { return outer_ ? outer_->Release() : InternalRelease(); }
  bool IsAggregated() const noexcept { return outer_ != nullptr; }
  // The object's own (non-delegating) unknown: its references keep this object alive even
  // when it is aggregated.
  IUnknown* ObjectUnknown() noexcept { return &inner_; }
  LONG RefCountForTests() const noexcept { return refs_; }

 private:
  // The non-delegating unknown an aggregating outer object holds.
  class InnerUnknown : public IUnknown {
   public:
    explicit InnerUnknown(ComObject* owner) noexcept : owner_(owner) {}
    STDMETHODIMP QueryInterface(REFIID riid, void** ppv) override {
      if (!ppv) return E_POINTER;
      if (riid == IID_IUnknown) {
        *ppv = static_cast<IUnknown*>(this);
        AddRef();
        return S_OK;
      }
      return owner_->InternalQueryInterface(riid, ppv);
    }
    STDMETHODIMP_(ULONG) AddRef() override { return owner_->InternalAddRef(); }
    STDMETHODIMP_(ULONG) Release() override { return owner_->InternalRelease(); }

   private:
    ComObject* owner_;
  };

  InnerUnknown inner_;
  volatile LONG refs_ = 0;
  IUnknown* outer_ = nullptr;
  ModuleLockHolder moduleLock_;
};

// Creates a plain (not aggregated) object owned by the returned pointer. Null on failure.
template <class T, class... Args>
ComPtr<T> MakeComObject(Args&&... args) noexcept {
  ComPtr<T> result;
  try {
    T* object = new T(std::forward<Args>(args)...);
    result = ComPtr<T>(object);  // count 0 -> 1
  } catch (...) {
  }
  return result;
}

}  // namespace vantorel
