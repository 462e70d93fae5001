#pragma once
// What Windows says about the user's colour choice: high contrast (only the system's colours),
// apps in the dark theme, or the light default, and which messages announce that it changed.
#include <windows.h>

namespace vantorel {

enum class ColorScheme { Light, Dark, Contrast };

// Where Windows keeps whether apps use the light theme (a DWORD, 0 for dark), under HKCU.
constexpr const wchar_t* kPersonalizeKey = L"Software\\Microsoft\\Windows\\CurrentVersion\\Themes\\Personalize";
constexpr const wchar_t* kAppsUseLightTheme = L"AppsUseLightTheme";

// High contrast on wins; else dark when apps are to use the dark theme; else light.
ColorScheme CurrentColorScheme() noexcept;
// Whether the message announces a change that may change the scheme: WM_SETTINGCHANGE for
// "ImmersiveColorSet" or high contrast, WM_SYSCOLORCHANGE, WM_THEMECHANGED.
bool IsColorSchemeNotice(UINT msg, WPARAM wParam, LPARAM lParam) noexcept;

}  // namespace vantorel
