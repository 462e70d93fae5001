#include "framework/window.h"

#include <cwchar>
#include <commctrl.h>

namespace vantorel {
namespace {

// Registered classes of the module: name, atom and the procedure of the class underneath.
struct RegisteredClass {
  wchar_t name[64];
  ATOM atom;
  WNDPROC baseProc;
};
constexpr int kMaxClasses = 16;
RegisteredClass g_classes[kMaxClasses];
int g_classCount = 0;
SRWLOCK g_classLock = SRWLOCK_INIT;

// The object whose window CreateWindowExW is making on this thread, and its class's procedure.
struct Creation {
  Window* window;
  WNDPROC baseProc;
};
thread_local Creation t_creating = {nullptr, nullptr};

// Tells apart the entries of the module's objects in one window's subclass chain, also when a
// new object takes the address of one whose entry was left as a pass-through.
LONG64 g_lastSubclassId = 0;

bool FindOrRegister(const WindowClassSpec& cls, WNDPROC classProc, WNDPROC* baseProc) noexcept {
  AcquireSRWLockExclusive(&g_classLock);
  bool ok = false;
  for (int i = 0; i < g_classCount; ++i) {
    if (wcscmp(g_classes[i].name, cls.name) == 0) {
      *baseProc = g_classes[i].baseProc;
      ok = true;
      break;
    }
  }
  if (!ok && g_classCount < kMaxClasses && wcslen(cls.name) < 64) {
    WNDCLASSEXW wc = {};
    wc.cbSize = sizeof(wc);
    WNDPROC base = DefWindowProcW;
    if (cls.baseClass) {
      if (GetClassInfoExW(nullptr, cls.baseClass, &wc)) {
        base = wc.lpfnWndProc;
        wc.cbSize = sizeof(wc);
        // A class local to this module's instance: a system class is global, and a second copy
        // of the module in the process would otherwise collide on the name.
        wc.style = (wc.style | cls.style) & ~static_cast<UINT>(CS_GLOBALCLASS);
        ok = true;
      }
    } else {
      wc.style = cls.style;
      wc.hbrBackground = cls.background;
      wc.hCursor = cls.cursor ? LoadCursorW(nullptr, cls.cursor) : nullptr;
      ok = true;
    }
    if (ok) {
      wc.lpfnWndProc = classProc;
      wc.hInstance = Module::Instance();
      wc.lpszClassName = cls.name;
      wc.hIconSm = nullptr;
      ATOM atom = RegisterClassExW(&wc);
      if (!atom && GetLastError() == ERROR_CLASS_ALREADY_EXISTS) {
        // Left behind by an earlier load of the module: replace it with ours.
        UnregisterClassW(cls.name, Module::Instance());
        atom = RegisterClassExW(&wc);
      }
      ok = atom != 0;
      if (ok) {
        RegisteredClass& entry = g_classes[g_classCount++];
        wcscpy_s(entry.name, cls.name);
        entry.atom = atom;
        entry.baseProc = base;
        *baseProc = base;
      }
    }
  }
  ReleaseSRWLockExclusive(&g_classLock);
  return ok;
}

// The procedure of the class underneath a window of one of the module's classes.
WNDPROC BaseProcOf(HWND window) noexcept {
  const ATOM atom = static_cast<ATOM>(GetClassLongPtrW(window, GCW_ATOM));
  WNDPROC base = DefWindowProcW;
  AcquireSRWLockShared(&g_classLock);
  for (int i = 0; i < g_classCount; ++i) {
    if (g_classes[i].atom == atom) base = g_classes[i].baseProc;
  }
  ReleaseSRWLockShared(&g_classLock);
  return base;
}

}  // namespace

Window::~Window() {
  tearingDown_ = true;
  if (kind_ == Kind::Subclassed) {
    if (!Unsubclass()) LeavePassThrough();
  } else if (kind_ == Kind::Own && hwnd_) {
    DestroyWindow(hwnd_);
    if (hwnd_) LeavePassThrough();  // e.g. a window of another thread
  }
}

HWND Window::Create(const WindowClassSpec& cls, HWND parent, const wchar_t* title, DWORD style,
                    DWORD exStyle, int x, int y, int width, int height, HMENU idOrMenu) noexcept {
  if (hwnd_) return nullptr;
  WNDPROC base = DefWindowProcW;
  if (!FindOrRegister(cls, &Window::ClassProc, &base)) return nullptr;
  Creation outer = t_creating;
  t_creating = {this, base};
  HWND created = CreateWindowExW(exStyle, cls.name, title, style, x, y, width, height, parent,
                                 idOrMenu, Module::Instance(), nullptr);
  t_creating = outer;
  if (created && hwnd_ != created) {  // the object could not be attached
    DestroyWindow(created);
    created = nullptr;
  }
  if (!created) ResetState();
  return created;
}

void Window::DestroyOwnWindow() noexcept {
  if (kind_ == Kind::Own && hwnd_) DestroyWindow(hwnd_);
}

bool Window::Subclass(HWND window) noexcept {
  if (hwnd_ || !IsWindow(window)) return false;
  return Attach(window, Kind::Subclassed);
}

bool Window::Attach(HWND window, Kind kind) noexcept {
  UINT_PTR id = static_cast<UINT_PTR>(InterlockedIncrement64(&g_lastSubclassId));
  if (!SetWindowSubclass(window, &Window::SubclassProc, id, reinterpret_cast<DWORD_PTR>(this))) return false;
  hwnd_ = window;
  id_ = id;
  chainHead_ = reinterpret_cast<WNDPROC>(GetWindowLongPtrW(window, GWLP_WNDPROC));
  kind_ = kind;
  return true;
}

void Window::AttachOwn(HWND window, WNDPROC baseProc) noexcept {
  SetWindowLongPtrW(window, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(this));
  hwnd_ = window;
  baseProc_ = baseProc;
  kind_ = Kind::Own;
}

bool Window::Unsubclass() noexcept {
  if (kind_ != Kind::Subclassed) return true;
  if (!IsWindow(hwnd_)) {
    ResetState();
    return true;
  }
  // The chain puts the window's original procedure back when its last entry goes, over any
  // procedure that was put in front of the chain meanwhile: ours then stays, passing on.
  if (reinterpret_cast<WNDPROC>(GetWindowLongPtrW(hwnd_, GWLP_WNDPROC)) != chainHead_) {
    return LeavePassThrough();
  }
  if (!RemoveWindowSubclass(hwnd_, &Window::SubclassProc, id_)) return false;
  ResetState();
  return true;
}

bool Window::LeavePassThrough() noexcept {
  if (kind_ == Kind::Own) {
    SetWindowLongPtrW(hwnd_, GWLP_USERDATA, kLeftBehind);
  } else if (!SetWindowSubclass(hwnd_, &Window::SubclassProc, id_, 0)) {
    return false;
  }
  Module::Lock();  // code of this module stays in the window's chain until it is destroyed
  ResetState();
  return true;
}

void Window::ResetState() noexcept {
  hwnd_ = nullptr;
  id_ = 0;
  chainHead_ = nullptr;
  baseProc_ = nullptr;
  kind_ = Kind::None;
}

LRESULT Window::CallNext(UINT msg, WPARAM wParam, LPARAM lParam) noexcept {
  if (kind_ == Kind::Own) return CallWindowProcW(baseProc_, hwnd_, msg, wParam, lParam);
  return kind_ == Kind::Subclassed ? DefSubclassProc(hwnd_, msg, wParam, lParam) : 0;
}

// The class procedure of the module's own classes. The object is kept in the window's user data
// from the first message on, and the window's procedure stays this one: a message costs no more
// than a lookup in the window itself. Without an object (one that went while its window lives on,
// marked kLeftBehind) the message goes straight to the class underneath.
LRESULT CALLBACK Window::ClassProc(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam) {
  const LONG_PTR data = GetWindowLongPtrW(hwnd, GWLP_USERDATA);
  if (data && data != kLeftBehind) return reinterpret_cast<Window*>(data)->Route(msg, wParam, lParam);
  const Creation creating = t_creating;
  if (!data && creating.window) {
    t_creating = {nullptr, nullptr};
    creating.window->AttachOwn(hwnd, creating.baseProc);
    return creating.window->Route(msg, wParam, lParam);
  }
  const LRESULT result = CallWindowProcW(BaseProcOf(hwnd), hwnd, msg, wParam, lParam);
  if (msg == WM_NCDESTROY && data == kLeftBehind) Module::Unlock();
  return result;
}

LRESULT CALLBACK Window::SubclassProc(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam, UINT_PTR id,
                                      DWORD_PTR object) {
  if (object) return reinterpret_cast<Window*>(object)->Route(msg, wParam, lParam);
  // Left by an object that went while another procedure sat in front of the chain.
  LRESULT result = DefSubclassProc(hwnd, msg, wParam, lParam);
  if (msg == WM_NCDESTROY) {
    RemoveWindowSubclass(hwnd, &Window::SubclassProc, id);
    Module::Unlock();
  }
  return result;
}

LRESULT Window::Route(UINT msg, WPARAM wParam, LPARAM lParam) noexcept {
  HWND hwnd = hwnd_;
  LRESULT result = 0;
  bool consumed = false;
  IUnknown* owner = tearingDown_ ? nullptr : owner_;
  if (owner) owner->AddRef();
  if (!tearingDown_) {
    try {
      consumed = HandleMessage(msg, wParam, lParam, result);
    } catch (...) {
      consumed = false;
    }
  }
  if (!consumed) result = CallNext(msg, wParam, lParam);
  if (msg == WM_NCDESTROY && hwnd_ == hwnd) {
    if (kind_ == Kind::Own) {
      SetWindowLongPtrW(hwnd, GWLP_USERDATA, 0);
    } else {
      RemoveWindowSubclass(hwnd, &Window::SubclassProc, id_);
    }
    ResetState();
    if (!tearingDown_) {
      try {
        OnFinalMessage(hwnd);
      } catch (...) {
      }
    }
  }
  if (owner) owner->Release();  // may end this object: nothing of it is touched afterwards
  return result;
}

void Window::UnregisterClasses() noexcept {
  AcquireSRWLockExclusive(&g_classLock);
  for (int i = 0; i < g_classCount; ++i) UnregisterClassW(g_classes[i].name, Module::Instance());
  g_classCount = 0;
  ReleaseSRWLockExclusive(&g_classLock);
}

}  // namespace vantorel
