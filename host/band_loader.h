#pragma once
// The band module in the stand-in: loaded once per process, directly or through registration.
#include <windows.h>

#include <string>

#include "framework/com_ptr.h"

namespace vantorel::host {

// The band module, loaded once per process and kept loaded while this lives (and after, while
// it still has live objects); every Explorer window makes its own band object from it.
class LoadedBand {
 public:
  LoadedBand() = default;
  ~LoadedBand();
  LoadedBand(const LoadedBand&) = delete;
  LoadedBand& operator=(const LoadedBand&) = delete;

  // --dll: LoadLibrary on the file itself; bands come from its DllGetClassObject.
  bool LoadDirect(const std::wstring& dllPath, std::wstring& error);
  // Copies the module to targetDir and registers the copy (DllRegisterServer); bands come from
  // CoCreateInstance.
  bool LoadRegistered(const std::wstring& sourceDll, const std::wstring& targetDir, std::wstring& error);
  // A new band object, made on (and belonging to) the calling thread's apartment.
  HRESULT NewBand(ComPtr<IUnknown>& band) const;
  const std::wstring& modulePath() const { return modulePath_; }

 private:
  HMODULE module_ = nullptr;
  bool registered_ = false;
  std::wstring modulePath_;
};

}  // namespace vantorel::host
