#pragma once
// Window objects: a C++ object in front of one window, with a message handler that consumes a
// message or passes it on to the procedure underneath. Three ways to get a window:
//   Create()     a window of a class of the module's own, or of a system class superclassed
//                under a new name (WindowClassSpec::baseClass);
//   Subclass()   an existing window of somebody else, until Unsubclass() or its destruction.
// Every window object holds a module lock while it lives. A subclass is removed before its
// object goes, and it survives the window dying first (the object simply becomes detached).
// No code is generated, and no message looks anything up in the window's properties: the object
// of a window the module created is kept in the window's user data (GWLP_USERDATA); in front of
// somebody else's window, one procedure of the module replaces the window's (SetWindowLongPtrW)
// and finds the object, and the procedure it replaced, in a table of the subclasses of its
// thread. An object is made and destroyed on its window's thread; Unicode windows only.
#include <windows.h>
#include <unknwn.h>

#include "framework/module.h"

namespace vantorel {

struct WindowClassSpec {
  const wchar_t* name;       // class name to register
  const wchar_t* baseClass;  // system class to superclass, or null for a class of our own
  UINT style;                // class styles (added to the base class's styles when superclassing)
  HBRUSH background;         // own classes only
  const wchar_t* cursor;     // system cursor (IDC_ARROW, ...) for own classes, or null
};

class Window {
 public:
  Window() noexcept = default;
  Window(const Window&) = delete;
  Window& operator=(const Window&) = delete;
  virtual ~Window();

  HWND hwnd() const noexcept { return hwnd_; }
  bool IsSubclassing() const noexcept { return kind_ == Kind::Subclassed; }

  // Creates a window handled by this object; the class is registered on first use.
  HWND Create(const WindowClassSpec& cls, HWND parent, const wchar_t* title, DWORD style,
              DWORD exStyle, int x, int y, int width, int height, HMENU idOrMenu) noexcept;
  // Destroys the window that Create made (no effect when there is none).
  void DestroyOwnWindow() noexcept;

  // Puts this object in front of the window's procedure. False for a window of another thread
  // or an ANSI window.
  bool Subclass(HWND window) noexcept;
  // Puts the replaced procedure back. Returns false, still attached, when that failed. When
  // another procedure was put in front of ours meanwhile (SetWindowLongPtr, SetWindowSubclass),
  // ours stays in its chain as a plain pass-through so that the other one keeps working.
  bool Unsubclass() noexcept;

  // Unregisters the module's window classes; for module unload.
  static void UnregisterClasses() noexcept;

  // The COM object that owns this window object (itself or its container). It is held for the
  // length of every message: a handler may run a modal loop or call out, the owner's last
  // outside reference may go meanwhile, and the handler still returns through a live object.
  void SetLifetimeOwner(IUnknown* owner) noexcept { owner_ = owner; }

 protected:
  // The message map. Return true when the message is consumed (result is returned), false to
  // pass it on to the procedure underneath.
  virtual bool HandleMessage(UINT msg, WPARAM wParam, LPARAM lParam, LRESULT& result) = 0;
  // Calls the procedure underneath this object.
  LRESULT CallNext(UINT msg, WPARAM wParam, LPARAM lParam) noexcept;
  // After WM_NCDESTROY went through; the object is detached by then.
  virtual void OnFinalMessage(HWND) {}

 private:
  enum class Kind { None, Own, Subclassed };
  static constexpr LONG_PTR kLeftBehind = 1;  // user data of a window whose object went first
  static LRESULT CALLBACK ClassProc(HWND, UINT, WPARAM, LPARAM);
  static LRESULT CALLBACK SubclassProc(HWND, UINT, WPARAM, LPARAM);
  void AttachOwn(HWND window, WNDPROC baseProc) noexcept;
  LRESULT Route(UINT msg, WPARAM wParam, LPARAM lParam) noexcept;
  bool LeavePassThrough() noexcept;
  void ResetState() noexcept;

  HWND hwnd_ = nullptr;
  UINT_PTR id_ = 0;             // of our entry in the thread's table of subclasses
  WNDPROC baseProc_ = nullptr;  // own windows: the procedure of the class underneath
  Kind kind_ = Kind::None;
  bool tearingDown_ = false;
  IUnknown* owner_ = nullptr;
  ModuleLockHolder lock_;
};

}  // namespace vantorel
