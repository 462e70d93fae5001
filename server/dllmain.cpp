// Entry point and exports of Vantorel.dll.
#include <windows.h>
#include <commctrl.h>
#include <olectl.h>

#include "framework/activation_context.h"
#include "framework/window.h"
#include "server/registration.h"
#include "server/vantorel_module.h"

using vantorel::g_vantorelModule;

#if defined(__GLIBCXX__)
// The C++ runtime linked into the module keeps an emergency buffer for exceptions, taken when
// the module loads; this gives it back.
namespace __gnu_cxx {
void __freeres();
}
#endif

extern "C" BOOL WINAPI DllMain(HINSTANCE, DWORD reason, LPVOID reserved) {
  // Common controls 6 through the module's own manifest. Not while the module is leaving:
  // when the process ends, comctl32 may already be gone.
  if (reason != DLL_PROCESS_DETACH) {
    vantorel::ScopedModuleActivation activation;
    InitCommonControls();
  }
  switch (reason) {
    case DLL_PROCESS_ATTACH:
      return g_vantorelModule.initialized() ? TRUE : FALSE;
    case DLL_PROCESS_DETACH:
      vantorel::Window::UnregisterClasses();
      g_vantorelModule.Term(reserved != nullptr);
      // FreeLibrary (not the end of the process): everything this load made goes, since the
      // next window loads the module afresh.
      if (!reserved) {
        vantorel::ReleaseModuleActivationContext();
#if defined(__GLIBCXX__)
        __gnu_cxx::__freeres();
#endif
      }
      return TRUE;
    default:
      return TRUE;
  }
}

STDAPI DllCanUnloadNow() { return g_vantorelModule.CanUnloadNow(); }

STDAPI DllGetClassObject(REFCLSID clsid, REFIID riid, LPVOID* ppv) {
  return g_vantorelModule.GetClassObject(clsid, riid, ppv);
}

STDAPI DllRegisterServer() { return vantorel::RegisterServer(); }

STDAPI DllUnregisterServer() { return vantorel::UnregisterServer(); }

STDAPI DllInstall(BOOL install, PCWSTR options) { return vantorel::Install(install != FALSE, options); }
