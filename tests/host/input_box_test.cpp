// The input box of the real band under real mouse and keyboard input (SendInput), in a visible
// stand-in frame: the mode menu reached through the glyph, the clear button's states, the
// pointer shape and the glyphs as they appear on the screen.
#include <windows.h>
#include <commctrl.h>
#include <oleacc.h>
#include <gtest/gtest.h>

#include <memory>
#include <string>
#include <vector>

#include "band/band_messages.h"
#include "band/selector_core.h"
#include "framework/ui_language.h"
#include "framework/unique_handle.h"
#include "host/display_language.h"
#include "tests/host/linked_band.h"

using namespace vantorel;
using namespace vantorel::host;
using namespace vantorel::host::test;

namespace {

// Messages that reach the list view and the band window while a test step runs.
struct Traffic {
  HWND list = nullptr;
  HWND band = nullptr;
  int listStateChanges = 0;  // LVM_SETITEMSTATE
  int listEmptied = 0;       // LVM_DELETEALLITEMS
  int clears = 0;            // WM_BAND_CLEAR
  int keyMenus = 0;          // WM_SYSCOMMAND SC_KEYMENU anywhere
};
Traffic* g_traffic = nullptr;

LRESULT CALLBACK WatchMessages(int code, WPARAM wParam, LPARAM lParam) {
  auto* message = reinterpret_cast<CWPSTRUCT*>(lParam);
  if (code == HC_ACTION && g_traffic) {
    if (message->hwnd == g_traffic->list && message->message == LVM_SETITEMSTATE) ++g_traffic->listStateChanges;
    if (message->hwnd == g_traffic->list && message->message == LVM_DELETEALLITEMS) ++g_traffic->listEmptied;
    if (message->hwnd == g_traffic->band && message->message == WM_BAND_CLEAR) ++g_traffic->clears;
    if (message->message == WM_SYSCOMMAND && (message->wParam & 0xFFF0) == SC_KEYMENU) ++g_traffic->keyMenus;
  }
  return CallNextHookEx(nullptr, code, wParam, lParam);
}

// Real input (mouse_event and keybd_event go through SendInput).
void Mouse(DWORD flags) { mouse_event(flags, 0, 0, 0, 0); }
void Keys(std::initializer_list<std::pair<BYTE, DWORD>> keys) {
  for (auto [vk, flags] : keys) keybd_event(vk, static_cast<BYTE>(MapVirtualKeyW(vk, MAPVK_VK_TO_VSC)), flags, 0);
}

class InputBoxTest : public LinkedBandTest {
 protected:
  void Start(uint32_t mode, const wchar_t* text = L"", uint32_t options = 0x33) {
    HostOptions hostOptions;
    hostOptions.visible = true;  // painted, hit-tested and clickable
    hostOptions.width = 640;
    hostOptions.height = 400;
    ASSERT_NO_FATAL_FAILURE(Open({L"alpha.txt", L"beta.txt", L"gamma.doc"}, L"inputbox", mode, options, hostOptions));
    core_ = static_cast<CSelectorCore*>(band_.get());
    SetForegroundWindow(host_->Frame());
    if (*text) Run(L"--type \"" + std::wstring(text) + L"\"");
    host_->PumpMessages();
    traffic_ = Traffic{host_->ListView(), host_->BandWindow()};
    g_traffic = &traffic_;
    hook_.reset(SetWindowsHookExW(WH_CALLWNDPROC, WatchMessages, nullptr, GetCurrentThreadId()));
    Take();
  }
  void TearDown() override {
    hook_.reset();
    g_traffic = nullptr;
    LinkedBandTest::TearDown();
  }
  std::string Box() {
    Run(L"--print box");
    std::vector<std::string> lines = Take();
    return lines.size() == 1 ? lines[0] : "";
  }
  HWND InputBox() const { return core_->InputBox().hwnd(); }
  void Settle() {
    for (int round = 0; round < 50 && HIWORD(GetQueueStatus(QS_ALLINPUT)) != 0; ++round) {
      host_->PumpMessages();
      MsgWaitForMultipleObjects(0, nullptr, FALSE, 20, QS_ALLINPUT);
    }
    host_->PumpMessages();
  }
  std::pair<DWORD, DWORD> Selection() const {
    DWORD start = 0, end = 0;
    SendMessageW(InputBox(), EM_GETSEL, reinterpret_cast<WPARAM>(&start), reinterpret_cast<LPARAM>(&end));
    return {start, end};
  }
  std::wstring Text() const {
    wchar_t text[300] = L"";
    GetWindowTextW(InputBox(), text, 300);
    return text;
  }

