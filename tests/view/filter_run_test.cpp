// The filter mode and the browser events on the stand-in's shell view.
#include <windows.h>
#include <commctrl.h>
#include <exdispid.h>
#include <shlobj.h>
#include <gtest/gtest.h>

#include <cstdio>

#include "settings/settings.h"
#include "tests/view/host_fixture.h"

using namespace vantorel;
using namespace vantorel::test;

namespace {

const std::vector<std::wstring> kFilterFiles = {L"alpha.txt", L"beta.txt", L"gamma.doc", L"delta.doc",
                                          L"epsilon.png"};

class FilterTest : public HostTest {
 protected:
  void OpenFilter(const std::vector<std::wstring>& files = kFilterFiles) {
    ASSERT_NO_FATAL_FAILURE(Open(files));
    band_->CurrentSettings().RunMode = kRunModeFilter;
  }
  // The view attached to the browser puts the wrapper onto the list view shown; these start
  // from a wrapper that is not on it (taken off with Alt+F), advised on the browser's events if asked.
  void OpenFilterDetached(bool advised = false) {
    ASSERT_NO_FATAL_FAILURE(OpenFilter());
    if (advised) {
      ASSERT_TRUE(band_->Advise());
    }
    ASSERT_TRUE(band_->Wrapper().Detach());
  }
  void Filter(const wchar_t* text) {
    band_->SetText(text);
    band_->RunFilter(List());
    host_->PumpMessages();
  }
  void Run(const wchar_t* text) {  // the current mode, as typing runs it
    band_->SetText(text);
    band_->RunCurrentMode(false);
    host_->PumpMessages();
  }
  HRESULT Fire(DISPID dispid) {
    DISPPARAMS none = {};
    return band_->Invoke(dispid, IID_NULL, 0, DISPATCH_METHOD, &none, nullptr, nullptr, nullptr);
  }
};

}  // namespace

TEST_F(FilterTest, KeepsOnlyMatchingItemsAndTracksNoMatch) {
  ASSERT_NO_FATAL_FAILURE(OpenFilter());
  ASSERT_EQ(5, Count());
  Filter(L"doc");
  EXPECT_TRUE(band_->Wrapper().IsAttached());
  EXPECT_EQ(List(), band_->Wrapper().hwnd());
  EXPECT_EQ(Sorted({L"gamma.doc", L"delta.doc"}), Sorted(Names()));
  EXPECT_EQ(0u, band_->NoMatch());
  EXPECT_TRUE(band_->runStates.empty());
  EXPECT_EQ(-1, static_cast<int>(SendMessageW(List(), LVM_GETNEXTITEM, static_cast<WPARAM>(-1), LVNI_SELECTED)));

  // The filter stays on: a later refresh of the view is filtered too.
  Refresh();
  EXPECT_EQ(Sorted({L"gamma.doc", L"delta.doc"}), Sorted(Names()));

  Filter(L"nothing-matches");
  EXPECT_EQ(0, Count());
  EXPECT_EQ(1u, band_->NoMatch());
  ASSERT_EQ(1u, band_->runStates.size());
  EXPECT_EQ(std::make_pair(kRunModeFilter, DWORD{1}), band_->runStates[0]);

  Filter(L"alpha | epsilon");
  EXPECT_EQ(Sorted({L"alpha.txt", L"epsilon.png"}), Sorted(Names()));
  EXPECT_EQ(0u, band_->NoMatch());
  ASSERT_EQ(2u, band_->runStates.size());
  EXPECT_EQ(std::make_pair(kRunModeFilter, DWORD{0}), band_->runStates[1]);

  // A keyword found only in the folder's path shows nothing.
  Filter(L"vantorel");
  EXPECT_EQ(0, Count());
}

