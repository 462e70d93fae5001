// The drop-down and the input box's side of it, with real windows and SendInput.
#include <algorithm>
#include <cstdlib>
#include <memory>
#include <optional>
#include <vector>

#include "framework/ui_language.h"
#include "framework/unique_handle.h"
#include "input/edit_window.h"
#include "tests/history/history_test_support.h"
#include "tests/support/ui_thread.h"

using namespace vantorel;
using namespace vantorel::test;

namespace {

constexpr UINT kRun = 0x8007;
using Rows = std::vector<std::wstring>;

// A captioned window in the band's place: it holds the input box and counts the run requests
// that the box posts to it.
LRESULT CALLBACK BandProc(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam) {
  const INT_PTR runs = reinterpret_cast<INT_PTR>(GetPropW(hwnd, L"runs"));
  if (msg == kRun) SetPropW(hwnd, L"runs", reinterpret_cast<HANDLE>(runs + 1));
  if (msg == WM_NCDESTROY) RemovePropW(hwnd, L"runs");
  if (msg == WM_CONTEXTMENU) return 0;  // no system menu after a right press on the caption
  return DefWindowProcW(hwnd, msg, wParam, lParam);
}

struct Band {
  HWND frame;
  CEditWindow box;
  Band(int x, int y) {
    WNDCLASSW wc = {0, BandProc, 0, 0, nullptr, nullptr, LoadCursorW(nullptr, IDC_ARROW), nullptr, nullptr, L"Band"};
    RegisterClassW(&wc);
    frame = CreateWindowW(L"Band", L"band", WS_OVERLAPPEDWINDOW | WS_VISIBLE, x, y, 340, 160, nullptr, nullptr,
                          nullptr, nullptr);
    if (!frame) return;  // no display: the fixture reports it
    // Activation settles first: a late one would raise the frame over the list.
    SetForegroundWindow(frame);
    PumpUntil([this] { return GetForegroundWindow() == frame && !GetQueueStatus(QS_ALLINPUT); });
    box.CreateBox(frame, 0x50000084, WS_EX_CLIENTEDGE, {0x8004, 0x8005, kRun}, kJapaneseUi);
    MoveWindow(box.hwnd(), 10, 10, 300, 22, TRUE);
    box.UpdateHistoryBox(true, false);
  }
  ~Band() { DestroyWindow(frame); }
  int runs() const { return static_cast<int>(reinterpret_cast<INT_PTR>(GetPropW(frame, L"runs"))); }
  HWND list() { return box.HistoryBox().hwnd(); }
  void Show(const wchar_t* text) {
    SetWindowTextW(box.hwnd(), text);
    box.DropDownHistory();
  }
};

bool InputHandled() { return !(GetAsyncKeyState(VK_MBUTTON) & 0x8000) && !GetQueueStatus(QS_ALLINPUT); }

// Puts the pointer at `at`, then sends the button or wheel events there. Under Wine the X
// server's report of an earlier pointer position can arrive after a synthesized move and take
// the pointer back, so the move is made again until the pointer stays where it was put.
void Send(POINT at, std::vector<DWORD> flags, DWORD data = 0) {
  INPUT move = {};
  move.type = INPUT_MOUSE;
  move.mi.dwFlags = MOUSEEVENTF_MOVE | MOUSEEVENTF_ABSOLUTE;
  move.mi.dx = at.x * 65535 / (GetSystemMetrics(SM_CXSCREEN) - 1) + 1;
  move.mi.dy = at.y * 65535 / (GetSystemMetrics(SM_CYSCREEN) - 1) + 1;
  bool rests = false;
  for (int attempt = 0; attempt < 20 && !rests; ++attempt) {
    ASSERT_EQ(1u, SendInput(1, &move, sizeof(INPUT)));
    PumpUntil(InputHandled);
    MsgWaitForMultipleObjects(0, nullptr, FALSE, 30, QS_ALLINPUT);  // room for a late report
    PumpUntil(InputHandled);
    POINT now;
    rests = GetCursorPos(&now) && std::abs(now.x - at.x) <= 1 && std::abs(now.y - at.y) <= 1;
  }
  ASSERT_TRUE(rests) << "the pointer does not stay at " << at.x << "," << at.y;
  std::vector<INPUT> in(flags.size());
  for (size_t i = 0; i < in.size(); ++i) {
    in[i].type = INPUT_MOUSE;
    in[i].mi.dwFlags = flags[i];
    in[i].mi.mouseData = data;
  }
  ASSERT_EQ(in.size(), SendInput(static_cast<UINT>(in.size()), in.data(), sizeof(INPUT)));
}

// The height asked of the drop-down first, before the list box cuts itself to whole rows.
thread_local int t_asked;
LRESULT CALLBACK WatchSize(int code, WPARAM wParam, LPARAM lParam) {
  auto call = reinterpret_cast<const CWPSTRUCT*>(lParam);
  auto pos = reinterpret_cast<const WINDOWPOS*>(call->lParam);
  if (call->message == WM_WINDOWPOSCHANGING && !(pos->flags & SWP_NOSIZE) && t_asked < 0) t_asked = pos->cy;
  return CallNextHookEx(nullptr, code, wParam, lParam);
}

struct DropDown : ::testing::Test {
  void SetUp() override {
    ASSERT_TRUE(band_.frame && band_.list()) << "no window for the drop-down";
    WriteHistoryBytes("abc\r\nabd\r\nx\r\n");
  }
  void TearDown() override { RemoveHistory(); }
  Band band_{40, 40};
};

}  // namespace

