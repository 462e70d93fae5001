// The wrapper in front of a plain list view, fed with real identifier lists of real files.
#include <windows.h>
#include <commctrl.h>
#include <shlobj.h>
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "framework/module.h"
#include "settings/settings.h"
#include "tests/view/view_test_support.h"
#include "band/band_messages.h"
#include "view/list_view_wrapper.h"

using namespace vantorel;
using vantorel::test::TempFolder;

namespace {

// A plain report list view in a hidden parent, and the relative lists the test owns for it.
class PlainListView : public testing::Test {
 protected:
  void SetUp() override {
    parent_ = CreateWindowExW(0, L"STATIC", L"", WS_POPUP, 0, 0, 300, 300, nullptr, nullptr, nullptr, nullptr);
    list_ = CreateWindowExW(0, WC_LISTVIEWW, L"", WS_CHILD | WS_VISIBLE | LVS_REPORT, 0, 0, 300, 300,
                            parent_, nullptr, nullptr, nullptr);
    ASSERT_NE(nullptr, list_);
    ASSERT_TRUE(folder_.ok());
  }
  void TearDown() override {
    if (IsWindow(parent_)) DestroyWindow(parent_);
    for (PITEMID_CHILD child : owned_) ILFree(child);
  }
  // The item's last identifier, as the shell view keeps it in lParam.
  LPARAM ChildOf(const std::wstring& name) {
    PIDLIST_ABSOLUTE full = folder_.ItemIdList(name);
    if (!full) return 0;
    PITEMID_CHILD child = ILClone(ILFindLastID(full));
    ILFree(full);
    owned_.push_back(child);
    return reinterpret_cast<LPARAM>(child);
  }
  LRESULT Insert(LPARAM param, UINT mask = LVIF_PARAM | LVIF_TEXT) {
    LVITEMW item = {};
    item.mask = mask;
    item.iItem = Count();
    item.pszText = const_cast<wchar_t*>(L"x");
    item.lParam = param;
    return SendMessageW(list_, LVM_INSERTITEMW, 0, reinterpret_cast<LPARAM>(&item));
  }
  int Count() { return static_cast<int>(SendMessageW(list_, LVM_GETITEMCOUNT, 0, 0)); }
  // Empties the list view, inserts the files and answers how many items it shows then.
  int Refill(std::initializer_list<const wchar_t*> files) {
    SendMessageW(list_, LVM_DELETEALLITEMS, 0, 0);
    for (const wchar_t* file : files) Insert(ChildOf(file));
    return Count();
  }
  void Query(CListViewWrapper& wrapper, const wchar_t* text, DWORD options = kDefaultOptions) {
    wrapper.SetQuery(KeywordQuery(text, options));
    wrapper.SetFolderId(folder_.FolderIdList());
  }

  HWND parent_ = nullptr;
  HWND list_ = nullptr;
  TempFolder folder_{{L"alpha.txt", L"beta.txt", L"Gamma.TXT", L"delta.doc"}, L"wrap"};
  std::vector<PITEMID_CHILD> owned_;
};

}  // namespace

TEST_F(PlainListView, EmptyQueryLetsEverythingInAndKeepsNothingShown) {
  CListViewWrapper wrapper;
  EXPECT_FALSE(wrapper.IsAttached());
  EXPECT_EQ(0u, wrapper.NothingShown());
  ASSERT_TRUE(wrapper.Attach(list_));
  EXPECT_TRUE(wrapper.IsAttached());
  SendMessageW(list_, LVM_DELETEALLITEMS, 0, 0);
  EXPECT_EQ(1u, wrapper.NothingShown());
  EXPECT_EQ(0, Insert(ChildOf(L"alpha.txt")));
  EXPECT_EQ(1, Insert(ChildOf(L"delta.doc")));
  EXPECT_EQ(2, Count());
  EXPECT_EQ(1u, wrapper.NothingShown());  // nothing passed the test: there was none
}

