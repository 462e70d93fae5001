#include <windows.h>
#include <gtest/gtest.h>

#include <memory>
#include <string>

#include "history/history_box.h"
#include "input/edit_window.h"
#include "tests/history/history_test_support.h"

using namespace vantorel;
using namespace vantorel::test;

namespace {

// The input box in a frame that stands in for the band window.
class InputBoxHistory : public ::testing::Test {
 protected:
  void SetUp() override {
    RemoveHistory();
    frame_ = std::make_unique<TestFrame>(40, 40, 400, 200);
    ASSERT_NE(nullptr, box_.CreateBox(frame_->hwnd(), 0x50000084, WS_EX_CLIENTEDGE, {0x8004, 0x8005, kRunMessage}));
    MoveWindow(box_.hwnd(), 10, 10, 300, 22, TRUE);
    SendMessageW(box_.hwnd(), WM_SETFONT, reinterpret_cast<WPARAM>(GetStockObject(DEFAULT_GUI_FONT)), TRUE);
  }
  void TearDown() override {
    frame_.reset();
    RemoveHistory();
  }
  HWND DropDown() { return box_.HistoryBox().hwnd(); }

  std::unique_ptr<TestFrame> frame_;
  CEditWindow box_;
};

}  // namespace

TEST_F(InputBoxHistory, TheHistoryOptionCreatesAndDestroysTheDropDown) {
  struct Step {
    bool keep, sorted;
    bool on;
    bool sortedWindow;
    bool sameWindow;  // as after the step before
  };
  const Step steps[] = {
      {true, true, true, true, false},
      {true, false, true, true, true},  // a changed sort order waits for the next creation
      {false, false, false, false, false},
      {false, true, false, false, false},
      {true, false, true, false, false},
  };
  HWND before = nullptr;
  for (size_t i = 0; i < sizeof(steps) / sizeof(steps[0]); ++i) {
    const Step& s = steps[i];
    SCOPED_TRACE(i);
    box_.UpdateHistoryBox(s.keep, s.sorted);
    EXPECT_EQ(s.on, box_.HistoryOn());
    EXPECT_EQ(s.on, IsWindow(DropDown()) != FALSE);
    if (s.on) {
      EXPECT_EQ(s.sortedWindow, (GetWindowLongW(DropDown(), GWL_STYLE) & LBS_SORT) != 0);
      EXPECT_EQ(box_.hwnd(), box_.HistoryBox().Owner());
    } else {
      EXPECT_FALSE(IsWindow(before));
    }
    if (s.sameWindow) {
      EXPECT_EQ(before, DropDown());
    }
    before = DropDown();
  }
  // Destroying the input box takes the drop-down with it.
  HWND dropDown = DropDown();
  DestroyWindow(box_.hwnd());
  EXPECT_FALSE(IsWindow(dropDown));
  EXPECT_FALSE(box_.HistoryOn());
}

TEST_F(InputBoxHistory, LeavingTheBoxCommitsItsWholeText) {
  struct Case {
    const char* what;
    bool keep;
    const wchar_t* text;
    std::string after;
  };
  const Case cases[] = {
      {"a text becomes the newest entry", true, L"abc", "x\r\nabc\r\n"},
      {"spaces are kept", true, L" ab ", "abc\r\nx\r\n ab \r\n"},
      {"an empty box records nothing", true, L"", "abc\r\nx\r\n"},
      {"history off records nothing", false, L"abc", "abc\r\nx\r\n"},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.what);
    WriteHistoryBytes("abc\r\nx\r\n");
    box_.UpdateHistoryBox(c.keep, false);
    SetWindowTextW(box_.hwnd(), c.text);
    SetFocus(box_.hwnd());
    ASSERT_EQ(box_.hwnd(), GetFocus());
    if (c.keep) {
      box_.DropDownHistory();
      EXPECT_EQ(c.text[0] == L'\0' || c.text[0] == L'a', box_.IsDropDownVisible());
    }
    SetFocus(frame_->hwnd());
    EXPECT_FALSE(box_.IsDropDownVisible());
    EXPECT_EQ(c.after, ReadBytes());
  }
}

TEST_F(InputBoxHistory, TheDropDownOpensUnderTheTextAreaWithTheTextAsPrefix) {
  WriteHistoryEntries({L"abc", L"abd", L"x"});
  box_.UpdateHistoryBox(true, false);
  SetWindowTextW(box_.hwnd(), L"ab");
  box_.DropDownHistory();
  ASSERT_TRUE(box_.IsDropDownVisible());
  EXPECT_EQ((std::vector<std::wstring>{L"abd", L"abc"}), ListBoxRows(DropDown()));
  RECT input, list;
  GetWindowRect(box_.hwnd(), &input);
  GetWindowRect(DropDown(), &list);
  EXPECT_EQ(input.left + 25, list.left);
  EXPECT_EQ(input.bottom, list.top);
  EXPECT_EQ(input.right, list.right);
  // Off, nothing opens and nothing is read.
  box_.UpdateHistoryBox(false, false);
  box_.DropDownHistory();
  EXPECT_FALSE(box_.IsDropDownVisible());
}

TEST_F(InputBoxHistory, AClickedEntryFillsTheBoxAndOneRunReachesTheBand) {
  WriteHistoryEntries({L"abc", L"abd", L"x"});
  box_.UpdateHistoryBox(true, false);
  SetFocus(box_.hwnd());
  SetWindowTextW(box_.hwnd(), L"ab");
  box_.DropDownHistory();
  ASSERT_TRUE(box_.IsDropDownVisible());
  LeftClick(ItemCenter(DropDown(), 0));
  ASSERT_TRUE(PumpUntil([&] { return frame_->runs() > 0 && !box_.IsDropDownVisible(); }));
  PumpInput();
  wchar_t text[16] = L"";
  GetWindowTextW(box_.hwnd(), text, 16);
  EXPECT_STREQ(L"abd", text);
  DWORD start = 0, end = 0;
  SendMessageW(box_.hwnd(), EM_GETSEL, reinterpret_cast<WPARAM>(&start), reinterpret_cast<LPARAM>(&end));
  EXPECT_EQ(3u, start);
  EXPECT_EQ(3u, end);
  EXPECT_EQ(1, frame_->runs());
}

TEST_F(InputBoxHistory, TheWheelOverTheBoxScrollsAnOpenDropDown) {
  std::vector<std::wstring> entries;
  for (int i = 0; i < 12; ++i) entries.push_back(L"e" + std::to_wstring(10 + i));
  WriteHistoryEntries(entries);
  box_.UpdateHistoryBox(true, false);
  SetFocus(box_.hwnd());
  box_.DropDownHistory();
  ASSERT_TRUE(box_.IsDropDownVisible());
  ASSERT_EQ(0, SendMessageW(DropDown(), LB_GETTOPINDEX, 0, 0));
  Wheel(CenterOf(box_.hwnd()), -WHEEL_DELTA);
  EXPECT_TRUE(PumpUntil([&] { return SendMessageW(DropDown(), LB_GETTOPINDEX, 0, 0) > 0; }));
  // Closed, the wheel does nothing and the box itself never scrolls by it.
  box_.HistoryBox().HideBox();
  EXPECT_EQ(0, SendMessageW(box_.hwnd(), WM_MOUSEWHEEL, MAKEWPARAM(0, -WHEEL_DELTA), 0));
}
