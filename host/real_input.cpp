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

void SendKey(WORD vk, const std::vector<WORD>& held) {
  std::vector<INPUT> keys;
  auto press = [&keys](WORD key, bool up) {
    INPUT input = {};
    input.type = INPUT_KEYBOARD;
    input.ki.wVk = key;
    input.ki.wScan = static_cast<WORD>(MapVirtualKeyW(key, MAPVK_VK_TO_VSC));
    const bool extended = key == VK_LWIN || (key >= VK_LEFT && key <= VK_DOWN);  // as the keyboard sends them
    input.ki.dwFlags = (extended ? KEYEVENTF_EXTENDEDKEY : 0) | (up ? KEYEVENTF_KEYUP : 0);
    keys.push_back(input);
  };
  for (WORD key : held) press(key, false);
  press(vk, false);
  press(vk, true);
  for (auto key = held.rbegin(); key != held.rend(); ++key) press(*key, true);
  SendInput(static_cast<UINT>(keys.size()), keys.data(), sizeof(INPUT));
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