TEST_F(PlainListView, RefusesNonMatchingInsertsAndTracksNothingShown) {
  CListViewWrapper wrapper;
  Query(wrapper, L"gamma");  // FoldCase is on by default
  ASSERT_TRUE(wrapper.Attach(list_));
  SendMessageW(list_, LVM_DELETEALLITEMS, 0, 0);
  EXPECT_EQ(1u, wrapper.NothingShown());
  // A dropped insert answers 0 and the list view never sees it.
  EXPECT_EQ(0, Insert(ChildOf(L"alpha.txt")));
  EXPECT_EQ(0, Insert(ChildOf(L"delta.doc")));
  EXPECT_EQ(0, Count());
  EXPECT_EQ(1u, wrapper.NothingShown());
  EXPECT_EQ(0, Insert(ChildOf(L"Gamma.TXT")));
  EXPECT_EQ(1, Count());
  EXPECT_EQ(0u, wrapper.NothingShown());
  // The mask does not matter: lParam is read anyway.
  EXPECT_EQ(0, Insert(ChildOf(L"beta.txt"), LVIF_TEXT));
  EXPECT_EQ(1, Count());

  // Expressions and the default operator come from the option bits.
  Query(wrapper, L"txt doc", kDefaultOptions);  // space = OR
  EXPECT_EQ(2, Refill({L"alpha.txt", L"delta.doc"}));
  Query(wrapper, L"txt doc", kDefaultOptions | kDefaultAnd);  // space = AND
  EXPECT_EQ(0, Refill({L"alpha.txt", L"delta.doc"}));
  EXPECT_EQ(1u, wrapper.NothingShown());
  Query(wrapper, L"GAMMA", 0);  // case kept
  EXPECT_EQ(0, Refill({L"Gamma.TXT"}));
}

TEST_F(PlainListView, MatchesTheNameNotTheFolderPart) {
  CListViewWrapper wrapper;
  Query(wrapper, L"vantorel-wrap");  // occurs only in the folder's name
  ASSERT_TRUE(wrapper.Attach(list_));
  EXPECT_EQ(0, Refill({L"alpha.txt"}));
  EXPECT_EQ(1u, wrapper.NothingShown());
}

TEST_F(PlainListView, ItemsThatCannotBeNamedAreShown) {
  CListViewWrapper wrapper;
  Query(wrapper, L"gamma");
  ASSERT_TRUE(wrapper.Attach(list_));
  SendMessageW(list_, LVM_DELETEALLITEMS, 0, 0);
  // No identifier list at all.
  EXPECT_EQ(0, Insert(0));
  EXPECT_EQ(1, Count());
  // A virtual item: "My Computer" under the desktop has no file-system path.
  PIDLIST_ABSOLUTE drives = nullptr;
  ASSERT_TRUE(SUCCEEDED(SHGetSpecialFolderLocation(nullptr, CSIDL_DRIVES, &drives)));
  wrapper.SetFolderId(nullptr);  // the desktop: the item's own identifier is absolute
  EXPECT_EQ(1, Insert(reinterpret_cast<LPARAM>(drives)));
  EXPECT_EQ(2, Count());
  EXPECT_EQ(1u, wrapper.NothingShown());  // shown without passing the test
  // A null record pointer is passed on untouched (the list view refuses it itself).
  EXPECT_EQ(-1, SendMessageW(list_, LVM_INSERTITEMW, 0, 0));
  SendMessageW(list_, LVM_DELETEALLITEMS, 0, 0);
  ILFree(drives);
}

TEST_F(PlainListView, WithoutAFolderTheLastIdentifierIsNamedAlone) {
  CListViewWrapper wrapper;
  Query(wrapper, L"gamma");
  wrapper.SetFolderId(nullptr);
  ASSERT_TRUE(wrapper.Attach(list_));
  Insert(ChildOf(L"alpha.txt"));
  Insert(ChildOf(L"Gamma.TXT"));
  // Whatever the shell makes of a lone identifier, no name of a non-matching file passes.
  EXPECT_LE(Count(), 1);
}

