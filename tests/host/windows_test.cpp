// Several Explorer windows in one process, each on its own thread with its own band from the
// one module: bands keep their own mode and options, closing one leaves the others working,
// a band writes "setting" only where it changed it, the module unloads only after the last band.
#include <windows.h>
#include <gtest/gtest.h>

#include <algorithm>
#include <string>
#include <vector>

#include "host/scenario_windows.h"
#include "tests/host/window_test_support.h"

using namespace vantorel;
using namespace vantorel::host;
using namespace vantorel::host::test;

namespace {

const std::vector<std::wstring> kFiles = {L"alpha.txt", L"Beta.txt", L"beta2.doc", L"gamma.txt"};

Lines AllShown() { return {"shown\tBeta.txt", "shown\talpha.txt", "shown\tbeta2.doc", "shown\tgamma.txt"}; }

// Types a keyword over whatever the input box holds and presses Enter. Escape closes an open
// history drop-down first; the next one selects the text.
bool RunKeyword(WindowSet& set, int window, const std::wstring& keyword) {
  return set.Run(window, L"--type \"\" --key escape --key escape --type " + keyword + L" --key enter");
}

class ExplorerWindows : public ::testing::Test {
 protected:
  void SetUp() override {
    ASSERT_TRUE(module_.loaded());
    ASSERT_TRUE(WriteSettingsFile(module_.SettingPath(), 0, 0x33));
  }
  ModuleCopy module_;
  TempFolder folder_{kFiles, L"windows"};
};

}  // namespace

// What one band does is seen in its own window only: each band has its own settings record.
TEST_F(ExplorerWindows, EachBandKeepsItsOwnModeAndOptions) {
  WindowSet set(module_, folder_.path());
  ASSERT_TRUE(set.Open(2));
  // Window 1 goes to filter mode through its mode menu; window 2 stays in select mode.
  ASSERT_TRUE(set.Call(1, [](ExplorerHost& host) { ChooseFromModeMenu(host, ModeMenuItem::Filter); }));

  struct Case {
    const char* what;
    int window;
    const wchar_t* keyword;  // run in that window first; null for none
    int look;                // then the window looked at
    const wchar_t* print;
    Lines expected;
  };
  const Case cases[] = {
      {"a run in window 2 selects there", 2, L"b*", 2, L"selected", {"selected\tBeta.txt", "selected\tbeta2.doc"}},
      {"and leaves window 1 unselected", 0, nullptr, 1, L"selected", {"noselection"}},
      {"and unfiltered", 0, nullptr, 1, L"shown", AllShown()},
      {"a run in window 1 filters there", 1, L"b*", 1, L"shown", {"shown\tBeta.txt", "shown\tbeta2.doc"}},
      {"and leaves window 2 showing all", 0, nullptr, 2, L"shown", AllShown()},
      {"with its selection", 0, nullptr, 2, L"selected", {"selected\tBeta.txt", "selected\tbeta2.doc"}},
  };
  for (const Case& c : cases) {
    if (c.keyword) {
      ASSERT_TRUE(RunKeyword(set, c.window, c.keyword)) << c.what;
    }
    EXPECT_EQ(Sorted(c.expected), Sorted(set.Print(c.look, c.print))) << c.what;
  }

  // Window 2's dialog makes its band tell upper from lower case; window 1 still folds case.
  ASSERT_TRUE(set.Call(2, [](ExplorerHost& host) { ChooseFromModeMenu(host, ModeMenuItem::Settings); }));
  ASSERT_TRUE(set.Run(2, L"--dialog check:201 --dialog ok"));
  ASSERT_TRUE(RunKeyword(set, 2, L"B*"));
  EXPECT_EQ(Lines{"selected\tBeta.txt"}, set.Print(2, L"selected"));
  ASSERT_TRUE(RunKeyword(set, 1, L"B*"));
  EXPECT_EQ(Sorted(Lines{"shown\tBeta.txt", "shown\tbeta2.doc"}), Sorted(set.Print(1, L"shown")));
  // Window 1's dialog was never shown: its controls have not been set from any record.
  EXPECT_EQ(Lines{"dialog\tvisible=0\tchecked="}, set.Print(1, L"dialog"));
}

