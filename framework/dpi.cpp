#include "framework/dpi.h"

namespace vantorel {
namespace {

UINT ScreenDpi() noexcept {
  HDC screen = GetDC(nullptr);
  int dpi = screen ? GetDeviceCaps(screen, LOGPIXELSY) : 0;
  if (screen) ReleaseDC(nullptr, screen);
  return dpi > 0 ? static_cast<UINT>(dpi) : kDefaultDpi;
}

}  // namespace

UINT WindowDpi(HWND window) noexcept {
  using GetDpiForWindowFn = UINT(WINAPI*)(HWND);
  static const GetDpiForWindowFn getDpiForWindow = User32Function<GetDpiForWindowFn>("GetDpiForWindow");
  UINT dpi = window && getDpiForWindow ? getDpiForWindow(window) : 0;
  return dpi ? dpi : ScreenDpi();
}

UINT SystemDpi() noexcept {
  using GetDpiForSystemFn = UINT(WINAPI*)();
  static const GetDpiForSystemFn getDpiForSystem = User32Function<GetDpiForSystemFn>("GetDpiForSystem");
  UINT dpi = getDpiForSystem ? getDpiForSystem() : 0;
  return dpi ? dpi : ScreenDpi();
}

void ScaledGuiFont::Make(UINT dpi) noexcept {
  const UINT stockDpi = SystemDpi();
  if (dpi == kDefaultDpi && stockDpi == kDefaultDpi) {
    owned_.reset();
    return;
  }
  LOGFONTW font = {};
  if (!GetObjectW(GetStockObject(DEFAULT_GUI_FONT), sizeof(font), &font)) return;
  font.lfHeight = MulDiv(font.lfHeight, static_cast<int>(dpi), static_cast<int>(stockDpi));
  font.lfWidth = MulDiv(font.lfWidth, static_cast<int>(dpi), static_cast<int>(stockDpi));
  if (HFONT made = CreateFontIndirectW(&font)) owned_.reset(made);
}

}  // namespace vantorel
