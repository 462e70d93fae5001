#pragma once
// Mouse and keyboard input as a user makes it, through SendInput: what the window under the
// pointer or with the focus receives goes through capture, hooks and hit-testing.
#include <windows.h>

#include <vector>

namespace vantorel::host {

void SendMouse(DWORD flags, LONG dx = 0, LONG dy = 0);
// A key pressed and let go, while the keys held (Shift, Alt, the Windows key) are down: they are
// pressed first and let go after it, the last first.
void SendKey(WORD vk, const std::vector<WORD>& held = {});
// Moves the pointer to a point on the screen; the window there hears of the move.
void MovePointer(POINT to);
// A left click at a point on the screen.
void ClickPoint(POINT at);

}  // namespace vantorel::host
