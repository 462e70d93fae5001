// The band object's life across calls that run messages: the browser's quit event and the
// host's last release may arrive while the mode menu is open or while the browser refreshes,
// and the band must live until the handler that started it has returned.
#include <windows.h>
#include <commctrl.h>
#include <exdispid.h>
#include <gtest/gtest.h>

#include "band/band_messages.h"
#include "tests/band/band_fixture.h"

using namespace vantorel;
using namespace vantorel::test;

namespace {

// Where the host lets the band go.
enum class Trigger { MenuLoop, BrowserRefresh };
// What starts the handler during which it happens.
enum class Action { ChooseFilter, ChooseSelect, TypeInFilterMode };

struct LetGo {
  ComPtr<IDeskBand>* band = nullptr;
  host::ExplorerHost* host = nullptr;
  bool done = false;
  HWND bandWindow = nullptr;
  bool destroyedAtOnce = false;  // the band's destructor ran inside the handler
  bool menuWasOpen = false;
  int menuDowns = 0;  // Down presses before Enter that pick the menu item
  WNDPROC listViewProc = nullptr;
};
LetGo* g_letGo = nullptr;
constexpr DWORD kNothingWritten = 0xDEAD;  // ReadSettingsFile's mode where there is no file

// The browser quits (its event connection ends) and the host releases the band, as Explorer does
// when its window closes; the test's own reference goes too.
void LetTheBandGo() {
  LetGo& s = *g_letGo;
  if (s.done) return;
  s.done = true;
  ComPtr<IDispatch> events;
  (*s.band)->QueryInterface(IID_PPV_ARGS(events.put()));
  DISPPARAMS none = {};
  events->Invoke(DISPID_ONQUIT, IID_NULL, 0, DISPATCH_METHOD, &none, nullptr, nullptr, nullptr);
  events.reset();
  s.host->RemoveBand();
  s.band->reset();
  s.destroyedAtOnce = !IsWindow(s.bandWindow);
}

void CALLBACK InsideMenuLoop(HWND, UINT, UINT_PTR id, DWORD) {
  KillTimer(nullptr, id);
  LetGo& s = *g_letGo;
  HWND menu = FindWindowW(L"#32768", nullptr);
  s.menuWasOpen = menu && IsWindowVisible(menu);
  if (!s.listViewProc) LetTheBandGo();
  // Pick the item with the keyboard, as a user does in the open menu.
  for (int i = 0; i < s.menuDowns; ++i) PostMessageW(menu, WM_KEYDOWN, VK_DOWN, 0);
  PostMessageW(menu, WM_KEYDOWN, VK_RETURN, 0);
}

// In front of the folder view's list view: the first item the browser's refresh puts back is
// where the host lets the band go.
LRESULT CALLBACK InsideRefresh(HWND window, UINT msg, WPARAM wParam, LPARAM lParam) {
  WNDPROC next = g_letGo->listViewProc;
  if (msg == LVM_INSERTITEMW) LetTheBandGo();
  return CallWindowProcW(next, window, msg, wParam, lParam);
}

TEST_F(BandTest, LivesUntilTheHandlerReturnsWhenTheHostLetsGoInside) {
  const struct {
    const char* name;
    Trigger trigger;
    Action action;
    DWORD startMode;
    DWORD savedMode;  // what the band saves when it finally goes (the mode it changed)
  } cases[] = {
    {"menu loop, Filter chosen", Trigger::MenuLoop, Action::ChooseFilter, kRunModeSelect, kRunModeFilter},
    {"menu loop, Select chosen, filter removed", Trigger::MenuLoop, Action::ChooseSelect, kRunModeFilter,
     kRunModeSelect},
    {"refresh of the filter removal after Select was chosen", Trigger::BrowserRefresh, Action::ChooseSelect,
     kRunModeFilter, kRunModeSelect},
    {"refresh of a filter run on typing", Trigger::BrowserRefresh, Action::TypeInFilterMode, kRunModeFilter,
     kNothingWritten},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.name);
    const LONG hostLocks = Module::LockCount();
    const Settings settings{c.startMode, kFoldCase | kRunOnInputOption};
    ASSERT_NO_FATAL_FAILURE(StartBand(&settings));
    ASSERT_TRUE(core_);
    HWND band = BandWindow();
    HWND box = InputBox();
    HWND list = host_->ListView();
    ASSERT_NE(nullptr, box);
    ASSERT_NE(nullptr, list);
    if (c.action == Action::ChooseSelect) SetWindowTextW(box, L"a");  // the filter is removed
    host_->PumpMessages();
    WriteSettingsFile(nullptr);  // from now on the file appears when the band writes what it changed

    LetGo letGo;
    letGo.band = &band_;
    letGo.bandWindow = band;
    letGo.host = host_.get();
    letGo.menuDowns = c.action == Action::ChooseFilter ? 2 : 1;
    g_letGo = &letGo;
    if (c.trigger == Trigger::BrowserRefresh) {
      letGo.listViewProc = reinterpret_cast<WNDPROC>(
          SetWindowLongPtrW(list, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(&InsideRefresh)));
    }
    if (c.action == Action::TypeInFilterMode) {
      SetFocus(box);
      SendMessageW(box, WM_CHAR, L'a', 0);
    } else {
      SetTimer(nullptr, 0, 1, &InsideMenuLoop);
      EXPECT_EQ(0, SendMessageW(band, WM_BAND_MODE_MENU, 0, MAKELPARAM(5, 5)));
      EXPECT_TRUE(letGo.menuWasOpen);
    }
    host_->PumpMessages();
    if (letGo.listViewProc &&
        GetWindowLongPtrW(list, GWLP_WNDPROC) == reinterpret_cast<LONG_PTR>(&InsideRefresh)) {
      SetWindowLongPtrW(list, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(letGo.listViewProc));
    }
    g_letGo = nullptr;
    core_ = nullptr;
    // The wrapper went onto the list view before the procedure put in front of it above, and
    // stays there as a pass-through (holding the module) until the list view goes.
    if (c.trigger == Trigger::BrowserRefresh) {
      ASSERT_TRUE(host_->Navigate(folder_->path().c_str()));
    }

    EXPECT_TRUE(letGo.done) << "the host let the band go inside the handler";
    EXPECT_FALSE(letGo.destroyedAtOnce) << "the band was destroyed inside its own handler";
    EXPECT_FALSE(band_);
    EXPECT_FALSE(IsWindow(band)) << "destroyed once the handler returned";
    EXPECT_EQ(hostLocks, Module::LockCount());
    EXPECT_EQ(c.savedMode, ReadSettingsFile().RunMode) << "the chosen mode reached the band";
    WriteSettingsFile(nullptr);
  }
}