// A window goes as Explorer closes it, or as the user closes its frame; the others work on.
TEST_F(ExplorerWindows, ClosingOneLeavesTheOthersWorking) {
  for (bool byUser : {false, true}) {
    SCOPED_TRACE(byUser ? "closed by the frame's close box" : "closed like Explorer");
    WindowSet set(module_, folder_.path());
    ASSERT_TRUE(set.Open(3));
    if (byUser) {
      HWND frame = nullptr;
      set.Call(2, [&frame](ExplorerHost& host) { frame = host.Frame(); });
      PostMessageW(frame, WM_SYSCOMMAND, SC_CLOSE, 0);
      set.window(2).WaitUntilEnded();
    } else {
      set.Close(2);
    }
    EXPECT_TRUE(set.window(2).HasEnded());
    EXPECT_FALSE(set.Run(2, L"--print shown"));
    EXPECT_EQ(S_FALSE, module_.CanUnloadNow());
    for (int window : {1, 3}) {
      SCOPED_TRACE(testing::Message() << "window " << window);
      ASSERT_TRUE(RunKeyword(set, window, L"*2*"));
      EXPECT_EQ(Lines{"selected\tbeta2.doc"}, set.Print(window, L"selected"));
    }
  }
}

// A band writes its record only where it changed it: the mode chosen in one window or tab is what
// the file keeps, whichever band goes last.
TEST_F(ExplorerWindows, TheSettingFileKeepsTheChoiceWhicheverBandGoesLast) {
  struct Case {
    const char* what;
    bool tabs;        // two tabs of one frame; else two windows
    int closedFirst;  // with two windows
  };
  const Case cases[] = {{"window 1 chose, closed first", false, 1},
                        {"window 1 chose, closed last", false, 2},
                        {"tab 2 chose, the frame closed", true, 1}};
  for (const Case& c : cases) {
    SCOPED_TRACE(c.what);
    ASSERT_TRUE(WriteSettingsFile(module_.SettingPath(), 0, 0x33));
    HostOptions options;
    options.explorer11 = c.tabs;
    WindowSet set(module_, folder_.path(), options);
    ASSERT_TRUE(set.Open(c.tabs ? 1 : 2));
    ASSERT_TRUE(!c.tabs || set.Run(1, L"--explorer-11 --tab new"));
    ASSERT_TRUE(set.Call(1, [](ExplorerHost& host) { ChooseFromModeMenu(host, ModeMenuItem::Filter); }));
    ASSERT_TRUE(!c.tabs || set.Run(1, L"--explorer-11 --tab 1"));
    set.Close(c.closedFirst);
    if (!c.tabs) set.Close(3 - c.closedFirst);
    uint32_t mode = 9, optionWord = 9;
    ASSERT_TRUE(ReadSettingsFile(module_.SettingPath(), mode, optionWord));
    EXPECT_EQ(1u, mode);
    EXPECT_EQ(0x33u, optionWord);
  }
}

TEST_F(ExplorerWindows, TheModuleUnloadsOnlyAfterTheLastBand) {
  {
    WindowSet set(module_, folder_.path());
    ASSERT_TRUE(set.Open(2));
    EXPECT_EQ(S_FALSE, module_.CanUnloadNow());
    set.Close(1);
    EXPECT_EQ(S_FALSE, module_.CanUnloadNow());
    ASSERT_TRUE(RunKeyword(set, 2, L"a*"));
    EXPECT_EQ(Lines{"selected\talpha.txt"}, set.Print(2, L"selected"));
    set.Close(2);
    EXPECT_EQ(S_OK, module_.CanUnloadNow());
  }
  EXPECT_TRUE(module_.Unload());
}

