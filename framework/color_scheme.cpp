#include "framework/color_scheme.h"

#include <cwchar>

namespace vantorel {
namespace {

constexpr const wchar_t* kColorSetNotice = L"ImmersiveColorSet";

// Explorer's own dark surfaces; the no-match red is dark enough for white text at 10:1.
constexpr COLORREF kDarkBand = RGB(0x20, 0x20, 0x20);
constexpr COLORREF kDarkBox = RGB(0x2B, 0x2B, 0x2B);
constexpr COLORREF kDarkNoMatch = RGB(0x76, 0x1D, 0x1D);
constexpr COLORREF kDarkHighlight = RGB(0x4D, 0x4D, 0x4D);
constexpr COLORREF kDarkBorder = RGB(0x50, 0x50, 0x50);
constexpr COLORREF kWhite = RGB(255, 255, 255);
constexpr COLORREF kBlack = RGB(0, 0, 0);

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

SchemeColors ColorsOf(ColorScheme scheme) noexcept {
  switch (scheme) {
    case ColorScheme::Dark: {
      const ColorPair box = {kDarkBox, kWhite, kWhite};
      return {true, kDarkBand, box, {kDarkNoMatch, kWhite, kWhite}, false, box,
              {kDarkHighlight, kWhite, kWhite}, true, kDarkBorder, false, true};
    }
    case ColorScheme::Contrast: {
      const COLORREF text = GetSysColor(COLOR_WINDOWTEXT), highlightText = GetSysColor(COLOR_HIGHLIGHTTEXT);
      const ColorPair window = {GetSysColor(COLOR_WINDOW), text, text};
      const ColorPair highlight = {GetSysColor(COLOR_HIGHLIGHT), highlightText, highlightText};
      return {true, GetSysColor(COLOR_BTNFACE), window, highlight, true, window, highlight, false, text, true, false};
    }
    case ColorScheme::Light:
    default: {
      // The arrow stays black on the no-match red, as it always was.
      const ColorPair box = {kMatchBackground, kBlack, kBlack};
      return {false, GetSysColor(COLOR_BTNFACE), box, {kNoMatchBackground, kWhite, kBlack}, true, box,
              {GetSysColor(COLOR_HIGHLIGHT), kWhite, kWhite}, false, kBlack, false, false};
    }
  }
}

}  // namespace vantorel
