#include <windows.h>
#include <gtest/gtest.h>

#include <memory>
#include <string>
#include <thread>
#include <vector>

#include "history/history_box.h"
#include "tests/history/history_test_support.h"

using namespace vantorel;
using namespace vantorel::test;

namespace {

// A frame with a plain edit box as the drop-down's owner: nothing but the drop-down itself
// and its hook opens or closes it here.
class DropDown : public ::testing::Test {
 protected:
  void SetUp() override {
    RemoveHistory();
    frame_ = std::make_unique<TestFrame>(40, 40, 360, 200);
    owner_ = frame_->AddEdit();
  }
  void TearDown() override {
    box_.DestroyBox();
    frame_.reset();
    RemoveHistory();
  }
  void Create(bool sorted = false) { ASSERT_TRUE(box_.CreateBox(owner_, sorted, kRunMessage)); }
  // Shows under the owner as the input box does.
  void Show(const wchar_t* prefix) {
    RECT owner;
    GetWindowRect(owner_, &owner);
    RECT anchor = {owner.left + 25, owner.bottom, owner.right, owner.bottom};
    ASSERT_TRUE(box_.ShowMatching(&anchor, prefix));
  }
  int RowHeight() { return static_cast<int>(SendMessageW(box_.hwnd(), LB_GETITEMHEIGHT, 0, 0)); }

  std::unique_ptr<TestFrame> frame_;
  HWND owner_ = nullptr;
  CHistoryBox box_;
};

}  // namespace

TEST_F(DropDown, ListsTheMatchingEntriesNewestFirstAtMostNineRowsHigh) {
  const std::vector<std::wstring> twelve = {L"e01", L"e02", L"e03", L"e04", L"e05", L"e06",
                                            L"e07", L"e08", L"e09", L"e10", L"e11", L"e12"};
  struct Case {
    const char* what;
    std::vector<std::wstring> file;
    bool sorted;
    const wchar_t* prefix;
    std::vector<std::wstring> rows;
    int visibleRows;  // 0: hidden
  };
  const Case cases[] = {
      {"prefix", {L"abc", L"abd", L"x"}, false, L"ab", {L"abd", L"abc"}, 2},
      {"letter case counts", {L"abc", L"abd", L"x"}, false, L"AB", {}, 0},
      {"a prefix elsewhere in the entry does not count", {L"xab", L"ab"}, false, L"ab", {L"ab"}, 1},
      {"empty prefix", {L"abc", L"abd", L"x"}, false, L"", {L"x", L"abd", L"abc"}, 3},
      {"sorted", {L"b", L"c", L"a"}, true, L"", {L"a", L"b", L"c"}, 3},
      {"repeats", {L"d", L"e", L"d"}, false, L"d", {L"d", L"d"}, 2},
      {"twelve", twelve, false, L"e", {twelve.rbegin(), twelve.rend()}, 9},
      {"no file", {}, false, L"", {}, 0},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.what);
    box_.DestroyBox();
    Create(c.sorted);
    if (c.file.empty()) {
      RemoveHistory();
    } else {
      WriteHistoryEntries(c.file);
    }
    Show(L"a");  // open it first when it can, so that the case shows whether it hides again
    SizeRequests sizes(box_.hwnd());
    Show(c.prefix);
    EXPECT_EQ(c.rows, ListBoxRows(box_.hwnd()));
    EXPECT_EQ(c.visibleRows > 0, box_.IsVisible());
    if (c.visibleRows > 0) {
      EXPECT_EQ(c.visibleRows * RowHeight() + 10, sizes.firstHeight());
      // The list box cuts the rest to whole rows; every row asked for shows.
      RECT client;
      GetClientRect(box_.hwnd(), &client);
      EXPECT_EQ(c.visibleRows, client.bottom / RowHeight());
      RECT box, owner;
      GetWindowRect(box_.hwnd(), &box);
      GetWindowRect(owner_, &owner);
      EXPECT_EQ(owner.left + 25, box.left);
      EXPECT_EQ(owner.bottom, box.top);
      EXPECT_EQ(owner.right, box.right);
      const bool scrolls = (GetWindowLongW(box_.hwnd(), GWL_STYLE) & WS_VSCROLL) != 0;
      EXPECT_EQ(c.rows.size() > 9, scrolls);
      // Shown without taking the activation or the focus from the owner's window.
      EXPECT_NE(box_.hwnd(), GetActiveWindow());
    }
  }
}

TEST_F(DropDown, IsAListBoxChildOfTheDesktopThatNeverActivates) {
  Create(true);
  HWND box = box_.hwnd();
  wchar_t name[64] = L"";
  GetClassNameW(box, name, 64);
  EXPECT_STREQ(L"Vantorel HistoryBox", name);
  EXPECT_EQ(GetDesktopWindow(), GetAncestor(box, GA_PARENT));
  // The list box takes the scroll bar away while it is not needed.
  EXPECT_EQ(0x44A00003u, static_cast<DWORD>(GetWindowLongW(box, GWL_STYLE)) | WS_VSCROLL);
  EXPECT_EQ(static_cast<DWORD>(WS_EX_TOOLWINDOW), static_cast<DWORD>(GetWindowLongW(box, GWL_EXSTYLE)) & WS_EX_TOOLWINDOW);
  EXPECT_EQ(GetStockObject(DEFAULT_GUI_FONT), reinterpret_cast<HGDIOBJ>(SendMessageW(box, WM_GETFONT, 0, 0)));
  EXPECT_FALSE(IsWindowVisible(box));
  EXPECT_FALSE(box_.CreateBox(owner_, false, kRunMessage));  // one window per object
  EXPECT_FALSE(box_.ShowMatching(nullptr, L""));
  box_.DestroyBox();
  RECT anchor = {0, 0, 100, 0};
  EXPECT_FALSE(box_.ShowMatching(&anchor, L""));
}

