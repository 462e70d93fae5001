#pragma once
// Vantorel.dll as the tests see it: loaded from a path, its four exports looked up.
#include <windows.h>

#include <string>

#include "framework/module.h"

namespace vantorel_test {

using ExportFn = HRESULT(STDAPICALLTYPE*)();  // DllCanUnloadNow, DllRegisterServer, DllUnregisterServer
using GetClassObjectFn = HRESULT(STDAPICALLTYPE*)(REFCLSID, REFIID, void**);

inline std::wstring BesideTests(const wchar_t* name) {
  wchar_t path[MAX_PATH];
  vantorel::Module::PathBeside(name, path);
  return path;
}

// The copy of the module that the build puts beside the test program.
inline std::wstring BuiltModulePath() { return BesideTests(L"Vantorel.dll"); }

class LoadedDll {
 public:
  explicit LoadedDll(const std::wstring& path) : module_(LoadLibraryW(path.c_str())) {
    if (!module_) return;
    canUnload = reinterpret_cast<ExportFn>(GetProcAddress(module_, "DllCanUnloadNow"));
    getClassObject = reinterpret_cast<GetClassObjectFn>(GetProcAddress(module_, "DllGetClassObject"));
    registerServer = reinterpret_cast<ExportFn>(GetProcAddress(module_, "DllRegisterServer"));
    unregisterServer = reinterpret_cast<ExportFn>(GetProcAddress(module_, "DllUnregisterServer"));
  }
  ~LoadedDll() {
    if (module_) FreeLibrary(module_);
  }
  LoadedDll(const LoadedDll&) = delete;
  LoadedDll& operator=(const LoadedDll&) = delete;

  HMODULE module() const { return module_; }
  bool complete() const { return module_ && canUnload && getClassObject && registerServer && unregisterServer; }

  ExportFn canUnload = nullptr;
  GetClassObjectFn getClassObject = nullptr;
  ExportFn registerServer = nullptr;
  ExportFn unregisterServer = nullptr;

 private:
  HMODULE module_;
};

}  // namespace vantorel_test
