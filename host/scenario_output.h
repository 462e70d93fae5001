#pragma once
// What the stand-in's scripted mode writes: UTF-8 lines, the settings file, PNG captures.
#include <windows.h>

#include <cstdint>
#include <string>

namespace vantorel::host {

std::string Utf8(const std::wstring& text);
// One line, UTF-8, LF, to the handle (console, pipe or file alike).
void WriteLine(HANDLE out, const std::string& line);

// The band's "setting" file at path, written and read by the band's own code.
bool WriteSettingsFile(const std::wstring& path, uint32_t runMode, uint32_t options);
bool ReadSettingsFile(const std::wstring& path, uint32_t& runMode, uint32_t& options);

// Saves the frame as it is on the screen as a PNG file (WIC encoder), drawn anew first unless the
// caller has had it drawn.
bool SaveWindowPng(HWND window, const std::wstring& path, std::wstring& error, bool redraw = true);

}  // namespace vantorel::host
