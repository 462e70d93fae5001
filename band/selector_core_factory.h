#pragma once
// Creates a band object for the class factory: aggregated when outer is given.
#include <windows.h>

namespace vantorel {

HRESULT CreateSelectorCore(IUnknown* outer, REFIID riid, void** ppv) noexcept;

}  // namespace vantorel
