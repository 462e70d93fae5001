#include "match/match.h"

#include <shlwapi.h>

#include "match/match_options.h"

namespace {

// Every text buffer of the matcher holds 259 code units plus the terminator.
constexpr int kTextUnits = 260;

// Width table: position i of the full-width row maps to position i of the
// half-width row. No half-width entry occurs in the full-width row, so one pass
// is enough and the mapping is idempotent.
constexpr wchar_t kFullWidthRow[] =
    L"\x3000\xFF11\xFF12\xFF13\xFF14\xFF15\xFF16\xFF17\xFF18\xFF19\xFF10\xFF5E\xFF0B\xFF0D\xFF08\xFF09";
constexpr wchar_t kHalfWidthRow[] = L" 1234567890~+-()";
constexpr int kWidthTableSize = 16;
static_assert(sizeof(kFullWidthRow) / sizeof(wchar_t) == kWidthTableSize + 1, "width table rows differ");
static_assert(sizeof(kHalfWidthRow) / sizeof(wchar_t) == kWidthTableSize + 1, "width table rows differ");

// Full-width katakana for the half-width forms U+FF61 to U+FF9F, in their order.
constexpr wchar_t kKatakanaRow[] =
    L"\x3002\x300C\x300D\x3001\x30FB\x30F2"                            // punctuation, wo
    L"\x30A1\x30A3\x30A5\x30A7\x30A9\x30E3\x30E5\x30E7\x30C3\x30FC"  // small kana, long vowel
    L"\x30A2\x30A4\x30A6\x30A8\x30AA\x30AB\x30AD\x30AF\x30B1\x30B3"  // a i u e o, ka ki ku ke ko
    L"\x30B5\x30B7\x30B9\x30BB\x30BD\x30BF\x30C1\x30C4\x30C6\x30C8"  // sa .. so, ta .. to
    L"\x30CA\x30CB\x30CC\x30CD\x30CE\x30CF\x30D2\x30D5\x30D8\x30DB"  // na .. no, ha .. ho
    L"\x30DE\x30DF\x30E0\x30E1\x30E2\x30E4\x30E6\x30E8"              // ma .. mo, ya yu yo
    L"\x30E9\x30EA\x30EB\x30EC\x30ED\x30EF\x30F3\x309B\x309C";      // ra .. ro, wa n, marks
constexpr wchar_t kFirstHalfWidthKana = 0xFF61;
constexpr wchar_t kHalfWidthVoicedMark = 0xFF9E;
constexpr wchar_t kHalfWidthSemiVoicedMark = 0xFF9F;
static_assert(sizeof(kKatakanaRow) / sizeof(wchar_t) == kHalfWidthSemiVoicedMark - kFirstHalfWidthKana + 2,
              "one full-width kana for every half-width form");

// The full-width kana that the half-width kana and the sound mark after it make together, or
// 0 when they stay two characters: the voiced mark joins the k, s, t and h rows and u, wa and
// wo; the semi-voiced mark joins the h row.
wchar_t Composed(wchar_t kana, wchar_t mark) {
  const wchar_t full = kKatakanaRow[kana - kFirstHalfWidthKana];
  const bool hRow = kana >= 0xFF8A && kana <= 0xFF8E;
  if (mark == kHalfWidthSemiVoicedMark) return hRow ? static_cast<wchar_t>(full + 2) : 0;
  if (mark != kHalfWidthVoicedMark) return 0;
  if (hRow || (kana >= 0xFF76 && kana <= 0xFF84)) return static_cast<wchar_t>(full + 1);
  switch (kana) {
    case 0xFF73: return 0x30F4;  // vu
    case 0xFF9C: return 0x30F7;  // va
    case 0xFF66: return 0x30FA;  // vo
    default: return 0;
  }
}

// Full-width ASCII forms (and the ideographic space) become ASCII, half-width katakana
// full-width, a kana and its sound mark one character: the text may get shorter.
void FoldWidthForms(wchar_t* text) {
  wchar_t* to = text;
  for (const wchar_t* from = text; *from != L'\0'; ++from) {
    wchar_t c = *from;
    if (c >= 0xFF01 && c <= 0xFF5E) {
      c = static_cast<wchar_t>(c - 0xFEE0);
    } else if (c == 0x3000) {
      c = L' ';
    } else if (c >= kFirstHalfWidthKana && c <= kHalfWidthSemiVoicedMark) {
      const wchar_t composed = Composed(c, from[1]);
      c = composed != 0 ? composed : kKatakanaRow[c - kFirstHalfWidthKana];
      if (composed != 0) ++from;
    }
    *to++ = c;
  }
  *to = L'\0';
}

// Characters trimmed from both ends of every (sub)expression.
constexpr wchar_t kTrimSet[] = L" &|";

// What one pass over a (sub)expression learnt: its length and which of the
// characters with a meaning it holds, so that the platform searches below run
// only where they can find something.
enum Marks : unsigned {
  kHoldsAnd = 0x1,
  kHoldsOr = 0x2,
  kHoldsSpace = 0x4,
  kHoldsWildcard = 0x8,
};

struct Scan {
  int length;
  unsigned marks;
};

// Copies at most kTextUnits - 1 code units of source, terminates the copy and
// notes the operators and wildcards it holds.
Scan CopyBounded(wchar_t (&dest)[kTextUnits], const wchar_t* source) {
  Scan scan{0, 0};
  if (source != nullptr) {
    for (; scan.length < kTextUnits - 1 && source[scan.length] != L'\0'; ++scan.length) {
      const wchar_t c = source[scan.length];
      dest[scan.length] = c;
      switch (c) {
        case L'&': scan.marks |= kHoldsAnd; break;
        case L'|': scan.marks |= kHoldsOr; break;
        case L' ': scan.marks |= kHoldsSpace; break;
        case L'*':
        case L'?': scan.marks |= kHoldsWildcard; break;
        default: break;
      }
    }
  }
  dest[scan.length] = L'\0';
  return scan;
}

bool IsTrimmed(wchar_t c) { return c == L' ' || c == L'&' || c == L'|'; }

BOOL MatchWildcards(const wchar_t* name, const wchar_t* keyword) {
  const wchar_t* n = name;
  const wchar_t* k = keyword;
  const wchar_t* resume = nullptr;  // keyword position just after the last '*' passed

  if (*n == L'\0') {
    return FALSE;
  }
  while (*n != L'\0') {
    if (*k == L'\0') {
      // Keyword used up before the name: enough once a '*' has been passed.
      return resume != nullptr ? TRUE : FALSE;
    }
    if (*k == L'*') {
      k = CharNextW(k);
      resume = k;
    } else if (*k == L'?') {
      n = CharNextW(n);
      k = CharNextW(k);
    } else if (*n == *k) {
      n = CharNextW(n);
      k = CharNextW(k);
    } else if (resume != nullptr) {
      // The failed name character is skipped, not tried again at the resume point.
      n = CharNextW(n);
      k = resume;
    } else {
      return FALSE;  // the text before the first '*' must match the start of the name
    }
  }
  // Name used up: the keyword must be used up too, even if only '*' is left.
  return *k == L'\0' ? TRUE : FALSE;
}

}  // namespace

