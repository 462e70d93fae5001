#include "host/real_input.h"

namespace vantorel::host {

void SendMouse(DWORD flags, LONG dx, LONG dy) {
  INPUT input = {};
  input.type = INPUT_MOUSE;
  input.mi.dwFlags = flags;
  input.mi.dx = dx;
  input.mi.dy = dy;
  SendInput(1, &input, sizeof(input));
}

// A rounding slip of the absolute scale is put right, and a move event at the final place
// follows, so that the window there hears of it.
void MovePointer(POINT to) {
  int width = GetSystemMetrics(SM_CXSCREEN), height = GetSystemMetrics(SM_CYSCREEN);
  POINT now = {};
  // A pointer already resting there (over a window that appeared under it) moves in from beside.
  if (GetCursorPos(&now) && now.x == to.x && now.y == to.y) SetCursorPos(to.x - 1, to.y);
  if (width > 1 && height > 1) {
    SendMouse(MOUSEEVENTF_MOVE | MOUSEEVENTF_ABSOLUTE, MulDiv(to.x, 65535, width - 1), MulDiv(to.y, 65535, height - 1));
  }
  if (!GetCursorPos(&now) || now.x != to.x || now.y != to.y) SetCursorPos(to.x, to.y);
  SendMouse(MOUSEEVENTF_MOVE);
}

void ClickPoint(POINT at) {
  MovePointer(at);
  SendMouse(MOUSEEVENTF_LEFTDOWN);
  SendMouse(MOUSEEVENTF_LEFTUP);
}

}  // namespace vantorel::host
