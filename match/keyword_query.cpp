#include "match/keyword_query.h"

#include <shlwapi.h>

#include "match/match.h"
#include "match/match_options.h"

KeywordQuery::KeywordQuery() noexcept { text_[0] = L'\0'; }

KeywordQuery::KeywordQuery(const wchar_t* text, DWORD options) noexcept : options_(options) {
  int length = 0;
  for (; text && length < MAX_PATH - 1 && text[length] != L'\0'; ++length) text_[length] = text[length];
  text_[length] = L'\0';
  StrTrimW(text_, L" ");
  NormalizeForMatch(text_, options);
}

bool KeywordQuery::Matches(const wchar_t* name) const noexcept {
  wchar_t folded[MAX_PATH];
  int length = 0;
  for (; name && length < MAX_PATH - 1 && name[length] != L'\0'; ++length) folded[length] = name[length];
  folded[length] = L'\0';
  NormalizeForMatch(folded, options_);
  return MatchExpression(folded, text_, static_cast<int>(options_ & kDefaultAnd)) != FALSE;
}