TEST_F(FilterTest, SpacesOnlyRemovesTheFilter) {
  ASSERT_NO_FATAL_FAILURE(OpenFilter());
  Filter(L"zzz");
  ASSERT_EQ(0, Count());
  ASSERT_EQ(1u, band_->NoMatch());
  Filter(L"   ");
  EXPECT_EQ(5, Count());
  EXPECT_EQ(0u, band_->NoMatch());
  EXPECT_STREQ(L"", band_->Wrapper().Query());
  EXPECT_EQ(0u, band_->Wrapper().MatchOptions());
  ASSERT_EQ(2u, band_->runStates.size());
  // Tabs are not trimmed: they are part of the keyword and match nothing here.
  Filter(L"\talpha");
  EXPECT_EQ(0, Count());

  band_->RemoveFilter(List());
  host_->PumpMessages();
  EXPECT_EQ(5, Count());
  band_->RemoveFilter(nullptr);  // no view: only the query and the refresh
  host_->PumpMessages();
  EXPECT_EQ(5, Count());
}

TEST_F(FilterTest, RunWhileDetachedAttachesFirst) {
  ASSERT_NO_FATAL_FAILURE(OpenFilter());
  Filter(L"alpha");
  ASSERT_EQ(1, Count());
  // Alt+F in the view detaches the wrapper; a later refresh shows everything again.
  SendMessageW(List(), WM_SYSCHAR, 'f', 0x20000000);
  EXPECT_FALSE(band_->Wrapper().IsAttached());
  Refresh();
  EXPECT_EQ(5, Count());
  Filter(L"zzz");
  EXPECT_TRUE(band_->Wrapper().IsAttached());
  EXPECT_EQ(0, Count());
  EXPECT_EQ(1u, band_->NoMatch());
}

TEST_F(FilterTest, RunOnAnotherListViewMovesTheWrapperThere) {
  ASSERT_NO_FATAL_FAILURE(OpenFilterDetached());
  HWND stale = CreateWindowExW(0, WC_LISTVIEWW, L"", WS_POPUP, 0, 0, 10, 10, nullptr, nullptr,
                               nullptr, nullptr);
  ASSERT_TRUE(band_->Wrapper().Attach(stale));
  Filter(L"beta");
  EXPECT_EQ(List(), band_->Wrapper().hwnd());
  EXPECT_EQ(std::vector<std::wstring>{L"beta.txt"}, Names());
  DestroyWindow(stale);
}

TEST_F(FilterTest, AltKeysThroughTheMessageLoop) {
  options_.visible = true;
  ASSERT_NO_FATAL_FAILURE(OpenFilter());
  Filter(L"doc");
  test::focusRequests = 0;
  SetFocus(List());
  int requests = 0;
  test::PressAltSInEachCase(List(), [this] { host_->PumpMessages(); }, [&](const char* name) {
    SCOPED_TRACE(name);
    EXPECT_EQ(++requests, test::focusRequests);
    EXPECT_TRUE(band_->Wrapper().IsAttached());
  });
  EXPECT_EQ(3, requests);
  PostMessageW(List(), WM_SYSKEYDOWN, 'F', 0x20000001 | (0x21 << 16));
  host_->PumpMessages();
  EXPECT_EQ(requests, test::focusRequests);
  EXPECT_FALSE(band_->Wrapper().IsAttached());
  Refresh();
  EXPECT_EQ(5, Count());
}

TEST_F(FilterTest, NavigationReattachesWithoutRunningWhenNoTree) {
  ASSERT_NO_FATAL_FAILURE(OpenFilter());
  ASSERT_TRUE(band_->Advise());
  band_->CurrentSettings().Options |= kAutoFilterWithTreeOption;
  Filter(L"doc");
  ASSERT_EQ(2, Count());
  HWND oldList = List();
  TempFolder other({L"one.doc", L"two.txt", L"three.txt"});
  ASSERT_TRUE(host_->Navigate(other.path().c_str()));
  host_->PumpMessages();
  ASSERT_NE(oldList, List());
  EXPECT_FALSE(IsWindow(oldList));
  // The old list view went with the wrapper detached; the event attached it to the new one.
  EXPECT_EQ(List(), band_->Wrapper().hwnd());
  EXPECT_EQ(3, Count());  // no run: the items inserted before the attachment stay
  // The old query, with the old folder's list, applies to later inserts.
  Refresh();
  EXPECT_EQ(std::vector<std::wstring>{L"one.doc"}, Names());
}

