// The drop-down and the input box's side of it, with real windows and SendInput.
#include <memory>
#include <thread>
#include <vector>

#include "input/edit_window.h"
#include "tests/history/history_test_support.h"

using namespace vantorel;
using namespace vantorel::test;

namespace {

constexpr UINT kRun = 0x8007;
using Rows = std::vector<std::wstring>;

// A captioned window standing in for the band: it holds the input box and counts the run
// requests that the box posts to it.
LRESULT CALLBACK BandProc(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam) {
  if (msg == kRun) SetPropW(hwnd, L"runs", reinterpret_cast<HANDLE>(reinterpret_cast<INT_PTR>(GetPropW(hwnd, L"runs")) + 1));
  if (msg == WM_CONTEXTMENU || msg == WM_NCRBUTTONUP) return 0;  // no system menu
  if (msg == WM_NCDESTROY) RemovePropW(hwnd, L"runs");
  return DefWindowProcW(hwnd, msg, wParam, lParam);
}

struct Band {
  HWND frame;
  CEditWindow box;
  Band(int x, int y) {
    WNDCLASSW wc = {0, BandProc, 0, 0, GetModuleHandleW(nullptr), nullptr, LoadCursorW(nullptr, IDC_ARROW),
                    reinterpret_cast<HBRUSH>(COLOR_WINDOW + 1), nullptr, L"HistoryTestBand"};
    RegisterClassW(&wc);
    frame = CreateWindowExW(0, L"HistoryTestBand", L"band", WS_OVERLAPPEDWINDOW | WS_VISIBLE, x, y, 340, 160, nullptr,
                            nullptr, nullptr, nullptr);
    // The frame's activation settles first: a late one would raise it over the drop-down.
    UpdateWindow(frame);
    PumpUntil([] { return !GetQueueStatus(QS_ALLINPUT); });
    box.CreateBox(frame, 0x50000084, WS_EX_CLIENTEDGE, {0x8004, 0x8005, kRun});
    MoveWindow(box.hwnd(), 10, 10, 300, 22, TRUE);
    box.UpdateHistoryBox(true, false);
  }
  ~Band() { DestroyWindow(frame); }
  int runs() const { return static_cast<int>(reinterpret_cast<INT_PTR>(GetPropW(frame, L"runs"))); }
  HWND dropDown() { return box.HistoryBox().hwnd(); }
  void Show(const wchar_t* text) {
    SetWindowTextW(box.hwnd(), text);
    box.DropDownHistory();
  }
};

void Send(POINT at, std::vector<DWORD> flags, DWORD data = 0) {
  std::vector<INPUT> inputs(1 + flags.size());
  inputs[0].type = INPUT_MOUSE;
  inputs[0].mi.dx = at.x * 65535 / (GetSystemMetrics(SM_CXSCREEN) - 1) + 1;
  inputs[0].mi.dy = at.y * 65535 / (GetSystemMetrics(SM_CYSCREEN) - 1) + 1;
  inputs[0].mi.dwFlags = MOUSEEVENTF_MOVE | MOUSEEVENTF_ABSOLUTE;
  for (size_t i = 0; i < flags.size(); ++i) inputs[i + 1] = {INPUT_MOUSE, {.mi = {0, 0, data, flags[i], 0, 0}}};
  ASSERT_EQ(inputs.size(), SendInput(static_cast<UINT>(inputs.size()), inputs.data(), sizeof(INPUT)));
}

POINT Center(HWND window, int row = -1) {
  RECT r;
  if (row < 0) GetWindowRect(window, &r);
  if (row >= 0) SendMessageW(window, LB_GETITEMRECT, row, reinterpret_cast<LPARAM>(&r));
  POINT p = {(r.left + r.right) / 2, (r.top + r.bottom) / 2};
  if (row >= 0) ClientToScreen(window, &p);
  return p;
}

// The height of the first SetWindowPos on the drop-down, before the list box cuts itself
// down to whole rows.
thread_local HWND t_watched;
thread_local int t_asked;
LRESULT CALLBACK WatchSize(int code, WPARAM wParam, LPARAM lParam) {
  auto call = reinterpret_cast<const CWPSTRUCT*>(lParam);
  auto pos = reinterpret_cast<const WINDOWPOS*>(call->lParam);
  if (call->hwnd == t_watched && call->message == WM_WINDOWPOSCHANGING && !(pos->flags & SWP_NOSIZE) && t_asked < 0) {
    t_asked = pos->cy;
  }
  return CallNextHookEx(nullptr, code, wParam, lParam);
}

class DropDown : public ::testing::Test {
 protected:
  void SetUp() override { WriteHistoryBytes("abc\r\nabd\r\nx\r\n"); }
  void TearDown() override { RemoveHistory(); }
  Band band_{40, 40};
};

}  // namespace

