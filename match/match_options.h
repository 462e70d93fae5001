// Option bits that the matcher reads from the settings word.
// The settings record will own the full set of option bits; until then the
// three bits the matcher needs live here under the same values.
#pragma once

#include "match/text_platform.h"

constexpr DWORD kFoldCase = 0x1;        // lower-case names and keywords
constexpr DWORD kFoldDigitWidth = 0x2;  // full-width digits and a few signs become half-width
constexpr DWORD kDefaultAnd = 0x100;    // a space between keywords means AND (else OR)
