#include "server/registration.h"

#include <oleauto.h>
#include <shlwapi.h>

#include <string>

#include "framework/com_ptr.h"
#include "framework/guard.h"
#include "framework/module.h"
#include "framework/registration_places.h"
#include "framework/registry.h"
#include "server/show_toolbar_helper.h"
#include "server/vantorel_module.h"
#include "vantorel_h.h"

namespace vantorel {
namespace {

constexpr wchar_t kDescription[] = L"Vantorel";
constexpr wchar_t kClassDescription[] = L"SelectorCore Class";
constexpr wchar_t kProgId[] = L"Vantorel.SelectorCore.1";
constexpr wchar_t kIndependentProgId[] = L"Vantorel.SelectorCore";
constexpr wchar_t kAppIdModuleKey[] = L"AppID\\Vantorel.DLL";
constexpr wchar_t kHelperDescription[] = L"Vantorel: shows the toolbar";

class ThreadLocaleScope {
 public:
  ThreadLocaleScope() noexcept : saved_(GetThreadLocale()) { SetThreadLocale(LOCALE_SYSTEM_DEFAULT); }
  ~ThreadLocaleScope() { SetThreadLocale(saved_); }
  ThreadLocaleScope(const ThreadLocaleScope&) = delete;
  ThreadLocaleScope& operator=(const ThreadLocaleScope&) = delete;

 private:
  LCID saved_;
};

std::wstring GuidString(REFGUID guid) {
  wchar_t text[40];
  if (!StringFromGUID2(guid, text, 40)) return std::wstring();
  return text;
}

// The module's full path, as the registry gets it. Paths of MAX_PATH characters and more do
// not fit and fail with ERROR_INSUFFICIENT_BUFFER.
HRESULT ModulePath(std::wstring& path) {
  wchar_t buffer[MAX_PATH];
  SetLastError(ERROR_SUCCESS);
  DWORD length = GetModuleFileNameW(Module::Instance(), buffer, MAX_PATH);
  if (length == 0) {
    DWORD error = GetLastError();
    return error ? HRESULT_FROM_WIN32(error) : E_FAIL;
  }
  if (length >= MAX_PATH) return HRESULT_FROM_WIN32(ERROR_INSUFFICIENT_BUFFER);
  path.assign(buffer, length);
  return S_OK;
}

// The type library from the module's resources; when that fails, from the file beside it with
// the extension ".tlb". loadedFrom is the file that served.
HRESULT LoadModuleTypeLib(const std::wstring& modulePath, ComPtr<ITypeLib>& library, std::wstring& loadedFrom) {
  HRESULT hr = LoadTypeLibEx(modulePath.c_str(), REGKIND_NONE, library.put());
  if (SUCCEEDED(hr)) {
    loadedFrom = modulePath;
    return hr;
  }
  wchar_t alternative[MAX_PATH];
  lstrcpynW(alternative, modulePath.c_str(), MAX_PATH);
  if (!PathRenameExtensionW(alternative, L".tlb")) return hr;
  HRESULT second = LoadTypeLibEx(alternative, REGKIND_NONE, library.put());
  if (FAILED(second)) return hr;
  loadedFrom = alternative;
  return second;
}

class Steps {
 public:
  // Runs the next step only while every earlier one succeeded.
  template <class F>
  Steps& Then(F&& step) {
    if (SUCCEEDED(hr_)) hr_ = step();
    return *this;
  }
  HRESULT result() const noexcept { return hr_; }

