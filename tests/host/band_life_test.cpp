// A whole band life in an Explorer window leaves nothing behind: sited, runs in both modes, the
// history drop-down opened by typing and Enter adding to the file, the mode menu and the clear
// button under real clicks, the settings dialog, navigation with and without the folder tree,
// quit. Counted with measures that Wine really answers (each checked first): the thread's
// windows, GDI objects (fonts among them), menus and icons found by probing the handle tables,
// the COM task allocator's live blocks (identifier lists), the module's mouse hooks seen from a
// hook of the test's own, the browser's event connections, the module's lock count and its
// unloading.
#include <windows.h>
#include <commctrl.h>
#include <shlobj.h>
#include <gtest/gtest.h>

#include <algorithm>
#include <map>
#include <mutex>
#include <set>
#include <string>
#include <vector>

#include "framework/unique_handle.h"
#include "history/history_file.h"
#include "tests/host/window_test_support.h"
#include "tests/view/view_test_support.h"

using namespace vantorel;
using namespace vantorel::host;
using namespace vantorel::host::test;

namespace {

// Live objects of one kind in the process, found by asking every slot of its handle table: a
// table takes an index without its upper word. GDI objects from 1, user objects from 0x20 by two.
template <class IsLive>
int CountLive(ULONG_PTR first, ULONG_PTR step, IsLive isLive) {
  int count = 0;
  for (ULONG_PTR index = first; index < 0x10000; index += step) count += isLive(index) ? 1 : 0;
  return count;
}

int CountGdiObjects() {
  return CountLive(1, 1, [](ULONG_PTR index) { return GetObjectType(reinterpret_cast<HGDIOBJ>(index)) != 0; });
}

int CountMenus() {
  return CountLive(0x20, 2, [](ULONG_PTR index) { return IsMenu(reinterpret_cast<HMENU>(index)) != FALSE; });
}

// Icons and cursors; GetIconInfo hands out bitmaps of their own, deleted again.
int CountIcons() {
  return CountLive(0x20, 2, [](ULONG_PTR index) {
    ICONINFO info = {};
    if (!GetIconInfo(reinterpret_cast<HICON>(index), &info)) return false;
    if (info.hbmMask) DeleteObject(info.hbmMask);
    if (info.hbmColor) DeleteObject(info.hbmColor);
    return true;
  });
}

// The module's hooks, seen through its imports: its calls of SetWindowsHookExW and
// UnhookWindowsHookEx come here first. Every hook it sets is kept in a table and its procedure
// is wrapped, so the test knows which hooks of the module are live and when one of them runs.
struct HookLedger {
  std::mutex lock;
  std::map<HHOOK, HOOKPROC> live;  // the module's hooks and their procedures
  int calls = 0;                   // calls of a module's hook procedure
};
HookLedger g_hooks;

LRESULT CALLBACK CountingHook(int code, WPARAM wParam, LPARAM lParam) {
  HOOKPROC proc = nullptr;
  {
    std::lock_guard<std::mutex> hold(g_hooks.lock);
    ++g_hooks.calls;
    // One module hook per type and thread: the only live one of this thread.
    for (const auto& entry : g_hooks.live) proc = entry.second;
  }
  return proc ? proc(code, wParam, lParam) : CallNextHookEx(nullptr, code, wParam, lParam);
}

HHOOK WINAPI LedgerSet(int type, HOOKPROC proc, HINSTANCE, DWORD thread) {
  HHOOK hook = SetWindowsHookExW(type, &CountingHook, nullptr, thread);
  if (hook) {
    std::lock_guard<std::mutex> hold(g_hooks.lock);
    g_hooks.live[hook] = proc;
  }
  return hook;
}

BOOL WINAPI LedgerUnhook(HHOOK hook) {
  BOOL done = UnhookWindowsHookEx(hook);
  if (done) {
    std::lock_guard<std::mutex> hold(g_hooks.lock);
    g_hooks.live.erase(hook);
  }
  return done;
}

int LiveModuleHooks() {
  std::lock_guard<std::mutex> hold(g_hooks.lock);
  return static_cast<int>(g_hooks.live.size());
}

// Points the module's import slots of the two functions at the ledger; the slots, for the
// probe's own check.
bool WatchModuleHooks(const std::wstring& path, void**& setSlot, void**& unhookSlot) {
  auto* base = reinterpret_cast<BYTE*>(GetModuleHandleW(path.c_str()));
  if (!base) return false;
  auto* nt = reinterpret_cast<IMAGE_NT_HEADERS*>(base + reinterpret_cast<IMAGE_DOS_HEADER*>(base)->e_lfanew);
  const IMAGE_DATA_DIRECTORY& dir = nt->OptionalHeader.DataDirectory[IMAGE_DIRECTORY_ENTRY_IMPORT];
  setSlot = unhookSlot = nullptr;
  for (auto* imp = reinterpret_cast<IMAGE_IMPORT_DESCRIPTOR*>(base + dir.VirtualAddress); dir.Size && imp->Name; ++imp) {
    if (lstrcmpiA(reinterpret_cast<char*>(base + imp->Name), "user32.dll") != 0) continue;
    auto* names = reinterpret_cast<IMAGE_THUNK_DATA*>(base + imp->OriginalFirstThunk);
    auto* slots = reinterpret_cast<IMAGE_THUNK_DATA*>(base + imp->FirstThunk);
    for (; names->u1.AddressOfData; ++names, ++slots) {
      if (IMAGE_SNAP_BY_ORDINAL(names->u1.Ordinal)) continue;
      const char* name = reinterpret_cast<IMAGE_IMPORT_BY_NAME*>(base + names->u1.AddressOfData)->Name;
      if (lstrcmpA(name, "SetWindowsHookExW") == 0) setSlot = reinterpret_cast<void**>(&slots->u1.Function);
      if (lstrcmpA(name, "UnhookWindowsHookEx") == 0) unhookSlot = reinterpret_cast<void**>(&slots->u1.Function);
    }
  }
  if (!setSlot || !unhookSlot) return false;
  for (auto [slot, to] : {std::pair<void**, void*>{setSlot, reinterpret_cast<void*>(&LedgerSet)},
                          std::pair<void**, void*>{unhookSlot, reinterpret_cast<void*>(&LedgerUnhook)}}) {
    DWORD old = 0;
    if (!VirtualProtect(slot, sizeof(void*), PAGE_READWRITE, &old)) return false;
    *slot = to;
    VirtualProtect(slot, sizeof(void*), old, &old);
  }
  return true;
}

LRESULT CALLBACK PassOn(int code, WPARAM wParam, LPARAM lParam) { return CallNextHookEx(nullptr, code, wParam, lParam); }

// The test's own count of presses that reach the thread.
int g_presses = 0;
LRESULT CALLBACK CountPresses(int code, WPARAM wParam, LPARAM lParam) {
  if (code == HC_ACTION && wParam == WM_LBUTTONDOWN) ++g_presses;
  return CallNextHookEx(nullptr, code, wParam, lParam);
}

// A real press on the screen point, handled by this thread's message loop.
void PressAt(ExplorerHost& host, POINT point) {
  SetCursorPos(point.x, point.y);
  mouse_event(MOUSEEVENTF_LEFTDOWN, 0, 0, 0, 0);
  mouse_event(MOUSEEVENTF_LEFTUP, 0, 0, 0, 0);
  // The thread's own loop: the host may be closed already.
  MSG msg;
  for (int round = 0; round < 50; ++round) {
    while (PeekMessageW(&msg, nullptr, 0, 0, PM_REMOVE)) {
      TranslateMessage(&msg);
      DispatchMessageW(&msg);
    }
    if (HIWORD(GetQueueStatus(QS_ALLINPUT)) == 0) break;
    MsgWaitForMultipleObjects(0, nullptr, FALSE, 10, QS_ALLINPUT);
  }
  if (!host.IsClosed()) host.PumpMessages();
}

POINT MiddleOf(HWND window) {
  RECT rect = {};
  GetWindowRect(window, &rect);
  return {(rect.left + rect.right) / 2, (rect.top + rect.bottom) / 2};
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

BOOL CALLBACK Collect(HWND window, LPARAM into) {
  reinterpret_cast<std::set<HWND>*>(into)->insert(window);
  return TRUE;
}

std::set<HWND> ThreadWindows() {
  std::set<HWND> windows;
  EnumThreadWindows(GetCurrentThreadId(), &Collect, reinterpret_cast<LPARAM>(&windows));
  return windows;
}

struct LifeResult {
  bool stepsOk = true;
  int hooksWithTheDropDown = 0;     // the module's live hooks while the drop-down is open
  int hookCallsWithTheDropDown = 0;  // calls of them for a press outside it
  int hooksAfter = -1;               // the same once the band is gone
  int hookCallsAfter = -1;
  int pressesAfter = 0;  // that press as the thread saw it
  int sinksAfterQuit = -1;
  std::pair<size_t, size_t> windowsAfterCycles[2];  // (top-level, all) after 1 and 20 hide and show
  std::vector<std::wstring> leftWindows;  // classes of the thread's windows that were not there before
  int bandWindows = 0;                    // the band's windows (its window, their children, its dialog)
  std::vector<std::wstring> lateWindows;  // classes of those destroyed only with the frame, not by the band
  std::vector<std::string> lines;
};

// One band life in a window thread opened without a band.
LifeResult LiveOnce(ModuleCopy& module, const std::wstring& folder, const std::wstring& other) {
  WindowThreadSetup setup;
  setup.folder = folder;
  setup.options.visible = true;  // real clicks land on it
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
    SetForegroundWindow(host.Frame());
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
      auto run = [&](const std::wstring& line) {
        for (const ScenarioStep& step : StepsOf(line)) result.stepsOk = runner.Run(step, error) && result.stepsOk;
      };
      // The history drop-down opens on typing; a press outside it closes it through the
      // module's mouse hook, which the test's hook sees on the stack.
      run(L"--type b --print dropdown");
      result.hooksWithTheDropDown = LiveModuleHooks();
      g_hooks.calls = 0;
      PressAt(host, MiddleOf(host.ListView()));
      result.hookCallsWithTheDropDown = g_hooks.calls;
      run(L"--print dropdown --type * --key enter --print selected --print history");
      run(L"--click mode --menu filter --click clear --type a* --key enter --print shown");
      ChooseFromModeMenu(host, ModeMenuItem::Settings);
      run(L"--dialog check:207 --dialog check:201 --dialog ok");
      ChooseFromModeMenu(host, ModeMenuItem::Settings);
      run(L"--dialog cancel");
      host.ShowFolderTree(true);
      run(L"--navigate \"" + other + L"\" --print shown");  // filtered again, the tree being shown
      host.ShowFolderTree(false);
      run(L"--navigate \"" + folder + L"\" --click clear --click mode --menu select --type zzz --key enter");
      // Hidden and shown 20 times as from the View menu, first with a filter on: nothing left behind.
      run(L"--click mode --menu filter --type b");
      for (int cycle = 1; cycle <= 20 && result.stepsOk; ++cycle) {
        host.RemoveBand();
        result.stepsOk = SUCCEEDED(module.band().NewBand(band)) && SUCCEEDED(host.AddBand(band.get()));
        band.reset();
        std::set<HWND> top = ThreadWindows(), all = top;
        for (HWND window : top) EnumChildWindows(window, &Collect, reinterpret_cast<LPARAM>(&all));
        if (cycle == 1 || cycle == 20) result.windowsAfterCycles[cycle / 20] = {top.size(), all.size()};
      }
    }
    // The band's windows: its own window with what is inside, and the top-level windows it made.
    std::set<HWND> bandWindows = {host.BandWindow()};
    EnumChildWindows(host.BandWindow(), &Collect, reinterpret_cast<LPARAM>(&bandWindows));
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
      if (std::find(g_destroyed.begin(), frameGone, window) == frameGone) result.lateWindows.push_back(classes[window]);
    }
    if (hook) UnhookWindowsHookEx(hook);
    result.sinksAfterQuit = host.AdvisedSinkCount();
    // The band is gone: a press on a window of this thread reaches no hook of the module.
    HWND target = CreateWindowExW(WS_EX_TOPMOST, L"EDIT", L"", WS_POPUP | WS_VISIBLE, 40, 40, 120, 80, nullptr,
                                  nullptr, nullptr, nullptr);
    result.hooksAfter = LiveModuleHooks();
    g_hooks.calls = 0;
    g_presses = 0;
    HHOOK counter = SetWindowsHookExW(WH_MOUSE, &CountPresses, nullptr, GetCurrentThreadId());
    PressAt(host, MiddleOf(target));
    if (counter) UnhookWindowsHookEx(counter);
    result.pressesAfter = g_presses;
    result.hookCallsAfter = g_hooks.calls;
    DestroyWindow(target);
    for (HWND left : ThreadWindows()) {
      if (!before.count(left)) result.leftWindows.push_back(ClassOf(left));
    }
  });
  window->WaitUntilEnded();
  return result;
}

}  // namespace