  CSelectorCore* core_ = nullptr;
  Traffic traffic_;
  UniqueHook hook_;
};

std::string BoxLine(const char* text, const char* glyph, const char* clear, const char* colours) {
  return std::string("box\ttext=") + text + "\tglyph=" + glyph + "\tclear=" + clear + "\tcolours=" + colours;
}

}  // namespace

// The menu opens on a press on the glyph with the radio check on the current mode; a choice
// switches modes with its list view steps and the common ending; the mode already set changes
// nothing (the no-match colours stay, the list view hears nothing, the focus stays).
TEST_F(InputBoxTest, ModeMenuChoices) {
  struct Case {
    uint32_t startMode;
    const wchar_t *text, *choice;
    const char* checked;
    uint32_t mode;
    int stateChanges;  // LVM_SETITEMSTATE
    bool emptied;      // LVM_DELETEALLITEMS (the filter's own and the refresh's)
    bool focusToBox;
    const char* boxAfter;
    size_t shownAfter;
  } cases[] = {
      // Same mode: nothing happens, the box stays red.
      {0, L"zzz", L"select", "select", 0, 0, false, false, "box\ttext=zzz\tglyph=select\tclear=normal\tcolours=white-on-red", 3},
      {1, L"zzz", L"filter", "filter", 1, 0, false, false, "box\ttext=zzz\tglyph=filter\tclear=normal\tcolours=white-on-red", 0},
      // Select -> Filter: selection and focus mark cleared, nothing run.
      {0, L"alpha", L"filter", "select", 1, 2, false, true, "box\ttext=alpha\tglyph=filter\tclear=normal\tcolours=black-on-white", 3},
      // Filter -> Select with text: the filter goes and every item comes back.
      {1, L"zzz", L"select", "filter", 0, 0, true, true, "box\ttext=zzz\tglyph=select\tclear=normal\tcolours=black-on-white", 3},
      // Filter -> Select with an empty box: only the mode changes.
      {1, L"", L"select", "filter", 0, 0, false, true, "box\ttext=\tglyph=select\tclear=hidden\tcolours=black-on-white", 3},
      // A mode from the file that is neither: no check mark, the filter glyph.
      {2, L"", L"dismiss", "none", 2, 0, false, false, "box\ttext=\tglyph=filter\tclear=hidden\tcolours=black-on-white", 3},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(testing::Message() << "mode " << c.startMode << " text " << Utf8(c.text) << " choice "
                                    << Utf8(c.choice));
    ASSERT_NO_FATAL_FAILURE(Start(c.startMode, c.text, 0x33));
    SetFocus(host_->ListView());
    Settle();
    Run(L"--click mode" + std::wstring(*c.choice ? L" --menu " : L"") + c.choice);
    std::vector<std::string> menu = Take();
    ASSERT_EQ(1u, menu.size());
    EXPECT_EQ("menu\tchecked=" + std::string(c.checked) + "\tchose=" + Utf8(c.choice), menu[0]);
    EXPECT_EQ(c.mode, core_->CurrentSettings().RunMode);
    EXPECT_EQ(c.stateChanges, traffic_.listStateChanges);
    EXPECT_EQ(c.emptied, traffic_.listEmptied > 0);
    EXPECT_EQ(c.focusToBox ? InputBox() : host_->ListView(), GetFocus());
    if (c.focusToBox) { EXPECT_EQ(std::make_pair(0ul, static_cast<DWORD>(Text().size())), Selection()); }
    if (c.stateChanges) { EXPECT_EQ(0, SendMessageW(host_->ListView(), LVM_GETSELECTEDCOUNT, 0, 0)); }
    Settle();
    EXPECT_EQ(c.shownAfter, ItemNames(host_->ListView(), host_->CurrentFolder()).size());
    EXPECT_EQ(c.boxAfter, Box());
    TearDown();
  }
}

// A menu dismissed with the pointer over the glyph swallows the next request, and only that one.
TEST_F(InputBoxTest, DismissedMenuSwallowsOnlyTheNextRequestThenSettings) {
  const struct {
    const wchar_t* choice;
    const char* menu;  // null: no menu, the press went on to the edit control
    uint32_t mode;
  } clicks[] = {{L"dismiss", "menu\tchecked=select\tchose=dismiss", 0},
                {L"", nullptr, 0},  // a menu asked for here would fail its step
                {L"filter", "menu\tchecked=select\tchose=filter", 1},
                {L"settings", "menu\tchecked=filter\tchose=settings", 1}};  // the dialog, the mode alone
  ASSERT_NO_FATAL_FAILURE(Start(0));
  for (const auto& c : clicks) {
    SCOPED_TRACE(Utf8(c.choice));
    Run(L"--click mode" + std::wstring(*c.choice ? L" --menu " : L"") + c.choice);
    EXPECT_EQ(c.menu ? std::vector<std::string>{c.menu} : std::vector<std::string>{}, Take());
    EXPECT_EQ(c.mode, core_->CurrentSettings().RunMode);
    if (!c.menu) { EXPECT_EQ(InputBox(), GetFocus()); }
    EXPECT_EQ(std::wstring(c.choice) == L"settings", IsWindowVisible(core_->SettingDialog().hwnd()) != FALSE);
  }
}

