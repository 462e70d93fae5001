#pragma once
// Where the module's registration lives in the registry: the helper object's class and the keys
// that self-registration writes and the diagnosis reads back.
#include <windows.h>

namespace vantorel {

// The browser helper object that shows the band: {1DEEED5F-6CAC-4B5A-8EB7-21156CAACC7F}
inline constexpr CLSID CLSID_ShowToolbarHelper = {0x1DEEED5F, 0x6CAC, 0x4B5A,
                                                  {0x8E, 0xB7, 0x21, 0x15, 0x6C, 0xAA, 0xCC, 0x7F}};

// HKEY_LOCAL_MACHINE: a value named by the band's CLSID makes Explorer offer it as a toolbar.
constexpr wchar_t kToolbarKey[] = L"SoftWare\\Microsoft\\Internet Explorer\\Toolbar";
// HKEY_LOCAL_MACHINE: a subkey named by the helper's CLSID makes Explorer load it.
constexpr wchar_t kHelperObjectsKey[] =
    L"Software\\Microsoft\\Windows\\CurrentVersion\\Explorer\\Browser Helper Objects\\";

}  // namespace vantorel
