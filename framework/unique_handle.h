#pragma once
// Owners for the plain Win32 handles the module keeps: files, GDI objects, icons, menus, hooks,
// registry keys.
#include <windows.h>

namespace vantorel {

template <class Traits>
class UniqueHandleT {
 public:
  using Handle = typename Traits::Handle;
  UniqueHandleT() noexcept = default;
  explicit UniqueHandleT(Handle h) noexcept : h_(h) {}
  UniqueHandleT(const UniqueHandleT&) = delete;
  UniqueHandleT& operator=(const UniqueHandleT&) = delete;
  UniqueHandleT(UniqueHandleT&& o) noexcept : h_(o.release()) {}
  UniqueHandleT& operator=(UniqueHandleT&& o) noexcept {
    if (this != &o) reset(o.release());
    return *this;
  }
  ~UniqueHandleT() { reset(); }

  Handle get() const noexcept { return h_; }
  bool valid() const noexcept { return h_ != Traits::Invalid(); }
  explicit operator bool() const noexcept { return valid(); }
  Handle release() noexcept { Handle h = h_; h_ = Traits::Invalid(); return h; }
  void reset(Handle h = Traits::Invalid()) noexcept {
    Handle old = h_;
    h_ = h;
    if (old != Traits::Invalid()) Traits::Close(old);
  }

 private:
  Handle h_ = Traits::Invalid();
};

struct FileHandleTraits {
  using Handle = HANDLE;
  static Handle Invalid() noexcept { return INVALID_HANDLE_VALUE; }
  static void Close(Handle h) noexcept { CloseHandle(h); }
};

// A handle that is null when empty and is given back by Free.
template <class H, auto Free>
struct NullableHandleTraits {
  using Handle = H;
  static Handle Invalid() noexcept { return nullptr; }
  static void Close(Handle h) noexcept { Free(h); }
};
template <class T>
using GdiObjectTraits = NullableHandleTraits<T, &DeleteObject>;

inline void DestroyLiveWindow(HWND window) noexcept {
  if (IsWindow(window)) DestroyWindow(window);
}

using UniqueFile = UniqueHandleT<FileHandleTraits>;        // CreateFileW results
using UniqueKernelHandle = UniqueHandleT<NullableHandleTraits<HANDLE, &CloseHandle>>;
using UniqueIcon = UniqueHandleT<NullableHandleTraits<HICON, &DestroyIcon>>;
using UniqueMenu = UniqueHandleT<NullableHandleTraits<HMENU, &DestroyMenu>>;
using UniqueHook = UniqueHandleT<NullableHandleTraits<HHOOK, &UnhookWindowsHookEx>>;
using UniqueRegKey = UniqueHandleT<NullableHandleTraits<HKEY, &RegCloseKey>>;
using UniqueBitmap = UniqueHandleT<GdiObjectTraits<HBITMAP>>;
using UniqueBrush = UniqueHandleT<GdiObjectTraits<HBRUSH>>;
using UniqueWindow = UniqueHandleT<NullableHandleTraits<HWND, &DestroyLiveWindow>>;

}  // namespace vantorel
