#include "framework/window.h"

#include <cstdlib>
#include <cstring>
#include <cwchar>

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

// Tells apart the module's subclasses, also when a new object takes the address of one whose
// subclass was left as a pass-through. Increasing, so that the entries of one window lie in the
// table in the order they were put in front of it.
LONG64 g_lastSubclassId = 0;

// One place of Window::SubclassProc in a window's chain of procedures, with the procedure it
// replaced; without an object, a pass-through left where another procedure sat in front of it,
// holding a module lock until the window's WM_NCDESTROY.
struct SubclassEntry {
  HWND hwnd;
  UINT_PTR id;
  Window* object;
  WNDPROC next;
};

// The subclasses of this thread's windows, oldest first. A window is subclassed and messaged on
// its own thread, so the table needs no lock; it holds a handful of entries and is searched in a
// line. Plain data: nothing of it runs when the thread ends.
struct SubclassTable {
  SubclassEntry* entries;
  int count;
  int capacity;
};
thread_local SubclassTable t_subclasses = {nullptr, 0, 0};

// The entry of this thread that is passing a message on right now, if any. Meanwhile the same
// message coming to SubclassProc for its window comes through the place of ours below it, when
// there is one (directly, or through another subclasser's procedure that passes it on); any other
// message, one that a procedure underneath sends to the window itself, enters the window's chain
// at its head. Taken wrongly would be only the very message being passed on, sent to the window
// anew by somebody else's procedure between two places of ours.
struct PassingOn {
  HWND hwnd;
  UINT_PTR id;
  UINT msg;
};
thread_local PassingOn t_passingOn = {nullptr, 0, 0};

SubclassEntry* FindSubclass(UINT_PTR id) noexcept {
  SubclassTable& table = t_subclasses;
  for (int i = 0; i < table.count; ++i) {
    if (table.entries[i].id == id) return &table.entries[i];
  }
  return nullptr;
}

// The entry whose place a call of SubclassProc for the window came through.
SubclassEntry* CalledSubclass(HWND hwnd, UINT msg) noexcept {
  SubclassTable& table = t_subclasses;
  const PassingOn passing = t_passingOn;
  const bool passedOn = passing.hwnd == hwnd && passing.msg == msg;
  SubclassEntry* newest = nullptr;
  for (int i = table.count - 1; i >= 0; --i) {
    SubclassEntry& entry = table.entries[i];
    if (entry.hwnd != hwnd) continue;
    if (!passedOn || entry.id < passing.id) return &entry;
    if (!newest) newest = &entry;
  }
  return newest;
}

// The entry put in front of the same window next after entry, or null when entry is the newest.
SubclassEntry* NewerSubclass(const SubclassEntry& entry) noexcept {
  SubclassTable& table = t_subclasses;
  for (int i = static_cast<int>(&entry - table.entries) + 1; i < table.count; ++i) {
    if (table.entries[i].hwnd == entry.hwnd) return &table.entries[i];
  }
  return nullptr;
}

// Room for one more entry, so that adding it after the window's procedure was replaced cannot fail.
bool ReserveSubclass() noexcept {
  SubclassTable& table = t_subclasses;
  if (table.count < table.capacity) return true;
  const int capacity = table.capacity ? table.capacity * 2 : 4;
  void* grown = std::realloc(table.entries, sizeof(SubclassEntry) * capacity);
  if (!grown) return false;
  table.entries = static_cast<SubclassEntry*>(grown);
  table.capacity = capacity;
  return true;
}

void RemoveSubclass(UINT_PTR id) noexcept {
  SubclassTable& table = t_subclasses;
  SubclassEntry* entry = FindSubclass(id);
  if (!entry) return;
  const int index = static_cast<int>(entry - table.entries);
  std::memmove(entry, entry + 1, sizeof(SubclassEntry) * (table.count - index - 1));
  if (--table.count == 0) {  // a thread that subclasses nothing keeps no memory
    std::free(table.entries);
    table = {nullptr, 0, 0};
  }
}

