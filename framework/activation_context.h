#pragma once
// Activates the module's own side-by-side manifest (resource 2, common controls 6) for a scope,
// so that windows created inside it get the version 6 controls.
#include <windows.h>

namespace vantorel {

class ScopedModuleActivation {
 public:
  ScopedModuleActivation() noexcept;
  ~ScopedModuleActivation();
  ScopedModuleActivation(const ScopedModuleActivation&) = delete;
  ScopedModuleActivation& operator=(const ScopedModuleActivation&) = delete;
  bool active() const noexcept { return cookie_ != 0; }

 private:
  ULONG_PTR cookie_ = 0;
};

// Gives the module's context back; for the unload of the module, when no scope is active.
void ReleaseModuleActivationContext() noexcept;

}  // namespace vantorel
