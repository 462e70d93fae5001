#pragma once
// The real band object, linked into the test program and made by its class factory's creation
// function, hosted by the stand-in over a folder of real files and driven by the scripted steps.
#include <gtest/gtest.h>
#include <shobjidl.h>

#include <memory>
#include <string>
#include <utility>
#include <vector>

#include "band/selector_core_factory.h"
#include "framework/module.h"
#include "host/explorer_host.h"
#include "host/scenario_runner.h"
#include "tests/host/test_support.h"

namespace vantorel::host::test {

class LinkedBandTest : public ::testing::Test {
 protected:
  // The setting file beside the test program first; as in Explorer, the band is there before the
  // first navigation completes.
  void Open(const std::vector<std::wstring>& files, const wchar_t* tag, uint32_t mode, uint32_t options,
            const HostOptions& hostOptions = HostOptions()) {
    folder_ = std::make_unique<TempFolder>(files, tag);
    wchar_t setting[MAX_PATH];
    ASSERT_TRUE(Module::PathBeside(L"setting", setting));
    settingPath_ = setting;
    ASSERT_TRUE(WriteSettingsFile(settingPath_, mode, options));
    host_ = ExplorerHost::Create(hostOptions);
    ASSERT_TRUE(host_);
    ASSERT_EQ(S_OK, CreateSelectorCore(nullptr, IID_PPV_ARGS(band_.put())));
    ASSERT_EQ(S_OK, host_->AddBand(band_.get()));
    ASSERT_TRUE(host_->Navigate(folder_->path().c_str()));
    host_->PumpMessages();
    runner_ = std::make_unique<ScenarioRunner>(
        *host_, [this](const std::string& line) { lines_.push_back(line); }, settingPath_);
  }
  void TearDown() override {
    runner_.reset();
    band_.reset();
    if (host_) host_->Close();
    host_.reset();
    DeleteFileW(settingPath_.c_str());
    wchar_t history[MAX_PATH];
    if (Module::PathBeside(L"history.txt", history)) DeleteFileW(history);
  }
  // The steps of a stand-in command line ("--key enter --print shown"), one after the other.
  void Run(const std::wstring& commandLine) {
    for (const ScenarioStep& step : StepsOf(commandLine)) {
      std::wstring error;
      EXPECT_TRUE(runner_->Run(step, error)) << Utf8(error);
    }
  }
  // The lines printed since the last call.
  std::vector<std::string> Take() { return std::exchange(lines_, {}); }

  std::unique_ptr<TempFolder> folder_;
  std::wstring settingPath_;
  std::unique_ptr<ExplorerHost> host_;
  ComPtr<IDeskBand> band_;
  std::unique_ptr<ScenarioRunner> runner_;
  std::vector<std::string> lines_;
};

}  // namespace vantorel::host::test