TEST_F(DropDown, ListsMatchingEntriesNewestFirstUnderTheTextAtMostNineRowsHigh) {
  std::string twelve;
  Rows newestFirst;
  for (int i = 10; i < 22; ++i) {
    twelve += "e" + std::to_string(i) + "\r\n";
    newestFirst.insert(newestFirst.begin(), L"e" + std::to_wstring(i));
  }
  // More matching entries than a list holds: the newest; and UTF-16 without a mark, as read.
  std::string many;
  Rows newest;
  for (int i = 0; i < 900; ++i) {
    many += (i % 3 ? "f" : "g") + std::to_string(i) + "\r\n";
    if (i % 3) newest.insert(newest.begin(), L"f" + std::to_wstring(i));
  }
  newest.erase(newest.begin() + static_cast<std::ptrdiff_t>(kHistoryRowLimit), newest.end());
  struct Case {
    std::string file;
    bool sorted;
    const wchar_t* prefix;
    Rows rows;
  } const cases[] = {
      {"abc\r\nabd\r\nx\r\n", false, L"ab", {L"abd", L"abc"}},
      {"abc\r\nabd\r\nx\r\n", false, L"AB", {}},
      {"xab\r\nab\r\n", false, L"ab", {L"ab"}},
      {"abc\r\nabd\r\nx\r\n", false, L"", {L"x", L"abd", L"abc"}},
      {"b\r\nc\r\na\r\n", true, L"", {L"a", L"b", L"c"}},
      {"d\r\ne\r\nd\r\n", false, L"d", {L"d", L"d"}},
      {twelve, false, L"e", newestFirst},
      {many, false, L"f", newest},
      {std::string("\x42\x30\x44\x30\r\0\n\0\x41\x01\x04\x01\r\0\n\0", 16), false, L"",
       {L"\x141\x104", L"\x3042\x3044"}},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.file);
    band_.box.UpdateHistoryBox(false, false);
    band_.box.UpdateHistoryBox(true, c.sorted);
    WriteHistoryBytes(c.file);
    band_.Show(L"");  // open first, so that a case without match shows that it closes
    t_asked = -1;
    HHOOK hook = SetWindowsHookExW(WH_CALLWNDPROC, WatchSize, nullptr, GetCurrentThreadId());
    band_.Show(c.prefix);
    UnhookWindowsHookEx(hook);
    EXPECT_EQ(c.rows, ListBoxRows(band_.list()));
    EXPECT_EQ(!c.rows.empty(), band_.box.IsDropDownVisible());
    if (c.rows.empty()) continue;
    const int h = static_cast<int>(SendMessageW(band_.list(), LB_GETITEMHEIGHT, 0, 0));
    const int shown = std::min<int>(9, static_cast<int>(c.rows.size()));
    EXPECT_EQ(shown * h + 10, t_asked);
    RECT list, input, client;
    GetWindowRect(band_.list(), &list);
    GetWindowRect(band_.box.hwnd(), &input);
    GetClientRect(band_.list(), &client);
    EXPECT_EQ(shown, client.bottom / h);
    EXPECT_TRUE(list.left == input.left + 25 && list.top == input.bottom && list.right == input.right);
    EXPECT_EQ(c.rows.size() > 9, (GetWindowLongW(band_.list(), GWL_STYLE) & WS_VSCROLL) != 0);
    EXPECT_EQ(band_.frame, GetActiveWindow());
  }
}

