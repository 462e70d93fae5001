// The locator on window trees built from Explorer's class names.
#include <windows.h>
#include <commctrl.h>
#include <gtest/gtest.h>

#include <vector>

#include "view/view_locator.h"

using namespace vantorel;

namespace {

void RegisterPlainClass(const wchar_t* name) {
  WNDCLASSW wc = {};
  wc.lpfnWndProc = DefWindowProcW;
  wc.hInstance = GetModuleHandleW(nullptr);
  wc.lpszClassName = name;
  RegisterClassW(&wc);  // a second registration fails harmlessly
}

// Builds and destroys a tree of windows below one top-level window.
class Tree {
 public:
  Tree() {
    for (const wchar_t* name : {L"VantorelTestFrame", L"SHELLDLL_DefView", L"DUIViewWndClassName",
                                L"DirectUIHWND", L"CtrlNotifySink", L"BaseBar", L"VantorelTestOther"}) {
      RegisterPlainClass(name);
    }
    top = CreateWindowExW(0, L"VantorelTestFrame", L"frame", WS_OVERLAPPEDWINDOW, 0, 0, 400, 300,
                          nullptr, nullptr, GetModuleHandleW(nullptr), nullptr);
  }
  ~Tree() { DestroyWindow(top); }
  HWND Add(HWND parent, const wchar_t* cls, DWORD style = WS_CHILD | WS_VISIBLE) {
    return CreateWindowExW(0, cls, L"", style, 0, 0, 50, 50, parent, nullptr,
                           GetModuleHandleW(nullptr), nullptr);
  }
  // Each class a child of the one before, the first one a child of parent; returns the last.
  HWND Chain(HWND parent, const std::vector<const wchar_t*>& classes) {
    for (const wchar_t* cls : classes) parent = Add(parent, cls);
    return parent;
  }
  // SHELLDLL_DefView > DUIViewWndClassName > DirectUIHWND > CtrlNotifySink; returns the sink.
  HWND AddDirectUiPath(HWND view) {
    return Chain(view, {L"DUIViewWndClassName", L"DirectUIHWND", L"CtrlNotifySink"});
  }
  HWND top = nullptr;
};

}  // namespace

TEST(ViewLocator, FindsTheListViewDirectlyUnderTheViewHost) {
  Tree tree;
  ASSERT_NE(nullptr, tree.top);
  HWND list = tree.Chain(tree.top, {L"SHELLDLL_DefView", WC_LISTVIEWW});
  ASSERT_NE(nullptr, list);
  EXPECT_EQ(list, FindFolderListView(tree.top));
}

TEST(ViewLocator, FindsTheListViewOnTheDirectUiPath) {
  Tree tree;
  HWND view = tree.Add(tree.top, L"SHELLDLL_DefView");
  HWND sink = tree.AddDirectUiPath(view);
  HWND list = tree.Add(sink, WC_LISTVIEWW);
  ASSERT_NE(nullptr, list);
  EXPECT_EQ(list, FindFolderListView(tree.top));
}

TEST(ViewLocator, DirectChildWinsOverTheDirectUiPath) {
  Tree tree;
  HWND view = tree.Add(tree.top, L"SHELLDLL_DefView");
  HWND sink = tree.AddDirectUiPath(view);
  HWND deepList = tree.Add(sink, WC_LISTVIEWW);
  HWND directList = tree.Add(view, WC_LISTVIEWW);
  ASSERT_NE(nullptr, deepList);
  EXPECT_EQ(directList, FindFolderListView(tree.top));
}

TEST(ViewLocator, MissingStepsGiveNoWindow) {
  const struct {
    const char* what;
    std::vector<const wchar_t*> chain;  // below the top-level window, each the parent of the next
  } cases[] = {
      {"no view host at all, only a list view elsewhere", {WC_LISTVIEWW}},
      {"view host with neither a list view nor a DirectUI host", {L"SHELLDLL_DefView", L"VantorelTestOther"}},
      {"DirectUI host without its surface", {L"SHELLDLL_DefView", L"DUIViewWndClassName", L"CtrlNotifySink"}},
      {"surface without a control host",
       {L"SHELLDLL_DefView", L"DUIViewWndClassName", L"DirectUIHWND", WC_LISTVIEWW}},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.what);
    Tree tree;
    tree.Chain(tree.top, c.chain);
    EXPECT_EQ(nullptr, FindFolderListView(tree.top));
  }
  EXPECT_EQ(nullptr, FindFolderListView(static_cast<HWND>(nullptr)));
  EXPECT_EQ(nullptr, FindFolderListView(static_cast<IWebBrowser2*>(nullptr)));
  EXPECT_EQ(nullptr, FindFolderTree(static_cast<IWebBrowser2*>(nullptr)));
}

TEST(ViewLocator, OnlyTheFirstControlHostAndDirectChildrenCount) {
  Tree tree;
  HWND view = tree.Add(tree.top, L"SHELLDLL_DefView");
  HWND firstSink = tree.AddDirectUiPath(view);
  HWND surface = GetParent(firstSink);
  HWND secondSink = tree.Add(surface, L"CtrlNotifySink");
  ASSERT_EQ(firstSink, FindWindowExW(surface, nullptr, L"CtrlNotifySink", nullptr));
  tree.Add(secondSink, WC_LISTVIEWW);
  EXPECT_EQ(nullptr, FindFolderListView(tree.top));

  // A list view one level too deep under the view host is a grandchild, never searched.
  Tree other;
  other.Chain(other.top, {L"SHELLDLL_DefView", L"VantorelTestOther", WC_LISTVIEWW});
  EXPECT_EQ(nullptr, FindFolderListView(other.top));
}

TEST(ViewLocator, TakesTheFirstViewHostInChildOrder) {
  Tree tree;
  HWND first = tree.Add(tree.top, L"SHELLDLL_DefView");
  HWND second = tree.Add(tree.top, L"SHELLDLL_DefView");
  HWND secondList = tree.Add(second, WC_LISTVIEWW);
  ASSERT_NE(nullptr, secondList);
  ASSERT_EQ(first, FindWindowExW(tree.top, nullptr, L"SHELLDLL_DefView", nullptr));
  EXPECT_EQ(nullptr, FindFolderListView(tree.top));
  HWND firstList = tree.Add(first, WC_LISTVIEWW);
  EXPECT_EQ(firstList, FindFolderListView(tree.top));
}

TEST(ViewLocator, FolderTreeCountsWhenPresentEvenHidden) {
  Tree tree;
  EXPECT_EQ(nullptr, FindFolderTree(tree.top));
  HWND bar = tree.Add(tree.top, L"BaseBar");
  EXPECT_EQ(nullptr, FindFolderTree(tree.top));
  HWND rebar = tree.Add(bar, REBARCLASSNAMEW);
  ASSERT_NE(nullptr, rebar);
  EXPECT_EQ(nullptr, FindFolderTree(tree.top));  // another pane: no tree in the rebar
  tree.Add(rebar, L"VantorelTestOther");
  EXPECT_EQ(nullptr, FindFolderTree(tree.top));
  HWND treeView = tree.Add(rebar, WC_TREEVIEWW, WS_CHILD);  // hidden
  ASSERT_NE(nullptr, treeView);
  ASSERT_FALSE(IsWindowVisible(treeView));
  EXPECT_EQ(treeView, FindFolderTree(tree.top));
}
