#include "look/scheme_colors.h"

namespace vantorel {
namespace {

// Explorer's own dark surfaces; the no-match red is dark enough for white text at 10:1.
constexpr COLORREF kDarkBand = RGB(0x20, 0x20, 0x20);
constexpr COLORREF kDarkBox = RGB(0x2B, 0x2B, 0x2B);
constexpr COLORREF kDarkNoMatch = RGB(0x76, 0x1D, 0x1D);
constexpr COLORREF kDarkHighlight = RGB(0x4D, 0x4D, 0x4D);
constexpr COLORREF kDarkBorder = RGB(0x50, 0x50, 0x50);
constexpr COLORREF kWhite = RGB(255, 255, 255);
constexpr COLORREF kBlack = RGB(0, 0, 0);

}  // namespace

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