TEST_F(DropDown, ListsMatchingEntriesNewestFirstUnderTheTextAtMostNineRowsHigh) {
  std::string twelve;
  for (int i = 10; i < 22; ++i) twelve += "e" + std::to_string(i) + "\r\n";
  struct Case {
    std::string file;
    bool sorted;
    const wchar_t* prefix;
    Rows rows;
    int shownRows;
  } const cases[] = {
      {"abc\r\nabd\r\nx\r\n", false, L"ab", {L"abd", L"abc"}, 2},
      {"abc\r\nabd\r\nx\r\n", false, L"AB", {}, 0},
      {"xab\r\nab\r\n", false, L"ab", {L"ab"}, 1},
      {"abc\r\nabd\r\nx\r\n", false, L"", {L"x", L"abd", L"abc"}, 3},
      {"b\r\nc\r\na\r\n", true, L"", {L"a", L"b", L"c"}, 3},
      {"d\r\ne\r\nd\r\n", false, L"d", {L"d", L"d"}, 2},
      {twelve, false, L"e", {L"e21", L"e20", L"e19", L"e18", L"e17", L"e16", L"e15", L"e14", L"e13", L"e12", L"e11", L"e10"}, 9},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.file);
    band_.box.UpdateHistoryBox(false, false);
    band_.box.UpdateHistoryBox(true, c.sorted);
    WriteHistoryBytes(c.file);
    band_.Show(L"");  // open first, so that a case without match shows that it closes
    t_watched = band_.dropDown();
    t_asked = -1;
    HHOOK hook = SetWindowsHookExW(WH_CALLWNDPROC, WatchSize, nullptr, GetCurrentThreadId());
    band_.Show(c.prefix);
    UnhookWindowsHookEx(hook);
    EXPECT_EQ(c.rows, ListBoxRows(band_.dropDown()));
    EXPECT_EQ(c.shownRows > 0, band_.box.IsDropDownVisible());
    if (c.shownRows == 0) continue;
    const int h = static_cast<int>(SendMessageW(band_.dropDown(), LB_GETITEMHEIGHT, 0, 0));
    EXPECT_EQ(c.shownRows * h + 10, t_asked);
    RECT list, input, client;
    GetWindowRect(band_.dropDown(), &list);
    GetWindowRect(band_.box.hwnd(), &input);
    GetClientRect(band_.dropDown(), &client);
    EXPECT_EQ(c.shownRows, client.bottom / h);
    EXPECT_TRUE(list.left == input.left + 25 && list.top == input.bottom && list.right == input.right);
    EXPECT_EQ(c.rows.size() > 9, (GetWindowLongW(band_.dropDown(), GWL_STYLE) & WS_VSCROLL) != 0);
    EXPECT_EQ(band_.frame, GetActiveWindow());
  }
}

TEST_F(DropDown, HoverHighlightsAndAClickPutsTheEntryIntoTheBoxWithOneRun) {
  SetFocus(band_.box.hwnd());
  band_.Show(L"ab");
  for (int row : {1, 0}) {
    Send(Center(band_.dropDown(), row), {});
    EXPECT_TRUE(PumpUntil([&] { return SendMessageW(band_.dropDown(), LB_GETCURSEL, 0, 0) == row; }));
    }
  Send(Center(band_.dropDown(), 0), {MOUSEEVENTF_LEFTDOWN, MOUSEEVENTF_LEFTUP});
  ASSERT_TRUE(PumpUntil([&] { return band_.runs() > 0 && !band_.box.IsDropDownVisible(); }));
  PumpUntil([] { return !(GetAsyncKeyState(VK_LBUTTON) & 0x8000) && !GetQueueStatus(QS_ALLINPUT); });
  wchar_t text[8];
  GetWindowTextW(band_.box.hwnd(), text, 8);
  EXPECT_STREQ(L"abd", text);
  EXPECT_EQ(MAKELONG(3, 3), SendMessageW(band_.box.hwnd(), EM_GETSEL, 0, 0));
  EXPECT_EQ(1, band_.runs());
}

TEST_F(DropDown, LeftAndRightPressesElsewhereInTheThreadCloseItTheMiddleButtonDoesNot) {
  Band other(440, 40);
  RECT caption;
  GetWindowRect(other.frame, &caption);
  const POINT client = Center(other.frame), title = {caption.left + 60, caption.top + GetSystemMetrics(SM_CYCAPTION) / 2 + 2};
  struct Case {
    POINT at;
    DWORD down, up;
    bool closes;
  } const cases[] = {
      {client, MOUSEEVENTF_LEFTDOWN, MOUSEEVENTF_LEFTUP, true},
      {client, MOUSEEVENTF_RIGHTDOWN, MOUSEEVENTF_RIGHTUP, true},
      {title, MOUSEEVENTF_LEFTDOWN, MOUSEEVENTF_LEFTUP, true},
      {title, MOUSEEVENTF_RIGHTDOWN, MOUSEEVENTF_RIGHTUP, true},
      {client, MOUSEEVENTF_MIDDLEDOWN, MOUSEEVENTF_MIDDLEUP, false},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.down);
    band_.Show(L"");  // the box never has the focus here: only the hook can close the list
    ASSERT_TRUE(band_.box.IsDropDownVisible());
    Send(c.at, {c.down, c.up});
    auto handled = [] { return !(GetAsyncKeyState(VK_MBUTTON) & 0x8000) && !GetQueueStatus(QS_ALLINPUT); };
    EXPECT_TRUE(PumpUntil([&] { return c.closes ? !band_.box.IsDropDownVisible() : handled(); }));
    EXPECT_EQ(!c.closes, band_.box.IsDropDownVisible());
  }
}

