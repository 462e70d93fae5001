// The keyword query of a run as a value: made once from the text in the input box and the
// option bits, then asked about every candidate name.
#pragma once

#include <windows.h>

#include "match/match.h"

class KeywordQuery {
 public:
  // The empty query.
  KeywordQuery() noexcept;
  // At most the first 259 units of text (null reads as empty), trimmed of ASCII spaces and
  // prepared with options (PrepareForMatch); a space between keywords means AND when options
  // hold kDefaultAnd.
  KeywordQuery(const wchar_t* text, DWORD options) noexcept;

  bool Empty() const noexcept { return text_[0] == L'\0'; }
  // Whether name (a file name as the shell gives it; null reads as empty) satisfies the query;
  // the name is prepared with the query's option bits first. The empty query, and one made
  // only of '&' and '|', matches every name when a space means AND and none otherwise.
  bool Matches(const wchar_t* name) const noexcept;

  const wchar_t* Text() const noexcept { return text_; }
  DWORD Options() const noexcept { return options_; }

 private:
  wchar_t text_[kPreparedUnits];
  DWORD options_ = 0;
};
