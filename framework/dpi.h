#pragma once
// Display scale: the DPI a window is shown at, and sizes drawn for 96 DPI scaled to it.
#include <windows.h>

#include "framework/unique_handle.h"

namespace vantorel {

constexpr UINT kDefaultDpi = USER_DEFAULT_SCREEN_DPI;  // 96: the scale every fixed size is given in
// WM_DPICHANGED_AFTERPARENT: sent to each child window after its top-level window took a new DPI
// (Windows 10 1607 on; the headers give it only to builds for that version).
constexpr UINT kDpiChangedAfterParent = 0x02E3;

// A function of user32 looked up at run time, null where the system lacks it (the DPI functions
// came with Windows 10 1607).
template <class Fn>
Fn User32Function(const char* name) noexcept {
  HMODULE user32 = GetModuleHandleW(L"user32.dll");
  return user32 ? reinterpret_cast<Fn>(reinterpret_cast<void*>(GetProcAddress(user32, name))) : nullptr;
}

// The window's DPI (GetDpiForWindow where user32 has it), else the screen's logical pixels.
UINT WindowDpi(HWND window) noexcept;
// The DPI the system's stock objects were made for.
UINT SystemDpi() noexcept;
// A size given for 96 DPI at dpi, rounded as MulDiv rounds.
inline int ScaleForDpi(int value, UINT dpi) noexcept { return MulDiv(value, static_cast<int>(dpi), kDefaultDpi); }

using UniqueFont = UniqueHandleT<GdiObjectTraits<HFONT>>;

// The stock DEFAULT_GUI_FONT at dpi: the stock font itself where it was made for dpi and that is
// 96, else an owned copy of its description with the height scaled.
class ScaledGuiFont {
 public:
  // Makes the font for dpi.
  void Make(UINT dpi) noexcept;
  HFONT get() const noexcept { return owned_ ? owned_.get() : static_cast<HFONT>(GetStockObject(DEFAULT_GUI_FONT)); }

 private:
  UniqueFont owned_;
};

}  // namespace vantorel