TEST_F(FilterTest, NavigationWithTheTreeRunsTheFilterOnTheNewFolder) {
  options_.folderTree = true;
  options_.visible = true;
  ASSERT_NO_FATAL_FAILURE(OpenFilter());
  ASSERT_TRUE(band_->Advise());
  band_->CurrentSettings().Options |= kAutoFilterWithTreeOption;
  band_->SetText(L"txt");
  SetFocus(band_->Edit());
  TempFolder other({L"one.doc", L"two.txt", L"three.txt"});
  ASSERT_TRUE(host_->Navigate(other.path().c_str()));
  host_->PumpMessages();
  EXPECT_EQ(List(), band_->Wrapper().hwnd());
  EXPECT_EQ(Sorted({L"two.txt", L"three.txt"}), Sorted(Names()));
  EXPECT_EQ(band_->Edit(), GetFocus());
  PIDLIST_ABSOLUTE expected = other.FolderIdList();
  EXPECT_TRUE(ILIsEqual(expected, band_->Wrapper().FolderId()));
  ILFree(expected);

  // Without the option, or with an empty text, no run.
  band_->CurrentSettings().Options &= ~kAutoFilterWithTreeOption;
  ASSERT_TRUE(host_->Navigate(folder_->path().c_str()));
  host_->PumpMessages();
  EXPECT_EQ(5, Count());
  band_->CurrentSettings().Options |= kAutoFilterWithTreeOption;
  band_->SetText(L"");
  ASSERT_TRUE(host_->Navigate(other.path().c_str()));
  host_->PumpMessages();
  EXPECT_EQ(3, Count());
  // Spaces count as text for the decision: the run then removes the filter.
  band_->SetText(L"  ");
  ASSERT_TRUE(host_->Navigate(folder_->path().c_str()));
  host_->PumpMessages();
  EXPECT_EQ(5, Count());
  EXPECT_STREQ(L"", band_->Wrapper().Query());
}

TEST_F(FilterTest, NavigationInSelectModeOnlyReattaches) {
  options_.folderTree = true;
  ASSERT_NO_FATAL_FAILURE(OpenFilterDetached(true));
  band_->CurrentSettings().Options |= kAutoFilterWithTreeOption;
  band_->CurrentSettings().RunMode = kRunModeSelect;
  band_->SetText(L"txt");
  ASSERT_FALSE(band_->Wrapper().IsAttached());
  TempFolder other({L"one.doc", L"two.txt"});
  ASSERT_TRUE(host_->Navigate(other.path().c_str()));
  host_->PumpMessages();
  EXPECT_EQ(List(), band_->Wrapper().hwnd());
  EXPECT_EQ(2, Count());
  EXPECT_TRUE(SelectedNames().empty());
  // An empty query lets everything through on a refresh.
  Refresh();
  EXPECT_EQ(2, Count());
}

TEST_F(FilterTest, StillAttachedWrapperStaysWhereItIs) {
  ASSERT_NO_FATAL_FAILURE(OpenFilterDetached());
  HWND elsewhere = CreateWindowExW(0, WC_LISTVIEWW, L"", WS_POPUP, 0, 0, 10, 10, nullptr, nullptr,
                                   nullptr, nullptr);
  ASSERT_TRUE(band_->Wrapper().Attach(elsewhere));
  EXPECT_EQ(S_OK, Fire(DISPID_DOCUMENTCOMPLETE));
  EXPECT_EQ(elsewhere, band_->Wrapper().hwnd());
  EXPECT_EQ(S_OK, Fire(DISPID_BEFORENAVIGATE2));  // ignored
  EXPECT_EQ(elsewhere, band_->Wrapper().hwnd());
  DestroyWindow(elsewhere);
  EXPECT_FALSE(band_->Wrapper().IsAttached());
  EXPECT_EQ(S_OK, Fire(DISPID_DOCUMENTCOMPLETE));
  EXPECT_EQ(List(), band_->Wrapper().hwnd());
}

