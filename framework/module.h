#pragma once
// Module-wide state: the lock count that keeps the module loaded, and the module's own handle.
#include <windows.h>

namespace vantorel {

class Module {
 public:
  // Each returns the new count. Atomic: class objects may be used from several threads.
  static LONG Lock() noexcept;
  static LONG Unlock() noexcept;
  static LONG LockCount() noexcept;
  // The module (DLL or program) that holds this code and its resources (where its files are
  // kept: framework/data_files.h).
  static HINSTANCE Instance() noexcept;
  // Directory of the module's file joined with name, cut to MAX_PATH. False when it does not fit.
  static bool PathBeside(const wchar_t* name, wchar_t (&path)[MAX_PATH]) noexcept;
};

// Holds one module lock for as long as it lives.
class ModuleLockHolder {
 public:
  ModuleLockHolder() noexcept { Module::Lock(); }
  ModuleLockHolder(const ModuleLockHolder&) noexcept { Module::Lock(); }
  ModuleLockHolder& operator=(const ModuleLockHolder&) noexcept { return *this; }
  ~ModuleLockHolder() { Module::Unlock(); }
};

}  // namespace vantorel
