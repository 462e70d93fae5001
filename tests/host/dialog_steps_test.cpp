// The band's settings dialog driven through its controls with the scripted steps, in an
// Explorer window on its own thread: what OK, Cancel and the close box do to the band's record,
// its file and its next run, and where the dialog shows.
#include <windows.h>
#include <commctrl.h>
#include <gtest/gtest.h>

#include <algorithm>
#include <string>
#include <vector>

#include "tests/host/window_test_support.h"

using namespace vantorel;
using namespace vantorel::host;
using namespace vantorel::host::test;

namespace {

constexpr UINT kSettingsChanged = WM_APP + 8;
constexpr UINT_PTR kCounterId = 0x5E7;

LRESULT CALLBACK CountSettingsChanged(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam, UINT_PTR, DWORD_PTR data) {
  if (msg == kSettingsChanged) ++*reinterpret_cast<int*>(data);
  return DefSubclassProc(hwnd, msg, wParam, lParam);
}

class SettingsDialogSteps : public ::testing::Test {
 protected:
  // One window over the folder with the given record in the file; the band's window counts
  // the settings-changed notifications; then the file is removed, so a write shows.
  void Open(uint32_t options, HostOptions hostOptions = HostOptions()) {
    ASSERT_TRUE(module_.loaded());
    ASSERT_TRUE(WriteSettingsFile(module_.SettingPath(), 1, options));
    set_ = std::make_unique<WindowSet>(module_, folder_.path(), hostOptions);
    ASSERT_TRUE(set_->Open(1));
    ASSERT_TRUE(set_->Call(1, [this](ExplorerHost& host) {
      SetWindowSubclass(host.BandWindow(), &CountSettingsChanged, kCounterId, reinterpret_cast<DWORD_PTR>(&changes_));
    }));
    ASSERT_TRUE(DeleteFileW(module_.SettingPath().c_str()));
  }
  void TearDown() override {
    if (set_) {
      set_->Call(1, [](ExplorerHost& host) {
        RemoveWindowSubclass(host.BandWindow(), &CountSettingsChanged, kCounterId);
      });
    }
    set_.reset();
  }
  void ShowDialog() {
    ASSERT_TRUE(set_->Call(1, [](ExplorerHost& host) { ChooseFromModeMenu(host, ModeMenuItem::Settings); }));
  }
  std::string DialogLine() {
    Lines lines = set_->Print(1, L"dialog");
    return lines.size() == 1 ? lines[0] : "";
  }

  ModuleCopy module_;
  TempFolder folder_{{L"alpha.txt", L"Beta.txt", L"beta2.doc"}, L"dialog"};
  std::unique_ptr<WindowSet> set_;
  int changes_ = 0;
};

}  // namespace

TEST_F(SettingsDialogSteps, OkCancelAndCloseOnTheBandsRecord) {
  struct Case {
    const char* what;
    uint32_t options;
    const char* shown;  // the checked controls when shown
    std::vector<const wchar_t*> actions;
    bool written;         // "setting" written by the last action
    uint32_t stored;      // the option word in the file
    int notifications;
    const char* again;    // the checked controls when shown once more
  };
  const Case cases[] = {
      {"the old defaults, OK without a change", 0x33, "203,205,206,210", {L"ok"}, false, 0, 1, "203,205,206,210"},
      {"sort history set, OK stores the word built from nothing", 0x73, "203,205,206,210", {L"ok"}, true, 0x33, 1,
       "203,205,206,210"},
      {"every option, OK", 0x1F3, "203,205,206,207,209", {L"ok"}, true, 0x1B3, 1, "203,205,206,207,209"},
      {"case checked, Cancel", 0x33, "203,205,206,210", {L"check:201", L"cancel"}, false, 0, 0, "203,205,206,210"},
      {"case checked, close box", 0x33, "203,205,206,210", {L"check:201", L"close"}, false, 0, 0, "203,205,206,210"},
      {"every control turned, OK", 0x33, "203,205,206,210",
       {L"check:201", L"check:202", L"uncheck:205", L"uncheck:206", L"check:207", L"check:209", L"ok"}, true, 0x180,
       1, "201,202,203,207,209"},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.what);
    ASSERT_NO_FATAL_FAILURE(Open(c.options));
    EXPECT_EQ("dialog\tvisible=0\tchecked=", DialogLine());  // set only when shown
    ShowDialog();
    EXPECT_EQ("dialog\tvisible=1\tchecked=" + std::string(c.shown), DialogLine());
    for (const wchar_t* action : c.actions) {
      ASSERT_TRUE(set_->Run(1, L"--dialog " + std::wstring(action))) << Utf8(action);
    }
    EXPECT_EQ(0u, DialogLine().find("dialog\tvisible=0\t"));
    uint32_t mode = 9, options = 9;
    EXPECT_EQ(c.written, ReadSettingsFile(module_.SettingPath(), mode, options));
    if (c.written) {
      EXPECT_EQ(1u, mode);  // the whole record, the run mode with it
      EXPECT_EQ(c.stored, options);
    }
    EXPECT_EQ(c.notifications, changes_);
    ShowDialog();
    EXPECT_EQ("dialog\tvisible=1\tchecked=" + std::string(c.again), DialogLine());
    ASSERT_TRUE(set_->Run(1, L"--dialog cancel"));
    TearDown();
    changes_ = 0;
  }
}

