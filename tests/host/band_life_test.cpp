// A whole band life in an Explorer window leaves nothing behind: sited, runs in both modes, the
// settings dialog, navigation with and without the folder tree, the clear command, quit. Counted
// with measures that Wine really answers (each checked first): the thread's windows, GDI objects
// and menus found by probing the handle tables, the COM task allocator's live blocks (identifier
// lists), the browser's event connections, the module's lock count and its unloading.
#include <windows.h>
#include <commctrl.h>
#include <shlobj.h>
#include <gtest/gtest.h>

#include <algorithm>
#include <map>
#include <set>
#include <string>
#include <vector>

#include "tests/host/window_test_support.h"
#include "tests/view/view_test_support.h"

using namespace vantorel;
using namespace vantorel::host;
using namespace vantorel::host::test;

namespace {

constexpr UINT kClearMessage = WM_APP + 5;  // a press on the clear glyph

// Live GDI objects of the process. The handle table takes an index without its upper word, so
// every slot can be asked for its object type.
int CountGdiObjects() {
  int count = 0;
  for (ULONG_PTR index = 1; index < 0x10000; ++index) {
    if (GetObjectType(reinterpret_cast<HGDIOBJ>(index))) ++count;
  }
  return count;
}

// Live menus of the process, probed the same way through the user handle table.
int CountMenus() {
  int count = 0;
  for (ULONG_PTR index = 0x20; index < 0x10000; index += 2) {
    if (IsMenu(reinterpret_cast<HMENU>(index))) ++count;
  }
  return count;
}

// The platform's shell view clones an item's identifier list for the list view's item; when the
// filter refuses the insert, the item never exists and nobody frees the clone, which would count
// as live here. This hook plays the owner that frees it: an insert whose item is not in the list
// at the index the call answered.
int g_refusedItems = 0;
LRESULT CALLBACK FreeRefusedItems(int code, WPARAM wParam, LPARAM lParam) {
  auto* call = reinterpret_cast<CWPRETSTRUCT*>(lParam);
  if (code == HC_ACTION && call->message == LVM_INSERTITEMW && call->lParam && ClassOf(call->hwnd) == WC_LISTVIEWW) {
    auto* item = reinterpret_cast<LVITEMW*>(call->lParam);
    LVITEMW landed = {};
    landed.mask = LVIF_PARAM;
    landed.iItem = static_cast<int>(call->lResult);
    bool inList = call->lResult >= 0 && SendMessageW(call->hwnd, LVM_GETITEMW, 0, reinterpret_cast<LPARAM>(&landed)) &&
                  landed.lParam == item->lParam;
    if ((item->mask & LVIF_PARAM) && item->lParam && !inList) {
      ILFree(reinterpret_cast<PIDLIST_RELATIVE>(item->lParam));
      ++g_refusedItems;
    }
  }
  return CallNextHookEx(nullptr, code, wParam, lParam);
}

// The order in which the thread's windows get WM_DESTROY (a parent gets it before its children).
std::vector<HWND> g_destroyed;
LRESULT CALLBACK RecordDestruction(int code, WPARAM wParam, LPARAM lParam) {
  auto* call = reinterpret_cast<CWPSTRUCT*>(lParam);
  if (code == HC_ACTION && call->message == WM_DESTROY) g_destroyed.push_back(call->hwnd);
  return CallNextHookEx(nullptr, code, wParam, lParam);
}

void AddDescendants(HWND parent, std::set<HWND>& into) {
  into.insert(parent);
  for (HWND child = GetWindow(parent, GW_CHILD); child; child = GetWindow(child, GW_HWNDNEXT)) {
    AddDescendants(child, into);
  }
}

std::set<HWND> ThreadWindows() {
  std::set<HWND> windows;
  EnumThreadWindows(
      GetCurrentThreadId(),
      [](HWND window, LPARAM out) {
        reinterpret_cast<std::set<HWND>*>(out)->insert(window);
        return TRUE;
      },
      reinterpret_cast<LPARAM>(&windows));
  return windows;
}

struct LifeResult {
  bool stepsOk = true;
  int sinksAfterQuit = -1;
  std::vector<std::wstring> leftWindows;  // classes of the thread's windows that were not there before
  int bandWindows = 0;                    // the band's windows (its window, their children, its dialog)
  int destroyedByTheFrame = 0;            // of those, destroyed only with the frame, not by the band
  std::vector<std::wstring> lateWindows;  // their classes
  std::vector<std::string> lines;
};

// One band life in a window thread opened without a band.
LifeResult LiveOnce(ModuleCopy& module, const std::wstring& folder, const std::wstring& other) {
  WindowThreadSetup setup;
  setup.folder = folder;
  LifeResult result;
  std::wstring error;
  auto window = ExplorerWindowThread::Start(setup, error);
  if (!window) {
    result.stepsOk = false;
    return result;
  }
  window->Call([&](ExplorerHost& host) {
    std::set<HWND> before = ThreadWindows();
    HHOOK hook = SetWindowsHookExW(WH_CALLWNDPROCRET, &FreeRefusedItems, nullptr, GetCurrentThreadId());
    ComPtr<IUnknown> band;
    if (FAILED(module.band().NewBand(band)) || FAILED(host.AddBand(band.get()))) {
      result.stepsOk = false;
      return;
    }
    band.reset();
    host.Navigate(folder.c_str());
    host.PumpMessages();
    {
      ScenarioRunner runner(host, [&result](const std::string& line) { result.lines.push_back(line); },
                            module.SettingPath());
      std::wstring error;
      auto step = [&](Kind kind, const std::wstring& argument) {
        result.stepsOk = runner.Run({kind, argument}, error) && result.stepsOk;
      };
      step(Kind::Type, L"b*");
      step(Kind::Key, L"enter");
      step(Kind::Print, L"selected");
      ChooseFromModeMenu(host, ModeMenuItem::Filter);
      step(Kind::Key, L"escape");
      step(Kind::Type, L"a*");
      step(Kind::Key, L"enter");
      step(Kind::Print, L"shown");
      ChooseFromModeMenu(host, ModeMenuItem::Settings);
      step(Kind::Dialog, L"check:207");
      step(Kind::Dialog, L"check:201");
      step(Kind::Dialog, L"ok");
      ChooseFromModeMenu(host, ModeMenuItem::Settings);
      step(Kind::Dialog, L"cancel");
      host.ShowFolderTree(true);
      step(Kind::Navigate, other);  // filtered again after the navigation, the tree being shown
      step(Kind::Print, L"shown");
      host.ShowFolderTree(false);
      step(Kind::Navigate, folder);
      SendMessageW(host.BandWindow(), kClearMessage, 0, 0);
      ChooseFromModeMenu(host, ModeMenuItem::Select);
      step(Kind::Type, L"zzz");
      step(Kind::Key, L"enter");
    }
    // The band's windows: its own window with what is inside, and the top-level windows it made.
    std::set<HWND> bandWindows;
    AddDescendants(host.BandWindow(), bandWindows);
    for (HWND top : ThreadWindows()) {
      if (!before.count(top)) bandWindows.insert(top);
    }
    std::map<HWND, std::wstring> classes;
    for (HWND window : bandWindows) classes[window] = ClassOf(window);
    HWND frame = host.Frame();
    g_destroyed.clear();
    HHOOK destruction = SetWindowsHookExW(WH_CALLWNDPROC, &RecordDestruction, nullptr, GetCurrentThreadId());
    // Quit as Explorer does: the quit event, the band let go, the frame destroyed.
    host.Close();
    if (destruction) UnhookWindowsHookEx(destruction);
    auto frameGone = std::find(g_destroyed.begin(), g_destroyed.end(), frame);
    result.bandWindows = static_cast<int>(bandWindows.size());
    for (HWND window : bandWindows) {
      if (std::find(g_destroyed.begin(), frameGone, window) == frameGone) {
        ++result.destroyedByTheFrame;
        result.lateWindows.push_back(classes[window]);
      }
    }
    if (hook) UnhookWindowsHookEx(hook);
    result.sinksAfterQuit = host.AdvisedSinkCount();
    for (HWND left : ThreadWindows()) {
      if (!before.count(left)) result.leftWindows.push_back(ClassOf(left));
    }
  });
  window->WaitUntilEnded();
  return result;
}

}  // namespace