// The slot of this program's import table through which its code (the band is linked in)
// calls user32's function; null when there is none.
void** ImportSlot(const char* dll, const char* function) {
  BYTE* base = reinterpret_cast<BYTE*>(GetModuleHandleW(nullptr));
  auto* nt = reinterpret_cast<IMAGE_NT_HEADERS*>(base + reinterpret_cast<IMAGE_DOS_HEADER*>(base)->e_lfanew);
  const IMAGE_DATA_DIRECTORY& dir = nt->OptionalHeader.DataDirectory[IMAGE_DIRECTORY_ENTRY_IMPORT];
  for (auto* entry = reinterpret_cast<IMAGE_IMPORT_DESCRIPTOR*>(base + dir.VirtualAddress); entry->Name; ++entry) {
    if (lstrcmpiA(reinterpret_cast<char*>(base + entry->Name), dll) != 0) continue;
    auto* names = reinterpret_cast<IMAGE_THUNK_DATA*>(base + entry->OriginalFirstThunk);
    auto* slots = reinterpret_cast<IMAGE_THUNK_DATA*>(base + entry->FirstThunk);
    for (; names->u1.AddressOfData; ++names, ++slots) {
      if (IMAGE_SNAP_BY_ORDINAL(names->u1.Ordinal)) continue;
      auto* byName = reinterpret_cast<IMAGE_IMPORT_BY_NAME*>(base + names->u1.AddressOfData);
      if (lstrcmpA(reinterpret_cast<char*>(byName->Name), function) == 0) {
        return reinterpret_cast<void**>(&slots->u1.Function);
      }
    }
  }
  return nullptr;
}

