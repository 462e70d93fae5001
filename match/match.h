// Keyword matching: normalisation of names and keyword text, and the test
// whether a file name satisfies a keyword expression. A name and a keyword
// that read the same match alike however their characters are composed: both
// are prepared (PrepareForMatch) into canonical decomposition, so that `café`
// typed on Windows finds a name written on a Mac as `cafe` and U+0301, and a
// keyword that is the start of a voiced kana (カ) finds it (ガ, カ and U+3099).
//
// Expressions join keywords with '&' (AND) and '|' (OR); a space means AND
// when the caller passes a non-zero andContext and OR otherwise. '*' and '?'
// inside a keyword are wildcards. All comparisons are exact code-unit
// comparisons; case and width folding come only from NormalizeForMatch.
// KeywordQuery (match/keyword_query.h) puts the two together for the runs.
//
// The matcher uses only a few user32/shlwapi text functions and the platform's
// NormalizeString; the native Linux build (sanitizers, fuzzing) supplies its
// own windows.h and shlwapi.h with portable stand-ins for them.
#pragma once

#include <windows.h>

// Rewrites text in place: lower-cases it when kFoldCase is set, then maps
// full-width ASCII forms to ASCII and half-width katakana to full-width when
// kFoldWidthForms is set (the characters of the width table only when
// kFoldDigitWidth is set too: they are the digit option's), then the
// full-width characters of the width table to half-width when kFoldDigitWidth
// is set. Only kFoldWidthForms changes the length: a half-width kana and its
// sound mark become one character. Always returns TRUE.
BOOL NormalizeForMatch(wchar_t* text, DWORD options);

// Units of a buffer that holds any text of 259 units brought to canonical
// decomposition: one unit becomes at most four.
constexpr int kPreparedUnits = 4 * (MAX_PATH - 1) + 1;

// A name or keyword text (its first 259 units; null reads as empty) as the
// matcher compares it: NormalizeForMatch with options, the spacing sound marks
// (゛ ゜, and the half-width ones that kFoldWidthForms turned into them) made
// combining, then canonical decomposition (NormalizeString, NFD). Text that is
// not whole UTF-16 is left undecomposed.
void PrepareForMatch(const wchar_t* text, DWORD options, wchar_t (&prepared)[kPreparedUnits]);

// TRUE when name satisfies expression. The expression is read as its first
// 259 code units and is not modified. An expression made only of spaces, '&'
// and '|' yields TRUE when andContext is non-zero and FALSE otherwise.
BOOL MatchExpression(const wchar_t* name, const wchar_t* expression, int andContext);

// MatchExpression for an expression prepared by PrepareForMatch: read up to
// kPreparedUnits - 1 units instead of 259.
BOOL MatchPrepared(const wchar_t* name, const wchar_t* expression, int andContext);

// Single keyword (no '&', '|' or space; not empty). Without wildcards: the
// keyword occurs anywhere in name. With wildcards: one left-to-right pass
// anchored at the start of name, resuming only at the last '*' passed; '?'
// takes one character with the combining marks after it.
BOOL MatchPattern(const wchar_t* name, const wchar_t* keyword);
