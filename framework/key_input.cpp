#include "framework/key_input.h"

namespace vantorel {
namespace {

// The Windows keys and the arrows come from the keyboard with the extended flag.
INPUT KeyInput(WORD vk, bool up) noexcept {
  INPUT input = {};
  input.type = INPUT_KEYBOARD;
  input.ki.wVk = vk;
  input.ki.wScan = static_cast<WORD>(MapVirtualKeyW(vk, MAPVK_VK_TO_VSC));
  const bool extended = vk == VK_LWIN || vk == VK_RWIN || (vk >= VK_LEFT && vk <= VK_DOWN);
  input.ki.dwFlags = (extended ? KEYEVENTF_EXTENDEDKEY : 0) | (up ? KEYEVENTF_KEYUP : 0);
  return input;
}

}  // namespace

bool PressKey(WORD vk, const WORD* held, UINT heldCount) noexcept {
  if (heldCount > kMaxHeldKeys || (heldCount > 0 && !held)) return false;
  INPUT keys[2 * kMaxHeldKeys + 2];
  UINT count = 0;
  for (UINT i = 0; i < heldCount; ++i) keys[count++] = KeyInput(held[i], false);
  keys[count++] = KeyInput(vk, false);
  keys[count++] = KeyInput(vk, true);
  for (UINT i = heldCount; i > 0; --i) keys[count++] = KeyInput(held[i - 1], true);
  return SendInput(count, keys, sizeof(INPUT)) == count;
}

}  // namespace vantorel
