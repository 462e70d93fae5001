#pragma once
// Small registry writers for self-registration. Each returns an HRESULT (the Win32 error as an
// HRESULT on failure). Removals count a key or value that is already gone as success.
#include <windows.h>

namespace vantorel {
namespace registry {

// Creates the key (and its parents) when needed and sets a REG_SZ value; null name = default.
HRESULT SetString(HKEY root, const wchar_t* key, const wchar_t* name, const wchar_t* data) noexcept;
// The same for a REG_DWORD value.
HRESULT SetDword(HKEY root, const wchar_t* key, const wchar_t* name, DWORD data) noexcept;
// Creates the key (and its parents) when needed.
HRESULT CreateKey(HKEY root, const wchar_t* key) noexcept;
// Removes the key with every subkey and value.
HRESULT DeleteTree(HKEY root, const wchar_t* key) noexcept;
// Removes the key when it has no subkeys left; one that still has some is left alone.
HRESULT DeleteKeyIfNoSubkeys(HKEY root, const wchar_t* key) noexcept;
// Removes one value of the key.
HRESULT DeleteValue(HKEY root, const wchar_t* key, const wchar_t* name) noexcept;

}  // namespace registry
}  // namespace vantorel
