// Native sanitizer run of the matcher's boundary cases: the deepest
// expressions the 259-unit limit allows, over-long input, and full-length
// names, under ASan/UBSan on a small stack.
#include <pthread.h>

#include <cstdio>
#include <cstdlib>
#include <string>

#include "match/match.h"
#include "match/match_options.h"

namespace {

int failures = 0;

void Expect(bool ok, const char* what) {
  if (!ok) {
    std::printf("FAILED: %s\n", what);
    ++failures;
  }
}

void* Run(void*) {
  // 'a&a&...': 130 keywords and 129 operators, every level a new split.
  std::wstring chain = L"a";
  while (chain.size() + 2 <= 259) chain += L"&a";
  Expect(MatchExpression(L"a", chain.c_str(), 1) == TRUE, "and chain matches");
  Expect(MatchExpression(L"b", chain.c_str(), 1) == FALSE, "and chain fails");

  // 'b a a a ...' in OR context walks the whole right chain.
  std::wstring spaces = L"b";
  while (spaces.size() + 2 <= 259) spaces += L" b";
  spaces.back() = L'a';
  Expect(MatchExpression(L"a", spaces.c_str(), 0) == TRUE, "space chain reaches last keyword");
  Expect(MatchExpression(L"c", spaces.c_str(), 0) == FALSE, "space chain fails");

  // 259 operators alone.
  const std::wstring operators(259, L'|');
  Expect(MatchExpression(L"a", operators.c_str(), kDefaultAnd) == TRUE, "operators alone, AND context");
  Expect(MatchExpression(L"a", operators.c_str(), 0) == FALSE, "operators alone, OR context");

  // 300 units: only the first 259 count.
  const std::wstring longText = std::wstring(258, L'x') + L"y" + std::wstring(41, L'z');
  Expect(MatchExpression((std::wstring(258, L'x') + L"y").c_str(), longText.c_str(), 1) == TRUE, "cut at 259");
  Expect(MatchExpression((std::wstring(258, L'x') + L"yz").c_str(), (longText + L"&q").c_str(), 1) == TRUE,
         "operator past 259 is ignored");

  // Full-length names through the wildcard pass.
  const std::wstring longName(259, L'n');
  Expect(MatchExpression(longName.c_str(), L"*n", 1) == TRUE, "long name, leading star");
  Expect(MatchExpression(longName.c_str(), std::wstring(259, L'?').c_str(), 1) == TRUE, "259 question marks");
  Expect(MatchExpression(longName.c_str(), std::wstring(258, L'?').c_str(), 1) == FALSE, "258 question marks");

  wchar_t text[] = L"\xFF21\x3000\xFF11\xFF10\xFF5E";
  NormalizeForMatch(text, kFoldCase | kFoldDigitWidth);
  Expect(std::wstring(text) == L"\xFF41 10~", "normalisation");
  return nullptr;
}

}  // namespace

int main() {
  // A 256 KiB stack: a quarter of what an Explorer thread reserves.
  pthread_attr_t attr;
  pthread_attr_init(&attr);
  pthread_attr_setstacksize(&attr, 256 * 1024);
  pthread_t thread;
  if (pthread_create(&thread, &attr, Run, nullptr) != 0) return 2;
  pthread_join(thread, nullptr);
  std::printf("%s\n", failures == 0 ? "match_native_test: all passed" : "match_native_test: FAILED");
  return failures == 0 ? EXIT_SUCCESS : EXIT_FAILURE;
}