TEST_F(FilterTest, InvokeWithoutArgumentsIsRefused) {
  ASSERT_NO_FATAL_FAILURE(OpenFilterDetached(true));
  for (DISPID dispid : {DISPID_DOCUMENTCOMPLETE, DISPID_ONQUIT, DISPID_BEFORENAVIGATE2}) {
    EXPECT_EQ(E_INVALIDARG,
              band_->Invoke(dispid, IID_NULL, 0, DISPATCH_METHOD, nullptr, nullptr, nullptr, nullptr));
  }
  EXPECT_FALSE(band_->Wrapper().IsAttached());
  EXPECT_EQ(1, host_->AdvisedSinkCount());
}

TEST_F(FilterTest, QuitDetachesAndDisconnectsWhileAttached) {
  ASSERT_NO_FATAL_FAILURE(OpenFilter());
  ASSERT_TRUE(band_->Advise());
  Filter(L"doc");
  ASSERT_TRUE(band_->Wrapper().IsAttached());
  HWND list = List();
  EXPECT_EQ(1, host_->AdvisedSinkCount());
  EXPECT_EQ(S_OK, Fire(DISPID_ONQUIT));
  EXPECT_EQ(0, host_->AdvisedSinkCount());
  EXPECT_FALSE(band_->Wrapper().IsAttached());
  EXPECT_EQ(0u, band_->EventCookie());
  Refresh();
  EXPECT_EQ(list, List());
  EXPECT_EQ(5, Count());
  // A second quit has nothing left to disconnect.
  EXPECT_EQ(S_OK, Fire(DISPID_ONQUIT));
}

TEST_F(FilterTest, QuitFromTheBrowserMayDestroyTheBand) {
  ASSERT_NO_FATAL_FAILURE(OpenFilter());
  bool destroyed = false;
  ComPtr<TestBand> band = MakeComObject<TestBand>(*host_, &destroyed);
  ASSERT_TRUE(band->Advise());
  ASSERT_EQ(1, host_->AdvisedSinkCount());
  band.reset();  // the connection holds the last reference now
  ASSERT_FALSE(destroyed);
  host_->Close();  // fires the quit event, then destroys the frame
  EXPECT_TRUE(destroyed);
  EXPECT_EQ(0, host_->AdvisedSinkCount());
}

TEST_F(FilterTest, QuitWithTheWrapperDetachedOnlyDisconnects) {
  ASSERT_NO_FATAL_FAILURE(OpenFilterDetached(true));
  ASSERT_FALSE(band_->Wrapper().IsAttached());
  host_->Close();
  EXPECT_EQ(0, host_->AdvisedSinkCount());
  EXPECT_FALSE(band_->Wrapper().IsAttached());
}

TEST_F(FilterTest, ListViewDestroyedWhileAttachedAndOwnerDestroyedWhileAttached) {
  ASSERT_NO_FATAL_FAILURE(OpenFilterDetached());
  WNDPROC original = reinterpret_cast<WNDPROC>(GetWindowLongPtrW(List(), GWLP_WNDPROC));
  Filter(L"doc");
  ASSERT_TRUE(band_->Wrapper().IsAttached());
  band_.reset();  // the band goes first: the list view gets its procedure back
  EXPECT_EQ(original, reinterpret_cast<WNDPROC>(GetWindowLongPtrW(List(), GWLP_WNDPROC)));
  Refresh();
  EXPECT_EQ(5, Count());

  band_ = MakeComObject<TestBand>(*host_);
  band_->CurrentSettings().RunMode = kRunModeFilter;
  Filter(L"doc");
  ASSERT_TRUE(band_->Wrapper().IsAttached());
  HWND old = List();
  TempFolder other({L"x.doc"});
  ASSERT_TRUE(host_->Navigate(other.path().c_str()));  // not advised: no re-attach
  EXPECT_FALSE(IsWindow(old));
  EXPECT_FALSE(band_->Wrapper().IsAttached());
  EXPECT_EQ(1, Count());
}

TEST_F(FilterTest, DirectUiLayoutFilters) {
  options_.directUiLayout = true;
  ASSERT_NO_FATAL_FAILURE(OpenFilter());
  Filter(L"txt");
  EXPECT_EQ(Sorted({L"alpha.txt", L"beta.txt"}), Sorted(Names()));
  Filter(L"");
  EXPECT_EQ(5, Count());
}