using InvalidateRectFn = BOOL(WINAPI*)(HWND, const RECT*, BOOL);
InvalidateRectFn g_invalidateRect = nullptr;
int g_deadWindowsInvalidated = 0;

BOOL WINAPI RecordingInvalidateRect(HWND window, const RECT* rect, BOOL erase) {
  if (window && !IsWindow(window)) ++g_deadWindowsInvalidated;
  return g_invalidateRect(window, rect, erase);
}

// Puts the recorder in the import slot for as long as it lives.
struct InvalidateRecorder {
  void** slot = ImportSlot("user32.dll", "InvalidateRect");
  InvalidateRecorder() { Swap(reinterpret_cast<void*>(&RecordingInvalidateRect)); }
  ~InvalidateRecorder() { Swap(reinterpret_cast<void*>(g_invalidateRect)); }
  void Swap(void* function) {
    DWORD old = 0;
    if (!slot) return;
    VirtualProtect(slot, sizeof(void*), PAGE_READWRITE, &old);
    if (!g_invalidateRect) g_invalidateRect = reinterpret_cast<InvalidateRectFn>(*slot);
    *slot = function;
    VirtualProtect(slot, sizeof(void*), old, &old);
  }
};

TEST_F(BandTest, RunAfterExplorerDestroyedTheBandWindowTouchesOnlyLiveWindows) {
  const struct {
    const char* name;
    DWORD mode;
  } cases[] = {{"select", kRunModeSelect}, {"filter", kRunModeFilter}};
  for (const auto& c : cases) {
    SCOPED_TRACE(c.name);
    const Settings settings{c.mode, kFoldCase};
    ASSERT_NO_FATAL_FAILURE(StartBand(&settings));
    HWND list = host_->ListView();
    ASSERT_NE(nullptr, list);
    LVITEMW state = {};
    state.state = state.stateMask = LVIS_SELECTED;
    SendMessageW(list, LVM_SETITEMSTATE, 0, reinterpret_cast<LPARAM>(&state));

    // Explorer takes its toolbar down before it lets the band go.
    HWND band = BandWindow();
    ASSERT_TRUE(DestroyWindow(band));
    InvalidateRecorder recorder;
    ASSERT_TRUE(recorder.slot);
    g_deadWindowsInvalidated = 0;
    EXPECT_EQ(S_OK, Key(WM_KEYDOWN, VK_RETURN));
    host_->PumpMessages();
    EXPECT_EQ(0, g_deadWindowsInvalidated) << "a run repainted the destroyed band window";
    // The run itself happened: the empty keyword leaves nothing selected.
    EXPECT_EQ(0, static_cast<int>(SendMessageW(list, LVM_GETSELECTEDCOUNT, 0, 0)));
    host_->RemoveBand();
    band_.reset();
    core_ = nullptr;
  }
}

// Every window procedure in the process (the band's, the list view's with the filter in front of
// it, the stand-in's) lies in code nobody can write.
BOOL CALLBACK CheckWindowProcedure(HWND window, LPARAM checked) {
  DWORD process = 0;
  MEMORY_BASIC_INFORMATION page = {};
  GetWindowThreadProcessId(window, &process);
  if (process != GetCurrentProcessId()) return TRUE;
  EXPECT_TRUE(VirtualQuery(reinterpret_cast<void*>(GetWindowLongPtrW(window, GWLP_WNDPROC)), &page, sizeof(page)));
  EXPECT_EQ(0u, page.Protect & (PAGE_EXECUTE_READWRITE | PAGE_EXECUTE_WRITECOPY)) << window;
  ++*reinterpret_cast<int*>(checked);
  return TRUE;
}

TEST_F(BandTest, NoWindowProcedureLiesInWritableCode) {
  const Settings settings{kRunModeFilter, kDefaultOptions};
  ASSERT_NO_FATAL_FAILURE(StartBand(&settings));
  Type(L"a");
  int checked = 0;
  EnumChildWindows(GetDesktopWindow(), &CheckWindowProcedure, reinterpret_cast<LPARAM>(&checked));
  EXPECT_GE(checked, 5);  // the stand-in's frame and view, the band, its box, the drop-down
}

}  // namespace
