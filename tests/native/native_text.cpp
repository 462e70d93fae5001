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

namespace {

// The base letter and combining accent of U+00C0 to U+00FF, or 0 where there is none.
const char kLatinBase[] = "AAAAAA CEEEEIIII NOOOOO  UUUUY  aaaaaa ceeeeiiii nooooo  uuuuy  ";
const wchar_t kLatinAccent[] = {0x300, 0x301, 0x302, 0x303, 0x308, 0x30A, 0, 0x327, 0x300, 0x301, 0x302, 0x308,
                                0x300, 0x301, 0x302, 0x308, 0, 0x303, 0x300, 0x301, 0x302, 0x303, 0x308, 0,
                                0, 0x300, 0x301, 0x302, 0x308, 0x301, 0, 0};

// Writes the decomposition of c to to (two units at most); the units written.
int Decompose(wchar_t c, wchar_t* to) {
  if (c >= 0xC0 && c <= 0xFF && kLatinBase[c - 0xC0] != ' ' && kLatinAccent[(c - 0xC0) % 32] != 0) {
    to[0] = static_cast<wchar_t>(kLatinBase[c - 0xC0]);
    to[1] = kLatinAccent[(c - 0xC0) % 32];
    return 2;
  }
  // Voiced kana follow their plain kana (the k, s, t rows; the h row with its semi-voiced kana),
  // in hiragana and katakana alike.
  const wchar_t kana = c >= 0x30A0 ? static_cast<wchar_t>(c - 0x60) : c;
  const bool hRow = kana >= 0x306F && kana <= 0x307D;
  const bool voicedRows = (kana >= 0x304C && kana <= 0x3062 && kana % 2 == 0) ||
                          (kana >= 0x3065 && kana <= 0x3069 && kana % 2 == 1);
  if (voicedRows || (hRow && (kana - 0x306F) % 3 == 1)) {
    to[0] = static_cast<wchar_t>(c - 1);
    to[1] = 0x3099;
    return 2;
  }
  if (hRow && (kana - 0x306F) % 3 == 2) {
    to[0] = static_cast<wchar_t>(c - 2);
    to[1] = 0x309A;
    return 2;
  }
  if (c == 0x30F4 || c == 0x3094) {  // vu
    to[0] = static_cast<wchar_t>(c - 0x4E);
    to[1] = 0x3099;
    return 2;
  }
  to[0] = c;
  return 1;
}

}  // namespace

int NormalizeString(NORM_FORM, const wchar_t* text, int cwSrcLength, wchar_t* out, int cwDstLength) {
  const size_t length = cwSrcLength < 0 ? std::wcslen(text) + 1 : static_cast<size_t>(cwSrcLength);
  int written = 0;
  for (size_t i = 0; i < length; ++i) {
    wchar_t units[2];
    const int count = Decompose(text[i], units);
    if (written + count > cwDstLength) return 0;
    for (int u = 0; u < count; ++u) out[written++] = units[u];
  }
  return written;
}
