#pragma once
// Owning pointer to a COM interface: one reference, released on reset and destruction.
#include <windows.h>
#include <unknwn.h>
#include <cstddef>
#include <utility>

namespace vantorel {

template <class T>
class ComPtr {
 public:
  ComPtr() noexcept = default;
  ComPtr(std::nullptr_t) noexcept {}
  // Takes a new reference to p.
  explicit ComPtr(T* p) noexcept : p_(p) { if (p_) p_->AddRef(); }
  ComPtr(const ComPtr& other) noexcept : ComPtr(other.p_) {}
  ComPtr(ComPtr&& other) noexcept : p_(other.p_) { other.p_ = nullptr; }
  ~ComPtr() { reset(); }

  ComPtr& operator=(const ComPtr& other) noexcept {
    if (this != &other) {
      T* old = p_;
      p_ = other.p_;
      if (p_) p_->AddRef();
      if (old) old->Release();
    }
    return *this;
  }
  ComPtr& operator=(ComPtr&& other) noexcept {
    if (this != &other) {
      reset();
      p_ = other.p_;
      other.p_ = nullptr;
    }
    return *this;
  }
  ComPtr& operator=(std::nullptr_t) noexcept { reset(); return *this; }

  T* get() const noexcept { return p_; }
  T* operator->() const noexcept { return p_; }
  explicit operator bool() const noexcept { return p_ != nullptr; }

  // For out parameters: drops the current reference and hands out the slot.
  T** put() noexcept { reset(); return &p_; }
  void** put_void() noexcept { return reinterpret_cast<void**>(put()); }

  void reset() noexcept {
    T* old = p_;
    p_ = nullptr;
    if (old) old->Release();
  }
  // Adopts a reference the caller already owns.
  void attach(T* p) noexcept { reset(); p_ = p; }
  // Gives up ownership without releasing.
  T* detach() noexcept { T* p = p_; p_ = nullptr; return p; }

  // Hands out an added reference, as COM out parameters want.
  HRESULT CopyTo(T** out) const noexcept {
    if (!out) return E_POINTER;
    *out = p_;
    if (p_) p_->AddRef();
    return S_OK;
  }

  template <class U>
  HRESULT As(ComPtr<U>& out) const noexcept {
    if (!p_) { out.reset(); return E_NOINTERFACE; }
    return p_->QueryInterface(__uuidof(U), out.put_void());
  }

 private:
  T* p_ = nullptr;
};

}  // namespace vantorel