BOOL NormalizeForMatch(wchar_t* text, DWORD options) {
  if (text == nullptr) {
    return TRUE;
  }
  if ((options & kFoldCase) != 0) {
    CharLowerW(text);
  }
  if ((options & kFoldWidthForms) != 0) {
    FoldWidthForms(text);
  }
  if ((options & kFoldDigitWidth) == 0) {
    return TRUE;
  }
  for (wchar_t* p = text; *p != L'\0'; p = CharNextW(p)) {
    for (int i = 0; i < kWidthTableSize; ++i) {
      if (*p == kFullWidthRow[i]) {
        *p = kHalfWidthRow[i];
        break;  // the replacement never occurs in the full-width row
      }
    }
  }
  return TRUE;
}

// Each level works on its own trimmed copy. '&' splits before '|', and '|'
// before a space; a space takes the operator of the context (the text holds
// neither '&' nor '|' by then), which is the same as replacing it by that
// operator and evaluating the text again, without the extra level. The left
// operand never holds the operator it was split at, so left recursion is at
// most three levels deep; the right chain shrinks by at least two code units a
// level, so the depth stays below 130 levels of about 600 bytes each.
//
// The copy notes which operators and wildcards the text holds; StrTrimW and
// StrChrW are called only where they have something to find, and a keyword
// goes straight to the substring or the wildcard test.
BOOL MatchExpression(const wchar_t* name, const wchar_t* expression, int andContext) {
  wchar_t text[kTextUnits];
  const Scan scan = CopyBounded(text, expression);
  if (scan.length > 0 && (IsTrimmed(text[0]) || IsTrimmed(text[scan.length - 1]))) {
    StrTrimW(text, kTrimSet);
  }
  if (text[0] == L'\0') {
    return andContext != 0 ? TRUE : FALSE;
  }

  BOOL isAnd = TRUE;
  wchar_t* split = (scan.marks & kHoldsAnd) != 0 ? StrChrW(text, L'&') : nullptr;
  if (split == nullptr) {
    isAnd = FALSE;
    split = (scan.marks & kHoldsOr) != 0 ? StrChrW(text, L'|') : nullptr;
  }
  if (split == nullptr) {
    split = (scan.marks & kHoldsSpace) != 0 ? StrChrW(text, L' ') : nullptr;
    isAnd = andContext != 0 ? TRUE : FALSE;
  }
  if (split == nullptr) {
    // A single keyword (what MatchPattern decides, without searching it again).
    if (name == nullptr) {
      return FALSE;
    }
    if ((scan.marks & kHoldsWildcard) != 0) {
      return MatchWildcards(name, text);
    }
    return StrStrW(name, text) != nullptr ? TRUE : FALSE;
  }

  *split = L'\0';
  const int context = isAnd ? 1 : 0;
  const BOOL left = MatchExpression(name, text, context);
  if (left != isAnd) {
    return left;  // AND with a false left part, OR with a true one
  }
  return MatchExpression(name, split + 1, context);
}

BOOL MatchPattern(const wchar_t* name, const wchar_t* keyword) {
  if (name == nullptr || keyword == nullptr || keyword[0] == L'\0') {
    return FALSE;
  }
  if (StrChrW(keyword, L'*') == nullptr && StrChrW(keyword, L'?') == nullptr) {
    return StrStrW(name, keyword) != nullptr ? TRUE : FALSE;
  }
  return MatchWildcards(name, keyword);
}
