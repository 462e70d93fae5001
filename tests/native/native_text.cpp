#include <shlwapi.h>
#include <windows.h>

#include <cwchar>

wchar_t* CharLowerW(wchar_t* text) {
  for (wchar_t* p = text; *p != L'\0'; ++p) {
    const wchar_t c = *p;
    if ((c >= L'A' && c <= L'Z') || (c >= 0xC0 && c <= 0xDE && c != 0xD7) || (c >= 0xFF21 && c <= 0xFF3A)) {
      *p = static_cast<wchar_t>(c + 0x20);
    }
  }
  return text;
}

wchar_t* CharNextW(const wchar_t* text) {
  return const_cast<wchar_t*>(*text != L'\0' ? text + 1 : text);
}

BOOL StrTrimW(wchar_t* text, const wchar_t* trimSet) {
  if (text == nullptr || trimSet == nullptr) return FALSE;
  const size_t length = std::wcslen(text);
  const size_t start = std::wcsspn(text, trimSet);
  size_t end = length;
  while (end > start && StrChrW(trimSet, text[end - 1]) != nullptr) --end;
  std::wmemmove(text, text + start, end - start);
  text[end - start] = L'\0';
  return start != 0 || end != length ? TRUE : FALSE;
}

wchar_t* StrChrW(const wchar_t* text, wchar_t ch) {
  return text != nullptr && ch != L'\0' ? const_cast<wchar_t*>(std::wcschr(text, ch)) : nullptr;
}

wchar_t* StrStrW(const wchar_t* text, const wchar_t* search) {
  if (text == nullptr || search == nullptr || *search == L'\0') return nullptr;
  return const_cast<wchar_t*>(std::wcsstr(text, search));
}
