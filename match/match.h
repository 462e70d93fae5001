// Keyword matching: normalisation of names and keyword text, and the test
// whether a file name satisfies a keyword expression.
//
// Expressions join keywords with '&' (AND) and '|' (OR); a space means AND
// when the caller passes a non-zero andContext and OR otherwise. '*' and '?'
// inside a keyword are wildcards. All comparisons are exact code-unit
// comparisons; case and width folding come only from NormalizeForMatch.
// KeywordQuery (match/keyword_query.h) puts the two together for the runs.
//
// The matcher uses only a few user32/shlwapi text functions; the native Linux
// build (sanitizers, fuzzing) supplies its own windows.h and shlwapi.h with
// portable stand-ins for them.
#pragma once

#include <windows.h>

// Rewrites text in place: lower-cases it when kFoldCase is set, then maps
// full-width ASCII forms to ASCII and half-width katakana to full-width when
// kFoldWidthForms is set, then the full-width characters of the width table to
// half-width when kFoldDigitWidth is set. Only kFoldWidthForms changes the
// length: a half-width kana and its sound mark become one character. Always
// returns TRUE.
BOOL NormalizeForMatch(wchar_t* text, DWORD options);

// TRUE when name satisfies expression. The expression is read as its first
// 259 code units and is not modified. An expression made only of spaces, '&'
// and '|' yields TRUE when andContext is non-zero and FALSE otherwise.
BOOL MatchExpression(const wchar_t* name, const wchar_t* expression, int andContext);

// Single keyword (no '&', '|' or space; not empty). Without wildcards: the
// keyword occurs anywhere in name. With wildcards: one left-to-right pass
// anchored at the start of name, resuming only at the last '*' passed.
BOOL MatchPattern(const wchar_t* name, const wchar_t* keyword);
