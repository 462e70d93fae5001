#pragma once
// The user's display language, as the stand-in sets it up: the first of the user's preferred UI
// languages that GetUserPreferredUILanguages reports to the band.
#include <windows.h>

#include <string>

namespace vantorel::host {

// Makes language (LANGID) the user's preferred UI language for this process, as Wine keeps it:
// Wine reads the user's UI language once, from the Linux locale, and keeps it per process; the
// thread's UI language and locale and the code page are left as they are. False with a reason.
bool SetDisplayLanguage(LANGID language, std::wstring& error);

}  // namespace vantorel::host
