#include "host/color_scheme_switch.h"

#include <windows.h>

#include <cstring>
#include <iterator>

#include "framework/color_scheme.h"
#include "framework/registry.h"

namespace vantorel::host {
namespace {


// The stand-in's high contrast scheme: black on yellow-white, a blue highlight.
constexpr int kContrastElements[] = {COLOR_WINDOW, COLOR_WINDOWTEXT, COLOR_HIGHLIGHT, COLOR_HIGHLIGHTTEXT,
                                     COLOR_BTNFACE, COLOR_BTNTEXT};
constexpr COLORREF kContrastColors[] = {RGB(255, 255, 230), RGB(0, 0, 0),     RGB(0, 0, 200),
                                        RGB(255, 255, 255), RGB(230, 230, 190), RGB(0, 0, 0)};
constexpr int kElementCount = static_cast<int>(std::size(kContrastElements));
constexpr UINT kAnswerBoundMs = 5000;

// What the first switch found.
struct SavedChoice {
  bool saved = false;
  bool hadLightValue = false;
  DWORD lightValue = 1;
  COLORREF colors[kElementCount] = {};
};
SavedChoice g_saved;

// High contrast as this process's Windows has it: on Wine, which cannot turn it on, the stand-in's.
bool g_contrastOn = false;
bool g_contrastEmulated = false;

BOOL WINAPI AnswerSystemParameters(UINT action, UINT param, PVOID data, UINT flags) {
  if (action == SPI_GETHIGHCONTRAST && g_contrastEmulated && data) {
    auto* contrast = static_cast<HIGHCONTRASTW*>(data);
    if (contrast->cbSize < sizeof(HIGHCONTRASTW)) return FALSE;
    contrast->dwFlags = HCF_AVAILABLE | (g_contrastOn ? HCF_HIGHCONTRASTON : 0);
    contrast->lpszDefaultScheme = nullptr;
    return TRUE;
  }
  return SystemParametersInfoW(action, param, data, flags);
}

// Points the module's import of user32's function name at replacement.
bool RedirectImport(HMODULE module, const char* name, const void* replacement) {
  auto* base = reinterpret_cast<BYTE*>(module);
  const auto* nt = reinterpret_cast<const IMAGE_NT_HEADERS*>(base + reinterpret_cast<IMAGE_DOS_HEADER*>(base)->e_lfanew);
  const IMAGE_DATA_DIRECTORY& imports = nt->OptionalHeader.DataDirectory[IMAGE_DIRECTORY_ENTRY_IMPORT];
  if (!imports.VirtualAddress) return false;
  for (auto* dll = reinterpret_cast<IMAGE_IMPORT_DESCRIPTOR*>(base + imports.VirtualAddress); dll->Name; ++dll) {
    if (lstrcmpiA(reinterpret_cast<const char*>(base + dll->Name), "user32.dll") != 0) continue;
    auto* names = reinterpret_cast<IMAGE_THUNK_DATA*>(base + (dll->OriginalFirstThunk ? dll->OriginalFirstThunk
                                                                                      : dll->FirstThunk));
    auto* slots = reinterpret_cast<IMAGE_THUNK_DATA*>(base + dll->FirstThunk);
    for (; names->u1.AddressOfData; ++names, ++slots) {
      if (IMAGE_SNAP_BY_ORDINAL(names->u1.Ordinal)) continue;
      const auto* byName = reinterpret_cast<const IMAGE_IMPORT_BY_NAME*>(base + names->u1.AddressOfData);
      if (std::strcmp(reinterpret_cast<const char*>(byName->Name), name) != 0) continue;
      DWORD protection = 0;
      if (!VirtualProtect(&slots->u1.Function, sizeof(slots->u1.Function), PAGE_READWRITE, &protection)) return false;
      slots->u1.Function = reinterpret_cast<ULONG_PTR>(replacement);
      VirtualProtect(&slots->u1.Function, sizeof(slots->u1.Function), protection, &protection);
      return true;
    }
  }
  return false;
}

void SaveChoice() {
  if (g_saved.saved) return;
  g_saved.saved = true;
  DWORD bytes = sizeof(g_saved.lightValue);
  g_saved.hadLightValue = RegGetValueW(HKEY_CURRENT_USER, kPersonalizeKey, kAppsUseLightTheme, RRF_RT_REG_DWORD,
                                       nullptr, &g_saved.lightValue, &bytes) == ERROR_SUCCESS;
  for (int i = 0; i < kElementCount; ++i) g_saved.colors[i] = GetSysColor(kContrastElements[i]);
}

// High contrast on or off, with the system colours that go with it.
void SetHighContrast(bool on) {
  if (on == g_contrastOn) return;
  HIGHCONTRASTW contrast = {};
  contrast.cbSize = sizeof(contrast);
  contrast.dwFlags = HCF_AVAILABLE | (on ? HCF_HIGHCONTRASTON : 0);
  if (!SystemParametersInfoW(SPI_SETHIGHCONTRAST, sizeof(contrast), &contrast, 0) && !g_contrastEmulated) {
    if (HMODULE band = GetModuleHandleW(L"Vantorel.dll")) {
      g_contrastEmulated = RedirectImport(band, "SystemParametersInfoW", reinterpret_cast<const void*>(&AnswerSystemParameters));
    }
  }
  g_contrastOn = on;
  SetSysColors(kElementCount, kContrastElements, on ? kContrastColors : g_saved.colors);
}

// Sent as Windows sends its broadcasts: a window that has not taken a message for a while (hung)
// is skipped, one that does not answer within the bound is given up.
void Tell(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
  SendMessageTimeoutW(window, message, wParam, lParam, SMTO_ABORTIFHUNG, kAnswerBoundMs, nullptr);
}

// As Windows tells them: WM_SETTINGCHANGE and WM_SYSCOLORCHANGE to top-level windows only (a
// frame passes nothing on to the windows inside it), WM_THEMECHANGED to every window.
BOOL CALLBACK TellThemeChanged(HWND window, LPARAM) {
  Tell(window, WM_THEMECHANGED, 0, 0);
  return TRUE;
}

BOOL CALLBACK TellTopLevelWindow(HWND window, LPARAM message) {
  static const wchar_t* const kColorSet = L"ImmersiveColorSet";
  DWORD process = 0;
  GetWindowThreadProcessId(window, &process);
  if (process != GetCurrentProcessId()) return TRUE;
  switch (message) {
    case WM_SETTINGCHANGE:
      Tell(window, WM_SETTINGCHANGE, 0, reinterpret_cast<LPARAM>(kColorSet));
      break;
    case SPI_SETHIGHCONTRAST:
      Tell(window, WM_SETTINGCHANGE, SPI_SETHIGHCONTRAST, 0);
      Tell(window, WM_SYSCOLORCHANGE, 0, 0);
      TellThemeChanged(window, 0);
      EnumChildWindows(window, TellThemeChanged, 0);
      break;
    default:
      break;
  }
  return TRUE;
}

}  // namespace

bool SwitchColorScheme(const std::wstring& scheme, std::wstring& error) {
  SaveChoice();
  const bool contrast = scheme == L"contrast", changesContrast = contrast != g_contrastOn;
  if (!contrast && FAILED(registry::SetDword(HKEY_CURRENT_USER, kPersonalizeKey, kAppsUseLightTheme,
                                             scheme == L"dark" ? 0 : 1))) {
    error = L"--theme: cannot write AppsUseLightTheme";
    return false;
  }
  SetHighContrast(contrast);
  if (changesContrast) EnumWindows(TellTopLevelWindow, SPI_SETHIGHCONTRAST);
  EnumWindows(TellTopLevelWindow, WM_SETTINGCHANGE);
  return true;
}

void RestoreColorScheme() {
  if (!g_saved.saved) return;
  SetHighContrast(false);
  if (g_saved.hadLightValue) {
    registry::SetDword(HKEY_CURRENT_USER, kPersonalizeKey, kAppsUseLightTheme, g_saved.lightValue);
  } else {
    registry::DeleteValue(HKEY_CURRENT_USER, kPersonalizeKey, kAppsUseLightTheme);
  }
  g_saved = SavedChoice();
}

}  // namespace vantorel::host