// Calls the procedure that the entry replaced, with the entry marked as the one passing on.
LRESULT PassOn(HWND hwnd, UINT_PTR id, WNDPROC next, UINT msg, WPARAM wParam, LPARAM lParam) noexcept {
  const PassingOn outer = t_passingOn;
  t_passingOn = {hwnd, id, msg};
  const LRESULT result = CallWindowProcW(next, hwnd, msg, wParam, lParam);
  t_passingOn = outer;
  return result;
}

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
  if (hwnd_ || !IsWindow(window) || !IsWindowUnicode(window)) return false;
  if (GetWindowThreadProcessId(window, nullptr) != GetCurrentThreadId()) return false;
  if (!ReserveSubclass()) return false;
  const UINT_PTR id = static_cast<UINT_PTR>(InterlockedIncrement64(&g_lastSubclassId));
  const WNDPROC next = reinterpret_cast<WNDPROC>(
      SetWindowLongPtrW(window, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(&Window::SubclassProc)));
  if (!next) return false;
  SubclassTable& table = t_subclasses;
  table.entries[table.count++] = {window, id, this, next};
  hwnd_ = window;
  id_ = id;
  kind_ = Kind::Subclassed;
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
  SubclassEntry* entry = FindSubclass(id_);
  if (!entry) return false;  // not the window's thread
  if (IsWindow(hwnd_)) {
    if (SubclassEntry* newer = NewerSubclass(*entry)) {
      // A newer place of ours in front of the same window: when it calls ours directly, it
      // calls what ours called from now on; with another procedure between, ours stays.
      if (newer->next != &Window::SubclassProc) return LeavePassThrough();
      newer->next = entry->next;
    } else {
      // Another procedure in front of ours calls ours: it stays, passing on.
      if (reinterpret_cast<WNDPROC>(GetWindowLongPtrW(hwnd_, GWLP_WNDPROC)) != &Window::SubclassProc) {
        return LeavePassThrough();
      }
      if (!SetWindowLongPtrW(hwnd_, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(entry->next))) return false;
    }
  }
  RemoveSubclass(id_);
  ResetState();
  return true;
}

bool Window::LeavePassThrough() noexcept {
  if (kind_ == Kind::Own) {
    SetWindowLongPtrW(hwnd_, GWLP_USERDATA, kLeftBehind);
  } else {
    SubclassEntry* entry = FindSubclass(id_);
    if (!entry) return false;
    entry->object = nullptr;
  }
  Module::Lock();  // code of this module stays in the window's chain until it is destroyed
  ResetState();
  return true;
}

void Window::ResetState() noexcept {
  hwnd_ = nullptr;
  id_ = 0;
  baseProc_ = nullptr;
  kind_ = Kind::None;
}

LRESULT Window::CallNext(UINT msg, WPARAM wParam, LPARAM lParam) noexcept {
  if (kind_ == Kind::Own) return CallWindowProcW(baseProc_, hwnd_, msg, wParam, lParam);
  const SubclassEntry* entry = kind_ == Kind::Subclassed ? FindSubclass(id_) : nullptr;
  return entry ? PassOn(hwnd_, id_, entry->next, msg, wParam, lParam) : 0;
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

// The procedure put in front of somebody else's window. The table of this thread's subclasses
// tells the object, or the procedure to pass on to: a message costs no lookup in the window.
LRESULT CALLBACK Window::SubclassProc(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam) {
  const SubclassEntry* called = CalledSubclass(hwnd, msg);
  if (!called) return DefWindowProcW(hwnd, msg, wParam, lParam);
  const SubclassEntry entry = *called;  // the table may change during the message
  const PassingOn outer = t_passingOn;
  t_passingOn = {nullptr, 0, 0};  // a message sent to the window meanwhile starts at its head
  LRESULT result = 0;
  if (entry.object) {
    result = entry.object->Route(msg, wParam, lParam);
  } else {
    result = PassOn(hwnd, entry.id, entry.next, msg, wParam, lParam);
    if (msg == WM_NCDESTROY) RemoveSubclass(entry.id);
  }
  t_passingOn = outer;
  if (!entry.object && msg == WM_NCDESTROY) Module::Unlock();
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
      RemoveSubclass(id_);
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
