#include "framework/ui_language.h"

#include <cwchar>
#include <memory>
#include <new>

#include "framework/module.h"

namespace vantorel {

LANGID PreferredUiLanguage() noexcept {
  // The list is "0411\0" "0409\0" ... "\0" with MUI_LANGUAGE_ID: only the first entry counts.
  ULONG count = 0, size = 0;
  LANGID first = 0;
  if (GetUserPreferredUILanguages(MUI_LANGUAGE_ID, &count, nullptr, &size) && size > 0) {
    std::unique_ptr<wchar_t[]> list(new (std::nothrow) wchar_t[size]);
    if (list && GetUserPreferredUILanguages(MUI_LANGUAGE_ID, &count, list.get(), &size) && count > 0) {
      first = static_cast<LANGID>(std::wcstoul(list.get(), nullptr, 16));
    }
  }
  if (first == 0) first = GetUserDefaultUILanguage();
  return PRIMARYLANGID(first) == LANG_JAPANESE ? kJapaneseUi : kEnglishUi;
}

const void* ModuleResource(LPCWSTR type, LPCWSTR id, LANGID language) noexcept {
  HMODULE module = Module::Instance();
  HRSRC found = FindResourceExW(module, type, id, language);
  if (!found) found = FindResourceExW(module, type, id, kJapaneseUi);
  HGLOBAL loaded = found ? LoadResource(module, found) : nullptr;
  return loaded ? LockResource(loaded) : nullptr;
}

HMENU LoadMenuIn(WORD id, LANGID language) noexcept {
  const void* menu = ModuleResource(RT_MENU, MAKEINTRESOURCEW(id), language);
  return menu ? LoadMenuIndirectW(menu) : nullptr;
}

namespace {

// The counted string id in the string table block of language; null when the block is missing
// or holds no text for id.
const WCHAR* FindString(UINT id, LANGID language) noexcept {
  // A string table block holds sixteen counted strings; block n + 1 holds the ids 16n to 16n + 15.
  HRSRC found = FindResourceExW(Module::Instance(), RT_STRING, MAKEINTRESOURCEW(static_cast<WORD>((id >> 4) + 1)),
                                language);
  HGLOBAL loaded = found ? LoadResource(Module::Instance(), found) : nullptr;
  auto entry = loaded ? static_cast<const WCHAR*>(LockResource(loaded)) : nullptr;
  if (!entry) return nullptr;
  for (UINT i = 0; i < (id & 15); ++i) entry += 1 + *entry;
  return *entry ? entry : nullptr;
}

}  // namespace

bool LoadStringIn(UINT id, LANGID language, wchar_t* text, int size) noexcept {
  if (size <= 0) return false;
  text[0] = L'\0';
  const WCHAR* entry = FindString(id, language);
  if (!entry) entry = FindString(id, kJapaneseUi);
  if (!entry) return false;
  const int length = *entry;
  const int copied = length < size ? length : size - 1;
  std::wmemcpy(text, entry + 1, copied);
  text[copied] = L'\0';
  return true;
}

}  // namespace vantorel