TEST_F(PlainListView, QueryAndFolderFields) {
  CListViewWrapper wrapper;
  EXPECT_STREQ(L"", wrapper.Query());
  EXPECT_EQ(0u, wrapper.MatchOptions());
  std::wstring longText(300, L'q');
  longText[258] = L'z';
  wrapper.SetQuery(KeywordQuery(longText.c_str(), 0x103));
  EXPECT_EQ(259u, wcslen(wrapper.Query()));
  EXPECT_EQ(L'z', wrapper.Query()[258]);
  EXPECT_EQ(0x103u, wrapper.MatchOptions());
  wrapper.SetQuery(KeywordQuery());
  EXPECT_STREQ(L"", wrapper.Query());

  // The list held so far is freed when another one is given, and at destruction.
  ASSERT_NE(nullptr, test::SharedSpy());
  test::AllocationSpy& spy = *test::SharedSpy();
  spy.Reset();
  {
    CListViewWrapper owner;
    owner.SetFolderId(folder_.FolderIdList());
    EXPECT_EQ(1u, spy.Live());
    owner.SetFolderId(folder_.FolderIdList());
    EXPECT_EQ(1u, spy.Live());
    EXPECT_NE(nullptr, owner.FolderId());
  }
  EXPECT_EQ(0u, spy.Live());
}

TEST_F(PlainListView, NoIdentifierListOfItsOwnIsLeftBehind) {
  ASSERT_NE(nullptr, test::SharedSpy());
  test::AllocationSpy& spy = *test::SharedSpy();
  CListViewWrapper wrapper;
  Query(wrapper, L"a");  // alpha, beta, Gamma, delta all hold an "a"
  std::vector<LPARAM> items = {ChildOf(L"alpha.txt"), ChildOf(L"beta.txt"), ChildOf(L"delta.doc")};
  ASSERT_TRUE(wrapper.Attach(list_));
  spy.Reset();
  for (int round = 0; round < 20; ++round) {
    SendMessageW(list_, LVM_DELETEALLITEMS, 0, 0);
    for (LPARAM item : items) Insert(item);
  }
  Query(wrapper, L"zzz");  // one folder list allocated here, freed below
  for (LPARAM item : items) Insert(item);
  wrapper.SetFolderId(nullptr);
  EXPECT_EQ(0u, spy.Live());
}

TEST_F(PlainListView, AltKeys) {
  HWND band = test::CreateBandWindow(nullptr);
  ASSERT_NE(nullptr, band);
  CListViewWrapper wrapper;
  Query(wrapper, L"gamma");
  ASSERT_TRUE(wrapper.Attach(list_));

  // Alt+S without a notify window: consumed, nothing else happens.
  test::focusRequests = 0;
  EXPECT_EQ(0, SendMessageW(list_, WM_SYSCHAR, 's', 0x20000000));
  EXPECT_TRUE(wrapper.IsAttached());
  EXPECT_EQ(0, test::focusRequests);

  wrapper.SetNotifyWindow(band, WM_BAND_FOCUS_INPUT);
  EXPECT_EQ(0, SendMessageW(list_, WM_SYSCHAR, 's', 0x20000000));
  EXPECT_EQ(1, test::focusRequests);
  EXPECT_TRUE(wrapper.IsAttached());

  // Another Alt+letter detaches, and the filter is gone.
  EXPECT_EQ(0, SendMessageW(list_, WM_SYSCHAR, 'f', 0x20000000));
  EXPECT_FALSE(wrapper.IsAttached());
  Insert(ChildOf(L"beta.txt"));
  EXPECT_EQ(1, Count());
  // Detached: Alt+S reaches the list view's own procedure, not the band.
  SendMessageW(list_, WM_SYSCHAR, 's', 0x20000000);
  EXPECT_EQ(1, test::focusRequests);
  DestroyWindow(band);
}