TEST_F(DropDown, DropDownsOnTwoThreadsEachCloseOnAPressInTheirOwnThread) {
  struct Thread {
    HWND dropDown = nullptr, frame = nullptr;
    HANDLE ready = CreateEventW(nullptr, TRUE, FALSE, nullptr), stop = CreateEventW(nullptr, TRUE, FALSE, nullptr);
    std::thread thread;
    void Start(int x) {
      thread = std::thread([this, x] {
        Band band(x, 240);
        band.Show(L"");
        dropDown = band.dropDown();
        frame = band.frame;
        SetEvent(ready);
        for (MSG msg; MsgWaitForMultipleObjects(1, &stop, FALSE, INFINITE, QS_ALLINPUT) != WAIT_OBJECT_0;) {
          while (PeekMessageW(&msg, nullptr, 0, 0, PM_REMOVE)) DispatchMessageW(&msg);
        }
      });
      WaitForSingleObject(ready, INFINITE);
    }
  } threads[2];
  threads[0].Start(20);
  threads[1].Start(420);
  auto visible = [&](int i) { return IsWindowVisible(threads[i].dropDown) != FALSE; };
  EXPECT_TRUE(visible(0) && visible(1));
  for (int i : {0, 1}) {
    RECT frame;
    GetWindowRect(threads[i].frame, &frame);
    Send({frame.left + 20, frame.bottom - 20}, {MOUSEEVENTF_LEFTDOWN, MOUSEEVENTF_LEFTUP});
    EXPECT_TRUE(PumpUntil([&] { return !visible(i); }));
    EXPECT_EQ(i == 0, visible(1));
  }
  for (Thread& t : threads) {
    SetEvent(t.stop);
    t.thread.join();
  }
}

TEST_F(DropDown, TheInputBoxOwnsTheDropDownWhileTheHistoryOptionIsOn) {
  struct Step {
    bool keep, sorted, on, sortedWindow;
  } const steps[] = {{false, false, false, false}, {true, true, true, true}, {true, false, true, true}, {false, true, false, false}};
  for (const Step& s : steps) {
    band_.box.UpdateHistoryBox(s.keep, s.sorted);
    EXPECT_EQ(s.on, band_.box.HistoryOn());
    if (!s.on) continue;
    EXPECT_EQ(0x44A00001u | (s.sortedWindow ? LBS_SORT : 0), GetWindowLongW(band_.dropDown(), GWL_STYLE) | WS_VSCROLL);
    EXPECT_EQ(GetDesktopWindow(), GetAncestor(band_.dropDown(), GA_PARENT));
  }
  band_.box.UpdateHistoryBox(true, false);
  HWND dropDown = band_.dropDown();
  DestroyWindow(band_.box.hwnd());
  EXPECT_FALSE(IsWindow(dropDown));
}

TEST_F(DropDown, LeavingTheBoxClosesTheListAndCommitsTheWholeText) {
  struct Case {
    bool keep;
    const wchar_t* text;
    std::string after;
  } const cases[] = {{true, L"abc", "abd\r\nx\r\nabc\r\n"}, {true, L" ab ", "abd\r\nx\r\nabc\r\n ab \r\n"},
                     {true, L"", "abd\r\nx\r\nabc\r\n ab \r\n"}, {false, L"x", "abd\r\nx\r\nabc\r\n ab \r\n"}};
  for (const Case& c : cases) {
    band_.box.UpdateHistoryBox(c.keep, false);
    SetFocus(band_.box.hwnd());
    band_.Show(c.text);
    EXPECT_EQ(c.keep && c.text[0] != L' ', band_.box.IsDropDownVisible());
    SetFocus(band_.frame);
    EXPECT_FALSE(band_.box.IsDropDownVisible());
    EXPECT_EQ(c.after, ReadHistoryBytes());
  }
}

TEST_F(DropDown, TheWheelOverTheBoxScrollsTheOpenList) {
  WriteHistoryBytes("a1\r\na2\r\na3\r\na4\r\na5\r\na6\r\na7\r\na8\r\na9\r\nb1\r\nb2\r\nb3\r\n");
  SetFocus(band_.box.hwnd());
  band_.Show(L"");
  Send(Center(band_.box.hwnd()), {MOUSEEVENTF_WHEEL}, static_cast<DWORD>(-WHEEL_DELTA));
  EXPECT_TRUE(PumpUntil([&] { return SendMessageW(band_.dropDown(), LB_GETTOPINDEX, 0, 0) > 0; }));
}
