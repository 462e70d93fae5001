#pragma once
// Self-registration of the module: the AppID, the SelectorCore class with its ProgIDs, the
// toolbar entry Explorer reads, and the type library. Both run under the system default
// locale and put the caller's thread locale back on every path; both stop at the first failure
// and return it.
#include <windows.h>

namespace vantorel {

HRESULT RegisterServer() noexcept;
HRESULT UnregisterServer() noexcept;

}  // namespace vantorel
