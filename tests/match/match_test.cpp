// Keyword matching against the real user32/shlwapi text functions.
#include <windows.h>

#include <gtest/gtest.h>

#include <string>

#include "match/keyword_query.h"
#include "match/match.h"
#include "match/match_options.h"

namespace {

std::wstring Normalized(std::wstring text, DWORD options) {
  EXPECT_EQ(NormalizeForMatch(&text[0], options), TRUE);
  return std::wstring(text.c_str());
}

// The whole path of a run: the query made from the text and the bits, asked about the name.
bool Matches(const std::wstring& expression, const std::wstring& name, DWORD options) {
  return KeywordQuery(expression.c_str(), options).Matches(name.c_str());
}

struct Case {
  const wchar_t* expression;
  const wchar_t* name;
  DWORD options;
  bool expected;
};

void PrintTo(const Case& c, std::ostream* os) {
  *os << ::testing::PrintToString(std::wstring(c.expression)) << " vs "
      << ::testing::PrintToString(std::wstring(c.name)) << " options 0x" << std::hex << c.options;
}

class Table : public ::testing::TestWithParam<Case> {};

TEST_P(Table, Matches) {
  const Case& c = GetParam();
  EXPECT_EQ(Matches(c.expression, c.name, c.options), c.expected);
}

constexpr DWORD kAnd = kDefaultAnd;
constexpr DWORD kOr = 0;
constexpr DWORD kAll = kFoldCase | kFoldDigitWidth | kDefaultAnd;

TEST(Normalize, FoldCaseLowersWithThePlatformTables) {
  EXPECT_EQ(Normalized(L"README.TXT", kFoldCase), L"readme.txt");
  EXPECT_EQ(Normalized(L"\x00C4pfel \x0394", kFoldCase), L"\x00E4pfel \x03B4");   // Latin-1, Greek
  EXPECT_EQ(Normalized(L"\xFF21\xFF22", kFoldCase), L"\xFF41\xFF42");             // full-width letters
  EXPECT_EQ(Normalized(L"README.TXT", 0), L"README.TXT");
  EXPECT_EQ(Normalized(L"README.TXT", kFoldDigitWidth | kDefaultAnd), L"README.TXT");
}

TEST(Normalize, WidthTableMapsEachEntryAndNothingElse) {
  const std::wstring full =
      L"\x3000\xFF11\xFF12\xFF13\xFF14\xFF15\xFF16\xFF17\xFF18\xFF19\xFF10\xFF5E\xFF0B\xFF0D\xFF08\xFF09";
  EXPECT_EQ(Normalized(full, kFoldDigitWidth), L" 1234567890~+-()");
  EXPECT_EQ(Normalized(full, 0), full);
  // Full-width letters, the full-width asterisk and ampersand stay.
  EXPECT_EQ(Normalized(L"\xFF21\xFF0A\xFF06\xFF5C", kFoldDigitWidth), L"\xFF21\xFF0A\xFF06\xFF5C");
  // Mapped in the middle of ordinary text, every occurrence.
  EXPECT_EQ(Normalized(L"a\xFF11\xFF11" L"b\x3000" L"c", kFoldDigitWidth), L"a11b c");
}

TEST(Normalize, LowersBeforeMappingWidth) {
  EXPECT_EQ(Normalized(L"\xFF21\xFF11X\x3000", kFoldCase | kFoldDigitWidth), L"\xFF41" L"1x ");
}

TEST(Normalize, NeverGrowsOrShrinksTheBuffer) {
  wchar_t buffer[MAX_PATH];
  for (int i = 0; i < MAX_PATH - 1; ++i) buffer[i] = (i % 3 == 0) ? L'\x3000' : (i % 3 == 1 ? L'\xFF19' : L'Q');
  buffer[MAX_PATH - 1] = L'\0';
  EXPECT_EQ(NormalizeForMatch(buffer, kFoldCase | kFoldDigitWidth), TRUE);
  EXPECT_EQ(lstrlenW(buffer), MAX_PATH - 1);
  EXPECT_EQ(std::wstring(buffer, 3), L" 9q");

  wchar_t guarded[] = {L'A', L'\xFF10', L'\0', L'Z', L'\xFF11'};  // after the terminator: untouched
  NormalizeForMatch(guarded, kFoldCase | kFoldDigitWidth);
  EXPECT_EQ(std::wstring(guarded, 5), std::wstring(L"a0\0Z\xFF11", 5));

  wchar_t empty[] = L"";
  EXPECT_EQ(NormalizeForMatch(empty, kAll), TRUE);
  EXPECT_EQ(empty[0], L'\0');
}

INSTANTIATE_TEST_SUITE_P(Operators, Table, ::testing::Values(
    // '&' binds more loosely than '|': (a|b)&c and a&(b|c).
    Case{L"a|b&c", L"ac", kOr, true}, Case{L"a|b&c", L"bc", kOr, true},
    Case{L"a|b&c", L"ab", kOr, false}, Case{L"a|b&c", L"c", kAnd, false},
    Case{L"a&b|c", L"ab", kOr, true}, Case{L"a&b|c", L"ac", kOr, true},
    Case{L"a&b|c", L"bc", kOr, false}, Case{L"a&b|c", L"a", kAnd, false},
    Case{L"a|b|c", L"xcx", kAnd, true}, Case{L"a&b&c", L"cab", kOr, true},
    Case{L"a&b&c", L"ca", kOr, false},
    // The space takes the operator of its operand; DefaultAnd decides only without operators.
    Case{L"a b", L"ab", kAnd, true}, Case{L"a b", L"a", kAnd, false},
    Case{L"a b", L"a", kOr, true}, Case{L"a b", L"b", kOr, true}, Case{L"a b", L"c", kOr, false},
    Case{L"a b|c", L"a", kAnd, true}, Case{L"a b|c", L"b", kAnd, true},
    Case{L"a b|c", L"c", kAnd, true}, Case{L"a b|c", L"d", kAnd, false},
    Case{L"a b&c", L"ac", kOr, false}, Case{L"a b&c", L"abc", kOr, true},
    Case{L"a b c", L"cba", kAnd, true}, Case{L"a b c", L"ca", kAnd, false},
    Case{L"a b c", L"xxc", kOr, true},
    // Spaces next to operators and runs of operators vanish.
    Case{L"a & b", L"ab", kOr, true}, Case{L"a & b", L"a", kOr, false},
    Case{L"a&&b", L"a", kOr, false}, Case{L"a&&b", L"ba", kOr, true},
    Case{L"a & | b", L"a", kOr, false}, Case{L"a & | b", L"ab", kOr, true},
    Case{L"a||b", L"b", kAnd, true}, Case{L"a   b", L"b", kOr, true}, Case{L"a   b", L"b", kAnd, false},
    Case{L"&a|", L"a", kAnd, true}, Case{L" |a& ", L"xa", kOr, true},
    // Only spaces and operators: every name in AND context, none in OR context.
    Case{L"&", L"anything", kAnd, true}, Case{L"&", L"anything", kOr, false},
    Case{L" | ", L"x", kAnd, true}, Case{L" | ", L"x", kOr, false},
    Case{L"", L"x", kAnd, true}, Case{L"", L"x", kOr, false},
    Case{L" &| &&||  ", L"", kAnd, true}, Case{L" &| &&||  ", L"", kOr, false},
    // Parentheses are ordinary characters.
    Case{L"(a|b)", L"(a", kOr, true}, Case{L"(a|b)", L"a", kOr, false}));

TEST(Operators, EmptyExpressionReturnsExactlyOneInAndContext) {
  // The context is the option word masked with DefaultAnd (0x100); the result is still 1.
  EXPECT_EQ(MatchExpression(L"x", L" & ", static_cast<int>(kDefaultAnd)), 1);
  EXPECT_EQ(MatchExpression(L"x", L" & ", 0), 0);
  EXPECT_EQ(MatchExpression(L"x", L"x y", static_cast<int>(kDefaultAnd)), 0);
  EXPECT_EQ(MatchExpression(L"xy", L"x y", static_cast<int>(kDefaultAnd)), 1);
}

TEST(Operators, ExpressionIsNotModified) {
  wchar_t expression[] = L" a b|c&d ";
  const std::wstring before = expression;
  MatchExpression(L"abcd", expression, 1);
  MatchExpression(L"zzzz", expression, 0);
  EXPECT_EQ(before, expression);
}

INSTANTIATE_TEST_SUITE_P(Wildcards, Table, ::testing::Values(
    // Plain keywords: substring anywhere, case-sensitive after normalisation.
    Case{L"port", L"report.txt", kOr, true}, Case{L"txt", L"a.txt", kOr, true},
    Case{L"txt", L"txtfile", kOr, true}, Case{L"TXT", L"a.txt", kOr, false},
    Case{L"txtx", L"txt", kOr, false},
    // Anchored at the start of the name.
    Case{L"b*", L"ab", kOr, false}, Case{L"b*", L"bc", kOr, true}, Case{L"?xt", L"a.txt", kOr, false},
    // Once past a '*', reaching the end of the keyword is enough.
    Case{L"*.txt", L"a.txt.bak", kOr, true}, Case{L"a*b", L"aXbY", kOr, true},
    Case{L"*.txt", L"a.txt", kOr, true}, Case{L"*.txt", L"a.doc", kOr, false},
    // Without '*' the keyword covers the whole name.
    Case{L"a?c", L"abc", kOr, true}, Case{L"a?c", L"abcd", kOr, false}, Case{L"a?c", L"xabc", kOr, false},
    Case{L"?", L"a", kOr, true}, Case{L"?", L"ab", kOr, false}, Case{L"?", L"", kOr, false},
    Case{L"??", L"ab", kOr, true},
    // A trailing '*' needs one more character.
    Case{L"abc*", L"abcd", kOr, true}, Case{L"abc*", L"abc", kOr, false},
    Case{L"a*", L"a", kOr, false}, Case{L"a**", L"ab", kOr, true},
    Case{L"*", L"x", kOr, true}, Case{L"*", L"a long name.txt", kOr, true}, Case{L"*", L"", kOr, false},
    Case{L"**", L"x", kOr, true},
    // One resume point: the failed character is not compared again.
    Case{L"*ab", L"xab", kOr, true}, Case{L"*ab", L"ab", kOr, true}, Case{L"*ab", L"aaab", kOr, true},
    Case{L"*ab", L"aab", kOr, false}, Case{L"*ab", L"xaab", kOr, false},
    Case{L"*a?c", L"zzabc", kOr, true}, Case{L"a*c*e", L"abcde", kOr, true},
    Case{L"a*c*e", L"abde", kOr, false},
    // Wildcards inside expressions.
    Case{L"*.txt|*.doc", L"x.doc", kOr, true}, Case{L"*.txt *.doc", L"x.doc", kAnd, false},
    Case{L"r* *.txt", L"r.txt", kAnd, true}));

TEST(Wildcards, MatchPatternDecidesLikeTheExpressionLeaf) {
  // MatchPattern is the single-keyword test on its own; the expression path
  // must agree with it for every keyword of the tables above.
  const struct {
    const wchar_t* keyword;
    const wchar_t* name;
  } pairs[] = {{L"port", L"report.txt"}, {L"TXT", L"a.txt"},   {L"b*", L"ab"},     {L"*.txt", L"a.txt.bak"},
               {L"a?c", L"abcd"},        {L"abc*", L"abc"},    {L"*ab", L"aab"},   {L"*ab", L"aaab"},
               {L"?", L""},              {L"*", L""},          {L"a*c*e", L"abcde"}, {L"x", L""}};
  for (const auto& p : pairs) {
    EXPECT_EQ(MatchPattern(p.name, p.keyword), MatchExpression(p.name, p.keyword, 0)) << p.keyword;
  }
  EXPECT_EQ(MatchPattern(L"report.txt", L"port"), TRUE);
  EXPECT_EQ(MatchPattern(L"aab", L"*ab"), FALSE);
  EXPECT_EQ(MatchPattern(L"aaab", L"*ab"), TRUE);
  EXPECT_EQ(MatchPattern(L"abc", L"abc*"), FALSE);
}

// Contract edge cases through the whole normalise-then-match path.
INSTANTIATE_TEST_SUITE_P(EdgeCases, Table, ::testing::Values(
    Case{L"*.TXT", L"A.txt", kFoldCase, true}, Case{L"*.txt", L"A.txt", kFoldCase, true},
    Case{L"*.TXT", L"a.txt", 0, false},
    Case{L"\xFF12\xFF10\xFF10\xFF18", L"report2008.doc", kFoldDigitWidth, true},
    Case{L"2008", L"report\xFF12\xFF10\xFF10\xFF18.doc", kFoldDigitWidth, true},
    Case{L"\xFF12\xFF10\xFF10\xFF18", L"report2008.doc", kFoldCase, false},
    Case{L"2008", L"report\xFF12\xFF10\xFF10\xFF18.doc", kFoldCase, false},
    // The ideographic space separates keywords only once it has become a space.
    Case{L"a\x3000" L"b", L"b-a", kFoldDigitWidth | kDefaultAnd, true},
    Case{L"a\x3000" L"b", L"b-a", kDefaultAnd, false},
    Case{L"a\x3000" L"b", L"xa\x3000" L"b", kDefaultAnd, true},
    Case{L"\xFF21\xFF22", L"\xFF41\xFF42.txt", kAll, true},
    Case{L"\xFF21\xFF22", L"ab.txt", kAll, false}));

// Full-width letters and signs, operators among them; half-width katakana, sound marks joined to
// their kana (ga, pa, vu, bo) or left alone (n). With the new default's bits, and the old ones.
constexpr DWORD kWidths = kFoldCase | kFoldDigitWidth | kFoldWidthForms, kDigits = kFoldCase | kFoldDigitWidth;
constexpr wchar_t kReport[] = L"\xFF52\xFF45\xFF50\xFF4F\xFF52\xFF54", kHalfGuide[] = L"\xFF76\xFF9E\xFF72\xFF84\xFF9E";
constexpr wchar_t kMeeting2024[] = L"\x4F1A\x8B70\xFF06\xFF12\xFF10\xFF12\xFF14", kGuide[] = L"\x30AC\x30A4\x30C9";
INSTANTIATE_TEST_SUITE_P(WidthForms, Table, ::testing::Values(
    Case{kReport, L"Report.txt", kWidths, true}, Case{kReport, L"report.txt", kDigits, false},
    Case{kMeeting2024, L"2024\x5E74\x4F1A\x8B70", kWidths, true}, Case{kMeeting2024, L"\x4F1A\x8B70", kWidths, false},
    Case{L"\xFF0A\xFF0E\xFF50\xFF44\xFF46", L"a.pdf", kWidths, true}, Case{L"\xFF32", L"r", kFoldWidthForms, false},
    Case{L"readme\xFF5Cinvoice", L"invoice", kWidths, true}, Case{L"a\xFF1F", L"ab", kWidths, true},
    Case{L"a\x3000" L"b", L"b-a", kFoldWidthForms | kDefaultAnd, false}, Case{kHalfGuide, kGuide, kWidths, true},
    Case{L"\x30E1\x30E2", L"\xFF92\xFF93.txt", kWidths, true}, Case{kGuide, kHalfGuide, kDigits, false},
    Case{kGuide, kHalfGuide, kWidths, true}, Case{L"\x30F3\x309B", L"\xFF9D\xFF9E", kWidths, true},
    Case{L"\x30D1\x30F4\x30DC", L"\xFF8A\xFF9F\xFF73\xFF9E\xFF8E\xFF9E", kWidths, true},
    // The width table's characters (digits, the ideographic space, ～＋－（）) are the digit option's.
    Case{L"\xFF12\xFF10\xFF10\xFF18", L"2008", kFoldCase | kFoldWidthForms, false},
    Case{L"\xFF12\xFF10\xFF10\xFF18", L"2008", kWidths, true},
    Case{L"\xFF08" L"a\xFF09", L"(a)", kFoldCase | kFoldWidthForms, false}));

// Names and keywords in composed and decomposed form (as written on a Mac) match alike; a keyword
// that is the start of a voiced kana finds it, the sound mark typed spacing or half-width too.
constexpr wchar_t kGuideNfd[] = L"\x30AB\x3099\x30A4\x30C8\x3099.txt", kCafeNfd[] = L"cafe\x0301.txt";
constexpr wchar_t kPamphlet[] = L"\x30D1\x30F3\x30D5\x30EC\x30C3\x30C8",
                  kPamphletNfd[] = L"\x30CF\x309A\x30F3\x30D5\x30EC\x30C3\x30C8.pdf";
constexpr wchar_t kHalfGuideTxt[] = L"\xFF76\xFF9E\xFF72\xFF84\xFF9E.txt";
INSTANTIATE_TEST_SUITE_P(Decomposition, Table, ::testing::Values(
    Case{kGuide, kGuideNfd, kDigits, true}, Case{kGuide, kGuideNfd, kWidths, true},
    Case{L"caf\xE9", kCafeNfd, kDigits, true}, Case{L"CAF\xC9", kCafeNfd, kWidths, true},
    Case{kPamphlet, kPamphletNfd, kDigits, true}, Case{kPamphlet, kPamphletNfd, kWidths, true},
    Case{L"\x30AB\x3099\x30A4\x30C8\x3099", L"\x30AC\x30A4\x30C9.txt", kDigits, true},
    Case{L"cafe\x0301", L"caf\xE9.txt", kWidths, true},
    Case{L"\x30CF\x309A\x30F3\x30D5", L"\x30D1\x30F3\x30D5.pdf", kWidths, true},
    Case{L"\xFF76", kHalfGuideTxt, kWidths, true}, Case{L"\xFF72\xFF84", kHalfGuideTxt, kWidths, true},
    Case{L"\x30AB", kHalfGuideTxt, kWidths, true}, Case{L"\x30AB\x309B", kGuideNfd, kDigits, true},
    Case{L"caf?.txt", L"caf\xE9.txt", kWidths, true}, Case{L"\x30AC", L"\x30AB\x30A4.txt", kWidths, false},
    Case{L"caf\xE9", L"cafe.txt", kWidths, false}));

TEST(Limits, ExpressionIsReadAsItsFirst259Units) {
  // 300 units: 258 'x', a 'y' at unit 259, then 41 'z'.
  const std::wstring expression = std::wstring(258, L'x') + L"y" + std::wstring(41, L'z');
  ASSERT_EQ(expression.size(), 300u);
  const std::wstring name = std::wstring(258, L'x') + L"y";
  EXPECT_EQ(MatchExpression(name.c_str(), expression.c_str(), 1), TRUE);
  EXPECT_EQ(MatchExpression((name + L"z").c_str(), expression.c_str(), 1), TRUE);
  EXPECT_EQ(MatchExpression(std::wstring(258, L'x').c_str(), expression.c_str(), 1), FALSE);

  // An operator beyond the cut has no effect; one before it does.
  const std::wstring orAfterCut = std::wstring(258, L'x') + L"y|q";
  EXPECT_EQ(MatchExpression(L"q", orAfterCut.c_str(), 0), FALSE);
  const std::wstring orBeforeCut = std::wstring(256, L'x') + L"|q" + std::wstring(40, L'z');
  EXPECT_EQ(MatchExpression(L"qz", orBeforeCut.c_str(), 0), TRUE);  // read as '...|qz'
  EXPECT_EQ(MatchExpression(L"q", orBeforeCut.c_str(), 0), FALSE);
}

TEST(Limits, TwoHundredFiftyNineOperators) {
  const std::wstring onlyOperators(259, L'&');
  EXPECT_EQ(MatchExpression(L"a", onlyOperators.c_str(), 1), TRUE);
  EXPECT_EQ(MatchExpression(L"a", onlyOperators.c_str(), 0), FALSE);

  // Operators between single-letter keywords: the deepest chain the limit allows.
  std::wstring andChain = L"a", orChain = L"b", spaceChain = L"b";
  while (andChain.size() + 2 <= 259) {
    andChain += L"&a";
    orChain += L"|b";
    spaceChain += L" b";
  }
  orChain.back() = L'c';
  spaceChain.back() = L'c';
  EXPECT_EQ(MatchExpression(L"a", andChain.c_str(), 1), TRUE);
  EXPECT_EQ(MatchExpression(L"b", andChain.c_str(), 1), FALSE);
  EXPECT_EQ(MatchExpression(L"c", orChain.c_str(), 0), TRUE);
  EXPECT_EQ(MatchExpression(L"d", orChain.c_str(), 0), FALSE);
  EXPECT_EQ(MatchExpression(L"c", spaceChain.c_str(), 0), TRUE);
  EXPECT_EQ(MatchExpression(L"bc", spaceChain.c_str(), 1), TRUE);
  EXPECT_EQ(MatchExpression(L"c", spaceChain.c_str(), 1), FALSE);

  // 259 operators and spaces mixed, then keywords past the cut.
  std::wstring mixed;
  for (int i = 0; i < 259; ++i) mixed += (i % 3 == 0 ? L'&' : (i % 3 == 1 ? L' ' : L'|'));
  EXPECT_EQ(MatchExpression(L"a", (mixed + L"zzz").c_str(), 1), TRUE);
}

DWORD WINAPI DeepestExpressionsOnSmallStack(LPVOID) {
  std::wstring chain = L"a", mixed = L"a";
  while (chain.size() + 2 <= 259) {
    chain += L"&a";
    mixed += (mixed.size() % 4 == 1) ? L" a" : L"|a";
  }
  return MatchExpression(L"a", chain.c_str(), 1) == TRUE && MatchExpression(L"b", mixed.c_str(), 1) == FALSE &&
         MatchExpression(L"a", mixed.c_str(), 0) == TRUE;
}

TEST(Limits, DeepestExpressionFitsInA128KiBStack) {
  // Explorer threads reserve 1 MiB; the matcher must stay far below that.
  HANDLE thread = CreateThread(nullptr, 128 * 1024, DeepestExpressionsOnSmallStack, nullptr,
                               STACK_SIZE_PARAM_IS_A_RESERVATION, nullptr);
  ASSERT_NE(thread, nullptr);
  ASSERT_EQ(WaitForSingleObject(thread, 30000), WAIT_OBJECT_0);
  DWORD code = 0;
  EXPECT_TRUE(GetExitCodeThread(thread, &code));
  EXPECT_EQ(code, 1u);
  CloseHandle(thread);
}

TEST(Limits, NamesOf259Units) {
  const std::wstring name = std::wstring(258, L'n') + L"e";
  EXPECT_EQ(MatchExpression(name.c_str(), L"*e", 1), TRUE);
  EXPECT_EQ(MatchExpression(name.c_str(), L"n*", 1), TRUE);
  EXPECT_EQ(MatchExpression(name.c_str(), L"ne", 1), TRUE);
  EXPECT_EQ(MatchExpression(name.c_str(), (std::wstring(258, L'?') + L"e").c_str(), 1), TRUE);
  EXPECT_EQ(MatchExpression(name.c_str(), std::wstring(258, L'?').c_str(), 1), FALSE);
  EXPECT_EQ(MatchExpression(name.c_str(), name.c_str(), 1), TRUE);
  const std::wstring shorter = name.substr(0, 258);
  EXPECT_EQ(MatchExpression(shorter.c_str(), (shorter + L"*").c_str(), 1), FALSE);
  EXPECT_EQ(MatchExpression(name.c_str(), (shorter + L"*").c_str(), 1), TRUE);
  // 260 units: the trailing '*' is cut off, leaving a plain keyword.
  EXPECT_EQ(MatchExpression(name.c_str(), (name + L"*").c_str(), 1), TRUE);

  std::wstring upper(259, L'N');
  EXPECT_EQ(Matches(L"nnn", upper, kFoldCase), true);
  EXPECT_EQ(Matches(L"nnn", upper, 0), false);
}

}  // namespace
