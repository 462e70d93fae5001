// Select and filter through the shell view's own interfaces, in the items view of Windows 7 to 11
// (no list view in the window) and in the list view, with the browser's filter site and without.
#include <windows.h>
#include <commctrl.h>
#include <exdispid.h>
#include <gtest/gtest.h>

#include <algorithm>

#include "settings/settings.h"
#include "tests/view/host_fixture.h"
#include "view/filter_way.h"
#include "view/view_locator.h"

using namespace vantorel;
using namespace vantorel::test;
using host::FolderViewKind;

namespace {

const std::vector<std::wstring> kViewFiles = {L"alpha.txt", L"beta.txt", L"gamma.doc", L"delta.doc", L"epsilon.png"};

struct ViewCase {
  FolderViewKind view;
  bool filterSite;
  FilterWay way;  // what Filter mode takes there
  const char* name;
};
const ViewCase kCases[] = {
    {FolderViewKind::Items, true, FilterWay::kFilterSite, "items view with a filter site"},
    {FolderViewKind::Items, false, FilterWay::kSelectMatches, "items view without a filter site"},
    {FolderViewKind::List, true, FilterWay::kFilterSite, "list view with a filter site"},
    {FolderViewKind::List, false, FilterWay::kListViewWrapper, "list view without a filter site"},
};

int g_balloons = 0;  // EM_SHOWBALLOONTIP sent on this thread
std::wstring g_balloonText;  // the last one's

class ShellViewRunTest : public HostTest {
 protected:
  void OpenCase(const ViewCase& c, DWORD runMode) {
    TearDown();
    options_.visible = true;
    options_.folderView = c.view;
    options_.filterSite = c.filterSite;
    ASSERT_NO_FATAL_FAILURE(Open(kViewFiles));
    band_->CurrentSettings().RunMode = runMode;
    g_balloons = 0;
  }
  void Run(const wchar_t* text, bool focusView = false) {
    band_->SetText(text);
    EXPECT_TRUE(band_->RunCurrentMode(focusView));
    host_->PumpMessages();
  }
  void SetUp() override {
    hook_ = SetWindowsHookExW(WH_CALLWNDPROC, [](int code, WPARAM wParam, LPARAM lParam) -> LRESULT {
      const CWPSTRUCT* sent = reinterpret_cast<CWPSTRUCT*>(lParam);
      if (code == HC_ACTION && sent->message == EM_SHOWBALLOONTIP) {
        ++g_balloons;
        g_balloonText = reinterpret_cast<const EDITBALLOONTIP*>(sent->lParam)->pszText;
      }
      return CallNextHookEx(nullptr, code, wParam, lParam);
    }, nullptr, GetCurrentThreadId());
  }
  ~ShellViewRunTest() override {
    if (hook_) UnhookWindowsHookEx(hook_);
  }
  HHOOK hook_ = nullptr;
};

BOOL CALLBACK CountListViews(HWND window, LPARAM count) {
  wchar_t name[64] = L"";
  GetClassNameW(window, name, 64);
  if (lstrcmpW(name, WC_LISTVIEWW) == 0) ++*reinterpret_cast<int*>(count);
  return TRUE;
}

std::wstring ClassOf(HWND window) {
  wchar_t name[64] = L"";
  GetClassNameW(window, name, 64);
  return name;
}

}  // namespace

TEST_F(ShellViewRunTest, ItemsViewHasNoListViewAndTakesTheKeysOnItsSurface) {
  for (bool tabbed : {false, true}) {
    SCOPED_TRACE(tabbed ? "tabbed frame" : "classic frame");
    options_.explorer11 = tabbed;
    ASSERT_NO_FATAL_FAILURE(OpenCase(kCases[0], kRunModeSelect));
    int listViews = 0;
    EnumChildWindows(host_->Frame(), CountListViews, reinterpret_cast<LPARAM>(&listViews));
    EXPECT_EQ(0, listViews);
    EXPECT_EQ(nullptr, FindFolderListView(band_->Browser()));
    HWND keys = FindViewKeysWindow(band_->Browser());
    ASSERT_EQ(host_->ViewKeysWindow(), keys);
    EXPECT_EQ(L"DirectUIHWND", ClassOf(keys));
    EXPECT_EQ(L"SHELLDLL_DefView", ClassOf(GetParent(keys)));
    // List view messages to the surface do nothing, as on Windows.
    EXPECT_EQ(0, SendMessageW(keys, LVM_GETITEMCOUNT, 0, 0));
    EXPECT_EQ(5, Count());
  }
}

TEST_F(ShellViewRunTest, SelectsTheMatchesInEveryView) {
  for (const ViewCase& c : kCases) {
    SCOPED_TRACE(c.name);
    ASSERT_NO_FATAL_FAILURE(OpenCase(c, kRunModeSelect));
    SetFocus(band_->Edit());
    Run(L"*.doc", true);  // Enter
    EXPECT_EQ(Sorted({L"gamma.doc", L"delta.doc"}), Sorted(SelectedNames()));
    const int first = std::min(IndexOf(L"gamma.doc"), IndexOf(L"delta.doc"));
    EXPECT_EQ(first, FocusedIndex());
    EXPECT_EQ(host_->ViewKeysWindow(), GetFocus());
    EXPECT_EQ(0u, band_->NoMatch());

    SetFocus(band_->Edit());
    Run(L"zzz");  // typing: nothing selected, the focus mark stays, the focus too
    EXPECT_TRUE(SelectedNames().empty());
    EXPECT_EQ(first, FocusedIndex());
    EXPECT_EQ(1u, band_->NoMatch());
    EXPECT_EQ(band_->Edit(), GetFocus());

    Run(L"b*");
    EXPECT_EQ(std::vector<std::wstring>{L"beta.txt"}, SelectedNames());
    Run(L"  ");
    EXPECT_TRUE(SelectedNames().empty());
    EXPECT_EQ(0u, band_->NoMatch());
  }
}

