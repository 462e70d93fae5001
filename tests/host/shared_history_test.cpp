// The history that the bands of several Explorer windows share: one file beside the module,
// written by the window threads of one process, and a drop-down per window whose mouse hook
// belongs to that window's thread.
#include <windows.h>
#include <gtest/gtest.h>

#include <memory>
#include <string>
#include <thread>
#include <vector>

#include "framework/unique_handle.h"
#include "history/history_file.h"
#include "tests/host/window_test_support.h"

using namespace vantorel;
using namespace vantorel::host;
using namespace vantorel::host::test;

namespace {

constexpr int kWaitRounds = 200;

class SharedHistory : public ::testing::Test {
 protected:
  void SetUp() override {
    ASSERT_TRUE(module_.loaded());
    ASSERT_TRUE(WriteSettingsFile(module_.SettingPath(), 0, 0x33));
    DeleteFileW(module_.HistoryPath().c_str());
  }
  // Empties the window's box, types the text, and optionally presses Enter.
  bool Enter(WindowSet& set, int window, const std::wstring& text, bool press = true) {
    bool emptied = set.Run(window, L"--type \"\"") && set.Call(window, [](ExplorerHost& host) {
      SetWindowTextW(FindWindowExW(host.BandWindow(), nullptr, L"Vantorel Editbox", nullptr), L"");
    });
    return emptied && set.Run(window, L"--type " + text) && (!press || set.Run(window, L"--key enter"));
  }
  ModuleCopy module_;
  TempFolder folder_{{L"alpha.txt", L"report.txt", L"readme.md"}, L"shared-history"};
};

// The drop-down of this thread's window, or null.
HWND OwnDropDown() {
  for (HWND box = nullptr; (box = FindWindowExW(nullptr, box, L"Vantorel HistoryBox", nullptr)) != nullptr;) {
    if (GetWindowThreadProcessId(box, nullptr) == GetCurrentThreadId()) return box;
  }
  return nullptr;
}

}  // namespace

// An entry one window adds is in the file, so the next drop-down another window opens offers it.
TEST_F(SharedHistory, AnAdditionInOneWindowIsOfferedInAnother) {
  WindowSet set(module_, folder_.path());
  ASSERT_TRUE(set.Open(2));
  struct Case {
    const char* what;
    int adds;  // the window where the keyword is run
    const wchar_t* keyword;
    int looks;  // the window that then types the prefix
    const wchar_t* prefix;
    Lines rows;  // newest first
  };
  const Case cases[] = {
      {"first entry, from window 1", 1, L"report", 2, L"re", {"dropdown\treport"}},
      {"second entry, from window 2", 2, L"readme", 1, L"re", {"dropdown\treadme", "dropdown\treport"}},
      {"window 2 runs the older one again: it moves up", 2, L"report", 1, L"re",
       {"dropdown\treport", "dropdown\treadme"}},
      {"window 1 sees its own addition too", 1, L"alpha", 1, L"al", {"dropdown\talpha"}},
      {"and window 2 sees it", 0, nullptr, 2, L"a", {"dropdown\talpha"}},
  };
  for (const Case& c : cases) {
    if (c.keyword) {
      ASSERT_TRUE(Enter(set, c.adds, c.keyword)) << c.what;
    }
    ASSERT_TRUE(Enter(set, c.looks, c.prefix, false)) << c.what;
    EXPECT_EQ(c.rows, set.Print(c.looks, L"dropdown")) << c.what;
  }
}

// Two windows press Enter at the same moment, round after round: no addition is lost.
TEST_F(SharedHistory, AdditionsAtTheSameMomentAreAllKept) {
  WindowSet set(module_, folder_.path());
  ASSERT_TRUE(set.Open(2));
  constexpr int kRounds = 8;
  std::vector<std::wstring> expected;
  for (int round = 0; round < kRounds; ++round) {
    std::wstring words[2] = {L"one" + std::to_wstring(round), L"two" + std::to_wstring(round)};
    for (int window = 1; window <= 2; ++window) {
      ASSERT_TRUE(Enter(set, window, words[window - 1], false)) << "round " << round;
    }
    // Neither thread presses before both have arrived: each sets its event and waits for the other's.
    UniqueKernelHandle arrived[2] = {UniqueKernelHandle(CreateEventW(nullptr, TRUE, FALSE, nullptr)),
                                     UniqueKernelHandle(CreateEventW(nullptr, TRUE, FALSE, nullptr))};
    bool pressed[2] = {false, false};
    std::thread presses[2];
    for (int window = 1; window <= 2; ++window) {
      presses[window - 1] = std::thread([&set, &arrived, &pressed, window] {
        SignalObjectAndWait(arrived[window - 1].get(), arrived[2 - window].get(), INFINITE, FALSE);
        pressed[window - 1] = set.Run(window, L"--key enter");
      });
    }
    for (std::thread& press : presses) press.join();
    ASSERT_TRUE(pressed[0] && pressed[1]) << "round " << round;
    expected.push_back(words[0]);
    expected.push_back(words[1]);

    HistoryList stored;
    ASSERT_TRUE(LoadHistoryFrom(module_.HistoryPath().c_str(), stored)) << "round " << round;
    ASSERT_EQ(Sorted(expected), Sorted(stored)) << "round " << round;
  }
}