TEST_F(PlainListView, SubclassLifecycle) {
  WNDPROC original = reinterpret_cast<WNDPROC>(GetWindowLongPtrW(list_, GWLP_WNDPROC));
  LONG locks = Module::LockCount();
  {
    CListViewWrapper wrapper;
    EXPECT_FALSE(wrapper.Attach(nullptr));
    ASSERT_TRUE(wrapper.Attach(list_));
    EXPECT_FALSE(wrapper.Attach(list_));  // already attached
    EXPECT_NE(original, reinterpret_cast<WNDPROC>(GetWindowLongPtrW(list_, GWLP_WNDPROC)));
    EXPECT_TRUE(wrapper.Detach());
    EXPECT_EQ(original, reinterpret_cast<WNDPROC>(GetWindowLongPtrW(list_, GWLP_WNDPROC)));
    EXPECT_TRUE(wrapper.Detach());  // detached: nothing to do
    ASSERT_TRUE(wrapper.Attach(list_));
  }
  // The owner went while attached: the list view has its own procedure back and still works.
  EXPECT_EQ(original, reinterpret_cast<WNDPROC>(GetWindowLongPtrW(list_, GWLP_WNDPROC)));
  EXPECT_EQ(0, Insert(ChildOf(L"alpha.txt")));
  EXPECT_EQ(locks, Module::LockCount());

  // The list view destroyed while attached: the wrapper ends detached, and can attach again.
  CListViewWrapper wrapper;
  Query(wrapper, L"gamma");
  ASSERT_TRUE(wrapper.Attach(list_));
  DestroyWindow(list_);
  EXPECT_FALSE(wrapper.IsAttached());
  EXPECT_EQ(nullptr, wrapper.hwnd());
  EXPECT_TRUE(wrapper.Detach());
  list_ = CreateWindowExW(0, WC_LISTVIEWW, L"", WS_CHILD | LVS_REPORT, 0, 0, 100, 100, parent_,
                          nullptr, nullptr, nullptr);
  ASSERT_TRUE(wrapper.Attach(list_));
  Insert(ChildOf(L"alpha.txt"));
  EXPECT_EQ(0, Count());
}

namespace {
WNDPROC g_underForeign = nullptr;
int g_foreignCalls = 0;
LRESULT CALLBACK Foreign(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam) {
  ++g_foreignCalls;
  return CallWindowProcW(g_underForeign, hwnd, msg, wParam, lParam);
}
}  // namespace

TEST_F(PlainListView, DetachUnderAForeignSubclassLeavesAPassThrough) {
  CListViewWrapper wrapper;
  Query(wrapper, L"gamma");
  ASSERT_TRUE(wrapper.Attach(list_));
  g_underForeign = reinterpret_cast<WNDPROC>(
      SetWindowLongPtrW(list_, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(&Foreign)));
  EXPECT_TRUE(wrapper.Detach());
  EXPECT_FALSE(wrapper.IsAttached());
  EXPECT_EQ(&Foreign, reinterpret_cast<WNDPROC>(GetWindowLongPtrW(list_, GWLP_WNDPROC)));
  g_foreignCalls = 0;
  Insert(ChildOf(L"alpha.txt"));  // no longer filtered, the foreign procedure still called
  EXPECT_EQ(1, Count());
  EXPECT_GT(g_foreignCalls, 0);
  // The wrapper can go on to another window while the pass-through stays in the old chain.
  HWND other = CreateWindowExW(0, WC_LISTVIEWW, L"", WS_CHILD | LVS_REPORT, 0, 0, 10, 10, parent_,
                               nullptr, nullptr, nullptr);
  ASSERT_TRUE(wrapper.Attach(other));
  DestroyWindow(list_);  // frees the pass-through
  EXPECT_TRUE(wrapper.IsAttached());
  list_ = other;
}
