// The option bits of the settings word that the matcher reads. The settings record adds its
// other bits to these.
#pragma once

#include <windows.h>

constexpr DWORD kFoldCase = 0x1;        // lower-case names and keywords
constexpr DWORD kFoldDigitWidth = 0x2;  // full-width digits and a few signs become half-width
constexpr DWORD kDefaultAnd = 0x100;    // a space between keywords means AND (else OR)
// Full-width ASCII forms become ASCII and half-width katakana full-width (with its sound mark).
constexpr DWORD kFoldWidthForms = 0x200;
