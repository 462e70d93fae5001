#include "match/keyword_query.h"

#include <shlwapi.h>

#include "match/match.h"
#include "match/match_options.h"

namespace {

// At most the first MAX_PATH - 1 units of text (null reads as empty), terminated.
void CopyCut(const wchar_t* text, wchar_t (&to)[MAX_PATH]) noexcept {
  int length = 0;
  for (; text && length < MAX_PATH - 1 && text[length] != L'\0'; ++length) to[length] = text[length];
  to[length] = L'\0';
}

}  // namespace

KeywordQuery::KeywordQuery() noexcept { text_[0] = L'\0'; }

KeywordQuery::KeywordQuery(const wchar_t* text, DWORD options) noexcept : options_(options) {
  CopyCut(text, text_);
  StrTrimW(text_, L" ");
  NormalizeForMatch(text_, options);
}

bool KeywordQuery::Matches(const wchar_t* name) const noexcept {
  wchar_t folded[MAX_PATH];
  CopyCut(name, folded);
  NormalizeForMatch(folded, options_);
  return MatchExpression(folded, text_, static_cast<int>(options_ & kDefaultAnd)) != FALSE;
}