// The parser: window numbers and the dialog's actions.
TEST(WindowArguments, WindowNumbersAndDialogActions) {
  struct Case {
    std::vector<std::wstring> args;
    bool ok;
    const char* mention;  // in the reason, when refused
  };
  const Case cases[] = {
      {{L"--windows", L"3", L"--in", L"3", L"--close", L"1"}, true, ""},
      {{L"--in", L"1", L"--print", L"dialog"}, true, ""},
      {{L"--in", L"2"}, false, "only 1 windows"},
      {{L"--windows", L"2", L"--close", L"3"}, false, "--close 3"},
      {{L"--windows", L"0"}, false, "--windows"},
      {{L"--windows", L"17"}, false, "--windows"},
      {{L"--windows", L"2x"}, false, "--windows"},
      {{L"--in", L"0"}, false, "--in"},
      {{L"--dialog", L"check:201", L"--dialog", L"uncheck:207", L"--dialog", L"check:210"}, true, ""},
      {{L"--dialog", L"ok", L"--dialog", L"cancel", L"--dialog", L"close"}, true, ""},
      {{L"--dialog", L"uncheck:209"}, false, "radio"},
      {{L"--dialog", L"check:204"}, false, "check:204"},
      {{L"--dialog", L"check:"}, false, "check:"},
      {{L"--dialog", L"press"}, false, "press"},
  };
  for (const Case& c : cases) {
    std::vector<std::wstring> args = {L"--folder", L"C:\\x"};
    args.insert(args.end(), c.args.begin(), c.args.end());
    ScenarioArgs parsed;
    std::wstring error;
    EXPECT_EQ(c.ok, ParseScenarioArgs(args, parsed, error)) << Utf8(args[2]) << " " << Utf8(error);
    if (!c.ok) {
      EXPECT_NE(std::string::npos, Utf8(error).find(c.mention)) << Utf8(error);
    }
  }
}

// The scripted driver over several windows: lines carry their window's number; a closed window
// refuses further steps and the run stops there.
TEST_F(ExplorerWindows, ScenarioStepsRunInTheChosenWindow) {
  WindowThreadSetup setup;
  setup.folder = folder_.path();
  ModuleCopy* module = &module_;
  setup.makeBand = [module](ComPtr<IUnknown>& band) { return module->band().NewBand(band); };
  struct Case {
    std::vector<std::wstring> args;
    bool ok;
    Lines expected;
  };
  const Case cases[] = {
      {{L"--windows", L"2", L"--in", L"2", L"--type", L"gam*", L"--key", L"enter", L"--print", L"selected", L"--in",
        L"1", L"--print", L"selected", L"--print", L"dialog"},
       true,
       {"2\tselected\tgamma.txt", "1\tnoselection", "1\tdialog\tvisible=0\tchecked="}},
      {{L"--type", L"gam*", L"--key", L"enter", L"--print", L"selected"}, true, {"selected\tgamma.txt"}},
      {{L"--windows", L"2", L"--close", L"1", L"--in", L"2", L"--type", L"alpha", L"--key", L"enter", L"--print",
        L"selected", L"--in", L"1", L"--print", L"shown", L"--in", L"2", L"--print", L"selected"},
       false,
       {"2\tselected\talpha.txt"}},
      {{L"--dialog", L"ok", L"--print", L"shown"}, false, {}},
  };
  for (const Case& c : cases) {
    std::vector<std::wstring> args = {L"--folder", folder_.path()};
    args.insert(args.end(), c.args.begin(), c.args.end());
    ScenarioArgs parsed;
    std::wstring error;
    ASSERT_TRUE(ParseScenarioArgs(args, parsed, error)) << Utf8(error);
    Lines lines;
    bool ok = RunScenarioWindows(parsed, setup, module_.SettingPath(),
                                 [&lines](const std::string& line) { lines.push_back(line); }, error);
    EXPECT_EQ(c.ok, ok) << Utf8(error);
    EXPECT_EQ(c.expected, lines);
    if (!c.ok) {
      EXPECT_FALSE(error.empty());
    }
  }
  EXPECT_EQ(S_OK, module_.CanUnloadNow());
}
