#include <windows.h>
#include <commctrl.h>
#include <gtest/gtest.h>
#include <olectl.h>
#include <shlwapi.h>

#include "framework/module.h"
#include "framework/unique_pidl.h"
#include "host/explorer_host.h"
#include "tests/host/test_support.h"

using namespace vantorel;
using namespace vantorel::host;
using namespace vantorel::host::test;

namespace {

std::unique_ptr<ExplorerHost> MakeHost(bool directUi = false, bool tree = false) {
  HostOptions options;
  options.directUiLayout = directUi;
  options.folderTree = tree;
  return ExplorerHost::Create(options);
}

ComPtr<IConnectionPoint> EventPoint(ExplorerHost& host) {
  ComPtr<IWebBrowser2> browser;
  browser.attach(host.Browser());
  ComPtr<IConnectionPointContainer> container;
  ComPtr<IConnectionPoint> point;
  if (SUCCEEDED(browser.As(container))) container->FindConnectionPoint(DIID_DWebBrowserEvents2, point.put());
  return point;
}

int g_inserts = 0;
bool g_refuseOdd = false;
LRESULT CALLBACK CountInserts(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam, UINT_PTR, DWORD_PTR) {
  if (msg == LVM_INSERTITEMW) {
    ++g_inserts;
    if (g_refuseOdd && (g_inserts % 2)) return -1;
  }
  return DefSubclassProc(hwnd, msg, wParam, lParam);
}

}  // namespace

// The frame holds the platform's own folder view as its direct child, with the folder's items.
TEST(ExplorerHost, FrameShowsTheFolderInTheRealShellView) {
  LONG locks = Module::LockCount();
  TempFolder folder(NumberedNames(12));
  {
    auto host = MakeHost();
    ASSERT_TRUE(host);
    ASSERT_TRUE(host->Navigate(folder.path().c_str()));
    HWND view = FindWindowExW(host->Frame(), nullptr, L"SHELLDLL_DefView", nullptr);
    ASSERT_NE(nullptr, view);
    EXPECT_EQ(view, host->ShellViewWindow());
    HWND list = FindWindowExW(view, nullptr, L"SysListView32", nullptr);
    ASSERT_NE(nullptr, list);
    EXPECT_EQ(list, host->ListView());
    EXPECT_EQ(NumberedNames(12), Sorted(ItemNames(list, host->CurrentFolder())));
    // The band's parent strip sits above the view.
    RECT strip, viewRect;
    GetWindowRect(host->ToolbarStrip(), &strip);
    GetWindowRect(view, &viewRect);
    EXPECT_LE(strip.bottom, viewRect.top);
    EXPECT_GT(viewRect.bottom - viewRect.top, 100);
    host->Close();
    EXPECT_TRUE(host->IsClosed());
    EXPECT_FALSE(IsWindow(view));
  }
  EXPECT_EQ(locks, Module::LockCount());
}

