// The select mode, the dispatcher and the folder identifier list on the stand-in's shell view.
#include <windows.h>
#include <commctrl.h>
#include <shlobj.h>
#include <gtest/gtest.h>

#include <algorithm>

#include "settings/settings.h"
#include "tests/view/host_fixture.h"
#include "view/view_locator.h"

using namespace vantorel;
using namespace vantorel::test;

namespace {

const std::vector<std::wstring> kSelectFiles = {L"report_2024.txt", L"Report_draft.doc", L"notes.txt",
                                          L"image01.png",     L"image02.png",      L"budget.xls"};

}  // namespace

TEST_F(HostTest, SelectsMatchesOnlyAndFocusesTheFirst) {
  ASSERT_NO_FATAL_FAILURE(Open(kSelectFiles));
  ASSERT_EQ(6, Count());
  EXPECT_TRUE(Select(L"  report  "));
  EXPECT_EQ(Sorted({L"report_2024.txt", L"Report_draft.doc"}), Sorted(SelectedNames()));
  int first = std::min(IndexOf(L"report_2024.txt"), IndexOf(L"Report_draft.doc"));
  EXPECT_EQ(first, FocusedIndex());
  EXPECT_EQ(0u, band_->NoMatch());
  EXPECT_TRUE(band_->runStates.empty());  // no change, no call

  // A new run replaces the selection; expressions and wildcards reach the matcher.
  EXPECT_TRUE(Select(L"image*|budget"));
  EXPECT_EQ(Sorted({L"image01.png", L"image02.png", L"budget.xls"}), Sorted(SelectedNames()));
  Select(L"txt&notes");
  EXPECT_EQ(std::vector<std::wstring>{L"notes.txt"}, SelectedNames());
  band_->CurrentSettings().Options &= ~kFoldCase;
  Select(L"Report");
  EXPECT_EQ(std::vector<std::wstring>{L"Report_draft.doc"}, SelectedNames());
}

TEST_F(HostTest, NoMatchGoesOnAndOffWithOneCallPerChange) {
  ASSERT_NO_FATAL_FAILURE(Open(kSelectFiles));
  Select(L"report");
  const int focused = FocusedIndex();
  EXPECT_TRUE(Select(L"nothing-like-this"));
  EXPECT_TRUE(SelectedNames().empty());
  EXPECT_EQ(focused, FocusedIndex());  // the focus mark stays
  EXPECT_EQ(1u, band_->NoMatch());
  band_->RunSelect(List());
  ASSERT_EQ(1u, band_->runStates.size());
  EXPECT_EQ(std::make_pair(kRunModeSelect, DWORD{1}), band_->runStates[0]);

  Select(L"notes");
  band_->RunSelect(List());
  EXPECT_EQ(0u, band_->NoMatch());
  ASSERT_EQ(2u, band_->runStates.size());
  EXPECT_EQ(std::make_pair(kRunModeSelect, DWORD{0}), band_->runStates[1]);

  // An empty (or spaces-only) text deselects all, clears the flag and keeps the focus mark.
  Select(L"zzz");
  EXPECT_EQ(1u, band_->NoMatch());
  Select(L"notes");
  const int notesFocus = FocusedIndex();
  Select(L"zzz");
  EXPECT_FALSE(Select(L"   "));
  EXPECT_TRUE(SelectedNames().empty());
  EXPECT_EQ(0u, band_->NoMatch());
  EXPECT_EQ(notesFocus, FocusedIndex());
  EXPECT_EQ(6u, band_->runStates.size());
  EXPECT_FALSE(Select(L""));
  EXPECT_EQ(6u, band_->runStates.size());
}

