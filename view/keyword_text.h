#pragma once
// The keyword query of a run: the input box's text, at most 259 units, with the band's options.
#include <windows.h>

#include "match/keyword_query.h"

namespace vantorel {

inline KeywordQuery InputQuery(HWND inputWindow, DWORD options) noexcept {
  wchar_t text[MAX_PATH] = L"";
  if (inputWindow) GetWindowTextW(inputWindow, text, MAX_PATH);
  return KeywordQuery(text, options);
}

}  // namespace vantorel