TEST(BandLife, LeavesNothingBehind) {
  // The probes see what they are meant to see.
  int gdi = CountGdiObjects();
  HBRUSH brush = CreateSolidBrush(RGB(1, 2, 3));
  EXPECT_EQ(gdi + 1, CountGdiObjects()) << "GDI objects cannot be counted by probing";
  DeleteObject(brush);
  EXPECT_EQ(gdi, CountGdiObjects());
  int menus = CountMenus();
  HMENU menu = CreatePopupMenu();
  EXPECT_EQ(menus + 1, CountMenus()) << "menus cannot be counted by probing";
  DestroyMenu(menu);
  EXPECT_EQ(menus, CountMenus());
  vantorel::test::AllocationSpy* spy = vantorel::test::SharedSpy();
  ASSERT_NE(nullptr, spy);

  ModuleCopy module;
  ASSERT_TRUE(module.loaded());
  ASSERT_TRUE(WriteSettingsFile(module.SettingPath(), 0, 0x33));
  TempFolder folder({L"alpha.txt", L"beta.txt", L"another.doc"}, L"life");
  TempFolder other({L"apple.txt", L"banana.txt"}, L"life-other");

  // The first life warms up what the platform keeps for the process (image lists, fonts,
  // classes); the second must end where it began.
  LifeResult warmUp = LiveOnce(module, folder.path(), other.path());
  ASSERT_TRUE(warmUp.stepsOk);
  ASSERT_TRUE(WriteSettingsFile(module.SettingPath(), 0, 0x33));
  const int gdiBefore = CountGdiObjects();
  const int menusBefore = CountMenus();
  spy->Reset();

  g_refusedItems = 0;
  LifeResult life = LiveOnce(module, folder.path(), other.path());
  EXPECT_TRUE(life.stepsOk);
  EXPECT_GT(g_refusedItems, 0);  // the filter did refuse items
  // The band worked in both modes: selected in select mode, filtered after each run and after
  // the navigation with the tree shown.
  std::vector<std::string> expected = {"navigated\t" + Utf8(folder.path()), "navigated\t" + Utf8(other.path()),
                                       "selected\tbeta.txt", "shown\talpha.txt", "shown\tanother.doc",
                                       "shown\tapple.txt"};
  std::sort(life.lines.begin(), life.lines.end());
  EXPECT_EQ(expected, life.lines);

  EXPECT_EQ(0, life.sinksAfterQuit);
  // The band destroys its windows itself when it goes, before Explorer destroys the frame.
  EXPECT_GE(life.bandWindows, 3);  // band window, input box, settings dialog
  EXPECT_EQ(0, life.destroyedByTheFrame) << Utf8(life.lateWindows.empty() ? L"" : life.lateWindows[0]);
  EXPECT_TRUE(life.leftWindows.empty()) << "left: " << (life.leftWindows.empty() ? "" : Utf8(life.leftWindows[0]));
  EXPECT_EQ(gdiBefore, CountGdiObjects());
  EXPECT_EQ(menusBefore, CountMenus());
  EXPECT_EQ(0u, spy->Live());
  EXPECT_EQ(S_OK, module.CanUnloadNow());
  EXPECT_TRUE(module.Unload());
}
