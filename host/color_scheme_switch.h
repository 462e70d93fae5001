#pragma once
// The user's colour choice as Windows keeps it, switched by the stand-in as the Settings app
// does: apps in the light or dark theme, or high contrast with a scheme of the stand-in's own.
#include <string>

namespace vantorel::host {

// "light", "dark" or "contrast": writes the setting, and tells every top-level window of this
// process and the windows inside it, as Windows and then Explorer's frame pass it on. Under Wine,
// which keeps no high contrast, the band module loaded in this process is answered as Windows
// would answer it. False with a reason when the setting cannot be written.
bool SwitchColorScheme(const std::wstring& scheme, std::wstring& error);
// Puts back what the first switch found, so that the user's (or the test prefix's) choice outlives
// the stand-in unchanged.
void RestoreColorScheme();

}  // namespace vantorel::host
