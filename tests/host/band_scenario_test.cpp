// The scripted steps against the real band object (linked in, created by its class factory's
// creation function), hosted by the stand-in over a real folder.
#include <windows.h>
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "band/selector_core_factory.h"
#include "framework/module.h"
#include "host/explorer_host.h"
#include "host/scenario.h"
#include "tests/host/test_support.h"

using namespace vantorel;
using namespace vantorel::host;
using namespace vantorel::host::test;

namespace {

class RealBandScenario : public ::testing::Test {
 protected:
  void Start(uint32_t mode, uint32_t options) {
    folder_ = std::make_unique<TempFolder>(
        std::vector<std::wstring>{L"alpha.txt", L"Beta.TXT", L"gamma.doc", L"delta.txt", L"\x5831\x544A\xFF12.txt"},
        L"realband");
    wchar_t setting[MAX_PATH];
    ASSERT_TRUE(Module::PathBeside(L"setting", setting));
    settingPath_ = setting;
    ASSERT_TRUE(WriteSettingsFile(settingPath_, mode, options));
    host_ = ExplorerHost::Create(HostOptions());
    ASSERT_TRUE(host_);
    // As Explorer: the band is there before the first navigation completes.
    ComPtr<IUnknown> band;
    ASSERT_EQ(S_OK, CreateSelectorCore(nullptr, IID_IUnknown, band.put_void()));
    ASSERT_EQ(S_OK, host_->AddBand(band.get()));
    ASSERT_TRUE(host_->Navigate(folder_->path().c_str()));
    host_->PumpMessages();
    runner_ = std::make_unique<ScenarioRunner>(
        *host_, [this](const std::string& line) { lines_.push_back(line); }, settingPath_);
  }
  void TearDown() override {
    runner_.reset();
    if (host_) host_->Close();
    host_.reset();
    DeleteFileW(settingPath_.c_str());
    wchar_t history[MAX_PATH];
    if (Module::PathBeside(L"history.txt", history)) DeleteFileW(history);
  }
  void Step(ScenarioStep::Kind kind, const std::wstring& argument) {
    std::wstring error;
    EXPECT_TRUE(runner_->Run({kind, argument}, error)) << Utf8(error);
  }
  std::vector<std::string> Take() {
    std::vector<std::string> out;
    out.swap(lines_);
    return out;
  }

  std::unique_ptr<TempFolder> folder_;
  std::wstring settingPath_;
  std::unique_ptr<ExplorerHost> host_;
  std::unique_ptr<ScenarioRunner> runner_;
  std::vector<std::string> lines_;
};

}  // namespace

TEST_F(RealBandScenario, SelectModeTypedAndEntered) {
  ASSERT_NO_FATAL_FAILURE(Start(0, 0x33));
  Step(ScenarioStep::Kind::Type, L"b*");
  EXPECT_EQ(L"Vantorel Editbox", ClassOf(GetFocus()));
  Step(ScenarioStep::Kind::Key, L"enter");
  Step(ScenarioStep::Kind::Print, L"selected");
  Step(ScenarioStep::Kind::Print, L"state");
  std::vector<std::string> expected = {"selected\tBeta.TXT",
                                       "state\tmode=0\toptions=0x33\tnomatch=0\tfocus=Beta.TXT\tfocuswindow=SysListView32"};
  EXPECT_EQ(expected, Take());

  // Alt+S in the folder view puts the focus back into the input box.
  Step(ScenarioStep::Kind::Key, L"alt+s");
  EXPECT_EQ(L"Vantorel Editbox", ClassOf(GetFocus()));
  // Escape selects the text, so typing replaces it; a keyword matching nothing turns red.
  Step(ScenarioStep::Kind::Key, L"escape");
  Step(ScenarioStep::Kind::Type, L"zzz");
  Step(ScenarioStep::Kind::Key, L"enter");
  Step(ScenarioStep::Kind::Print, L"selected");
  Step(ScenarioStep::Kind::Print, L"state");
  std::vector<std::string> lines = Take();
  ASSERT_EQ(1u, lines.size());
  EXPECT_EQ(0u, lines[0].find("state\tmode=0\toptions=0x33\tnomatch=1\t"));
}

TEST_F(RealBandScenario, FilterModeShowsOnlyMatchesWithFullWidthDigitsFolded) {
  ASSERT_NO_FATAL_FAILURE(Start(1, 0x33));
  Step(ScenarioStep::Kind::Type, L"*2*");
  Step(ScenarioStep::Kind::Key, L"enter");
  Step(ScenarioStep::Kind::Print, L"shown");
  std::vector<std::string> expected = {"shown\t" + Utf8(L"\x5831\x544A\xFF12.txt")};
  EXPECT_EQ(expected, Take());
  Step(ScenarioStep::Kind::Key, L"escape");
  Step(ScenarioStep::Kind::Type, L"*.txt");
  Step(ScenarioStep::Kind::Key, L"enter");
  Step(ScenarioStep::Kind::Print, L"shown");
  std::vector<std::string> shown = Take();
  EXPECT_EQ(4u, shown.size());
  for (const std::string& line : shown) EXPECT_EQ(std::string::npos, line.find("gamma.doc"));
  Step(ScenarioStep::Kind::Print, L"state");
  std::vector<std::string> state = Take();
  ASSERT_EQ(1u, state.size());
  EXPECT_EQ(0u, state[0].find("state\tmode=1\toptions=0x33\tnomatch=0\t"));
}
