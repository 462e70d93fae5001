// The native Linux build's shlwapi.h: the string functions that the matcher uses, as portable
// stand-ins with the same names and contracts (native_text.cpp).
#pragma once

#include <windows.h>

// Removes every leading and trailing character found in trimSet; TRUE if any was removed.
BOOL StrTrimW(wchar_t* text, const wchar_t* trimSet);
// First occurrence of ch, or null.
wchar_t* StrChrW(const wchar_t* text, wchar_t ch);
// First occurrence of search in text, or null (also for an empty search).
wchar_t* StrStrW(const wchar_t* text, const wchar_t* search);
