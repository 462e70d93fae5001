#include "server/vantorel_module.h"

#include <new>

#include "band/selector_core_factory.h"
#include "server/class_factory.h"
#include "server/show_toolbar_helper.h"
#include "vantorel_h.h"

namespace vantorel {
namespace {

constexpr wchar_t kAppId[] = L"{70608BA4-043B-44BB-B0D0-456A8368186B}";

ClassEntry g_classes[] = {
    {&CLSID_SelectorCore, &CreateSelectorCore, nullptr},
    {&CLSID_ShowToolbarHelper, &CreateShowToolbarHelper, nullptr},
};

}  // namespace

CVantorelModule g_vantorelModule;

CVantorelModule::CVantorelModule() noexcept {
  if (!InitializeCriticalSectionAndSpinCount(&lock_, 0)) initFailed_ = true;
}

CVantorelModule::~CVantorelModule() {
  Term(false);
  if (!initFailed_) DeleteCriticalSection(&lock_);
}

const GUID& CVantorelModule::libid() const noexcept { return LIBID_VantorelLib; }
const wchar_t* CVantorelModule::appId() const noexcept { return kAppId; }

ClassEntry* CVantorelModule::Classes() noexcept { return g_classes; }
size_t CVantorelModule::ClassCount() noexcept { return sizeof(g_classes) / sizeof(g_classes[0]); }

HRESULT CVantorelModule::GetGITPtr(IGlobalInterfaceTable** git) noexcept {
  if (!git) return E_POINTER;
  *git = nullptr;
  if (initFailed_) return E_UNEXPECTED;
  HRESULT hr = S_OK;
  EnterCriticalSection(&lock_);
  if (!git_) {
    hr = CoCreateInstance(CLSID_StdGlobalInterfaceTable, nullptr, CLSCTX_INPROC_SERVER,
                          IID_IGlobalInterfaceTable, git_.put_void());
    if (FAILED(hr)) git_.reset();
  }
  git_.CopyTo(git);
  LeaveCriticalSection(&lock_);
  return hr;
}

HRESULT CVantorelModule::GetClassObject(REFCLSID clsid, REFIID riid, void** ppv) noexcept {
  if (initFailed_) return E_UNEXPECTED;
  if (!ppv) return E_POINTER;
  *ppv = nullptr;
  ClassEntry* entry = nullptr;
  for (size_t i = 0; i < ClassCount(); ++i) {
    if (*g_classes[i].clsid == clsid) entry = &g_classes[i];
  }
  if (!entry) return CLASS_E_CLASSNOTAVAILABLE;

  EnterCriticalSection(&lock_);
  if (!entry->classObject) entry->classObject.attach(new (std::nothrow) CClassFactory(entry->create));
  IUnknown* classObject = entry->classObject.get();  // the table's reference, kept until unload
  LeaveCriticalSection(&lock_);
  if (!classObject) return E_OUTOFMEMORY;

  HRESULT hr = classObject->QueryInterface(riid, ppv);
  if (!*ppv && SUCCEEDED(hr)) hr = CLASS_E_CLASSNOTAVAILABLE;
  return hr;
}

void CVantorelModule::Term(bool processEnding) noexcept {
  for (size_t i = 0; i < ClassCount(); ++i) g_classes[i].classObject.reset();
  if (processEnding) {
    git_.detach();
  } else {
    git_.reset();
  }
}

}  // namespace vantorel
