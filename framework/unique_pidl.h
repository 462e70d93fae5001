#pragma once
// Owner of a shell item identifier list allocated by the shell; freed with ILFree.
#include <windows.h>
#include <shlobj.h>

namespace vantorel {

template <class T>
class UniqueIdList {
 public:
  UniqueIdList() noexcept = default;
  explicit UniqueIdList(T* p) noexcept : p_(p) {}
  UniqueIdList(const UniqueIdList&) = delete;
  UniqueIdList& operator=(const UniqueIdList&) = delete;
  UniqueIdList(UniqueIdList&& o) noexcept : p_(o.p_) { o.p_ = nullptr; }
  UniqueIdList& operator=(UniqueIdList&& o) noexcept {
    if (this != &o) { reset(o.p_); o.p_ = nullptr; }
    return *this;
  }
  ~UniqueIdList() { reset(); }

  T* get() const noexcept { return p_; }
  explicit operator bool() const noexcept { return p_ != nullptr; }
  T** put() noexcept { reset(); return &p_; }
  T* release() noexcept { T* p = p_; p_ = nullptr; return p; }
  void reset(T* p = nullptr) noexcept {
    T* old = p_;
    p_ = p;
    if (old) ILFree(reinterpret_cast<LPITEMIDLIST>(old));
  }

 private:
  T* p_ = nullptr;
};

using UniquePidl = UniqueIdList<ITEMIDLIST>;
using UniqueAbsolutePidl = UniqueIdList<ITEMIDLIST_ABSOLUTE>;

}  // namespace vantorel