TEST_F(HostTest, RunWritesOnlyTheStatesThatChange) {
  ASSERT_NO_FATAL_FAILURE(Open(kSelectFiles));
  static int writes = 0;  // LVM_SETITEMSTATE messages that reach the list view
  HHOOK hook = SetWindowsHookExW(WH_CALLWNDPROC, [](int code, WPARAM wParam, LPARAM lParam) -> LRESULT {
    if (code == HC_ACTION && reinterpret_cast<CWPSTRUCT*>(lParam)->message == LVM_SETITEMSTATE) ++writes;
    return CallNextHookEx(nullptr, code, wParam, lParam);
  }, nullptr, GetCurrentThreadId());
  ASSERT_NE(nullptr, hook);
  // image01 comes before image02: selected and focused in one message.
  const struct { const wchar_t* text; int writes; } cases[] = {
      {L"image*", 2}, {L"image*", 0}, {L"image02", 2}, {L"zzz", 1}, {L"notes", 1}, {L"", 1}, {L"", 0}};
  for (const auto& c : cases) {
    writes = 0;
    Select(c.text);
    EXPECT_EQ(c.writes, writes) << c.text;
  }
  UnhookWindowsHookEx(hook);
}

TEST_F(HostTest, MatchesTheNameNotTheFolderPart) {
  ASSERT_NO_FATAL_FAILURE(Open(kSelectFiles));
  // The folder is %TEMP%\vantorel-test-...: "vantorel" is in every path, in no name.
  EXPECT_TRUE(Select(L"vantorel"));
  EXPECT_TRUE(SelectedNames().empty());
  EXPECT_EQ(1u, band_->NoMatch());
  // Only the first 259 characters of the text count.
  std::wstring longText(259, L'x');
  Select((longText + L"notes").c_str());
  EXPECT_TRUE(SelectedNames().empty());
}

TEST_F(HostTest, EmptyFolderLeavesTheNoMatchStateAlone) {
  ASSERT_NO_FATAL_FAILURE(Open({}));
  ASSERT_EQ(0, Count());
  EXPECT_FALSE(Select(L"anything"));
  EXPECT_EQ(0u, band_->NoMatch());
  // With the flag on it stays on.
  TempFolder other({L"a.txt"});
  ASSERT_TRUE(host_->Navigate(other.path().c_str()));
  Select(L"zzz");
  ASSERT_EQ(1u, band_->NoMatch());
  ASSERT_TRUE(host_->Navigate(folder_->path().c_str()));
  EXPECT_FALSE(Select(L"a"));
  EXPECT_EQ(1u, band_->NoMatch());
  EXPECT_EQ(1u, band_->runStates.size());
}

TEST_F(HostTest, LowestIndexMatchIsFocusedAndFullyVisibleInALongFolder) {
  std::vector<std::wstring> files = NumberedNames(300);
  files.push_back(L"zz_target_b.txt");
  files.push_back(L"zz_target_a.txt");
  options_.height = 300;
  ASSERT_NO_FATAL_FAILURE(Open(files));
  ASSERT_EQ(302, Count());
  // Make sure the view starts at the top.
  SendMessageW(List(), LVM_ENSUREVISIBLE, 0, FALSE);
  EXPECT_TRUE(Select(L"target"));
  int a = IndexOf(L"zz_target_a.txt");
  int b = IndexOf(L"zz_target_b.txt");
  ASSERT_GE(a, 0);
  ASSERT_GE(b, 0);
  const int first = std::min(a, b);
  EXPECT_EQ(first, FocusedIndex());
  EXPECT_TRUE(Selected(a));
  EXPECT_TRUE(Selected(b));
  EXPECT_EQ(2u, SelectedNames().size());
  RECT item = {};
  item.left = LVIR_BOUNDS;
  ASSERT_TRUE(SendMessageW(List(), LVM_GETITEMRECT, first, reinterpret_cast<LPARAM>(&item)));
  RECT client;
  GetClientRect(List(), &client);
  if (GetWindowLongW(List(), GWL_STYLE) & LVS_REPORT) {
    // The header row covers the top of the client area.
    HWND header = reinterpret_cast<HWND>(SendMessageW(List(), LVM_GETHEADER, 0, 0));
    RECT headerRect;
    if (header && IsWindowVisible(header) && GetWindowRect(header, &headerRect)) {
      client.top += headerRect.bottom - headerRect.top;
    }
  }
  EXPECT_GE(item.top, client.top);
  EXPECT_LE(item.bottom, client.bottom);
  EXPECT_GE(item.left, client.left);
  EXPECT_LE(item.right, client.right);
}