TEST(ExplorerHost, BrowserAnswersWindowServicesAndTheActiveView) {
  TempFolder folder(NumberedNames(3));
  auto host = MakeHost();
  ASSERT_TRUE(host && host->Navigate(folder.path().c_str()));
  ComPtr<IWebBrowser2> browser;
  browser.attach(host->Browser());
  SHANDLE_PTR hwnd = 0;
  EXPECT_EQ(S_OK, browser->get_HWND(&hwnd));
  EXPECT_EQ(host->Frame(), reinterpret_cast<HWND>(hwnd));
  host->SetGetHwndFails(true);
  EXPECT_TRUE(FAILED(browser->get_HWND(&hwnd)));
  EXPECT_EQ(0, hwnd);
  host->SetGetHwndFails(false);

  // The band reaches the browser through its site's service provider.
  ComPtr<IUnknown> site;
  site.attach(host->Site());
  ComPtr<IServiceProvider> services;
  ASSERT_EQ(S_OK, site.As(services));
  ComPtr<IWebBrowser2> viaSite;
  ASSERT_EQ(S_OK, services->QueryService(SID_SWebBrowserApp, IID_IWebBrowser2, viaSite.put_void()));
  EXPECT_EQ(browser.get(), viaSite.get());
  ComPtr<IShellBrowser> shellBrowser;
  ASSERT_EQ(S_OK, services->QueryService(SID_SShellBrowser, IID_IShellBrowser, shellBrowser.put_void()));
  ComPtr<IUnknown> unknown;
  GUID other = {0x12345678, 0x1234, 0x1234, {1, 2, 3, 4, 5, 6, 7, 8}};
  EXPECT_TRUE(FAILED(services->QueryService(other, IID_IUnknown, unknown.put_void())));
  EXPECT_FALSE(unknown);
  ComPtr<IOleWindow> siteWindow;
  ASSERT_EQ(S_OK, site.As(siteWindow));
  HWND strip = nullptr;
  EXPECT_EQ(S_OK, siteWindow->GetWindow(&strip));
  EXPECT_EQ(host->ToolbarStrip(), strip);

  // The selection run's path to the shown folder.
  ComPtr<IShellView> view;
  ASSERT_EQ(S_OK, shellBrowser->QueryActiveShellView(view.put()));
  ComPtr<IFolderView> folderView;
  ASSERT_EQ(S_OK, view.As(folderView));
  ComPtr<IPersistFolder2> persist;
  ASSERT_EQ(S_OK, folderView->GetFolder(IID_IPersistFolder2, persist.put_void()));
  UniquePidl current;
  ASSERT_EQ(S_OK, persist->GetCurFolder(reinterpret_cast<PIDLIST_ABSOLUTE*>(current.put())));
  wchar_t path[MAX_PATH];
  ASSERT_TRUE(SHGetPathFromIDListW(current.get(), path));
  EXPECT_EQ(0, lstrcmpiW(folder.path().c_str(), path));

  UINT count = 99;
  EXPECT_EQ(S_OK, browser->GetTypeInfoCount(&count));
  EXPECT_EQ(0u, count);
  EXPECT_EQ(E_NOTIMPL, browser->GoBack());
  host->Close();
  // A browser that outlives its frame answers with failures.
  EXPECT_TRUE(FAILED(browser->get_HWND(&hwnd)));
  EXPECT_TRUE(FAILED(shellBrowser->QueryActiveShellView(view.put())));
}

// Navigation replaces the view window and then tells every sink, with the URL and browser.
TEST(ExplorerHost, NavigationReplacesTheViewAndFiresDocumentComplete) {
  TempFolder first(NumberedNames(4, L"first"));
  TempFolder second(NumberedNames(6, L"second"));
  auto host = MakeHost();
  ASSERT_TRUE(host);
  static ExplorerHost* current = nullptr;
  current = host.get();
  ComPtr<TestSink> sink = MakeComObject<TestSink>();
  sink->probe = [] { return current->ListView(); };
  ComPtr<IConnectionPoint> point = EventPoint(*host);
  ASSERT_TRUE(point);
  DWORD cookie = 0;
  ASSERT_EQ(S_OK, point->Advise(static_cast<IDispatch*>(sink.get()), &cookie));
  EXPECT_NE(0u, cookie);
  EXPECT_EQ(1, host->AdvisedSinkCount());

  ASSERT_TRUE(host->Navigate(first.path().c_str()));
  HWND oldView = host->ShellViewWindow();
  HWND oldList = host->ListView();
  ASSERT_TRUE(host->Navigate(second.path().c_str()));
  EXPECT_FALSE(IsWindow(oldView));
  EXPECT_FALSE(IsWindow(oldList));
  ASSERT_TRUE(IsWindow(host->ListView()));
  EXPECT_EQ(NumberedNames(6, L"second"), Sorted(ItemNames(host->ListView(), host->CurrentFolder())));

  EXPECT_EQ((std::vector<DISPID>{DISPID_DOCUMENTCOMPLETE, DISPID_DOCUMENTCOMPLETE}), sink->events);
  EXPECT_TRUE(sink->argumentsWellFormed);
  ASSERT_EQ(2u, sink->urls.size());
  EXPECT_EQ(0, lstrcmpiW(second.path().c_str(), sink->urls[1].c_str()));
  // The event comes once the new view is filled in.
  EXPECT_EQ(host->ListView(), sink->viewAtDocumentComplete);

  EXPECT_FALSE(host->Navigate(L"C:\\no\\such\\folder\\at\\all"));
  EXPECT_EQ(S_OK, point->Unadvise(cookie));
  EXPECT_EQ(CONNECT_E_NOCONNECTION, point->Unadvise(cookie));
  EXPECT_EQ(0, host->AdvisedSinkCount());
  ASSERT_TRUE(host->Navigate(first.path().c_str()));
  EXPECT_EQ(2u, sink->events.size());
}

