#include "host/band_loader.h"

#include <shlobj.h>
#include <shlwapi.h>

#include "vantorel_h.h"

namespace vantorel::host {

LoadedBand::~LoadedBand() {
  if (module_) {
    using CanUnload = HRESULT(STDAPICALLTYPE*)();
    auto canUnload = reinterpret_cast<CanUnload>(GetProcAddress(module_, "DllCanUnloadNow"));
    // A module that still has live objects stays loaded.
    if (!canUnload || canUnload() == S_OK) FreeLibrary(module_);
  }
  CoFreeUnusedLibraries();
}

bool LoadedBand::LoadDirect(const std::wstring& dllPath, std::wstring& error) {
  wchar_t full[MAX_PATH];
  if (!GetFullPathNameW(dllPath.c_str(), MAX_PATH, full, nullptr)) {
    error = L"bad module path " + dllPath;
    return false;
  }
  module_ = LoadLibraryW(full);
  if (!module_ || !GetProcAddress(module_, "DllGetClassObject")) {
    error = L"cannot load " + std::wstring(full);
    return false;
  }
  modulePath_ = full;
  return true;
}

bool LoadedBand::LoadRegistered(const std::wstring& sourceDll, const std::wstring& targetDir, std::wstring& error) {
  if (!PathFileExistsW(sourceDll.c_str())) {
    error = L"no band module at " + sourceDll;
    return false;
  }
  SHCreateDirectoryExW(nullptr, targetDir.c_str(), nullptr);
  std::wstring copy = targetDir + L"\\Vantorel.dll";
  if (!CopyFileW(sourceDll.c_str(), copy.c_str(), FALSE)) {
    error = L"cannot copy the band module to " + copy;
    return false;
  }
  // What regsvr32 does, in this process.
  HMODULE module = LoadLibraryW(copy.c_str());
  using Register = HRESULT(STDAPICALLTYPE*)();
  auto reg = module ? reinterpret_cast<Register>(GetProcAddress(module, "DllRegisterServer")) : nullptr;
  HRESULT hr = reg ? reg() : E_FAIL;
  if (FAILED(hr)) {
    if (module) FreeLibrary(module);
    error = L"DllRegisterServer failed for " + copy;
    return false;
  }
  module_ = module;  // kept loaded; CoCreateInstance finds the same module
  modulePath_ = copy;
  registered_ = true;
  return true;
}

HRESULT LoadedBand::NewBand(ComPtr<IUnknown>& band) const {
  band.reset();
  if (!module_) return E_UNEXPECTED;
  if (registered_) {
    return CoCreateInstance(CLSID_SelectorCore, nullptr, CLSCTX_INPROC_SERVER, IID_IUnknown, band.put_void());
  }
  using GetClassObject = HRESULT(STDAPICALLTYPE*)(REFCLSID, REFIID, void**);
  auto get = reinterpret_cast<GetClassObject>(GetProcAddress(module_, "DllGetClassObject"));
  ComPtr<IClassFactory> factory;
  HRESULT hr = get ? get(CLSID_SelectorCore, IID_IClassFactory, factory.put_void()) : E_NOINTERFACE;
  if (SUCCEEDED(hr)) hr = factory->CreateInstance(nullptr, IID_IUnknown, band.put_void());
  return hr;
}

}  // namespace vantorel::host
