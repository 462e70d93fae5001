// Entry point and exports of Vantorel.dll.
#include <windows.h>
#include <commctrl.h>
#include <olectl.h>

#include "framework/activation_context.h"
#include "framework/window.h"
#include "server/registration.h"
#include "server/vantorel_module.h"

using vantorel::g_vantorelModule;

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