// The clear button: press, move, release in different places, with real input and no capture.
TEST_F(InputBoxTest, ClearButtonCompletesOnlyOnItself) {
  struct Case {
    const wchar_t* release;  // where the button goes up: clear, text, or outside the box
    DWORD stateAfter;
    int clears;
    const char* text;
    const char* clearDrawn;
  } cases[] = {
      {L"clear", CEditWindow::kClearHot, 1, "", "hidden"},
      {L"text", CEditWindow::kClearNormal, 0, "alpha", "normal"},
      {L"outside", CEditWindow::kClearPressed, 0, "alpha", "pressed"},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(Utf8(c.release));
    ASSERT_NO_FATAL_FAILURE(Start(0, L"alpha"));
    Run(L"--hover clear");
    EXPECT_EQ(CEditWindow::kClearHot, core_->InputBox().ClearGlyphState());
    EXPECT_EQ(BoxLine("alpha", "select", "hot", "black-on-white"), Box());
    Mouse(MOUSEEVENTF_LEFTDOWN);
    Settle();
    EXPECT_EQ(CEditWindow::kClearPressed, core_->InputBox().ClearGlyphState());
    EXPECT_EQ(BoxLine("alpha", "select", "pressed", "black-on-white"), Box());
    if (std::wstring(c.release) == L"outside") {
      RECT list;
      GetWindowRect(host_->ListView(), &list);
      SetCursorPos((list.left + list.right) / 2, (list.top + list.bottom) / 2);
      Mouse(MOUSEEVENTF_MOVE);  // a real move event at the new place, for hit-testing
      Settle();
    } else {
      Run(std::wstring(L"--hover ") + c.release);
    }
    Mouse(MOUSEEVENTF_LEFTUP);
    Settle();
    EXPECT_EQ(c.stateAfter, core_->InputBox().ClearGlyphState());
    EXPECT_EQ(c.clears, traffic_.clears);
    EXPECT_EQ(c.text, Utf8(Text()));
    EXPECT_EQ(BoxLine(c.text, "select", c.clearDrawn, "black-on-white"), Box());
    if (c.stateAfter == CEditWindow::kClearPressed) {
      // The pressed picture stays until the pointer moves over the box outside the hot area.
      Run(L"--hover text");
      EXPECT_EQ(BoxLine("alpha", "select", "normal", "black-on-white"), Box());
    }
    TearDown();
  }
}

// The pointer shape: the clear area counts only while the box holds text.
TEST_F(InputBoxTest, PointerShapeFollowsTheAreas) {
  HCURSOR arrow = LoadCursorW(nullptr, IDC_ARROW), beam = LoadCursorW(nullptr, IDC_IBEAM);
  struct Case {
    const wchar_t* text;
    const wchar_t* where;
    HCURSOR cursor;
  } cases[] = {
      {L"alpha", L"mode", arrow}, {L"alpha", L"text", beam}, {L"alpha", L"clear", arrow},
      {L"", L"mode", arrow},      {L"", L"text", beam},      {L"", L"clear", beam},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(testing::Message() << "text '" << Utf8(c.text) << "' over " << Utf8(c.where));
    ASSERT_NO_FATAL_FAILURE(Start(0, c.text));
    Run(std::wstring(L"--hover ") + c.where);
    EXPECT_EQ(c.cursor, GetCursor());
    TearDown();
  }
}

