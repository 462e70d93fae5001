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