TEST_F(HostTest, ItemsWithoutAFileSystemPathAreNeverSelected) {
  ASSERT_NO_FATAL_FAILURE(Open({L"a.txt"}));
  // The Control Panel's items have no file-system path.
  PIDLIST_ABSOLUTE controls = nullptr;
  ASSERT_TRUE(SUCCEEDED(SHGetSpecialFolderLocation(nullptr, CSIDL_CONTROLS, &controls)));
  bool shown = host_->NavigateToIdList(controls);
  ILFree(controls);
  if (!shown || Count() == 0) GTEST_SKIP() << "the Control Panel shows no items here";
  EXPECT_TRUE(Select(L"*"));  // every name matches the lone wildcard
  EXPECT_TRUE(SelectedNames().empty());
  EXPECT_EQ(1u, band_->NoMatch());
}

TEST_F(HostTest, VirtualItemsAmongFilesStayUnselected) {
  ASSERT_NO_FATAL_FAILURE(Open({L"a.txt"}));
  // The desktop mixes virtual items (My Computer, ...) with the files of the desktop folder.
  PIDLIST_ABSOLUTE desktop = nullptr;
  ASSERT_TRUE(SUCCEEDED(SHGetSpecialFolderLocation(nullptr, CSIDL_DESKTOP, &desktop)));
  ASSERT_TRUE(host_->NavigateToIdList(desktop));
  ILFree(desktop);
  std::vector<std::wstring> names = Names();
  const int virtualItems = static_cast<int>(std::count(names.begin(), names.end(), L""));
  if (virtualItems == 0) GTEST_SKIP() << "the desktop shows no virtual items here";
  Select(L"*");
  for (int i = 0; i < Count(); ++i) EXPECT_EQ(!names[i].empty(), Selected(i)) << i;
}

TEST_F(HostTest, DispatcherRunsTheModeAndMovesTheFocusOnlyForSelectOnEnter) {
  options_.visible = true;
  ASSERT_NO_FATAL_FAILURE(Open(kSelectFiles));
  // Without a browser, or when get_HWND fails, nothing runs and the band is not repainted.
  ValidateRect(band_->BandWindow(), nullptr);
  band_->SetText(L"notes");
  host_->SetGetHwndFails(true);
  EXPECT_FALSE(band_->RunCurrentMode(true));
  host_->SetGetHwndFails(false);
  RECT update;
  EXPECT_FALSE(GetUpdateRect(band_->BandWindow(), &update, FALSE));
  EXPECT_TRUE(SelectedNames().empty());

  SetFocus(band_->Edit());
  ASSERT_EQ(band_->Edit(), GetFocus());
  EXPECT_TRUE(band_->RunCurrentMode(false));  // typing: the focus stays
  EXPECT_EQ(std::vector<std::wstring>{L"notes.txt"}, SelectedNames());
  EXPECT_EQ(band_->Edit(), GetFocus());
  EXPECT_TRUE(GetUpdateRect(band_->BandWindow(), &update, FALSE));

  band_->SetText(L"");
  EXPECT_TRUE(band_->RunCurrentMode(true));  // Enter: the view gets the focus, even for no keyword
  EXPECT_EQ(List(), GetFocus());

  SetFocus(band_->Edit());
  band_->SetText(L"zzz");
  EXPECT_TRUE(band_->RunCurrentMode(true));
  EXPECT_EQ(List(), GetFocus());

  // Filter mode never moves the focus.
  SetFocus(band_->Edit());
  band_->CurrentSettings().RunMode = kRunModeFilter;
  band_->SetText(L"notes");
  EXPECT_TRUE(band_->RunCurrentMode(true));
  host_->PumpMessages();
  EXPECT_EQ(band_->Edit(), GetFocus());
  EXPECT_EQ(std::vector<std::wstring>{L"notes.txt"}, Names());

  band_->DropBrowser();
  EXPECT_FALSE(band_->RunCurrentMode(true));
}