// The glyphs at two client heights: icons centred (y 1 and 3), the arrow at rows 12 to 14.
TEST_F(InputBoxTest, GlyphsAtClientHeights) {
  struct Case {
    int boxHeight, clientHeight, iconTop;
  } cases[] = {{22, 18, 1}, {26, 22, 3}};
  for (const Case& c : cases) {
    SCOPED_TRACE(testing::Message() << "box height " << c.boxHeight);
    ASSERT_NO_FATAL_FAILURE(Start(0, L"alpha"));
    RECT window;
    GetWindowRect(InputBox(), &window);
    MapWindowPoints(nullptr, GetParent(InputBox()), reinterpret_cast<POINT*>(&window), 2);
    MoveWindow(InputBox(), window.left, 0, window.right - window.left, c.boxHeight, TRUE);
    Settle();
    RECT client;
    GetClientRect(InputBox(), &client);
    ASSERT_EQ(c.clientHeight, client.bottom);
    EXPECT_EQ(BoxLine("alpha", "select", "normal", "black-on-white"), Box());

    HDC dc = GetDC(InputBox());
    // Arrow: 5, 3 and 1 black pixels from x 17, 18, 19; nothing beside or around it.
    for (int row = 11; row <= 15; ++row) {
      for (int x = 16; x <= 23; ++x) {
        int half = row == 12 ? 2 : row == 13 ? 1 : row == 14 ? 0 : -1;
        bool black = half >= 0 && x >= 19 - half && x <= 19 + half;
        EXPECT_EQ(black ? RGB(0, 0, 0) : RGB(255, 255, 255), GetPixel(dc, x, row)) << "x " << x << " row " << row;
      }
    }
    // The clear icon: a transparent row above its square's border rows, and one below them.
    int right = client.right;
    EXPECT_EQ(RGB(255, 255, 255), GetPixel(dc, right - 8, c.iconTop)) << "above the square";
    EXPECT_NE(RGB(255, 255, 255), GetPixel(dc, right - 8, c.iconTop + 1)) << "square border";
    EXPECT_NE(RGB(255, 255, 255), GetPixel(dc, right - 8, c.iconTop + 14)) << "square border";
    EXPECT_EQ(RGB(255, 255, 255), GetPixel(dc, right - 8, c.iconTop + 15)) << "below the square";
    ReleaseDC(InputBox(), dc);
    TearDown();
  }
}

// The box's state changes show only when it is painted again.
TEST_F(InputBoxTest, RunStateShowsAtTheNextPaint) {
  ASSERT_NO_FATAL_FAILURE(Start(0, L"alpha"));
  EXPECT_EQ(BoxLine("alpha", "select", "normal", "black-on-white"), Box());
  core_->InputBox().SetRunState(1, 0);
  EXPECT_EQ(BoxLine("alpha", "select", "normal", "black-on-white"), Box());
  InvalidateRect(InputBox(), nullptr, FALSE);
  EXPECT_EQ(BoxLine("alpha", "filter", "normal", "black-on-white"), Box());
}

// Keys typed for real: Escape selects all; Alt+S is swallowed (no menu key, no text).
TEST_F(InputBoxTest, EscapeAndAltS) {
  ASSERT_NO_FATAL_FAILURE(Start(0, L"alpha beta"));
  SendMessageW(InputBox(), EM_SETSEL, 3, 3);
  Keys({{VK_ESCAPE, 0}, {VK_ESCAPE, KEYEVENTF_KEYUP}});
  Settle();
  EXPECT_EQ(std::make_pair(0ul, 10ul), Selection());
  Keys({{VK_MENU, 0}, {'S', 0}, {'S', KEYEVENTF_KEYUP}, {VK_MENU, KEYEVENTF_KEYUP}});
  Settle();
  EXPECT_EQ(L"alpha beta", Text());
  EXPECT_EQ(InputBox(), GetFocus());
  EXPECT_EQ(0, traffic_.keyMenus);
}

// A screen reader asks the box's client object (WM_GETOBJECT) and hears its name, in the user's
// display language.
class InputBoxLanguageTest : public InputBoxTest, public ::testing::WithParamInterface<LANGID> {};

TEST_P(InputBoxLanguageTest, AccessibleNameInTheDisplayLanguage) {
  const LANGID before = PreferredUiLanguage();
  std::wstring error;
  ASSERT_TRUE(SetDisplayLanguage(GetParam(), error));
  Start(0, L"alpha");
  ASSERT_TRUE(SetDisplayLanguage(before, error));
  ASSERT_FALSE(HasFatalFailure());
  EXPECT_EQ(GetParam(), core_->UiLanguage());
  ComPtr<IAccessible> box;
  ASSERT_EQ(S_OK, AccessibleObjectFromWindow(InputBox(), OBJID_CLIENT, __uuidof(IAccessible), box.put_void()));
  VARIANT self = {};
  V_VT(&self) = VT_I4;
  V_I4(&self) = CHILDID_SELF;
  BSTR name = nullptr;
  ASSERT_EQ(S_OK, box->get_accName(self, &name));
  EXPECT_STREQ(GetParam() == kJapaneseUi ? L"\u30AD\u30FC\u30EF\u30FC\u30C9" : L"Keywords", name);
  SysFreeString(name);
}

INSTANTIATE_TEST_SUITE_P(Languages, InputBoxLanguageTest, ::testing::Values(kJapaneseUi, kEnglishUi));