// Close fires the quit event; a sink may unadvise from inside it and go away right there.
TEST(ExplorerHost, CloseFiresQuitAndSinksMayUnadviseFromInsideInvoke) {
  LONG locks = Module::LockCount();
  TempFolder folder(NumberedNames(2));
  bool selfDestroyed = false, keptDestroyed = false;
  {
    auto host = MakeHost();
    ASSERT_TRUE(host && host->Navigate(folder.path().c_str()));
    ComPtr<IConnectionPoint> point = EventPoint(*host);
    ASSERT_TRUE(point);
    {
      ComPtr<TestSink> leaving = MakeComObject<TestSink>(&selfDestroyed);
      leaving->disconnectOnQuit = true;
      leaving->point = point;
      ASSERT_EQ(S_OK, point->Advise(static_cast<IDispatch*>(leaving.get()), &leaving->cookie));
    }  // only the connection point holds it now
    ComPtr<TestSink> staying = MakeComObject<TestSink>(&keptDestroyed);
    DWORD stayingCookie = 0;
    ASSERT_EQ(S_OK, point->Advise(static_cast<IDispatch*>(staying.get()), &stayingCookie));
    EXPECT_EQ(2, host->AdvisedSinkCount());
    EXPECT_FALSE(selfDestroyed);

    HWND frame = host->Frame();
    host->Close();
    EXPECT_TRUE(selfDestroyed);
    EXPECT_FALSE(keptDestroyed);
    EXPECT_FALSE(IsWindow(frame));
    EXPECT_EQ(1, host->AdvisedSinkCount());
    EXPECT_EQ(std::vector<DISPID>{DISPID_ONQUIT}, staying->events);
    host->Close();  // once only
    EXPECT_EQ(1u, staying->events.size());
    EXPECT_EQ(S_OK, point->Unadvise(stayingCookie));
  }
  EXPECT_TRUE(keptDestroyed);
  EXPECT_EQ(locks, Module::LockCount());
}

// Refresh empties the view and inserts every item again through the list view's procedure.
TEST(ExplorerHost, RefreshReinsertsThroughTheListViewProcedure) {
  for (bool directUi : {false, true}) {
    SCOPED_TRACE(directUi ? "DirectUI layout" : "list view layout");
    TempFolder folder(NumberedNames(7));
    auto host = MakeHost(directUi);
    ASSERT_TRUE(host && host->Navigate(folder.path().c_str()));
    HWND list = host->ListView();
    ASSERT_NE(nullptr, list);
    folder.AddFile(L"added.txt");
    g_inserts = 0;
    SetWindowSubclass(list, &CountInserts, 1, 0);
    ComPtr<IWebBrowser2> browser;
    browser.attach(host->Browser());
    EXPECT_EQ(S_OK, browser->Refresh());
    EXPECT_EQ(8, g_inserts);
    EXPECT_EQ(8, SendMessageW(list, LVM_GETITEMCOUNT, 0, 0));
    RemoveWindowSubclass(list, &CountInserts, 1);
  }
}

