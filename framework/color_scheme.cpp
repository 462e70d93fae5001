#include "framework/color_scheme.h"

#include <cwchar>

namespace vantorel {
namespace {

constexpr const wchar_t* kColorSetNotice = L"ImmersiveColorSet";

bool HighContrastOn() noexcept {
  HIGHCONTRASTW contrast = {};
  contrast.cbSize = sizeof(contrast);
  return SystemParametersInfoW(SPI_GETHIGHCONTRAST, sizeof(contrast), &contrast, 0) &&
         (contrast.dwFlags & HCF_HIGHCONTRASTON) != 0;
}

bool AppsUseDarkTheme() noexcept {
  DWORD light = 1, bytes = sizeof(light);
  return RegGetValueW(HKEY_CURRENT_USER, kPersonalizeKey, kAppsUseLightTheme, RRF_RT_REG_DWORD, nullptr, &light,
                      &bytes) == ERROR_SUCCESS &&
         light == 0;
}

}  // namespace

ColorScheme CurrentColorScheme() noexcept {
  if (HighContrastOn()) return ColorScheme::Contrast;
  return AppsUseDarkTheme() ? ColorScheme::Dark : ColorScheme::Light;
}

bool IsColorSchemeNotice(UINT msg, WPARAM wParam, LPARAM lParam) noexcept {
  switch (msg) {
    case WM_SYSCOLORCHANGE:
    case WM_THEMECHANGED:
      return true;
    case WM_SETTINGCHANGE: {
      const auto* area = reinterpret_cast<const wchar_t*>(lParam);
      return wParam == SPI_SETHIGHCONTRAST || (area && wcscmp(area, kColorSetNotice) == 0);
    }
    default:
      return false;
  }
}

}  // namespace vantorel
