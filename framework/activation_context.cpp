#include "framework/activation_context.h"

#include "framework/module.h"

namespace vantorel {
namespace {

// One context per load of the module, made on first use from the module's manifest resource 2
// and released when the module is unloaded.
HANDLE g_context = INVALID_HANDLE_VALUE;

HANDLE CreateModuleContext() noexcept {
  wchar_t path[MAX_PATH];
  DWORD length = GetModuleFileNameW(Module::Instance(), path, MAX_PATH);
  if (length == 0 || length >= MAX_PATH) return INVALID_HANDLE_VALUE;
  ACTCTXW actctx = {};
  actctx.cbSize = sizeof(actctx);
  actctx.dwFlags = ACTCTX_FLAG_RESOURCE_NAME_VALID | ACTCTX_FLAG_HMODULE_VALID;
  actctx.lpSource = path;
  actctx.lpResourceName = MAKEINTRESOURCEW(2);
  actctx.hModule = Module::Instance();
  return CreateActCtxW(&actctx);
}

HANDLE ModuleContext() noexcept {
  HANDLE context = InterlockedCompareExchangePointer(&g_context, nullptr, nullptr);
  if (context != INVALID_HANDLE_VALUE) return context;
  HANDLE created = CreateModuleContext();
  if (created == INVALID_HANDLE_VALUE) return created;
  // Two threads may race on the first use: the loser gives its context back.
  HANDLE previous = InterlockedCompareExchangePointer(&g_context, created, INVALID_HANDLE_VALUE);
  if (previous == INVALID_HANDLE_VALUE) return created;
  ReleaseActCtx(created);
  return previous;
}

}  // namespace

ScopedModuleActivation::ScopedModuleActivation() noexcept {
  HANDLE context = ModuleContext();
  if (context != INVALID_HANDLE_VALUE && !ActivateActCtx(context, &cookie_)) cookie_ = 0;
}

ScopedModuleActivation::~ScopedModuleActivation() {
  if (cookie_) DeactivateActCtx(0, cookie_);
}

void ReleaseModuleActivationContext() noexcept {
  HANDLE context = InterlockedExchangePointer(&g_context, INVALID_HANDLE_VALUE);
  if (context != INVALID_HANDLE_VALUE) ReleaseActCtx(context);
}

}  // namespace vantorel