// A press outside a drop-down closes it through its own thread's mouse hook; the drop-down of
// the other window, on another thread, stays open.
TEST_F(SharedHistory, AnOutsidePressClosesOnlyTheDropDownOfItsThread) {
  HostOptions options;
  options.visible = true;
  options.width = 560;
  options.height = 420;
  RECT work;
  ASSERT_TRUE(SystemParametersInfoW(SPI_GETWORKAREA, 0, &work, 0));

  for (int pressed : {1, 2}) {  // the window that is in front and takes the press
    SCOPED_TRACE("press in window " + std::to_string(pressed));
    const int other = 3 - pressed;
    DeleteFileW(module_.HistoryPath().c_str());  // a box that lost the focus before has added its text
    ASSERT_TRUE(AddToHistoryAt(module_.HistoryPath().c_str(), L"report"));
    ASSERT_TRUE(AddToHistoryAt(module_.HistoryPath().c_str(), L"readme"));
    WindowSet set(module_, folder_.path(), options);
    ASSERT_TRUE(set.Open(2));
    // Side by side, so a point of one window's view is not under the other window.
    for (int window = 1; window <= 2; ++window) {
      ASSERT_TRUE(set.Call(window, [&](ExplorerHost& host) {
        SetWindowPos(host.Frame(), nullptr, work.left + (window - 1) * (options.width + 20), work.top, 0, 0,
                     SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
        host.PumpMessages();
      }));
    }
    // The pressed window is in front with the focus in its box; the other one stays behind.
    ASSERT_TRUE(set.Call(pressed, [](ExplorerHost& host) {
      SetForegroundWindow(host.Frame());
      host.PumpMessages();
    }));
    ASSERT_TRUE(Enter(set, pressed, L"re", false));
    // Giving the other window's box the focus would take it, and with it the first drop-down,
    // away from the pressed window: its characters arrive without the focus.
    ASSERT_TRUE(set.Call(other, [](ExplorerHost& host) {
      HWND box = FindWindowExW(host.BandWindow(), nullptr, L"Vantorel Editbox", nullptr);
      for (wchar_t c : std::wstring(L"re")) SendMessageW(box, WM_CHAR, c, 1);
      host.PumpMessages();
    }));
    for (int window : {pressed, other}) {
      EXPECT_EQ((Lines{"dropdown\treadme", "dropdown\treport"}), set.Print(window, L"dropdown")) << "window " << window;
    }

    // A point of the pressed window's folder view, below both drop-downs.
    POINT press = {};
    ASSERT_TRUE(set.Call(pressed, [&press](ExplorerHost& host) {
      RECT view;
      GetWindowRect(host.ListView(), &view);
      press = {(view.left + view.right) / 2, view.bottom - 10};
    }));
    HWND under = WindowFromPoint(press);
    DWORD pressedThread = set.window(pressed).ThreadId();
    ASSERT_EQ(pressedThread, GetWindowThreadProcessId(under, nullptr));
    ASSERT_EQ(L"SysListView32", ClassOf(under));

    SetCursorPos(press.x, press.y);
    INPUT clicks[2] = {};
    clicks[0].type = clicks[1].type = INPUT_MOUSE;
    clicks[0].mi.dwFlags = MOUSEEVENTF_LEFTDOWN;
    clicks[1].mi.dwFlags = MOUSEEVENTF_LEFTUP;
    ASSERT_EQ(2u, SendInput(2, clicks, sizeof(INPUT)));

    bool hidden = false;
    for (int round = 0; round < kWaitRounds && !hidden; ++round) {
      set.Call(pressed, [&hidden](ExplorerHost& host) {
        host.PumpMessages();
        HWND box = OwnDropDown();
        hidden = box && !IsWindowVisible(box);
      });
      if (!hidden) Sleep(10);
    }
    EXPECT_TRUE(hidden) << "the pressed window's drop-down";
    bool stays = false;
    ASSERT_TRUE(set.Call(other, [&stays](ExplorerHost& host) {
      host.PumpMessages();
      HWND box = OwnDropDown();
      stays = box && IsWindowVisible(box);
    }));
    EXPECT_TRUE(stays) << "the other window's drop-down";
  }
}