TEST_F(DropDown, HoverHighlightsAndAClickPutsTheEntryIntoTheBoxWithOneRun) {
  WriteHistoryBytes("abc\r\nab" + std::string(298, 'd') + "\r\n");  // longer than the box holds: cut
  SetFocus(band_.box.hwnd());
  band_.Show(L"ab");
  // The list's own messages, at the centre of a row in its client area: which window the
  // system routes a press to is not what this shows (the outside-press tests use real input),
  // and under Wine a real pointer over this list now and then reaches the window beneath it.
  const HWND list = band_.list();
  auto row = [list](int index) {
    RECT r = {};
    SendMessageW(list, LB_GETITEMRECT, static_cast<WPARAM>(index), reinterpret_cast<LPARAM>(&r));
    return MAKELPARAM((r.left + r.right) / 2, (r.top + r.bottom) / 2);
  };
  for (int index : {1, 0}) {
    SendMessageW(list, WM_MOUSEMOVE, 0, row(index));
    EXPECT_EQ(index, SendMessageW(list, LB_GETCURSEL, 0, 0));
  }
  PostMessageW(list, WM_LBUTTONDOWN, MK_LBUTTON, row(0));
  PostMessageW(list, WM_LBUTTONUP, 0, row(0));
  ASSERT_TRUE(PumpUntil([&] { return band_.runs() > 0 && !band_.box.IsDropDownVisible(); }));
  PumpUntil(InputHandled);
  wchar_t text[300];
  GetWindowTextW(band_.box.hwnd(), text, 300);
  EXPECT_EQ(L"ab" + std::wstring(257, L'd'), text);
  EXPECT_EQ(MAKELONG(259, 259), SendMessageW(band_.box.hwnd(), EM_GETSEL, 0, 0));
  EXPECT_EQ(1, band_.runs());
}

// A keystroke reads the file only when its size or last-write time changed, and takes the copy
// it has while another window's addition holds the file.
TEST_F(DropDown, AKeystrokeReadsOnlyAChangedFileAndDoesNotWaitForAnotherAddition) {
  band_.Show(L"ab");
  WIN32_FILE_ATTRIBUTE_DATA was;
  ASSERT_TRUE(GetFileAttributesExW(HistoryPath().c_str(), GetFileExInfoStandard, &was));
  WriteHistoryBytes("abe\r\nabf\r\nx\r\n");  // as large, and made as old
  UniqueFile file(CreateFileW(HistoryPath().c_str(), FILE_WRITE_ATTRIBUTES, 0, nullptr, OPEN_EXISTING, 0, nullptr));
  ASSERT_TRUE(SetFileTime(file.get(), nullptr, nullptr, &was.ftLastWriteTime));
  file.reset();
  band_.Show(L"ab");
  EXPECT_EQ((Rows{L"abd", L"abc"}), ListBoxRows(band_.list()));
  wchar_t name[64];
  ASSERT_TRUE(HistoryMutexName(HistoryPath().c_str(), name));
  HANDLE lock = nullptr;
  UiThread holder([&] { WaitForSingleObject(lock = CreateMutexW(nullptr, FALSE, name), INFINITE); },
                  [&] {
                    ReleaseMutex(lock);
                    CloseHandle(lock);
                  });
  WriteHistoryBytes("abz\r\n");
  band_.Show(L"ab");
  EXPECT_EQ((Rows{L"abd", L"abc"}), ListBoxRows(band_.list()));
  holder.Stop();
  band_.Show(L"ab");
  EXPECT_EQ(Rows{L"abz"}, ListBoxRows(band_.list()));
}

TEST_F(DropDown, LeftAndRightPressesElsewhereInTheThreadCloseItTheMiddleButtonDoesNot) {
  Band other(440, 40);
  RECT r;
  GetWindowRect(other.frame, &r);
  const POINT client = {r.left + 60, r.bottom - 30};
  const POINT caption = {r.left + 60, r.top + GetSystemMetrics(SM_CYCAPTION) / 2 + 2};
  const struct {
    POINT at;
    DWORD down, up;
  } cases[] = {{client, MOUSEEVENTF_LEFTDOWN, MOUSEEVENTF_LEFTUP},
               {client, MOUSEEVENTF_RIGHTDOWN, MOUSEEVENTF_RIGHTUP},
               {caption, MOUSEEVENTF_LEFTDOWN, MOUSEEVENTF_LEFTUP},
               {caption, MOUSEEVENTF_RIGHTDOWN, MOUSEEVENTF_RIGHTUP},
               {client, MOUSEEVENTF_MIDDLEDOWN, MOUSEEVENTF_MIDDLEUP}};
  for (const auto& c : cases) {
    SCOPED_TRACE(c.down);
    band_.Show(L"");  // the box never has the focus here: only the mouse hook can close the list
    Send(c.at, {c.down, c.up});
    const bool closes = c.down != MOUSEEVENTF_MIDDLEDOWN;
    EXPECT_TRUE(PumpUntil([&] { return closes ? !band_.box.IsDropDownVisible() : InputHandled(); }));
    EXPECT_EQ(!closes, band_.box.IsDropDownVisible());
  }
}

