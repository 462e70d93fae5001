#pragma once
// The language of the module's own texts. Each band takes Japanese or English from the user's
// preferred UI languages and loads its menus, dialogs and strings in that language by an explicit
// resource language: the thread's UI language and locale are Explorer's and stay as they are.
#include <windows.h>

namespace vantorel {

constexpr LANGID kJapaneseUi = MAKELANGID(LANG_JAPANESE, SUBLANG_JAPANESE_JAPAN);
constexpr LANGID kEnglishUi = MAKELANGID(LANG_ENGLISH, SUBLANG_ENGLISH_US);

// Japanese when the first of the user's preferred UI languages is Japanese, English otherwise.
LANGID PreferredUiLanguage() noexcept;

// The module's resource of type and id in language; where the module has it in no other language
// than Japanese (the language every resource exists in), the Japanese one. Null when missing.
const void* ModuleResource(LPCWSTR type, LPCWSTR id, LANGID language) noexcept;
// The menu resource id in language; the caller destroys it.
HMENU LoadMenuIn(WORD id, LANGID language) noexcept;
// String id of the module's string table in language, cut to size - 1 units. False (and an empty
// text) when there is none.
bool LoadStringIn(UINT id, LANGID language, wchar_t* text, int size) noexcept;

}  // namespace vantorel