 private:
  HRESULT hr_ = S_OK;
};

using registry::CreateKey;
using registry::DeleteKeyIfNoSubkeys;
using registry::DeleteTree;
using registry::DeleteValue;
using registry::SetString;

struct Names {
  std::wstring appId;
  std::wstring clsid;
  std::wstring libid;
  std::wstring appIdKey;
  std::wstring classKey;
  Names()
      : appId(g_vantorelModule.appId()),
        clsid(GuidString(CLSID_SelectorCore)),
        libid(GuidString(LIBID_VantorelLib)),
        appIdKey(L"AppID\\" + appId),
        classKey(L"CLSID\\" + clsid) {}
  std::wstring Class(const wchar_t* sub) const { return classKey + L"\\" + sub; }
};

HRESULT WriteAppId(const Names& n) {
  return Steps()
      .Then([&] { return SetString(HKEY_CLASSES_ROOT, n.appIdKey.c_str(), nullptr, kDescription); })
      .Then([&] { return SetString(HKEY_CLASSES_ROOT, kAppIdModuleKey, L"AppID", n.appId.c_str()); })
      .result();
}

HRESULT RemoveAppId(const Names& n) {
  return Steps()
      .Then([&] { return DeleteKeyIfNoSubkeys(HKEY_CLASSES_ROOT, n.appIdKey.c_str()); })
      .Then([&] { return DeleteValue(HKEY_CLASSES_ROOT, kAppIdModuleKey, L"AppID"); })
      .Then([&] { return DeleteKeyIfNoSubkeys(HKEY_CLASSES_ROOT, kAppIdModuleKey); })
      .result();
}

HRESULT WriteClass(const Names& n, const std::wstring& modulePath) {
  const std::wstring progIdClsid = std::wstring(kProgId) + L"\\CLSID";
  const std::wstring independentClsid = std::wstring(kIndependentProgId) + L"\\CLSID";
  const std::wstring independentCurVer = std::wstring(kIndependentProgId) + L"\\CurVer";
  const std::wstring programmable = n.Class(L"Programmable");
  const std::wstring inproc = n.Class(L"InprocServer32");
  HKEY cr = HKEY_CLASSES_ROOT;
  return Steps()
      .Then([&] { return SetString(cr, kProgId, nullptr, kClassDescription); })
      .Then([&] { return SetString(cr, progIdClsid.c_str(), nullptr, n.clsid.c_str()); })
      .Then([&] { return SetString(cr, kIndependentProgId, nullptr, kClassDescription); })
      .Then([&] { return SetString(cr, independentClsid.c_str(), nullptr, n.clsid.c_str()); })
      .Then([&] { return SetString(cr, independentCurVer.c_str(), nullptr, kProgId); })
      // The class key is rebuilt from nothing, so nothing stale survives a new registration.
      .Then([&] { return DeleteTree(cr, n.classKey.c_str()); })
      .Then([&] { return SetString(cr, n.classKey.c_str(), nullptr, kDescription); })
      .Then([&] { return SetString(cr, n.classKey.c_str(), L"AppID", n.appId.c_str()); })
      .Then([&] { return SetString(cr, n.Class(L"ProgID").c_str(), nullptr, kProgId); })
      .Then([&] { return SetString(cr, n.Class(L"VersionIndependentProgID").c_str(), nullptr, kIndependentProgId); })
      .Then([&] { return DeleteTree(cr, programmable.c_str()); })
      .Then([&] { return CreateKey(cr, programmable.c_str()); })
      .Then([&] { return SetString(cr, inproc.c_str(), nullptr, modulePath.c_str()); })
      .Then([&] { return SetString(cr, inproc.c_str(), L"ThreadingModel", L"Apartment"); })
      .Then([&] { return SetString(cr, n.Class(L"TypeLib").c_str(), nullptr, n.libid.c_str()); })
      .Then([&] { return SetString(HKEY_LOCAL_MACHINE, kToolbarKey, n.clsid.c_str(), kDescription); })
      .result();
}

HRESULT RemoveClass(const Names& n) {
  const std::wstring progIdClsid = std::wstring(kProgId) + L"\\CLSID";
  const std::wstring independentClsid = std::wstring(kIndependentProgId) + L"\\CLSID";
  const std::wstring independentCurVer = std::wstring(kIndependentProgId) + L"\\CurVer";
  HKEY cr = HKEY_CLASSES_ROOT;
  return Steps()
      .Then([&] { return DeleteKeyIfNoSubkeys(cr, n.Class(L"Implemented Categories").c_str()); })
      .Then([&] { return DeleteKeyIfNoSubkeys(cr, n.Class(L"Required Categories").c_str()); })
      .Then([&] { return DeleteTree(cr, progIdClsid.c_str()); })
      .Then([&] { return DeleteKeyIfNoSubkeys(cr, kProgId); })
      .Then([&] { return DeleteTree(cr, independentClsid.c_str()); })
      .Then([&] { return DeleteTree(cr, independentCurVer.c_str()); })
      .Then([&] { return DeleteKeyIfNoSubkeys(cr, kIndependentProgId); })
      .Then([&] { return DeleteTree(cr, n.classKey.c_str()); })
      .Then([&] { return DeleteValue(HKEY_LOCAL_MACHINE, kToolbarKey, n.clsid.c_str()); })
      .result();
}

HRESULT RegisterTypeLibrary(const std::wstring& modulePath) {
  ComPtr<ITypeLib> library;
  std::wstring loadedFrom;
  HRESULT hr = LoadModuleTypeLib(modulePath, library, loadedFrom);
  if (FAILED(hr)) return hr;
  return RegisterTypeLib(library.get(), const_cast<wchar_t*>(loadedFrom.c_str()), nullptr);
}

HRESULT UnregisterTypeLibrary(const std::wstring& modulePath) {
  ComPtr<ITypeLib> library;
  std::wstring loadedFrom;
  HRESULT hr = LoadModuleTypeLib(modulePath, library, loadedFrom);
  if (FAILED(hr)) return hr;
  TLIBATTR* attributes = nullptr;
  hr = library->GetLibAttr(&attributes);
  if (FAILED(hr)) return hr;
  hr = UnRegisterTypeLib(attributes->guid, attributes->wMajorVerNum, attributes->wMinorVerNum,
                         attributes->lcid, attributes->syskind);
  library->ReleaseTLibAttr(attributes);
  return hr;
}

// The helper object's class and its entry among Explorer's browser helper objects; it never
// loads into a web browser.
HRESULT WriteShowHelper(const std::wstring& modulePath) {
  const std::wstring clsid = GuidString(CLSID_ShowToolbarHelper);
  const std::wstring classKey = L"CLSID\\" + clsid;
  const std::wstring inproc = classKey + L"\\InprocServer32";
  const std::wstring helperKey = kHelperObjectsKey + clsid;
  HKEY cr = HKEY_CLASSES_ROOT;
  return Steps()
      .Then([&] { return DeleteTree(cr, classKey.c_str()); })
      .Then([&] { return SetString(cr, classKey.c_str(), nullptr, kHelperDescription); })
      .Then([&] { return SetString(cr, inproc.c_str(), nullptr, modulePath.c_str()); })
      .Then([&] { return SetString(cr, inproc.c_str(), L"ThreadingModel", L"Apartment"); })
      .Then([&] { return DeleteTree(HKEY_LOCAL_MACHINE, helperKey.c_str()); })
      .Then([&] { return SetString(HKEY_LOCAL_MACHINE, helperKey.c_str(), nullptr, kHelperDescription); })
      .Then([&] { return registry::SetDword(HKEY_LOCAL_MACHINE, helperKey.c_str(), L"NoInternetExplorer", 1); })
      .result();
}

// Also the calling user's record that the band was shown once: a later installation shows it
// again.
HRESULT RemoveShowHelper() {
  const std::wstring clsid = GuidString(CLSID_ShowToolbarHelper);
  return Steps()
      .Then([&] { return DeleteTree(HKEY_LOCAL_MACHINE, (kHelperObjectsKey + clsid).c_str()); })
      .Then([&] { return DeleteTree(HKEY_CLASSES_ROOT, (L"CLSID\\" + clsid).c_str()); })
      .Then([&] { return DeleteTree(HKEY_CURRENT_USER, kUserKey); })
      .result();
}

}  // namespace

HRESULT RegisterServer() noexcept {
  return GuardHresult([] {
    ThreadLocaleScope locale;
    std::wstring path;
    const Names names;
    return Steps()
        .Then([&] { return ModulePath(path); })
        .Then([&] { return WriteAppId(names); })
        .Then([&] { return WriteClass(names, path); })
        .Then([&] { return RegisterTypeLibrary(path); })
        .result();
  });
}

HRESULT UnregisterServer() noexcept {
  return GuardHresult([] {
    ThreadLocaleScope locale;
    std::wstring path;
    const Names names;
    return Steps()
        .Then([&] { return ModulePath(path); })
        // First, so that Explorer stops loading the helper even when a later step fails.
        .Then([&] { return RemoveShowHelper(); })
        .Then([&] { return RemoveClass(names); })
        .Then([&] { return UnregisterTypeLibrary(path); })
        .Then([&] { return RemoveAppId(names); })
        .result();
  });
}

HRESULT Install(bool install, const wchar_t* options) noexcept {
  return GuardHresult([&]() -> HRESULT {
    const bool show = options && lstrcmpiW(options, L"show") == 0;
    if (options && *options && !show) return E_INVALIDARG;
    if (!install) return RemoveShowHelper();
    if (!show) return S_OK;
    ThreadLocaleScope locale;
    std::wstring path;
    return Steps().Then([&] { return ModulePath(path); }).Then([&] { return WriteShowHelper(path); }).result();
  });
}

}  // namespace vantorel
