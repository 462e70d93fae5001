#pragma once
// A per-object window procedure stub: a few bytes of machine code that call a static
// procedure with the object pointer in place of the window handle.
#include <windows.h>

namespace vantorel {

using ObjectWindowProc = LRESULT(CALLBACK*)(HWND /* object */, UINT, WPARAM, LPARAM);

class WindowThunk {
 public:
  WindowThunk() noexcept = default;
  WindowThunk(const WindowThunk&) = delete;
  WindowThunk& operator=(const WindowThunk&) = delete;
  ~WindowThunk();

  // Allocates (once) and points the stub at proc with object as its first argument.
  bool Init(ObjectWindowProc proc, void* object) noexcept;
  WNDPROC Proc() const noexcept { return reinterpret_cast<WNDPROC>(code_); }
  // Gives the stub up without freeing it; the caller frees it later with FreeCode.
  void* Abandon() noexcept { void* code = code_; code_ = nullptr; return code; }
  static void FreeCode(void* code) noexcept;
  // Destroys the heap of every stub; for the unload of the module, when no window uses one.
  static void ReleaseHeap() noexcept;

 private:
  unsigned char* code_ = nullptr;
};

}  // namespace vantorel