// The DirectUI layout: the list view sits on Explorer's later path and its items hold the
// folder's own relative identifier lists, which the stand-in frees when the items go.
TEST(ExplorerHost, DirectUiLayoutHoldsResolvableItemsOnItsOwnPath) {
  LONG locks = Module::LockCount();
  TempFolder folder(NumberedNames(9));
  {
    auto host = MakeHost(true);
    ASSERT_TRUE(host && host->Navigate(folder.path().c_str()));
    HWND frame = host->Frame();
    HWND defView = FindWindowExW(frame, nullptr, L"SHELLDLL_DefView", nullptr);
    ASSERT_NE(nullptr, defView);
    EXPECT_EQ(nullptr, FindWindowExW(defView, nullptr, L"SysListView32", nullptr));
    HWND dui = FindWindowExW(defView, nullptr, L"DUIViewWndClassName", nullptr);
    HWND surface = FindWindowExW(dui, nullptr, L"DirectUIHWND", nullptr);
    HWND sink = FindWindowExW(surface, nullptr, L"CtrlNotifySink", nullptr);
    HWND list = FindWindowExW(sink, nullptr, L"SysListView32", nullptr);
    ASSERT_NE(nullptr, list);
    EXPECT_EQ(list, host->ListView());
    // Only one SHELLDLL_DefView under the frame: the platform's view is parked elsewhere.
    EXPECT_EQ(nullptr, FindWindowExW(frame, defView, L"SHELLDLL_DefView", nullptr));
    EXPECT_EQ(NumberedNames(9), ItemNames(list, host->CurrentFolder()));
    EXPECT_EQ(9, host->OwnedIdListCount());

    // The active view still answers with the shown folder.
    ComPtr<IWebBrowser2> browser;
    browser.attach(host->Browser());
    ComPtr<IShellBrowser> shellBrowser;
    ASSERT_EQ(S_OK, browser.As(shellBrowser));
    ComPtr<IShellView> view;
    ASSERT_EQ(S_OK, shellBrowser->QueryActiveShellView(view.put()));
    ComPtr<IFolderView> folderView;
    ASSERT_EQ(S_OK, view.As(folderView));
    ComPtr<IPersistFolder2> persist;
    ASSERT_EQ(S_OK, folderView->GetFolder(IID_IPersistFolder2, persist.put_void()));
    UniquePidl current;
    ASSERT_EQ(S_OK, persist->GetCurFolder(reinterpret_cast<PIDLIST_ABSOLUTE*>(current.put())));
    EXPECT_TRUE(ILIsEqual(current.get(), host->CurrentFolder()));

    // Deleting items frees their lists; refused inserts are freed by the inserter.
    SendMessageW(list, LVM_DELETEITEM, 0, 0);
    EXPECT_EQ(8, host->OwnedIdListCount());
    g_inserts = 0;
    g_refuseOdd = true;
    SetWindowSubclass(list, &CountInserts, 1, 0);
    EXPECT_TRUE(host->Refresh());
    g_refuseOdd = false;
    RemoveWindowSubclass(list, &CountInserts, 1);
    EXPECT_EQ(9, g_inserts);
    EXPECT_EQ(4, SendMessageW(list, LVM_GETITEMCOUNT, 0, 0));
    EXPECT_EQ(4, host->OwnedIdListCount());
    for (const std::wstring& name : ItemNames(list, host->CurrentFolder())) {
      EXPECT_NE(L"<unresolved>", name);
    }

    // A navigation replaces the whole DirectUI tree.
    TempFolder other(NumberedNames(3, L"other"));
    ASSERT_TRUE(host->Navigate(other.path().c_str()));
    EXPECT_FALSE(IsWindow(list));
    EXPECT_EQ(3, host->OwnedIdListCount());
    EXPECT_EQ(NumberedNames(3, L"other"), ItemNames(host->ListView(), host->CurrentFolder()));
    host->Close();
    EXPECT_EQ(0, host->OwnedIdListCount());
  }
  EXPECT_EQ(locks, Module::LockCount());
}

TEST(ExplorerHost, FolderTreePaneComesAndGoes) {
  TempFolder folder(NumberedNames(2));
  auto host = MakeHost(false, true);
  ASSERT_TRUE(host && host->Navigate(folder.path().c_str()));
  HWND bar = FindWindowExW(host->Frame(), nullptr, L"BaseBar", nullptr);
  HWND rebar = FindWindowExW(bar, nullptr, L"ReBarWindow32", nullptr);
  HWND tree = FindWindowExW(rebar, nullptr, L"SysTreeView32", nullptr);
  ASSERT_NE(nullptr, tree);
  EXPECT_EQ(tree, host->FolderTree());
  // The tree shows the path down to the folder, the folder itself selected.
  HTREEITEM selected = reinterpret_cast<HTREEITEM>(SendMessageW(tree, TVM_GETNEXTITEM, TVGN_CARET, 0));
  ASSERT_NE(nullptr, selected);
  wchar_t text[MAX_PATH] = L"";
  TVITEMW item = {};
  item.mask = TVIF_TEXT;
  item.hItem = selected;
  item.pszText = text;
  item.cchTextMax = MAX_PATH;
  TreeView_GetItem(tree, &item);
  EXPECT_STREQ(PathFindFileNameW(folder.path().c_str()), text);
  // The view sits beside the pane, not under it.
  RECT treeRect, viewRect;
  GetWindowRect(bar, &treeRect);
  GetWindowRect(host->ShellViewWindow(), &viewRect);
  EXPECT_LE(treeRect.right, viewRect.left);

  host->ShowFolderTree(false);
  EXPECT_EQ(nullptr, host->FolderTree());
  EXPECT_FALSE(IsWindow(tree));
  EXPECT_EQ(nullptr, FindWindowExW(host->Frame(), nullptr, L"BaseBar", nullptr));
  host->ShowFolderTree(true);
  EXPECT_NE(nullptr, host->FolderTree());
}

