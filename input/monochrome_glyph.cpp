#include "input/monochrome_glyph.h"

#include <vector>

#include "framework/unique_handle.h"

namespace vantorel {
namespace {

constexpr int kOpaque = 128;  // alpha from which a pixel counts as part of the shape
constexpr int kLight = 160;   // brightness (0 to 255) from which a pixel counts as a light fill

}  // namespace

bool DrawMonochromeGlyph(HDC dc, int x, int y, HICON icon, int size, COLORREF colour) noexcept {
  ICONINFO info = {};
  if (!icon || size <= 0 || !GetIconInfo(icon, &info)) return false;
  UniqueBitmap picture(info.hbmColor), mask(info.hbmMask);
  BITMAP shape = {};
  // The glyphs are loaded at the size they are shown: their own pixels are read, not stretched.
  if (!picture || !GetObjectW(picture.get(), sizeof(shape), &shape) || shape.bmWidth != size) return false;
  BITMAPINFO format = {};
  format.bmiHeader.biSize = sizeof(format.bmiHeader);
  format.bmiHeader.biWidth = size;
  format.bmiHeader.biHeight = -size;  // top row first
  format.bmiHeader.biPlanes = 1;
  format.bmiHeader.biBitCount = 32;
  std::vector<DWORD> pixels(static_cast<size_t>(size) * size);
  if (GetDIBits(dc, picture.get(), 0, static_cast<UINT>(size), pixels.data(), &format, DIB_RGB_COLORS) != size) {
    return false;
  }
  for (int row = 0; row < size; ++row) {
    for (int column = 0; column < size; ++column) {
      const DWORD p = pixels[static_cast<size_t>(row) * size + column];
      const DWORD brightness = (((p >> 16) & 0xFF) * 299 + ((p >> 8) & 0xFF) * 587 + (p & 0xFF) * 114) / 1000;
      if ((p >> 24) >= kOpaque && brightness < kLight) SetPixelV(dc, x + column, y + row, colour);
    }
  }
  return true;
}

}  // namespace vantorel
