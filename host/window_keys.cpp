#include "host/window_keys.h"

namespace vantorel::host {

bool ActOnWindowKey(const MSG& msg) {
  const WPARAM key = msg.wParam;
  if (msg.message != WM_KEYDOWN || (key != VK_LEFT && key != VK_RIGHT && key != VK_UP && key != VK_DOWN)) return false;
  if (GetKeyState(VK_LWIN) >= 0 && GetKeyState(VK_RWIN) >= 0) return false;
  HWND window = GetAncestor(msg.hwnd, GA_ROOT);
  if (!window) return true;
  const bool shift = GetKeyState(VK_SHIFT) < 0;
  if (!shift && key == VK_UP) {
    ShowWindow(window, SW_MAXIMIZE);
  } else if (!shift && key == VK_DOWN) {
    ShowWindow(window, IsZoomed(window) ? SW_RESTORE : SW_MINIMIZE);
  } else if (key == VK_UP || !shift) {
    if (IsZoomed(window) || IsIconic(window)) ShowWindow(window, SW_RESTORE);
    MONITORINFO screen = {};
    screen.cbSize = sizeof(screen);
    RECT place = {};
    if (!GetMonitorInfoW(MonitorFromWindow(window, MONITOR_DEFAULTTONEAREST), &screen) ||
        !GetWindowRect(window, &place)) {
      return true;
    }
    const RECT& work = screen.rcWork;
    const int half = (work.right - work.left) / 2;
    if (shift) place = {place.left, work.top, place.right, work.bottom};  // Win+Shift+Up
    else if (key == VK_LEFT) place = {work.left, work.top, work.left + half, work.bottom};
    else place = {work.left + half, work.top, work.right, work.bottom};
    SetWindowPos(window, nullptr, place.left, place.top, place.right - place.left, place.bottom - place.top,
                 SWP_NOZORDER | SWP_NOACTIVATE);
  }
  return true;
}

}  // namespace vantorel::host
