// The few text functions of the platform that the matcher uses.
// On Windows these are the real user32/shlwapi functions. The native Linux
// build (sanitizers, fuzzing) defines VANTOREL_NATIVE and gets small portable
// stand-ins with the same names and contracts from tests/native.
#pragma once

#ifdef VANTOREL_NATIVE
#include "tests/native/native_text.h"
#else
#include <windows.h>
#include <shlwapi.h>
#endif