TEST(BandLife, LeavesNothingBehind) {
  // The probes see what they are meant to see: one more while a new object lives.
  auto expectCounted = [](const char* what, int (*count)(), auto make) {
    int before = count();
    auto object = make();
    EXPECT_EQ(before + 1, count()) << what << " cannot be counted by probing";
    object.reset();
    EXPECT_EQ(before, count()) << what;
  };
  expectCounted("GDI objects", &CountGdiObjects, [] { return UniqueBrush(CreateSolidBrush(RGB(1, 2, 3))); });
  expectCounted("menus", &CountMenus, [] { return UniqueMenu(CreatePopupMenu()); });
  HICON shared = LoadIconW(nullptr, IDI_APPLICATION);  // loaded once for the process
  expectCounted("icons", &CountIcons, [shared] { return UniqueIcon(CopyIcon(shared)); });
  vantorel::test::AllocationSpy* spy = vantorel::test::SharedSpy();
  ASSERT_NE(nullptr, spy);

  ModuleCopy module;
  ASSERT_TRUE(module.loaded());
  void** setSlot = nullptr;
  void** unhookSlot = nullptr;
  ASSERT_TRUE(WatchModuleHooks(module.path(), setSlot, unhookSlot));
  {
    // The ledger sees a hook set through the module's imports, and its removal.
    HHOOK own = reinterpret_cast<decltype(&SetWindowsHookExW)>(*setSlot)(WH_MOUSE, &PassOn, nullptr,
                                                                           GetCurrentThreadId());
    EXPECT_EQ(1, LiveModuleHooks()) << "hooks cannot be followed through the imports";
    reinterpret_cast<decltype(&UnhookWindowsHookEx)>(*unhookSlot)(own);
    EXPECT_EQ(0, LiveModuleHooks());
  }
  ASSERT_TRUE(WriteSettingsFile(module.SettingPath(), 0, 0x33));
  const std::wstring history = module.HistoryPath();
  ASSERT_TRUE(AddToHistoryAt(history.c_str(), L"banana"));
  TempFolder folder({L"alpha.txt", L"beta.txt", L"another.doc"}, L"life");
  TempFolder other({L"apple.txt", L"banana.txt"}, L"life-other");

  // The first life warms up what the platform keeps for the process (image lists, fonts,
  // classes); the second must end where it began.
  LifeResult warmUp = LiveOnce(module, folder.path(), other.path());
  ASSERT_TRUE(warmUp.stepsOk);
  ASSERT_TRUE(WriteSettingsFile(module.SettingPath(), 0, 0x33));
  DeleteFileW(history.c_str());
  ASSERT_TRUE(AddToHistoryAt(history.c_str(), L"banana"));
  const int gdiBefore = CountGdiObjects();
  const int menusBefore = CountMenus();
  const int iconsBefore = CountIcons();
  spy->Reset();

  g_refusedItems = 0;
  LifeResult life = LiveOnce(module, folder.path(), other.path());
  EXPECT_TRUE(life.stepsOk);
  EXPECT_GT(g_refusedItems, 0);  // the filter did refuse items
  // The band worked in both modes: selected in select mode, filtered after each run and after
  // the navigation with the tree shown.
  // The drop-down offered the stored entry, closed on the outside press; Enter added the keyword.
  std::vector<std::string> expected = {"dropdown\tbanana",
                                       "history\tb",  // the box lost the focus to the press
                                       "history\tb*",
                                       "history\tbanana",
                                       "menu\tchecked=filter\tchose=select",
                                       "menu\tchecked=select\tchose=filter",
                                       "menu\tchecked=select\tchose=filter",
                                       "navigated\t" + Utf8(folder.path()),
                                       "navigated\t" + Utf8(other.path()),
                                       "nodropdown",  // after the outside press
                                       "selected\tbeta.txt",
                                       "shown\talpha.txt",
                                       "shown\tanother.doc",
                                       "shown\tapple.txt"};
  std::sort(life.lines.begin(), life.lines.end());
  EXPECT_EQ(expected, life.lines);

  EXPECT_EQ(0, life.sinksAfterQuit);
  EXPECT_EQ(life.windowsAfterCycles[0], life.windowsAfterCycles[1]);
  // The band destroys its windows itself when it goes, before Explorer destroys the frame.
  EXPECT_GE(life.bandWindows, 3);  // band window, input box, settings dialog
  EXPECT_EQ(std::vector<std::wstring>{}, life.lateWindows);
  EXPECT_TRUE(life.leftWindows.empty()) << "left: " << (life.leftWindows.empty() ? "" : Utf8(life.leftWindows[0]));
  EXPECT_EQ(gdiBefore, CountGdiObjects());
  EXPECT_EQ(menusBefore, CountMenus());
  EXPECT_EQ(iconsBefore, CountIcons());
  // The module's mouse hook lives while the drop-down is open and sees the press that closes it;
  // after the life none is left, and a press on a window of the thread reaches none.
  EXPECT_EQ(1, life.hooksWithTheDropDown);
  EXPECT_GE(life.hookCallsWithTheDropDown, 1);
  EXPECT_EQ(0, life.hooksAfter);
  EXPECT_EQ(1, life.pressesAfter);
  EXPECT_EQ(0, life.hookCallsAfter);
  EXPECT_EQ(0u, spy->Live());
  EXPECT_EQ(S_OK, module.CanUnloadNow());
  EXPECT_TRUE(module.Unload());
}