// After OK with 201 checked the band tells upper from lower case from its next run on.
TEST_F(SettingsDialogSteps, CaseCheckedTakesEffectOnTheNextRun) {
  ASSERT_NO_FATAL_FAILURE(Open(0x33));
  // The record is in filter mode: the run shows only what matches.
  for (bool tellCase : {false, true}) {
    if (tellCase) {
      ShowDialog();
      ASSERT_TRUE(set_->Run(1, L"--dialog check:201 --dialog ok"));
    }
    ASSERT_TRUE(set_->Run(1, L"--type \"\" --key escape --type B* --key enter"));
    Lines expected = tellCase ? Lines{"shown\tBeta.txt"} : Lines{"shown\tBeta.txt", "shown\tbeta2.doc"};
    EXPECT_EQ(expected, Sorted(set_->Print(1, L"shown"))) << (tellCase ? "case told" : "case folded");
  }
}

// Centred over the Explorer window; over the work area when that is hidden or minimised; kept
// inside the work area.
TEST_F(SettingsDialogSteps, ShowsCentredOverTheWindowOrTheWorkArea) {
  RECT work;
  ASSERT_TRUE(SystemParametersInfoW(SPI_GETWORKAREA, 0, &work, 0));
  enum class Frame { Normal, Minimised, Hidden, OffTheCorner };
  struct Case {
    const char* what;
    Frame frame;
  };
  const Case cases[] = {{"over the window", Frame::Normal},
                        {"minimised", Frame::Minimised},
                        {"hidden", Frame::Hidden},
                        {"window past the work area's corner", Frame::OffTheCorner}};
  for (const Case& c : cases) {
    SCOPED_TRACE(c.what);
    HostOptions options;
    options.visible = true;
    options.width = 500;
    options.height = 400;
    ASSERT_NO_FATAL_FAILURE(Open(0x33, options));
    RECT frame = {}, dialog = {};
    ASSERT_TRUE(set_->Call(1, [&](ExplorerHost& host) {
      HWND window = host.Frame();
      if (c.frame == Frame::Minimised) ShowWindow(window, SW_MINIMIZE);
      if (c.frame == Frame::Hidden) ShowWindow(window, SW_HIDE);
      if (c.frame == Frame::Normal) SetWindowPos(window, nullptr, work.left + 40, work.top + 30, 0, 0, SWP_NOSIZE);
      if (c.frame == Frame::OffTheCorner) {
        SetWindowPos(window, nullptr, work.right - 120, work.bottom - 90, 0, 0, SWP_NOSIZE);
      }
      host.PumpMessages();
      GetWindowRect(window, &frame);
      ChooseFromModeMenu(host, ModeMenuItem::Settings);
      EnumThreadWindows(
          GetCurrentThreadId(),
          [](HWND w, LPARAM out) {
            if (IsWindowVisible(w) && ClassOf(w) == L"#32770") GetWindowRect(w, reinterpret_cast<RECT*>(out));
            return TRUE;
          },
          reinterpret_cast<LPARAM>(&dialog));
    }));
    LONG width = dialog.right - dialog.left, height = dialog.bottom - dialog.top;
    ASSERT_GT(width, 0);
    RECT over = c.frame == Frame::Normal || c.frame == Frame::OffTheCorner ? frame : work;
    LONG x = over.left + (over.right - over.left - width) / 2;
    LONG y = over.top + (over.bottom - over.top - height) / 2;
    x = std::max(work.left, std::min(x, work.right - width));
    y = std::max(work.top, std::min(y, work.bottom - height));
    EXPECT_NEAR(x, dialog.left, 1);
    EXPECT_NEAR(y, dialog.top, 1);
    EXPECT_LE(dialog.right, work.right);
    EXPECT_LE(dialog.bottom, work.bottom);
    ASSERT_TRUE(set_->Run(1, L"--dialog cancel"));
    TearDown();
  }
}
