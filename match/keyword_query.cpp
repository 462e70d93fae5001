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
  wchar_t typed[MAX_PATH];
  CopyCut(text, typed);
  StrTrimW(typed, L" ");
  PrepareForMatch(typed, options, text_);
}

bool KeywordQuery::Matches(const wchar_t* name) const noexcept {
  wchar_t prepared[kPreparedUnits];
  PrepareForMatch(name, options_, prepared);
  return MatchPrepared(prepared, text_, static_cast<int>(options_ & kDefaultAnd)) != FALSE;
}