TEST_F(HostTest, DispatcherFailsWithoutAListView) {
  ASSERT_NO_FATAL_FAILURE(Open({L"a.txt"}));
  // A browser whose frame shows no folder view: a stand-in that never navigated.
  std::unique_ptr<host::ExplorerHost> empty = host::ExplorerHost::Create({});
  ASSERT_TRUE(empty);
  band_->SetBrowser(empty->Browser());
  EXPECT_EQ(nullptr, FindFolderListView(band_->Browser()));
  EXPECT_FALSE(band_->RunCurrentMode(true));
  PIDLIST_ABSOLUTE folder = reinterpret_cast<PIDLIST_ABSOLUTE>(1);
  EXPECT_FALSE(band_->GetCurrentFolderIdList(&folder));  // no active view
  EXPECT_EQ(nullptr, folder);
  band_->DropBrowser();
}

TEST_F(HostTest, FolderIdListOfTheShownFolder) {
  ASSERT_NO_FATAL_FAILURE(Open({L"a.txt"}));
  PIDLIST_ABSOLUTE folder = nullptr;
  ASSERT_TRUE(band_->GetCurrentFolderIdList(&folder));
  PIDLIST_ABSOLUTE expected = folder_->FolderIdList();
  EXPECT_TRUE(ILIsEqual(expected, folder));
  ILFree(expected);
  ILFree(folder);
  EXPECT_FALSE(band_->GetCurrentFolderIdList(nullptr));

  band_->DropBrowser();
  folder = reinterpret_cast<PIDLIST_ABSOLUTE>(1);
  EXPECT_FALSE(band_->GetCurrentFolderIdList(&folder));
  EXPECT_EQ(nullptr, folder);
}

TEST_F(HostTest, LocatorFindsTheViewAndTreeThroughTheBrowser) {
  options_.folderTree = true;
  ASSERT_NO_FATAL_FAILURE(Open({L"a.txt"}));
  EXPECT_EQ(host_->ListView(), FindFolderListView(band_->Browser()));
  EXPECT_EQ(host_->ListView(), FindFolderListView(host_->Frame()));
  ASSERT_NE(nullptr, host_->FolderTree());
  EXPECT_EQ(host_->FolderTree(), FindFolderTree(band_->Browser()));
  host_->ShowFolderTree(false);
  EXPECT_EQ(nullptr, FindFolderTree(band_->Browser()));
  host_->SetGetHwndFails(true);
  EXPECT_EQ(nullptr, FindFolderListView(band_->Browser()));
  EXPECT_EQ(nullptr, FindFolderTree(band_->Browser()));
  host_->SetGetHwndFails(false);
}

TEST_F(HostTest, DirectUiLayoutSelectsAndLocates) {
  options_.directUiLayout = true;
  ASSERT_NO_FATAL_FAILURE(Open(kSelectFiles));
  EXPECT_EQ(host_->ListView(), FindFolderListView(band_->Browser()));
  ASSERT_EQ(6, Count());
  band_->SetText(L"png");
  EXPECT_TRUE(band_->RunCurrentMode(false));
  EXPECT_EQ(Sorted({L"image01.png", L"image02.png"}), Sorted(SelectedNames()));
}

TEST_F(HostTest, SelectRunLeavesNoIdentifierListBehind) {
  ASSERT_NO_FATAL_FAILURE(Open(NumberedNames(60)));
  ASSERT_NE(nullptr, test::SharedSpy());
  test::AllocationSpy& spy = *test::SharedSpy();
  Select(L"file00");  // warms up whatever the shell caches on first use
  spy.Reset();
  for (int i = 0; i < 5; ++i) {
    Select(i % 2 ? L"file00" : L"zzz");
  }
  EXPECT_EQ(0u, spy.Live());
}
