#pragma once
// Glyphs for high contrast: the shape of a coloured icon drawn in one of the system's colours.
#include <windows.h>

namespace vantorel {

// Draws the icon's dark, opaque pixels (its outlines and strong fills) at (x, y) in colour,
// size x size, and leaves its light and transparent pixels to the background beneath. False
// when the icon's pixels cannot be read.
bool DrawMonochromeGlyph(HDC dc, int x, int y, HICON icon, int size, COLORREF colour) noexcept;

}  // namespace vantorel
