#include "framework/window.h"

#include <cwchar>
#include <new>

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

thread_local Window* t_creating = nullptr;

// What is left of a subclass whose object went while another procedure sat in front of it.
struct PassThrough {
  HWND hwnd;
  WNDPROC prev;
  void* code;
};

LRESULT CALLBACK PassThroughProc(HWND self, UINT msg, WPARAM wParam, LPARAM lParam) {
  PassThrough* pass = reinterpret_cast<PassThrough*>(self);
  HWND hwnd = pass->hwnd;
  LRESULT result = CallWindowProcW(pass->prev, hwnd, msg, wParam, lParam);
  if (msg == WM_NCDESTROY) {
    // The stub is jumped through, not returned through, so it can go now.
    WindowThunk::FreeCode(pass->code);
    delete pass;
    Module::Unlock();
  }
  return result;
}

bool FindOrRegister(const WindowClassSpec& cls, WNDPROC startProc, WNDPROC* baseProc) noexcept {
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
      wc.lpfnWndProc = startProc;
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
  if (!FindOrRegister(cls, &Window::StartProc, &base)) return nullptr;
  if (!thunk_.Init(&Window::ObjectProc, this)) return nullptr;
  prev_ = base;
  Window* outer = t_creating;
  t_creating = this;
  HWND created = CreateWindowExW(exStyle, cls.name, title, style, x, y, width, height, parent,
                                 idOrMenu, Module::Instance(), nullptr);
  t_creating = outer;
  if (!created) ResetState();
  return created;
}

void Window::DestroyOwnWindow() noexcept {
  if (kind_ == Kind::Own && hwnd_) DestroyWindow(hwnd_);
}

bool Window::Subclass(HWND window) noexcept {
  if (hwnd_ || !IsWindow(window)) return false;
  if (!thunk_.Init(&Window::ObjectProc, this)) return false;
  SetLastError(0);
  LONG_PTR old = SetWindowLongPtrW(window, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(thunk_.Proc()));
  if (old == 0) return false;
  prev_ = reinterpret_cast<WNDPROC>(old);
  hwnd_ = window;
  kind_ = Kind::Subclassed;
  return true;
}

bool Window::Unsubclass() noexcept {
  if (kind_ != Kind::Subclassed) return true;
  if (!IsWindow(hwnd_)) {
    ResetState();
    return true;
  }
  WNDPROC current = reinterpret_cast<WNDPROC>(GetWindowLongPtrW(hwnd_, GWLP_WNDPROC));
  if (current == thunk_.Proc()) {
    SetLastError(0);
    LONG_PTR result = SetWindowLongPtrW(hwnd_, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(prev_));
    if (result == 0 && GetLastError() != 0) return false;
    ResetState();
    return true;
  }
  LeavePassThrough();
  return true;
}

void Window::LeavePassThrough() noexcept {
  PassThrough* pass = new (std::nothrow) PassThrough{hwnd_, prev_, nullptr};
  if (!pass) return;  // nothing better to do: keep routing through this object
  if (!thunk_.Init(&PassThroughProc, pass)) {
    delete pass;
    return;
  }
  pass->code = thunk_.Abandon();
  Module::Lock();  // code of this module stays in the window's chain until it is destroyed
  ResetState();
}

void Window::ResetState() noexcept {
  hwnd_ = nullptr;
  prev_ = DefWindowProcW;
  kind_ = Kind::None;
}

LRESULT Window::CallNext(UINT msg, WPARAM wParam, LPARAM lParam) noexcept {
  return CallWindowProcW(prev_, hwnd_, msg, wParam, lParam);
}

LRESULT CALLBACK Window::StartProc(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam) {
  Window* self = t_creating;
  if (!self) return DefWindowProcW(hwnd, msg, wParam, lParam);
  t_creating = nullptr;
  self->hwnd_ = hwnd;
  self->kind_ = Kind::Own;
  SetWindowLongPtrW(hwnd, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(self->thunk_.Proc()));
  return self->Route(msg, wParam, lParam);
}

LRESULT CALLBACK Window::ObjectProc(HWND self, UINT msg, WPARAM wParam, LPARAM lParam) {
  return reinterpret_cast<Window*>(self)->Route(msg, wParam, lParam);
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
    if (kind_ == Kind::Subclassed &&
        reinterpret_cast<WNDPROC>(GetWindowLongPtrW(hwnd, GWLP_WNDPROC)) == thunk_.Proc()) {
      SetWindowLongPtrW(hwnd, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(prev_));
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
