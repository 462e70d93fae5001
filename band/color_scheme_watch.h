#pragma once
// Windows tells changes of the user's colours (WM_SETTINGCHANGE for "ImmersiveColorSet" or high
// contrast, WM_SYSCOLORCHANGE) to top-level windows only, and Explorer is not known to pass them
// on to the toolbars inside its frames. One hidden top-level window per thread, there while a
// band of the thread lives, hears them and hands them to the thread's band windows.
#include <windows.h>

namespace vantorel {

// A band of the calling thread comes and goes; the first sets the watch up, the last takes it
// away. False when the watch could not be set up (the band then follows only what reaches it).
bool JoinColorSchemeWatch() noexcept;
void LeaveColorSchemeWatch() noexcept;

}  // namespace vantorel
