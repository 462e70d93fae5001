#include "box/box_key_hook.h"

#include "framework/com_ptr.h"
#include "framework/guard.h"
#include "framework/module.h"

namespace vantorel {
namespace {

constexpr int kMaxTargets = 64;  // boxes of one window: one per tab

// A hook belongs to one thread; Explorer runs each window on a thread of its own, and every
// tab's box on its window's thread. Plain data: a thread may outlive the module.
struct ThreadKeyHook {
  HHOOK hook;
  BoxKeyTarget* targets[kMaxTargets];
  int count;
  bool routing;  // a key handed on runs the band, which may run a loop of its own
};
thread_local ThreadKeyHook t_keyHook = {};

LRESULT CALLBACK RouteBoxKeys(int code, WPARAM removal, LPARAM lParam) {
  ThreadKeyHook& state = t_keyHook;
  auto* msg = reinterpret_cast<MSG*>(lParam);
  if (code == HC_ACTION && removal == PM_REMOVE && msg && msg->message >= WM_KEYFIRST &&
      msg->message <= WM_KEYLAST && !state.routing) {
    BoxKeyTarget* target = nullptr;
    for (int i = 0; i < state.count; ++i) {
      if (state.targets[i]->HoldsWindow(msg->hwnd)) target = state.targets[i];
    }
    if (target) {
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
  if (state.count == kMaxTargets) return false;
  if (!state.hook) {
    state.hook = SetWindowsHookExW(WH_GETMESSAGE, &RouteBoxKeys, Module::Instance(), GetCurrentThreadId());
    if (!state.hook) return false;
    Module::Lock();  // the hook's procedure is the module's code
  }
  state.targets[state.count++] = target;
  return true;
}

void RemoveBoxKeyTarget(BoxKeyTarget* target) noexcept {
  ThreadKeyHook& state = t_keyHook;
  int kept = 0;
  for (int i = 0; i < state.count; ++i) {
    if (state.targets[i] != target) state.targets[kept++] = state.targets[i];
  }
  state.count = kept;
  if (state.count == 0 && state.hook) {
    UnhookWindowsHookEx(state.hook);
    state.hook = nullptr;
    Module::Unlock();
  }
}

}  // namespace vantorel
