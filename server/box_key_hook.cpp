#include "server/box_key_hook.h"

#include <algorithm>
#include <vector>

#include "framework/com_ptr.h"
#include "framework/module.h"

namespace vantorel {
namespace {

// A hook belongs to one thread; Explorer runs each window on a thread of its own, and every
// tab's box on its window's thread.
struct ThreadKeyHook {
  HHOOK hook = nullptr;
  std::vector<BoxKeyTarget*> targets;
  bool routing = false;  // a key handed on runs the band, which may run a loop of its own
};
thread_local ThreadKeyHook t_keyHook;

LRESULT CALLBACK RouteBoxKeys(int code, WPARAM removal, LPARAM lParam) {
  ThreadKeyHook& state = t_keyHook;
  auto* msg = reinterpret_cast<MSG*>(lParam);
  if (code == HC_ACTION && removal == PM_REMOVE && msg && msg->message >= WM_KEYFIRST &&
      msg->message <= WM_KEYLAST && !state.routing) {
    BoxKeyTarget* target = nullptr;
    for (BoxKeyTarget* candidate : state.targets) {
      if (candidate->HoldsWindow(msg->hwnd)) target = candidate;
    }
    if (target) {
      ComPtr<IUnknown> hold(target->KeyTargetLifetime());
      state.routing = true;
      const bool taken = target->TranslateKey(*msg);
      state.routing = false;
      if (taken) msg->message = WM_NULL;
    }
  }
  return CallNextHookEx(nullptr, code, removal, lParam);
}

}  // namespace

bool AddBoxKeyTarget(BoxKeyTarget* target) noexcept {
  ThreadKeyHook& state = t_keyHook;
  if (!state.hook) {
    state.hook = SetWindowsHookExW(WH_GETMESSAGE, &RouteBoxKeys, Module::Instance(), GetCurrentThreadId());
    if (!state.hook) return false;
    Module::Lock();  // the hook's procedure is the module's code
  }
  try {
    state.targets.push_back(target);
  } catch (...) {
  }
  if (std::find(state.targets.begin(), state.targets.end(), target) != state.targets.end()) return true;
  RemoveBoxKeyTarget(target);
  return false;
}

void RemoveBoxKeyTarget(BoxKeyTarget* target) noexcept {
  ThreadKeyHook& state = t_keyHook;
  state.targets.erase(std::remove(state.targets.begin(), state.targets.end(), target), state.targets.end());
  if (state.targets.empty() && state.hook) {
    UnhookWindowsHookEx(state.hook);
    state.hook = nullptr;
    std::vector<BoxKeyTarget*>().swap(state.targets);
    Module::Unlock();
  }
}

}  // namespace vantorel