TEST_F(DropDown, DropDownsOnTwoThreadsEachCloseOnAPressInTheirOwnThread) {
  std::unique_ptr<Band> bands[2];
  std::optional<UiThread> threads[2];
  for (int i : {0, 1}) {
    threads[i].emplace([&, i] { (bands[i] = std::make_unique<Band>(20 + 400 * i, 240))->Show(L""); },
                       [&, i] { bands[i].reset(); });
  }
  auto visible = [&](int i) { return IsWindowVisible(bands[i]->list()) != FALSE; };
  EXPECT_TRUE(visible(0) && visible(1));
  for (int i : {0, 1}) {
    RECT r;
    GetWindowRect(bands[i]->frame, &r);
    Send({r.left + 20, r.bottom - 20}, {MOUSEEVENTF_LEFTDOWN, MOUSEEVENTF_LEFTUP});
    EXPECT_TRUE(PumpUntil([&] { return !visible(i); }));
    EXPECT_EQ(i == 0, visible(1));
  }
}

TEST_F(DropDown, TheInputBoxKeepsTheListWhileTheOptionIsOnAndCommitsWhenLeft) {
  const struct {
    bool keep, sorted, sortedList;
    const wchar_t* text;
    std::string after;
  } steps[] = {{true, true, true, L"abc", "abd\r\nx\r\nabc\r\n"},
               {true, false, true, L" ab ", "abd\r\nx\r\nabc\r\n ab \r\n"},
               {true, false, true, L"", "abd\r\nx\r\nabc\r\n ab \r\n"},
               {false, true, false, L"x", "abd\r\nx\r\nabc\r\n ab \r\n"}};
  band_.box.UpdateHistoryBox(false, false);
  for (const auto& s : steps) {
    band_.box.UpdateHistoryBox(s.keep, s.sorted);  // a changed order waits for the next creation
    EXPECT_EQ(s.keep, band_.box.HistoryOn());
    const DWORD style = GetWindowLongW(band_.list(), GWL_STYLE) | (s.keep ? WS_VSCROLL : 0);  // shown when needed
    EXPECT_EQ(s.keep ? 0x44A00001u | (s.sortedList ? LBS_SORT : 0) : 0, style);
    SetFocus(band_.box.hwnd());
    band_.Show(s.text);
    EXPECT_EQ(s.keep && s.text[0] != L' ', band_.box.IsDropDownVisible());
    SetFocus(band_.frame);
    EXPECT_FALSE(band_.box.IsDropDownVisible());
    EXPECT_EQ(s.after, ReadHistoryBytes());
  }
  band_.box.UpdateHistoryBox(true, false);
  HWND list = band_.list();
  EXPECT_EQ(GetDesktopWindow(), GetAncestor(list, GA_PARENT));
  DestroyWindow(band_.box.hwnd());
  EXPECT_FALSE(IsWindow(list));
}

TEST_F(DropDown, TheWheelOverTheBoxScrollsTheOpenList) {
  WriteHistoryBytes("a1\r\na2\r\na3\r\na4\r\na5\r\na6\r\na7\r\na8\r\na9\r\nb1\r\nb2\r\nb3\r\n");
  SetFocus(band_.box.hwnd());
  band_.Show(L"");
  RECT r;
  GetWindowRect(band_.box.hwnd(), &r);
  Send({r.left + 100, r.top + 10}, {MOUSEEVENTF_WHEEL}, static_cast<DWORD>(-WHEEL_DELTA));
  EXPECT_TRUE(PumpUntil([&] { return SendMessageW(band_.list(), LB_GETTOPINDEX, 0, 0) > 0; }));
}

// This program carries none of the glyph icons: the box still paints its text.
TEST_F(DropDown, TheBoxPaintsItsTextWithoutItsGlyphs) {
  const HWND box = band_.box.hwnd();
  int dark[2] = {};
  for (int i : {0, 1}) {
    SetWindowTextW(box, i ? L"WWWWWWWWWW" : L"");
    RedrawWindow(box, nullptr, nullptr, RDW_INVALIDATE | RDW_ERASE | RDW_UPDATENOW);
    HDC dc = GetDC(box);
    for (int xy = 0; xy < 70 * 9; ++xy) dark[i] += GetRValue(GetPixel(dc, 30 + xy % 70, 4 + xy / 70)) < 90;
    ReleaseDC(box, dc);
  }
  EXPECT_GT(dark[1], dark[0] + 5);
}
