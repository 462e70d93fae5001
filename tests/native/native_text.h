// Portable stand-ins for the platform text functions the matcher uses, for the
// native Linux build (sanitizers, fuzzing). Same names and contracts as the
// user32/shlwapi functions; wchar_t is 4 bytes here, the inputs stay below
// U+10000 like UTF-16 code units.
#pragma once

#include <cstdint>

typedef std::uint32_t DWORD;
typedef int BOOL;
#ifndef TRUE
#define TRUE 1
#endif
#ifndef FALSE
#define FALSE 0
#endif
#ifndef MAX_PATH
#define MAX_PATH 260
#endif

// Lower-cases ASCII, Latin-1 and full-width Latin letters in place.
wchar_t* CharLowerW(wchar_t* text);
// The next character; stays on the terminator.
wchar_t* CharNextW(const wchar_t* text);
// Removes every leading and trailing character found in trimSet; TRUE if any was removed.
BOOL StrTrimW(wchar_t* text, const wchar_t* trimSet);
// First occurrence of ch, or null.
wchar_t* StrChrW(const wchar_t* text, wchar_t ch);
// First occurrence of search in text, or null (also for an empty search).
wchar_t* StrStrW(const wchar_t* text, const wchar_t* search);
