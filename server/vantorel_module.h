#pragma once
// The module object of Vantorel.dll: lock count (the framework's), the class table with its
// cached class objects, the critical section that guards their first creation, and the
// process's global interface table.
#include <windows.h>
#include <objidl.h>

#include "framework/com_ptr.h"
#include "framework/module.h"

namespace vantorel {

// Creates an object of a creatable class: aggregated when outer is given.
using ObjectCreator = HRESULT (*)(IUnknown* outer, REFIID riid, void** ppv);

struct ClassEntry {
  const CLSID* clsid;
  ObjectCreator create;
  ComPtr<IUnknown> classObject;  // created on first request, kept until unload
};

class CVantorelModule : public Module {
 public:
  CVantorelModule() noexcept;
  virtual ~CVantorelModule();
  CVantorelModule(const CVantorelModule&) = delete;
  CVantorelModule& operator=(const CVantorelModule&) = delete;

  // The one lock count of the module (Module's); each returns the new count.
  virtual LONG Lock() noexcept { return Module::Lock(); }
  virtual LONG Unlock() noexcept { return Module::Unlock(); }
  virtual LONG GetLockCount() noexcept { return Module::LockCount(); }
  // The process's global interface table, created on first call, with a reference added.
  virtual HRESULT GetGITPtr(IGlobalInterfaceTable** git) noexcept;

  bool initialized() const noexcept { return !initFailed_; }
  const GUID& libid() const noexcept;
  // Registry form of the AppID.
  const wchar_t* appId() const noexcept;

  HRESULT GetClassObject(REFCLSID clsid, REFIID riid, void** ppv) noexcept;
  HRESULT CanUnloadNow() noexcept { return GetLockCount() == 0 ? S_OK : S_FALSE; }

  // Releases the cached class objects and the global interface table. The table is left
  // alone when the process is ending, since COM may be gone by then.
  void Term(bool processEnding) noexcept;

  // The class table (one entry: SelectorCore) and its size.
  static ClassEntry* Classes() noexcept;
  static size_t ClassCount() noexcept;

 private:
  CRITICAL_SECTION lock_;
  bool initFailed_ = false;
  ComPtr<IGlobalInterfaceTable> git_;
};

extern CVantorelModule g_vantorelModule;

}  // namespace vantorel
