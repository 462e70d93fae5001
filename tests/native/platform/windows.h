// The native Linux build's windows.h: the types and the user32 text functions that the matcher
// uses, as portable stand-ins with the same names and contracts (native_text.cpp). wchar_t is
// 4 bytes here; the inputs stay below U+10000 like UTF-16 code units.
#pragma once

#include <cstdint>

typedef std::uint32_t DWORD;
typedef int BOOL;
#define TRUE 1
#define FALSE 0
#define MAX_PATH 260

// Lower-cases ASCII, Latin-1 and full-width Latin letters in place.
wchar_t* CharLowerW(wchar_t* text);
// The next character; stays on the terminator.
wchar_t* CharNextW(const wchar_t* text);

// Canonical decomposition (NormalizationD only) of the kana with sound marks and of the Latin-1
// letters with one accent; any other character is taken as decomposed already. Returns the
// units written, the terminator included when cwSrcLength is -1; 0 when out is too small.
enum NORM_FORM { NormalizationD = 2 };
int NormalizeString(NORM_FORM form, const wchar_t* text, int cwSrcLength, wchar_t* out, int cwDstLength);
