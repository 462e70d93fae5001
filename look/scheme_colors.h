#pragma once
// The band's look: the colours its windows (the band, the input box, the history drop-down, the
// diagnosis report) draw with in each of the user's colour schemes. The band decides the scheme
// once when its window is made and again whenever Windows announces a change.
#include <windows.h>

#include "framework/color_scheme.h"

namespace vantorel {

// The input box's background in the light scheme while the last run matched nothing, and otherwise.
constexpr COLORREF kNoMatchBackground = RGB(255, 102, 102);
constexpr COLORREF kMatchBackground = RGB(255, 255, 255);

// One state of a surface: its background, its text, and the marks drawn on it besides the text
// (the drop-down arrow, glyphs drawn in one colour).
struct ColorPair {
  COLORREF back;
  COLORREF text;
  COLORREF mark;
};

struct SchemeColors {
  bool paintsBand;   // the light band leaves its background to its host, as it always has
  COLORREF band;     // the band's background beside the box
  ColorPair box;     // the input box while the last run matched
  ColorPair noMatch; // while it matched nothing
  bool systemList;   // the history drop-down keeps the list box's own drawing
  ColorPair list;    // otherwise its rows,
  ColorPair listHighlight;  // and the highlighted row
  bool paintsBorder; // the box's edge drawn in border instead of the system's glaring one
  COLORREF border;
  bool monochromeGlyphs;  // glyphs drawn in the text colour instead of their pictures
  bool darkGlyphs;        // the glyph pictures drawn for a dark background
};

// The colours of the scheme; those of high contrast are the system's colours as they are now.
SchemeColors ColorsOf(ColorScheme scheme) noexcept;
inline const ColorPair& BoxColors(const SchemeColors& colors, bool noMatch) noexcept {
  return noMatch ? colors.noMatch : colors.box;
}

}  // namespace vantorel
