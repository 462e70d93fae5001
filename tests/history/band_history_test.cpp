// The history through the real band object in the Explorer stand-in: the band creates the
// drop-down from its settings, opens it on every change of the text, records the keyword
// after Enter and runs the picked entry.
#include <windows.h>
#include <gtest/gtest.h>

#include <memory>
#include <string>
#include <vector>

#include "band/selector_core_factory.h"
#include "framework/module.h"
#include "host/explorer_host.h"
#include "host/scenario.h"
#include "tests/history/history_test_support.h"
#include "tests/support/temp_folder.h"

using namespace vantorel;
using namespace vantorel::host;
using namespace vantorel::test;

namespace {

class BandHistory : public ::testing::Test {
 protected:
  void SetUp() override { ASSERT_EQ(S_OK, OleInitialize(nullptr)); }
  void Start(uint32_t options, const std::string& history) {
    folder_ = std::make_unique<TempFolder>(L"bandhistory");
    folder_->AddAll({L"alpha.txt", L"beta.txt", L"gamma.doc"});
    wchar_t setting[MAX_PATH];
    ASSERT_TRUE(Module::PathBeside(L"setting", setting));
    settingPath_ = setting;
    ASSERT_TRUE(WriteSettingsFile(settingPath_, 0, options));
    WriteHistoryBytes(history);
    host_ = ExplorerHost::Create(HostOptions());
    ASSERT_TRUE(host_);
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
    folder_.reset();
    DeleteFileW(settingPath_.c_str());
    RemoveHistory();
    EXPECT_EQ(0, StrayTemporaryFiles());
    OleUninitialize();
  }
  std::vector<std::string> Run(const std::vector<ScenarioStep>& steps) {
    for (const ScenarioStep& step : steps) {
      std::wstring error;
      EXPECT_TRUE(runner_->Run(step, error)) << Utf8(error);
    }
    std::vector<std::string> out;
    out.swap(lines_);
    return out;
  }
  HWND VisibleDropDown() {
    for (HWND box = nullptr; (box = FindWindowExW(nullptr, box, L"Vantorel HistoryBox", nullptr)) != nullptr;) {
      DWORD process = 0;
      GetWindowThreadProcessId(box, &process);
      if (process == GetCurrentProcessId() && IsWindowVisible(box)) return box;
    }
    return nullptr;
  }

  std::unique_ptr<TempFolder> folder_;
  std::wstring settingPath_;
  std::unique_ptr<ExplorerHost> host_;
  std::unique_ptr<ScenarioRunner> runner_;
  std::vector<std::string> lines_;
};

using Kind = ScenarioStep::Kind;

}  // namespace

TEST_F(BandHistory, TypingOpensTheHistoryAndEnterRecordsTheKeyword) {
  struct Case {
    const char* what;
    uint32_t options;
    std::vector<std::string> dropDown;
    std::vector<std::string> history;
  };
  const Case cases[] = {
      {"history on", 0x33, {"dropdown\talpha", "dropdown\talp"}, {"history\tbeta", "history\talpha", "history\talp"}},
      {"history on, sorted", 0x73, {"dropdown\talp", "dropdown\talpha"},
       {"history\tbeta", "history\talpha", "history\talp"}},
      {"history off", 0x13, {}, {"history\talp", "history\tbeta", "history\talpha"}},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.what);
    Start(c.options, "alp\r\nbeta\r\nalpha\r\n");
    std::vector<std::string> expected = c.dropDown;
    expected.insert(expected.end(), c.history.begin(), c.history.end());
    EXPECT_EQ(expected, Run({{Kind::Type, L"alp"}, {Kind::Print, L"dropdown"}, {Kind::Key, L"enter"},
                             {Kind::Print, L"dropdown"}, {Kind::Print, L"history"}}));
    TearDown();
    SetUp();
  }
}

TEST_F(BandHistory, APickedEntryIsRunLikeTypedText) {
  Start(0x33, "gamma.doc\r\nalpha.txt\r\n");
  EXPECT_EQ((std::vector<std::string>{"dropdown\talpha.txt"}),
            Run({{Kind::Type, L"alp"}, {Kind::Print, L"dropdown"}}));
  HWND dropDown = VisibleDropDown();
  ASSERT_NE(nullptr, dropDown);
  LeftClick(ItemCenter(dropDown, 0));
  EXPECT_TRUE(PumpUntil([&] { return !IsWindowVisible(dropDown); }));
  host_->PumpMessages();
  EXPECT_EQ((std::vector<std::string>{"selected\talpha.txt"}), Run({{Kind::Print, L"selected"}}));
  EXPECT_EQ(nullptr, VisibleDropDown());
}
