#include <shlwapi.h>
#include <windows.h>

namespace {

wchar_t LowerUnit(wchar_t c) {
  if ((c >= L'A' && c <= L'Z') || (c >= 0xC0 && c <= 0xDE && c != 0xD7) || (c >= 0xFF21 && c <= 0xFF3A)) {
    return static_cast<wchar_t>(c + 0x20);
  }
  return c;
}

}  // namespace

wchar_t* CharLowerW(wchar_t* text) {
  for (wchar_t* p = text; *p != L'\0'; ++p) {
    *p = LowerUnit(*p);
  }
  return text;
}

wchar_t* CharNextW(const wchar_t* text) {
  return const_cast<wchar_t*>(*text != L'\0' ? text + 1 : text);
}

BOOL StrTrimW(wchar_t* text, const wchar_t* trimSet) {
  if (text == nullptr || trimSet == nullptr) {
    return FALSE;
  }
  wchar_t* start = text;
  while (*start != L'\0' && StrChrW(trimSet, *start) != nullptr) {
    ++start;
  }
  wchar_t* end = start;
  while (*end != L'\0') {
    ++end;
  }
  while (end > start && StrChrW(trimSet, end[-1]) != nullptr) {
    --end;
  }
  const bool changed = start != text || *end != L'\0';
  wchar_t* out = text;
  for (wchar_t* p = start; p < end; ++p) {
    *out++ = *p;
  }
  *out = L'\0';
  return changed ? TRUE : FALSE;
}

wchar_t* StrChrW(const wchar_t* text, wchar_t ch) {
  if (text == nullptr) {
    return nullptr;
  }
  for (; *text != L'\0'; ++text) {
    if (*text == ch) {
      return const_cast<wchar_t*>(text);
    }
  }
  return nullptr;
}

wchar_t* StrStrW(const wchar_t* text, const wchar_t* search) {
  if (text == nullptr || search == nullptr || *search == L'\0') {
    return nullptr;
  }
  for (; *text != L'\0'; ++text) {
    const wchar_t* t = text;
    const wchar_t* s = search;
    while (*s != L'\0' && *t == *s) {
      ++t;
      ++s;
    }
    if (*s == L'\0') {
      return const_cast<wchar_t*>(text);
    }
  }
  return nullptr;
}
