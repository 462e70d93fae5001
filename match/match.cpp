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
constexpr wchar_t kSpacingVoicedMark = 0x309B, kSpacingSemiVoicedMark = 0x309C;
constexpr wchar_t kCombiningVoicedMark = 0x3099;
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

bool InWidthTable(wchar_t c) {
  for (int i = 0; i < kWidthTableSize; ++i) {
    if (c == kFullWidthRow[i]) return true;
  }
  return false;
}

// Full-width ASCII forms (and the ideographic space) become ASCII, half-width katakana
// full-width, a kana and its sound mark one character: the text may get shorter. The
// characters of the width table are left to the digit option when keepWidthTable is set.
void FoldWidthForms(wchar_t* text, bool keepWidthTable) {
  wchar_t* to = text;
  for (const wchar_t* from = text; *from != L'\0'; ++from) {
    wchar_t c = *from;
    if (keepWidthTable && InWidthTable(c)) {
      // stays as typed
    } else if (c >= 0xFF01 && c <= 0xFF5E) {
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

bool IsTrimmed(wchar_t c) { return c == L' ' || c == L'&' || c == L'|'; }

// A mark that belongs to the character before it: the combining diacritics, the combining kana
// sound marks, the vowels and finals of a decomposed Hangul syllable, and the second half of a
// surrogate pair. Decomposed text holds many of them.
bool ContinuesCharacter(wchar_t c) {
  return (c >= 0x0300 && c <= 0x036F) || (c >= 0x1160 && c <= 0x11FF) || (c >= 0x1AB0 && c <= 0x1AFF) ||
         (c >= 0x1DC0 && c <= 0x1DFF) || (c >= 0x20D0 && c <= 0x20FF) || c == 0x3099 || c == 0x309A ||
         (c >= 0xFE20 && c <= 0xFE2F) || (c >= 0xDC00 && c <= 0xDFFF);
}

// The next character as a reader counts it: past the marks that belong to this one. (CharNextW
// does so on Windows and not under Wine; the matcher counts alike on both.)
const wchar_t* NextCharacter(const wchar_t* text) {
  if (*text == L'\0') return text;
  ++text;
  while (ContinuesCharacter(*text)) ++text;
  return text;
}

// Literal keyword text is compared unit by unit, so that a keyword ending in a base letter or
// kana still finds it with a mark after it; '?' takes one whole character.
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
      resume = ++k;
    } else if (*k == L'?') {
      n = NextCharacter(n);
      ++k;
    } else if (*n == *k) {
      ++n;
      ++k;
    } else if (resume != nullptr) {
      // The failed name character is skipped, not tried again at the resume point.
      ++n;
      k = resume;
    } else {
      return FALSE;  // the text before the first '*' must match the start of the name
    }
  }
  // Name used up: the keyword must be used up too, even if only '*' is left.
  return *k == L'\0' ? TRUE : FALSE;
}

// Evaluates the expression between begin and end, a part of the caller's own copy: a split
// point or the end of a keyword is ended with a NUL while it is looked at, and restored. '&'
// splits before '|', and '|' before a space; a space takes the operator of the context (the
// text holds neither '&' nor '|' by then). The left operand never holds the operator it was
// split at, so left recursion is at most three levels deep; the right operand is taken in the
// loop.
BOOL Evaluate(const wchar_t* name, wchar_t* begin, wchar_t* end, int andContext) {
  for (;;) {
    while (begin < end && IsTrimmed(*begin)) ++begin;
    while (end > begin && IsTrimmed(end[-1])) --end;
    if (begin == end) {
      return andContext != 0 ? TRUE : FALSE;
    }
    wchar_t *andAt = nullptr, *orAt = nullptr, *spaceAt = nullptr;
    bool wildcard = false;
    for (wchar_t* at = begin; at < end && andAt == nullptr; ++at) {
      switch (*at) {
        case L'&': andAt = at; break;
        case L'|': orAt = orAt ? orAt : at; break;
        case L' ': spaceAt = spaceAt ? spaceAt : at; break;
        case L'*':
        case L'?': wildcard = true; break;
        default: break;
      }
    }
    wchar_t* split = andAt ? andAt : orAt ? orAt : spaceAt;
    const BOOL isAnd = andAt ? TRUE : orAt ? FALSE : (andContext != 0 ? TRUE : FALSE);
    if (split == nullptr) {
      // A single keyword (what MatchPattern decides, without searching it again).
      if (name == nullptr) {
        return FALSE;
      }
      const wchar_t after = *end;
      *end = L'\0';
      const BOOL found = wildcard ? MatchWildcards(name, begin) : (StrStrW(name, begin) != nullptr ? TRUE : FALSE);
      *end = after;
      return found;
    }
    const int context = isAnd ? 1 : 0;
    const BOOL left = Evaluate(name, begin, split, context);
    if (left != isAnd) {
      return left;  // AND with a false left part, OR with a true one
    }
    begin = split + 1;
    andContext = context;
  }
}

// At most limit code units of source (null reads as empty), copied to to and terminated; the
// copy's end.
wchar_t* CopyBounded(wchar_t* to, const wchar_t* source, int limit) {
  int length = 0;
  for (; source != nullptr && length < limit && source[length] != L'\0'; ++length) to[length] = source[length];
  to[length] = L'\0';
  return to + length;
}

// Turns the spacing sound marks (゛ ゜) into the combining ones that a decomposed kana holds.
void CombineSoundMarks(wchar_t* text) {
  for (; *text != L'\0'; ++text) {
    if (*text == kSpacingVoicedMark || *text == kSpacingSemiVoicedMark) {
      *text = static_cast<wchar_t>(*text - (kSpacingVoicedMark - kCombiningVoicedMark));
    }
  }
}

// Whether canonical decomposition can change the text: no character below U+00C0 has one.
bool MayDecompose(const wchar_t* text) {
  for (; *text != L'\0'; ++text) {
    if (*text >= 0x00C0) return true;
  }
  return false;
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
    FoldWidthForms(text, (options & kFoldDigitWidth) == 0);
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

// One copy of the expression for the whole evaluation, evaluated in place.
BOOL MatchExpression(const wchar_t* name, const wchar_t* expression, int andContext) {
  wchar_t text[kTextUnits];
  wchar_t* const end = CopyBounded(text, expression, kTextUnits - 1);
  return Evaluate(name, text, end, andContext);
}

BOOL MatchPrepared(const wchar_t* name, const wchar_t* expression, int andContext) {
  wchar_t text[kPreparedUnits];
  wchar_t* const end = CopyBounded(text, expression, kPreparedUnits - 1);
  return Evaluate(name, text, end, andContext);
}

void PrepareForMatch(const wchar_t* text, DWORD options, wchar_t (&prepared)[kPreparedUnits]) {
  wchar_t folded[kTextUnits];
  CopyBounded(folded, text, kTextUnits - 1);
  NormalizeForMatch(folded, options);
  CombineSoundMarks(folded);
  // Text that is not whole UTF-16 (a lone surrogate) has no decomposition: it is matched as it
  // stands, as the keyword would be.
  const int length = MayDecompose(folded) ? NormalizeString(NormalizationD, folded, -1, prepared, kPreparedUnits) : 0;
  if (length <= 0) CopyBounded(prepared, folded, kTextUnits - 1);
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