TEST_F(DropDown, AClickedEntryGoesIntoTheOwnerWithOneRunRequest) {
  WriteHistoryEntries({L"abc", L"abd", L"x"});
  Create();
  SetFocus(owner_);
  Show(L"ab");
  ASSERT_TRUE(box_.IsVisible());
  // Hovering highlights the row under the pointer.
  for (int row : {1, 0}) {
    MouseMoveTo(ItemCenter(box_.hwnd(), row));
    EXPECT_TRUE(PumpUntil([&] { return SendMessageW(box_.hwnd(), LB_GETCURSEL, 0, 0) == row; })) << row;
  }
  LeftClick(ItemCenter(box_.hwnd(), 0));
  ASSERT_TRUE(PumpUntil([&] { return frame_->runs() > 0 && !box_.IsVisible(); }));
  PumpPending();
  wchar_t text[16] = L"";
  GetWindowTextW(owner_, text, 16);
  EXPECT_STREQ(L"abd", text);
  DWORD start = 0, end = 0;
  SendMessageW(owner_, EM_GETSEL, reinterpret_cast<WPARAM>(&start), reinterpret_cast<LPARAM>(&end));
  EXPECT_EQ(3u, start);
  EXPECT_EQ(3u, end);
  EXPECT_EQ(1, frame_->runs());
}

TEST_F(DropDown, PressesElsewhereInTheThreadCloseItButNotTheMiddleButton) {
  WriteHistoryEntries({L"abc"});
  Create();
  TestFrame other(440, 40, 300, 200);
  struct Case {
    const char* what;
    bool caption;
    DWORD down, up;
    bool closes;
  };
  const Case cases[] = {
      {"left, client", false, MOUSEEVENTF_LEFTDOWN, MOUSEEVENTF_LEFTUP, true},
      {"right, client", false, MOUSEEVENTF_RIGHTDOWN, MOUSEEVENTF_RIGHTUP, true},
      {"left, caption", true, MOUSEEVENTF_LEFTDOWN, MOUSEEVENTF_LEFTUP, true},
      {"right, caption", true, MOUSEEVENTF_RIGHTDOWN, MOUSEEVENTF_RIGHTUP, true},
      {"middle, client", false, MOUSEEVENTF_MIDDLEDOWN, MOUSEEVENTF_MIDDLEUP, false},
      {"left, in the owner", false, MOUSEEVENTF_LEFTDOWN, MOUSEEVENTF_LEFTUP, false},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.what);
    Show(L"");
    ASSERT_TRUE(box_.IsVisible());
    bool inOwner = std::string(c.what).find("owner") != std::string::npos;
    POINT at = inOwner ? CenterOf(owner_) : c.caption ? CaptionPoint(other.hwnd()) : CenterOf(other.hwnd());
    Click(at, c.down, c.up);
    if (c.closes) {
      EXPECT_TRUE(PumpUntil([&] { return !box_.IsVisible(); }));
    } else {
      EXPECT_TRUE(PumpInput());
      EXPECT_TRUE(box_.IsVisible());
    }
    box_.HideBox();
  }
}

namespace {

// One drop-down with its owner and a window to press on, all on a thread of their own.
struct ThreadDropDown {
  int x = 0;
  HANDLE ready = CreateEventW(nullptr, TRUE, FALSE, nullptr);
  HANDLE stop = CreateEventW(nullptr, TRUE, FALSE, nullptr);
  HWND box = nullptr;
  HWND outside = nullptr;
  std::thread thread;

  void Start() {
    thread = std::thread([this] {
      TestFrame frame(x, 40, 300, 120);
      TestFrame target(x, 300, 300, 120);
      HWND owner = frame.AddEdit();
      CHistoryBox dropDown;
      if (dropDown.CreateBox(owner, false, kRunMessage)) {
        RECT rect;
        GetWindowRect(owner, &rect);
        RECT anchor = {rect.left + 25, rect.bottom, rect.right, rect.bottom};
        dropDown.ShowMatching(&anchor, L"");
      }
      box = dropDown.hwnd();
      outside = target.hwnd();
      SetEvent(ready);
      while (MsgWaitForMultipleObjects(1, &stop, FALSE, INFINITE, QS_ALLINPUT) != WAIT_OBJECT_0) PumpPending();
      dropDown.DestroyBox();
    });
  }
  void Stop() {
    SetEvent(stop);
    if (thread.joinable()) thread.join();
    CloseHandle(ready);
    CloseHandle(stop);
  }
};

bool WaitFor(const std::function<bool()>& done) {
  for (int i = 0; i < 500 && !done(); ++i) Sleep(10);
  return done();
}

}  // namespace

TEST_F(DropDown, DropDownsOnTwoThreadsEachCloseOnPressesInTheirOwnThread) {
  WriteHistoryEntries({L"abc", L"abd"});
  ThreadDropDown first, second;
  first.x = 20;
  second.x = 420;
  first.Start();
  ASSERT_EQ(WAIT_OBJECT_0, WaitForSingleObject(first.ready, 10000));
  second.Start();
  ASSERT_EQ(WAIT_OBJECT_0, WaitForSingleObject(second.ready, 10000));
  EXPECT_TRUE(IsWindowVisible(first.box));
  EXPECT_TRUE(IsWindowVisible(second.box));

  LeftClick(CenterOf(first.outside));
  EXPECT_TRUE(WaitFor([&] { return !IsWindowVisible(first.box); }));
  EXPECT_TRUE(IsWindowVisible(second.box));

  LeftClick(CenterOf(second.outside));
  EXPECT_TRUE(WaitFor([&] { return !IsWindowVisible(second.box); }));

  first.Stop();
  second.Stop();
}