// A tab of the tabbed frame whose toolbar area stays hidden, closed while its band sits in a box of
// its own: its box, band, subclasses and key hook go, the other tab's box stays, and only the active
// tab's box ever shows. The tabs' helper objects come from the module as Explorer makes one per tab.
TEST(BandLife, ClosedTabLeavesNothingOfItsBox) {
  ModuleCopy module;
  ASSERT_TRUE(module.loaded());
  void** setSlot = nullptr;
  void** unhookSlot = nullptr;
  ASSERT_TRUE(WatchModuleHooks(module.path(), setSlot, unhookSlot));
  TempFolder folder({L"alpha.txt", L"beta.txt"}, L"tabs");
  WindowThreadSetup setup;
  setup.folder = folder.path();
  setup.options.visible = true;
  setup.options.explorer11 = true;
  setup.options.toolbarAreaHidden = true;
  std::wstring error;
  auto window = ExplorerWindowThread::Start(setup, error);
  ASSERT_TRUE(window) << Utf8(error);
  using GetClassObject = HRESULT(STDAPICALLTYPE*)(REFCLSID, REFIID, void**);
  auto get = reinterpret_cast<GetClassObject>(GetProcAddress(GetModuleHandleW(module.path().c_str()), "DllGetClassObject"));
  ASSERT_NE(nullptr, get);
  const CLSID helperClass = {0x1DEEED5F, 0x6CAC, 0x4B5A, {0x8E, 0xB7, 0x21, 0x15, 0x6C, 0xAA, 0xCC, 0x7F}};
  window->Call([&](ExplorerHost& host) {
    std::vector<std::string> lines;
    ScenarioRunner runner(host, [&lines](const std::string& line) { lines.push_back(line); }, module.SettingPath());
    auto run = [&](const std::wstring& line) {
      bool ok = true;
      for (const ScenarioStep& step : StepsOf(L"--explorer-11 " + line)) ok = runner.Run(step, error) && ok;
      return ok;
    };
    // The helper of the active tab, sited on its browser.
    auto helperOfActiveTab = [&]() {
      ComPtr<IClassFactory> factory;
      ComPtr<IObjectWithSite> helper;
      ComPtr<IWebBrowser2> browser;
      browser.attach(host.Browser());
      if (SUCCEEDED(get(helperClass, IID_PPV_ARGS(factory.put())))) factory->CreateInstance(nullptr, IID_PPV_ARGS(helper.put()));
      if (helper) helper->SetSite(browser.get());
      return helper;
    };
    // The thread's windows, children included, and which boxes show.
    auto allWindows = [] {
      std::set<HWND> all = ThreadWindows();
      for (HWND top : ThreadWindows()) EnumChildWindows(top, &Collect, reinterpret_cast<LPARAM>(&all));
      return all;
    };
    auto shownBoxes = [] {
      std::vector<HWND> shown;
      for (HWND top : ThreadWindows()) {
        if (ClassOf(top) == L"Vantorel Box" && IsWindowVisible(top)) shown.push_back(top);
      }
      return shown;
    };
    ComPtr<IObjectWithSite> first = helperOfActiveTab();
    ASSERT_TRUE(run(L"--print box"));  // the step waits for the box
    const std::set<HWND> oneTab = allWindows();
    const int oneTabHooks = LiveModuleHooks();
    EXPECT_EQ(1, oneTabHooks);  // the box's key routing
    ASSERT_TRUE(run(L"--tab new"));
    ComPtr<IObjectWithSite> second = helperOfActiveTab();
    ASSERT_TRUE(run(L"--print box"));
    EXPECT_EQ(std::vector<HWND>{host.BoxWindow()}, shownBoxes()) << "tab 2 active";
    ASSERT_TRUE(run(L"--tab 1 --print box --tab 2"));
    EXPECT_EQ(1u, shownBoxes().size());
    EXPECT_EQ(oneTabHooks, LiveModuleHooks()) << "one hook serves the thread's boxes";
    // Tab 2 closes with a new mode and its settings dialog open on an edit: the mode is kept, the
    // edit dropped with the dialog.
    ASSERT_TRUE(run(L"--click mode --menu filter --click mode --menu settings --dialog check:201 --tab close:2"));
    ASSERT_TRUE(run(L"--print setting"));
    EXPECT_EQ("setting\tmode=1\toptions=0x233", lines.back());  // the defaults, 201 unchecked
    second->SetSite(nullptr);  // Explorer lets the closed tab's helper go
    second.reset();
    host.PumpMessages();
    EXPECT_EQ(oneTab, allWindows());
    EXPECT_EQ(std::vector<HWND>{host.BoxWindow()}, shownBoxes()) << "tab 1's box back";
    EXPECT_EQ(oneTabHooks, LiveModuleHooks());
    EXPECT_EQ(3, std::count_if(lines.begin(), lines.end(), [](const std::string& line) {
                return line.rfind("box\tvisible=1\t", 0) == 0;
              })) << "each --print box found a box shown";
    // The frame goes while tab 1's box shows with a filter on, before its browser quits and
    // before Explorer lets the helper go: the box lets its band go with the frame.
    ASSERT_TRUE(run(L"--click mode --menu filter --type b --key enter --print shown"));
    EXPECT_EQ("shown\tbeta.txt", lines.back());
    DestroyWindow(host.Frame());
    EXPECT_EQ(0, LiveModuleHooks());
    for (HWND window : allWindows()) {
      const std::wstring name = ClassOf(window);  // the module's classes, not the stand-in's
      EXPECT_TRUE(name.rfind(L"Vantorel ", 0) != 0 || name.rfind(L"Vantorel Host", 0) == 0) << Utf8(name);
    }
    host.Close();
    first->SetSite(nullptr);
    first.reset();
  });
  window->WaitUntilEnded();
  EXPECT_EQ(S_OK, module.CanUnloadNow());
}