TEST_F(FilterTest, IdentifierListsLeftBehind) {
  // Every block still alive after a run is accounted for: the list of each shown item (the
  // shell view's, freed when the list view deletes the item), the folder list the wrapper now
  // holds, and the list the view made for every insert it was refused: the view frees an item's
  // list only when the list view deletes that item, so a refused one stays the view's. The
  // wrapper's own joins are all freed.
  ASSERT_NO_FATAL_FAILURE(OpenFilter(NumberedNames(40)));
  ASSERT_NE(nullptr, test::SharedSpy());
  test::AllocationSpy& spy = *test::SharedSpy();
  Filter(L"file000");  // warm-up; keeps file0000 ... file0009
  ASSERT_EQ(10, Count());
  spy.Reset();
  Filter(L"file000");
  const size_t afterRefill = spy.Live();
  const size_t refused = 40 - static_cast<size_t>(Count());
  EXPECT_EQ(10, Count());
  EXPECT_EQ(static_cast<size_t>(Count()) + refused + 1, afterRefill);

  spy.Reset();
  Filter(L"");  // the filter goes: the folder list stays with the wrapper, nothing is refused
  ASSERT_EQ(40, Count());
  EXPECT_EQ(40u, spy.Live());

  spy.Reset();
  Filter(L"zzz");
  EXPECT_EQ(0, Count());
  EXPECT_EQ(40u + 1u, spy.Live());
  std::printf("identifier lists left by the shell view: %u per refill of 40 items keeping 10\n",
              static_cast<unsigned>(afterRefill - 11));
}

TEST_F(FilterTest, BothModesSeeFilesChangedBetweenRunsAndNamesOfTheFolderShown) {
  for (DWORD mode : {kRunModeSelect, kRunModeFilter}) {
    SCOPED_TRACE(mode);
    ASSERT_NO_FATAL_FAILURE(Open({L"keep.txt", L"gone.txt", L"was.txt", L"will.doc"}));
    ASSERT_TRUE(band_->Advise());
    band_->CurrentSettings().RunMode = mode;
    auto picked = [&] {  // two keystrokes: the second run takes the names the first one kept
      for (int i = 0; i < 2; ++i) Run(L"*.txt");
      return Sorted(mode == kRunModeSelect ? SelectedNames() : Names());
    };
    EXPECT_EQ(Sorted({L"keep.txt", L"gone.txt", L"was.txt"}), picked());
    const std::wstring at = folder_->path() + L"\\";
    ASSERT_TRUE(DeleteFileW((at + L"gone.txt").c_str()));
    ASSERT_TRUE(MoveFileW((at + L"was.txt").c_str(), (at + L"was.doc").c_str()));
    ASSERT_TRUE(MoveFileW((at + L"will.doc").c_str(), (at + L"will.txt").c_str()));
    ASSERT_TRUE(folder_->AddFile(L"new.txt"));
    Refresh();
    EXPECT_EQ(Sorted({L"keep.txt", L"will.txt", L"new.txt"}), picked());
    TempFolder other({L"other.txt", L"other.doc"});
    ASSERT_TRUE(host_->Navigate(other.path().c_str()));
    EXPECT_EQ(std::vector<std::wstring>{L"other.txt"}, picked());
    ASSERT_TRUE(host_->Navigate(folder_->path().c_str()));
    EXPECT_EQ(Sorted({L"keep.txt", L"will.txt", L"new.txt"}), picked());
    TearDown();
  }
}

TEST_F(FilterTest, NameLongerThanAPathIsMatchedWhole) {
  // 255 characters in a folder of its own: the full path does not fit MAX_PATH.
  const std::wstring name = std::wstring(251, L'n') + L".txt";
  for (DWORD mode : {kRunModeSelect, kRunModeFilter}) {
    ASSERT_NO_FATAL_FAILURE(Open({name}));
    band_->CurrentSettings().RunMode = mode;
    const struct { const wchar_t* text; bool picked; } cases[] = {
        {L"*.txt", true}, {L"*.doc", false}, {L"n.txt", true}};
    for (const auto& c : cases) {
      Run(c.text);
      EXPECT_EQ(c.picked, mode == kRunModeSelect ? Selected(0) : Count() == 1) << mode << " " << c.text;
    }
    TearDown();
  }
}
