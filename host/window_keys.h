#pragma once
// What Windows' shell does with the window keys while a window of this thread has the focus:
// Win+Up maximizes the focused window's top-level window, Win+Down restores or minimizes it,
// Win+Left and Win+Right snap it to a half of its screen, Win+Shift+Up stretches it from the top
// to the bottom of the screen (Win+Shift+Left and Right move it to another screen: the stand-in
// has one). The window that has the focus is the one acted on, whoever owns it.
#include <windows.h>

namespace vantorel::host {

// True when the message is one of these keys; the window has been acted on and the key is used up.
bool ActOnWindowKey(const MSG& msg);

}  // namespace vantorel::host
