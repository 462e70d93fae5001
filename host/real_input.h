#pragma once
// Mouse input as a user makes it, through SendInput: what the window under the pointer receives
// goes through capture, hooks and hit-testing. Keys: framework/key_input.h.
#include <windows.h>

namespace vantorel::host {

void SendMouse(DWORD flags, LONG dx = 0, LONG dy = 0);
// Moves the pointer to a point on the screen; the window there hears of the move.
void MovePointer(POINT to);
// A left click at a point on the screen.
void ClickPoint(POINT at);

}  // namespace vantorel::host
