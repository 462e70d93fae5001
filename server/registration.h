#pragma once
// Self-registration of the module: the AppID, the SelectorCore class with its ProgIDs, the
// toolbar entry Explorer reads, and the type library. Both run under the system default
// locale and put the caller's thread locale back on every path; both stop at the first failure
// and return it.
#include <windows.h>

namespace vantorel {

HRESULT RegisterServer() noexcept;
// Also removes what Install wrote.
HRESULT UnregisterServer() noexcept;
// DllInstall: with the option "show" (any letter case) registers the browser helper object
// that shows the band once per user; no option does nothing more; uninstalling removes the
// helper object whatever the option. An unknown option gives E_INVALIDARG.
HRESULT Install(bool install, const wchar_t* options) noexcept;

}  // namespace vantorel
