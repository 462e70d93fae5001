#pragma once
// Keys pressed as the keyboard sends them, through SendInput: the window with the focus receives
// them after the thread's hooks and the system's own handling, as it would a user's.
#include <windows.h>

namespace vantorel {

constexpr UINT kMaxHeldKeys = 4;

// Presses vk and lets it go while the held keys (Shift, Alt, the Windows keys) are down: they go
// down first and up after it, the last first. False when more than kMaxHeldKeys are held or
// Windows took not all of the input.
bool PressKey(WORD vk, const WORD* held = nullptr, UINT heldCount = 0) noexcept;

}  // namespace vantorel
