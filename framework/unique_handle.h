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
struct KernelHandleTraits {
  using Handle = HANDLE;
  static Handle Invalid() noexcept { return nullptr; }
  static void Close(Handle h) noexcept { CloseHandle(h); }
};
struct IconTraits {
  using Handle = HICON;
  static Handle Invalid() noexcept { return nullptr; }
  static void Close(Handle h) noexcept { DestroyIcon(h); }
};
struct MenuTraits {
  using Handle = HMENU;
  static Handle Invalid() noexcept { return nullptr; }
  static void Close(Handle h) noexcept { DestroyMenu(h); }
};
struct HookTraits {
  using Handle = HHOOK;
  static Handle Invalid() noexcept { return nullptr; }
  static void Close(Handle h) noexcept { UnhookWindowsHookEx(h); }
};
struct RegKeyTraits {
  using Handle = HKEY;
  static Handle Invalid() noexcept { return nullptr; }
  static void Close(Handle h) noexcept { RegCloseKey(h); }
};
template <class T>
struct GdiObjectTraits {
  using Handle = T;
  static Handle Invalid() noexcept { return nullptr; }
  static void Close(Handle h) noexcept { DeleteObject(h); }
};
struct WindowTraits {
  using Handle = HWND;
  static Handle Invalid() noexcept { return nullptr; }
  static void Close(Handle h) noexcept { if (IsWindow(h)) DestroyWindow(h); }
};

using UniqueFile = UniqueHandleT<FileHandleTraits>;        // CreateFileW results
using UniqueKernelHandle = UniqueHandleT<KernelHandleTraits>;
using UniqueIcon = UniqueHandleT<IconTraits>;
using UniqueMenu = UniqueHandleT<MenuTraits>;
using UniqueHook = UniqueHandleT<HookTraits>;
using UniqueRegKey = UniqueHandleT<RegKeyTraits>;
using UniqueBitmap = UniqueHandleT<GdiObjectTraits<HBITMAP>>;
using UniqueBrush = UniqueHandleT<GdiObjectTraits<HBRUSH>>;
using UniqueWindow = UniqueHandleT<WindowTraits>;

}  // namespace vantorel
