#pragma once
// The keyword text of a run: the input box text, at most 259 units, trimmed of ASCII spaces.
#include <windows.h>
#include <shlwapi.h>

namespace vantorel {

inline void ReadKeywordText(HWND inputWindow, wchar_t (&text)[MAX_PATH]) noexcept {
  text[0] = L'\0';
  if (inputWindow) GetWindowTextW(inputWindow, text, MAX_PATH);
  text[MAX_PATH - 1] = L'\0';
  StrTrimW(text, L" ");
}

}  // namespace vantorel