// Hosting a band like Explorer, and Explorer's key routing around it.
TEST(ExplorerHost, HostsTheBandAndRoutesKeysThroughIt) {
  LONG locks = Module::LockCount();
  TempFolder folder(NumberedNames(3));
  BandLog log;
  {
    HostOptions options;
    options.visible = true;
    auto host = ExplorerHost::Create(options);
    ASSERT_TRUE(host && host->Navigate(folder.path().c_str()));
    ComPtr<TestBand> band = MakeComObject<TestBand>(&log);
    ASSERT_EQ(S_OK, host->AddBand(static_cast<IObjectWithSite*>(band.get())));
    std::vector<std::string> expected = {"SetSite", "GetBandInfo", "ShowDW(TRUE)"};
    EXPECT_EQ(expected, log.calls);
    HWND edit = band->window();
    EXPECT_EQ(edit, host->BandWindow());
    EXPECT_EQ(host->ToolbarStrip(), GetParent(edit));
    EXPECT_TRUE(IsWindowVisible(edit));
    RECT outer;
    GetWindowRect(edit, &outer);
    EXPECT_EQ(24, outer.bottom - outer.top);  // the band's minimum height
    EXPECT_GT(outer.right - outer.left, 120);
    EXPECT_EQ(E_UNEXPECTED, host->AddBand(static_cast<IObjectWithSite*>(band.get())));

    SetFocus(edit);
    ASSERT_EQ(edit, GetFocus());
    auto key = [&](UINT message, WPARAM vk) {
      MSG msg = {GetFocus(), message, vk, 1, 0, {}};
      return host->RouteKey(msg);
    };
    EXPECT_TRUE(key(WM_KEYDOWN, VK_RETURN));
    EXPECT_EQ(1, band->enters);
    EXPECT_TRUE(key(WM_KEYDOWN, 'X'));
    EXPECT_EQ(1, band->dispatchedByBand);
    EXPECT_FALSE(key(WM_CHAR, 'a'));  // S_FALSE for other keys: the host dispatches them
    EXPECT_EQ(-1, host->LastFocusReport());
    EXPECT_TRUE(key(WM_KEYDOWN, VK_TAB));
    EXPECT_EQ(1, host->LastFocusReport());
    EXPECT_EQ(host->ListView(), GetFocus());
    // Without the focus the band is not asked.
    EXPECT_FALSE(key(WM_KEYDOWN, VK_RETURN));
    EXPECT_EQ(1, band->enters);

    // Posted keys go the same way through the pump.
    SetFocus(edit);
    PostMessageW(edit, WM_KEYDOWN, VK_RETURN, 1);
    host->PumpMessages();
    EXPECT_EQ(2, band->enters);

    host->RemoveBand();
    expected = {"SetSite", "GetBandInfo", "ShowDW(TRUE)", "ShowDW(FALSE)", "CloseDW", "SetSite(NULL)"};
    EXPECT_EQ(expected, log.calls);
    EXPECT_EQ(nullptr, host->Band());
    EXPECT_FALSE(log.destroyed);
    band.reset();
    EXPECT_TRUE(log.destroyed);
    EXPECT_FALSE(key(WM_KEYDOWN, VK_RETURN));

    // A band still hosted at close is let go the same way, after the quit event.
    BandLog second;
    ComPtr<TestBand> another = MakeComObject<TestBand>(&second);
    ASSERT_EQ(S_OK, host->AddBand(static_cast<IObjectWithSite*>(another.get())));
    another.reset();
    host->Close();
    EXPECT_TRUE(second.destroyed);
    EXPECT_EQ("SetSite(NULL)", second.calls[second.calls.size() - 2]);
  }
  EXPECT_EQ(locks, Module::LockCount());
}
