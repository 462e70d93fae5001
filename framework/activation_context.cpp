#include "framework/activation_context.h"

#include "framework/module.h"

namespace vantorel {
namespace {

// One context per process, made on first use from the module's manifest resource 2.
HANDLE ModuleContext() noexcept {
  static HANDLE context = [] {
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
  }();
  return context;
}

}  // namespace

ScopedModuleActivation::ScopedModuleActivation() noexcept {
  HANDLE context = ModuleContext();
  if (context != INVALID_HANDLE_VALUE && !ActivateActCtx(context, &cookie_)) cookie_ = 0;
}

ScopedModuleActivation::~ScopedModuleActivation() {
  if (cookie_) DeactivateActCtx(0, cookie_);
}

}  // namespace vantorel
