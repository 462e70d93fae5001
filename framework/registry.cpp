#include "framework/registry.h"

#include "framework/unique_handle.h"

namespace vantorel {
namespace registry {
namespace {

HRESULT FromStatus(LSTATUS status) noexcept {
  return status == ERROR_SUCCESS ? S_OK : HRESULT_FROM_WIN32(static_cast<DWORD>(status));
}

bool IsGone(LSTATUS status) noexcept {
  return status == ERROR_FILE_NOT_FOUND || status == ERROR_PATH_NOT_FOUND;
}

}  // namespace

HRESULT SetString(HKEY root, const wchar_t* key, const wchar_t* name, const wchar_t* data) noexcept {
  if (!key || !data) return E_INVALIDARG;
  HKEY handle = nullptr;
  LSTATUS status = RegCreateKeyExW(root, key, 0, nullptr, REG_OPTION_NON_VOLATILE, KEY_SET_VALUE,
                                   nullptr, &handle, nullptr);
  if (status != ERROR_SUCCESS) return FromStatus(status);
  UniqueRegKey owned(handle);
  DWORD bytes = static_cast<DWORD>((lstrlenW(data) + 1) * sizeof(wchar_t));
  return FromStatus(RegSetValueExW(handle, name, 0, REG_SZ, reinterpret_cast<const BYTE*>(data), bytes));
}

HRESULT SetDword(HKEY root, const wchar_t* key, const wchar_t* name, DWORD data) noexcept {
  if (!key) return E_INVALIDARG;
  return FromStatus(RegSetKeyValueW(root, key, name, REG_DWORD, &data, sizeof(data)));
}

HRESULT CreateKey(HKEY root, const wchar_t* key) noexcept {
  if (!key) return E_INVALIDARG;
  HKEY handle = nullptr;
  LSTATUS status = RegCreateKeyExW(root, key, 0, nullptr, REG_OPTION_NON_VOLATILE, KEY_READ,
                                   nullptr, &handle, nullptr);
  UniqueRegKey owned(status == ERROR_SUCCESS ? handle : nullptr);
  return FromStatus(status);
}

HRESULT DeleteTree(HKEY root, const wchar_t* key) noexcept {
  if (!key || !*key) return E_INVALIDARG;  // never the root itself
  LSTATUS status = RegDeleteTreeW(root, key);
  if (IsGone(status)) return S_OK;
  return FromStatus(status);
}

HRESULT DeleteKeyIfNoSubkeys(HKEY root, const wchar_t* key) noexcept {
  if (!key || !*key) return E_INVALIDARG;
  HKEY handle = nullptr;
  LSTATUS status = RegOpenKeyExW(root, key, 0, KEY_READ, &handle);
  if (IsGone(status)) return S_OK;
  if (status != ERROR_SUCCESS) return FromStatus(status);
  DWORD subkeys = 0;
  status = RegQueryInfoKeyW(UniqueRegKey(handle).get(), nullptr, nullptr, nullptr, &subkeys, nullptr, nullptr,
                            nullptr, nullptr, nullptr, nullptr, nullptr);
  if (status != ERROR_SUCCESS) return FromStatus(status);
  if (subkeys != 0) return S_OK;
  status = RegDeleteKeyW(root, key);
  if (IsGone(status)) return S_OK;
  return FromStatus(status);
}

HRESULT DeleteValue(HKEY root, const wchar_t* key, const wchar_t* name) noexcept {
  if (!key) return E_INVALIDARG;
  HKEY handle = nullptr;
  LSTATUS status = RegOpenKeyExW(root, key, 0, KEY_SET_VALUE, &handle);
  if (IsGone(status)) return S_OK;
  if (status != ERROR_SUCCESS) return FromStatus(status);
  status = RegDeleteValueW(UniqueRegKey(handle).get(), name);
  if (IsGone(status)) return S_OK;
  return FromStatus(status);
}

}  // namespace registry
}  // namespace vantorel
