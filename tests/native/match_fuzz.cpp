// libFuzzer target for the matcher. The input is one option byte followed by
// 16-bit code units: the expression, a zero unit, then the name.
// Checks, besides memory safety (ASan/UBSan):
//  - normalisation is idempotent, leaves no character of the width table's full-width row when width
//    folding is on; with the width forms folded it may shorten (no full-width ASCII form, ideographic
//    space or half-width katakana is left, but for the width table's characters without the digit
//    option), otherwise it keeps the length;
//  - MatchExpression returns 0 or 1, leaves the expression untouched, reads an
//    over-long expression as its first 259 units, and agrees with a flat
//    reference evaluation (split at every '&', then '|', then space);
//  - a keyword without wildcards matches exactly when it is a substring;
//  - prepared texts (PrepareForMatch) evaluate as the reference does, without the cut.
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <sstream>
#include <string>
#include <vector>

#include "match/match.h"
#include "match/match_options.h"

namespace {

void Check(bool ok) {
  if (!ok) std::abort();
}

// Without the spaces and operators at either end.
std::wstring Trim(const std::wstring& s) {
  const size_t b = s.find_first_not_of(L" &|");
  return b == std::wstring::npos ? std::wstring() : s.substr(b, s.find_last_not_of(L" &|") - b + 1);
}

std::vector<std::wstring> SplitNonEmpty(const std::wstring& s, wchar_t sep) {
  std::vector<std::wstring> parts;
  std::wistringstream in(s);
  for (std::wstring part; std::getline(in, part, sep);) {
    if (!Trim(part).empty()) parts.push_back(Trim(part));
  }
  return parts;
}

bool Keywords(const std::wstring& name, const std::wstring& text, bool spaceIsAnd) {
  for (const std::wstring& w : SplitNonEmpty(text, L' ')) {
    const bool m = MatchPattern(name.c_str(), w.c_str()) != FALSE;
    if (m != spaceIsAnd) return m;
  }
  return spaceIsAnd;
}

bool Alternatives(const std::wstring& name, const std::wstring& text, bool spaceIsAnd) {
  if (text.find(L'|') == std::wstring::npos) return Keywords(name, text, spaceIsAnd);
  for (const std::wstring& alt : SplitNonEmpty(text, L'|')) {
    if (Keywords(name, alt, false)) return true;
  }
  return false;
}

bool Reference(const std::wstring& name, const std::wstring& expression, bool andContext, size_t cut = 259) {
  const std::wstring text = Trim(expression.substr(0, cut));
  if (text.empty()) return andContext;
  if (text.find(L'&') == std::wstring::npos) return Alternatives(name, text, andContext);
  for (const std::wstring& term : SplitNonEmpty(text, L'&')) {
    if (!Alternatives(name, term, true)) return false;
  }
  return true;
}

const wchar_t kFullWidthRow[] =
    L"\x3000\xFF11\xFF12\xFF13\xFF14\xFF15\xFF16\xFF17\xFF18\xFF19\xFF10\xFF5E\xFF0B\xFF0D\xFF08\xFF09";

void CheckNormalize(std::wstring& s, DWORD options) {
  const size_t length = s.size();
  Check(NormalizeForMatch(&s[0], options) == TRUE);
  s.resize(std::wstring(s.c_str()).size());
  Check((options & kFoldWidthForms) ? s.size() <= length : s.size() == length);
  std::wstring again = s;
  NormalizeForMatch(&again[0], options);
  Check(again == s);
  if (options & kFoldDigitWidth) Check(s.find_first_of(kFullWidthRow) == std::wstring::npos);
  for (wchar_t c : s) {
    // The width table's characters are the digit option's alone.
    const bool digitOption = std::wstring(kFullWidthRow).find(c) != std::wstring::npos && !(options & kFoldDigitWidth);
    Check(!(options & kFoldWidthForms) || digitOption ||
          (c != 0x3000 && (c < 0xFF01 || c > 0xFF5E) && (c < 0xFF61 || c > 0xFF9F)));
  }
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  if (size < 1) return 0;
  const DWORD options = (data[0] & 1 ? kFoldCase : 0) | (data[0] & 2 ? kFoldDigitWidth : 0) |
                        (data[0] & 4 ? kDefaultAnd : 0) | (data[0] & 8 ? kFoldWidthForms : 0);
  std::wstring expression, name;
  bool inName = false;
  for (std::size_t i = 1; i + 1 < size; i += 2) {
    const wchar_t unit = static_cast<wchar_t>(data[i] | (data[i + 1] << 8));
    if (unit == 0) {
      if (inName) break;
      inName = true;
      continue;
    }
    (inName ? name : expression).push_back(unit);
  }
  if (name.size() > 259) name.resize(259);  // callers hold names in 260 units

  CheckNormalize(expression, options);
  CheckNormalize(name, options);

  const int andContext = static_cast<int>(options & kDefaultAnd);
  const std::wstring before = expression;
  const BOOL result = MatchExpression(name.c_str(), expression.c_str(), andContext);
  Check(result == TRUE || result == FALSE);
  Check(expression == before);
  Check((result != FALSE) == Reference(name, expression, andContext != 0));
  const std::wstring cut = expression.substr(0, 259);
  Check(MatchExpression(name.c_str(), cut.c_str(), andContext) == result);

  // Prepared (decomposed, possibly longer than 259 units) texts evaluate alike, uncut.
  wchar_t preparedName[kPreparedUnits], preparedExpression[kPreparedUnits];
  PrepareForMatch(name.c_str(), options, preparedName);
  PrepareForMatch(expression.c_str(), options, preparedExpression);
  Check((MatchPrepared(preparedName, preparedExpression, andContext) != FALSE) ==
        Reference(preparedName, preparedExpression, andContext != 0, kPreparedUnits));

  const std::wstring keyword = Trim(cut);
  if (!keyword.empty() && keyword.find_first_of(L"&| *?") == std::wstring::npos) {
    Check((MatchPattern(name.c_str(), keyword.c_str()) != FALSE) == (name.find(keyword) != std::wstring::npos));
  }
  return 0;
}
