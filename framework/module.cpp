#include "framework/module.h"

#include <shlwapi.h>

namespace vantorel {
namespace {
volatile LONG g_lockCount = 0;
}

LONG Module::Lock() noexcept { return InterlockedIncrement(&g_lockCount); }
LONG Module::Unlock() noexcept { return InterlockedDecrement(&g_lockCount); }
LONG Module::LockCount() noexcept { return InterlockedCompareExchange(&g_lockCount, 0, 0); }

HINSTANCE Module::Instance() noexcept {
  static HINSTANCE instance = [] {
    HMODULE module = nullptr;
    GetModuleHandleExW(GET_MODULE_HANDLE_EX_FLAG_FROM_ADDRESS | GET_MODULE_HANDLE_EX_FLAG_UNCHANGED_REFCOUNT,
                       reinterpret_cast<LPCWSTR>(&Module::Instance), &module);
    return static_cast<HINSTANCE>(module);
  }();
  return instance;
}

bool Module::PathBeside(const wchar_t* name, wchar_t (&path)[MAX_PATH]) noexcept {
  path[0] = L'\0';
  DWORD length = GetModuleFileNameW(Instance(), path, MAX_PATH);
  if (length == 0 || length >= MAX_PATH) {
    path[0] = L'\0';
    return false;
  }
  PathRemoveFileSpecW(path);
  if (!PathAppendW(path, name)) {
    path[0] = L'\0';
    return false;
  }
  return true;
}

}  // namespace vantorel