TEST_F(ShellViewRunTest, FiltersTheWayTheWindowAllows) {
  for (const ViewCase& c : kCases) {
    SCOPED_TRACE(c.name);
    ASSERT_NO_FATAL_FAILURE(OpenCase(c, kRunModeFilter));
    EXPECT_EQ(c.way, ChooseFilterWay(band_->Browser(), FindFolderListView(band_->Browser())));
    Run(L"doc");
    if (c.way == FilterWay::kSelectMatches) {
      // Nothing can hide items here: the matches are selected, and the balloon says so once.
      EXPECT_EQ(5, Count());
      EXPECT_EQ(Sorted({L"gamma.doc", L"delta.doc"}), Sorted(SelectedNames()));
      Run(L"alpha");
      EXPECT_EQ(std::vector<std::wstring>{L"alpha.txt"}, SelectedNames());
      EXPECT_EQ(1, g_balloons);
      continue;
    }
    EXPECT_EQ(Sorted({L"gamma.doc", L"delta.doc"}), Sorted(Names()));
    EXPECT_EQ(0u, band_->NoMatch());
    Refresh();  // the filter stays on
    EXPECT_EQ(Sorted({L"gamma.doc", L"delta.doc"}), Sorted(Names()));
    Run(L"zzz");
    EXPECT_EQ(0, Count());
    EXPECT_EQ(1u, band_->NoMatch());
    Run(L"");
    EXPECT_EQ(5, Count());
    EXPECT_EQ(0u, band_->NoMatch());
    EXPECT_EQ(0, g_balloons);
  }
}

TEST_F(ShellViewRunTest, NavigationTakesTheSiteFilterOffUnlessTheAutomaticFilterApplies) {
  for (bool tree : {false, true}) {
    SCOPED_TRACE(tree ? "folder tree shown" : "no folder tree");
    options_.folderTree = tree;
    ASSERT_NO_FATAL_FAILURE(OpenCase(kCases[0], kRunModeFilter));
    ASSERT_TRUE(band_->Advise());
    band_->CurrentSettings().Options |= kAutoFilterWithTreeOption;
    Run(L"doc");
    ASSERT_EQ(2, Count());
    TempFolder other({L"one.doc", L"two.txt", L"three.txt"});
    ASSERT_TRUE(host_->Navigate(other.path().c_str()));
    host_->PumpMessages();
    if (tree) {
      EXPECT_EQ(std::vector<std::wstring>{L"one.doc"}, Names());
    } else {
      EXPECT_EQ(3, Count());  // the browser kept the filter; the band took it off
      Refresh();
      EXPECT_EQ(3, Count());
    }
  }
}

TEST_F(ShellViewRunTest, AltKeysInTheItemsView) {
  ASSERT_NO_FATAL_FAILURE(OpenCase(kCases[0], kRunModeFilter));
  Run(L"doc");
  ASSERT_EQ(2, Count());
  test::focusRequests = 0;
  HWND keys = host_->ViewKeysWindow();
  SetFocus(keys);
  int requests = 0;
  test::PressAltSInEachCase(keys, [this] { host_->PumpMessages(); }, [&](const char* name) {
    SCOPED_TRACE(name);
    EXPECT_EQ(++requests, test::focusRequests);
    Refresh();
    EXPECT_EQ(2, Count());
  });
  EXPECT_EQ(3, requests);
  // Any other letter takes the filter off: the next refresh shows everything.
  PostMessageW(keys, WM_SYSKEYDOWN, 'F', 0x20000001 | (0x21 << 16));
  host_->PumpMessages();
  EXPECT_EQ(3, test::focusRequests);
  Refresh();
  EXPECT_EQ(5, Count());
}

// The notice of a filter that could only select speaks the language of the box's texts.
TEST_F(ShellViewRunTest, TheNoticeSpeaksTheLanguageOfTheBox) {
  const struct {
    LANGID language;
    const wchar_t* text;  // the notice begins so
  } kLanguages[] = {{MAKELANGID(LANG_JAPANESE, SUBLANG_JAPANESE_JAPAN), L"\u3053\u306E\u30A6\u30A3\u30F3\u30C9\u30A6"},
                    {MAKELANGID(LANG_ENGLISH, SUBLANG_ENGLISH_US), L"This window cannot hide items"}};
  for (const auto& l : kLanguages) {
    ASSERT_NO_FATAL_FAILURE(OpenCase(kCases[1], kRunModeFilter));
    band_->language = l.language;
    Run(L"doc");
    ASSERT_EQ(1, g_balloons);
    EXPECT_EQ(0u, g_balloonText.rfind(l.text, 0)) << l.language;
  }
}
