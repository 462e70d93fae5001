#include "host/display_language.h"

#include <winternl.h>

namespace vantorel::host {

bool SetDisplayLanguage(LANGID language, std::wstring& error) {
  using SetDefaultUiLanguage = NTSTATUS(WINAPI*)(LANGID);
  auto set = reinterpret_cast<SetDefaultUiLanguage>(
      reinterpret_cast<void*>(GetProcAddress(GetModuleHandleW(L"ntdll.dll"), "NtSetDefaultUILanguage")));
  if (!set || set(language) < 0) {
    error = L"--ui-language: the user's UI language cannot be set";
    return false;
  }
  return true;
}

}  // namespace vantorel::host
