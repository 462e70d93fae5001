#include "box/box_key_hook.h"

#include "framework/com_ptr.h"
#include "framework/guard.h"
#include "framework/module.h"

namespace vantorel {

// A hook belongs to one thread; Explorer runs each window on a thread of its own, and every
// tab's box on its window's thread. Plain data: a thread may outlive the module. The targets are
// chained through the targets themselves, so that adding one allocates nothing.
struct ThreadKeyHook {
  HHOOK hook;
  BoxKeyTarget* first;
  bool routing;  // a key handed on runs the band, which may run a loop of its own

  BoxKeyTarget* TargetOf(HWND window) const noexcept {
    for (BoxKeyTarget* target = first; target; target = target->nextKeyTarget_) {
      if (target->HoldsWindow(window)) return target;
    }
    return nullptr;
  }
};

namespace {

thread_local ThreadKeyHook t_keyHook = {};

// A menu's modal loop takes the keys from the queue too: while one tracks (the mode menu opened
// from the box, or any other of the thread), its keys are the menu's alone.
bool MenuTracking() noexcept {
  GUITHREADINFO info = {};
  info.cbSize = sizeof(info);
  return GetGUIThreadInfo(GetCurrentThreadId(), &info) && (info.flags & GUI_INMENUMODE) != 0;
}

LRESULT CALLBACK RouteBoxKeys(int code, WPARAM removal, LPARAM lParam) {
  ThreadKeyHook& state = t_keyHook;
  auto* msg = reinterpret_cast<MSG*>(lParam);
  if (code == HC_ACTION && removal == PM_REMOVE && msg && msg->message >= WM_KEYFIRST &&
      msg->message <= WM_KEYLAST && !state.routing && !MenuTracking()) {
    if (BoxKeyTarget* target = state.TargetOf(msg->hwnd)) {
      ComPtr<IUnknown> hold(target->KeyTargetLifetime());
      state.routing = true;
      const bool taken = GuardValue(false, [&] { return target->TranslateKey(*msg); });
      state.routing = false;
      if (taken) msg->message = WM_NULL;
    }
  }
  return CallNextHookEx(nullptr, code, removal, lParam);
}

}  // namespace

bool AddBoxKeyTarget(BoxKeyTarget* target) noexcept {
  ThreadKeyHook& state = t_keyHook;
  if (!target) return false;
  if (!state.hook) {
    state.hook = SetWindowsHookExW(WH_GETMESSAGE, &RouteBoxKeys, Module::Instance(), GetCurrentThreadId());
    if (!state.hook) return false;
    Module::Lock();  // the hook's procedure is the module's code
  }
  target->nextKeyTarget_ = state.first;
  state.first = target;
  return true;
}

void RemoveBoxKeyTarget(BoxKeyTarget* target) noexcept {
  ThreadKeyHook& state = t_keyHook;
  for (BoxKeyTarget** link = &state.first; *link; link = &(*link)->nextKeyTarget_) {
    if (*link == target) {
      *link = target->nextKeyTarget_;
      target->nextKeyTarget_ = nullptr;
      break;
    }
  }
  if (!state.first && state.hook) {
    UnhookWindowsHookEx(state.hook);
    state.hook = nullptr;
    Module::Unlock();
  }
}

}  // namespace vantorel
