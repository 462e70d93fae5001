// The scripted steps against the real band object (linked in, created by its class factory's
// creation function), hosted by the stand-in over a real folder.
#include <windows.h>
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "tests/host/linked_band.h"

using namespace vantorel;
using namespace vantorel::host;
using namespace vantorel::host::test;

namespace {

class RealBandScenario : public LinkedBandTest {
 protected:
  void Start(uint32_t mode, uint32_t options) {
    Open({L"alpha.txt", L"Beta.TXT", L"gamma.doc", L"delta.txt", L"\x5831\x544A\xFF12.txt"}, L"realband", mode,
         options);
  }
};

}  // namespace

TEST_F(RealBandScenario, SelectModeTypedAndEntered) {
  ASSERT_NO_FATAL_FAILURE(Start(0, 0x33));
  Run(L"--type b*");
  EXPECT_EQ(L"Vantorel Editbox", ClassOf(GetFocus()));
  Run(L"--key enter --print selected --print state");
  std::vector<std::string> expected = {"selected\tBeta.TXT",
                                       "state\tmode=0\toptions=0x33\tnomatch=0\tfocus=Beta.TXT\tfocuswindow=SysListView32\tview=list"};
  EXPECT_EQ(expected, Take());

  // Alt+S in the folder view puts the focus back into the input box.
  Run(L"--key alt+s");
  EXPECT_EQ(L"Vantorel Editbox", ClassOf(GetFocus()));
  // Escape selects the text, so typing replaces it; a keyword matching nothing turns red.
  Run(L"--key escape --type zzz --key enter --print selected --print state");
  std::vector<std::string> lines = Take();
  ASSERT_EQ(2u, lines.size());
  EXPECT_EQ("noselection", lines[0]);
  EXPECT_EQ(0u, lines[1].find("state\tmode=0\toptions=0x33\tnomatch=1\t"));
}

TEST_F(RealBandScenario, FilterModeShowsOnlyMatchesWithFullWidthDigitsFolded) {
  ASSERT_NO_FATAL_FAILURE(Start(1, 0x33));
  Run(L"--type *2* --key enter --print shown");
  std::vector<std::string> expected = {"shown\t" + Utf8(L"\x5831\x544A\xFF12.txt")};
  EXPECT_EQ(expected, Take());
  Run(L"--key escape --type *.txt --key enter --print shown");
  std::vector<std::string> shown = Take();
  EXPECT_EQ(4u, shown.size());
  for (const std::string& line : shown) EXPECT_EQ(std::string::npos, line.find("gamma.doc"));
  Run(L"--print state");
  std::vector<std::string> state = Take();
  ASSERT_EQ(1u, state.size());
  EXPECT_EQ(0u, state[0].find("state\tmode=1\toptions=0x33\tnomatch=0\t"));
}
