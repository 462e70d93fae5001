#include "host/scenario_runner.h"

#include <commctrl.h>
#include <shlobj.h>
#include <shlwapi.h>

#include "band/band_messages.h"
#include "framework/com_ptr.h"
#include "history/history_box.h"
#include "history/history_file.h"
#include "host/explorer_toolbars.h"
#include "input/edit_window.h"
#include "vantorel_h.h"
#include "view/item_name.h"

namespace vantorel::host {
namespace {

std::wstring ClassName(HWND window) {
  wchar_t name[256] = L"";
  if (!window || !GetClassNameW(window, name, 256)) return L"-";
  return name;
}

LPARAM KeyData(WPARAM vk, bool up, bool alt) {
  UINT scan = MapVirtualKeyW(static_cast<UINT>(vk), MAPVK_VK_TO_VSC);
  LPARAM data = 1 | (static_cast<LPARAM>(scan & 0xFF) << 16);
  if (alt) data |= 1 << 29;
  if (up) data |= (static_cast<LPARAM>(1) << 30) | (static_cast<LPARAM>(1) << 31);
  return data;
}

std::string Hex(uint32_t value) {
  char hex[16];
  wsprintfA(hex, "0x%X", value);
  return hex;
}

// Whether the band draws its input box in the no-match colours.
bool ShowsNoMatch(HWND band, HWND box) {
  HDC screen = GetDC(nullptr);
  HDC dc = CreateCompatibleDC(screen);
  ReleaseDC(nullptr, screen);
  if (!dc) return false;
  SetBkColor(dc, RGB(1, 2, 3));
  SendMessageW(band, WM_CTLCOLOREDIT, reinterpret_cast<WPARAM>(dc), reinterpret_cast<LPARAM>(box));
  const COLORREF background = GetBkColor(dc);
  bool noMatch = false;
  for (ColorScheme scheme : {ColorScheme::Light, ColorScheme::Dark, ColorScheme::Contrast}) {
    noMatch = noMatch || background == ColorsOf(scheme).noMatch.back;
  }
  DeleteDC(dc);
  return noMatch;
}

}  // namespace

HWND NextThreadWindow(const wchar_t* className, HWND after, const wchar_t* title) {
  while ((after = FindWindowExW(nullptr, after, className, title)) != nullptr) {
    if (GetWindowThreadProcessId(after, nullptr) == GetCurrentThreadId()) return after;
  }
  return nullptr;
}

HWND ScenarioRunner::InputBox() const {
  HWND band = host_.BandWindow();
  if (!band) return nullptr;
  HWND box = FindWindowExW(band, nullptr, L"Vantorel Editbox", nullptr);
  return box ? box : band;
}

std::wstring ScenarioRunner::ItemName(HWND list, int index) const {
  wchar_t name[MAX_PATH];
  return ListItemName(list, index, host_.CurrentFolder(), name) ? name : L"?";
}

bool ScenarioRunner::Run(const ScenarioStep& step, std::wstring& error) {
  const ScenarioOption* option = FindStep(step.kind);
  const ScenarioValue* value = option ? option->Find(step.argument) : nullptr;
  StepHandler run = value && value->run ? value->run : option ? option->run : nullptr;
  if (!run) {
    error = option ? std::wstring(option->name) + L" chooses windows; it is not a step of one window"
                   : L"unknown step";
    return false;
  }
  // A user acting in a window has it in front: another window's frame, menu or dialog is not in
  // the way of the step's clicks and captures. The window comes up once the window that was in
  // front has let go, which takes that window's thread a moment.
  HWND front = GetForegroundWindow();
  HWND frame = host_.Frame();
  // Where the toolbar area is hidden a band comes in a box of its own once its tab has shown for
  // a moment; a step in a tab new or brought to the front waits for it as the user would.
  if (host_.ToolbarAreaHidden()) PumpUntil([this] { return host_.BandWindow() != nullptr; }, host_.TabShownAt());
  if (IsWindowVisible(frame) && !IsIconic(frame)) {
    if (!front || GetWindowThreadProcessId(front, nullptr) != GetCurrentThreadId()) SetForegroundWindow(frame);
    if (BandCovered()) SetWindowPos(frame, HWND_TOP, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE | SWP_NOACTIVATE);
    PumpUntil([this] { return !BandCovered(); });
  }
  return run(*this, step.argument, error);
}

bool ScenarioRunner::BandCovered() const {
  RECT rc;
  HWND band = host_.BandWindow();
  if (band && !IsWindowVisible(band)) band = nullptr;  // a hidden box is covered by nothing
  if (!GetWindowRect(band ? band : host_.Frame(), &rc)) return false;
  HWND over = WindowFromPoint({(rc.left + rc.right) / 2, (rc.top + rc.bottom) / 2});
  return over && GetWindowThreadProcessId(over, nullptr) != GetCurrentThreadId();
}

// As Explorer does when the band is tabbed into or clicked.
bool ScenarioRunner::FocusBox(const wchar_t* step, std::wstring& error) {
  HWND box = InputBox();
  if (!box) {
    error = std::wstring(step) + L": no band input box";
    return false;
  }
  if (GetFocus() != box) {
    ComPtr<IInputObject> input;
    if (host_.Band() && SUCCEEDED(host_.Band()->QueryInterface(IID_IInputObject, input.put_void()))) {
      input->UIActivateIO(TRUE, nullptr);
    }
    if (GetFocus() != box) SetFocus(box);
  }
  host_.PumpMessages();
  if (GetFocus() != box) {
    error = std::wstring(step) + L": the input box does not take the focus";
    return false;
  }
  return true;
}

bool ScenarioRunner::PumpUntil(const std::function<bool()>& done, ULONGLONG since) {
  for (;;) {
    host_.PumpMessages();
    if (done()) return true;
    if (GetTickCount64() - since >= kAppearBound) return false;
    MsgWaitForMultipleObjects(0, nullptr, FALSE, 20, QS_ALLINPUT);
  }
}

bool ScenarioRunner::Type(const std::wstring& text, std::wstring& error) {
  if (!FocusBox(L"--type", error)) return false;
  for (wchar_t c : text) {
    PostMessageW(GetFocus(), WM_CHAR, c, 1);
    host_.PumpMessages();
  }
  return true;
}

bool ScenarioRunner::Key(const std::wstring& name, std::wstring& error) {
  // With no control of the window focused, a user clicks into the box before pressing keys.
  HWND target = GetFocus();
  if (!target || target == host_.Frame() || target == host_.ToolbarStrip() || target == host_.BandWindow()) {
    if (!FocusBox((L"--key " + name).c_str(), error)) return false;
    target = GetFocus();
  }
  const ScenarioValue* key = FindStep(ScenarioStep::Kind::Key)->Find(name);
  if (!key) {
    error = L"unknown key " + name;
    return false;
  }
  if (key->code & (kRealKey | kWinKey)) return PressKeys(key->code);
  WPARAM vk = key->code & ~kAltKey;
  bool alt = (key->code & kAltKey) != 0;
  // Only the key messages are posted; the character messages come from TranslateMessage in the
  // host's or the band's handling of them, as with a real keyboard.
  PostMessageW(target, alt ? WM_SYSKEYDOWN : WM_KEYDOWN, vk, KeyData(vk, false, alt));
  host_.PumpMessages();
  HWND now = GetFocus();
  PostMessageW(now ? now : target, alt ? WM_SYSKEYUP : WM_KEYUP, vk, KeyData(vk, true, alt));
  host_.PumpMessages();
  return true;
}

bool ScenarioRunner::Navigate(const std::wstring& path, std::wstring& error) {
  if (!host_.Navigate(path.c_str())) {
    error = L"cannot navigate to " + path;
    return false;
  }
  host_.PumpMessages();
  output_("navigated\t" + Utf8(path));
  return true;
}

bool ScenarioRunner::Refresh(const std::wstring&, std::wstring& error) {
  if (!host_.Refresh()) {
    error = L"refresh failed";
    return false;
  }
  host_.PumpMessages();
  return true;
}

bool ScenarioRunner::Screenshot(const std::wstring& path, std::wstring& error) {
  // The screen shows what the windows drew once Wine has put their drawing out, which it does
  // when the thread has waited a while; a picture taken sooner may show an earlier state.
  RedrawWindow(host_.Frame(), nullptr, nullptr, RDW_INVALIDATE | RDW_ERASE | RDW_ALLCHILDREN | RDW_UPDATENOW | RDW_FRAME);
  RestackBoxUnderWine();
  const ULONGLONG start = GetTickCount64();
  PumpUntil([start] { return GetTickCount64() - start >= 200; });
  if (!SaveWindowPng(host_.Frame(), path, error, false)) return false;
  output_("screenshot\t" + Utf8(path));
  return true;
}

bool ScenarioRunner::ChooseFromMenu(const std::wstring& item, std::wstring&) {
  pendingMenu_ = item;
  return true;
}

bool ScenarioRunner::PrintMenu(const std::wstring&, std::wstring&) {
  pendingMenuPrint_ = true;
  return true;
}

bool ScenarioRunner::ShootMenu(const std::wstring& path, std::wstring&) {
  pendingMenuShot_ = path;
  return true;
}

// history: the entries of "history.txt" beside the module, oldest first, read as the band reads
// them; "nohistory" when there are none.
bool ScenarioRunner::PrintHistory(const std::wstring&, std::wstring&) {
  wchar_t path[MAX_PATH];
  lstrcpynW(path, settingsPath_.c_str(), MAX_PATH);
  PathRemoveFileSpecW(path);
  HistoryList list;
  if (PathAppendW(path, L"history.txt")) LoadHistoryFrom(path, list);
  for (const std::wstring& entry : list) output_("history\t" + Utf8(entry));
  if (list.empty()) output_("nohistory");
  return true;
}

// dropdown: the rows of the visible history drop-down of this window's thread, top to bottom;
// "nodropdown" when none is dropped down (or the band has none), so the step is seen to run.
bool ScenarioRunner::PrintDropDown(const std::wstring&, std::wstring&) {
  host_.PumpMessages();
  bool printed = false;
  for (HWND box = nullptr; (box = NextThreadWindow(L"Vantorel HistoryBox", box)) != nullptr;) {
    if (!IsWindowVisible(box)) continue;
    const LRESULT highlighted = SendMessageW(box, LB_GETCURSEL, 0, 0);
    int index = 0;
    for (const std::wstring& row : ListBoxRows(box)) {
      output_("dropdown\t" + Utf8(row) + (index++ == highlighted ? "\thighlighted" : ""));
      printed = true;
    }
  }
  if (!printed) output_("nodropdown");
  return true;
}

// setting: the two words of the file beside the module as they are at this moment.
bool ScenarioRunner::PrintSettingFile(const std::wstring&, std::wstring&) {
  uint32_t mode = 0, options = 0;
  if (!ReadSettingsFile(settingsPath_, mode, options)) {
    output_("setting\tnone");
  } else {
    output_("setting\tmode=" + std::to_string(mode) + "\toptions=" + Hex(options));
  }
  return true;
}

// toolbars: one line per band shown by ShowBrowserBar, with its CLSID.
bool ScenarioRunner::PrintToolbars(const std::wstring&, std::wstring&) {
  std::vector<CLSID> shown;
  if (host_.Toolbars()) shown = host_.Toolbars()->Shown();
  for (const CLSID& clsid : shown) output_("toolbar\t" + Utf8(ClsidText(clsid)));
  ComPtr<IPersist> boxed;
  CLSID clsid = CLSID_NULL;
  if (host_.BoxWindow() && host_.Band() && SUCCEEDED(host_.Band()->QueryInterface(IID_IPersist, boxed.put_void())) &&
      SUCCEEDED(boxed->GetClassID(&clsid))) {
    output_("box\t" + Utf8(ClsidText(clsid)));
  } else if (shown.empty()) {
    output_("notoolbar");
  }
  return true;
}

// hide, show: the band through ShowBrowserBar, as View > Toolbars does.
bool ScenarioRunner::Toolbar(const std::wstring& action, std::wstring& error) {
  HRESULT hr = E_NOTIMPL;
  const bool show = action == L"show";
  if (!show && host_.Toolbars() && host_.Toolbars()->Shown().empty()) {
    error = L"--toolbar hide: the band is not shown";
    return false;
  }
  if (host_.Toolbars()) hr = host_.Toolbars()->Show(CLSID_SelectorCore, show);
  if (FAILED(hr)) error = L"--toolbar " + action + L" failed (without --explorer-toolbars there is no toolbar menu)";
  return SUCCEEDED(hr);
}

// selected, shown: the names of the view's selected or of all its items, in the view's order;
// "noselection" when nothing is selected, "noitems" when the view shows none.
bool ScenarioRunner::PrintItems(const std::wstring& which, std::wstring& error) {
  HWND list = host_.ListView();
  if (!list) {
    error = L"--print " + which + L": no folder list view";
    return false;
  }
  bool selectedOnly = which == L"selected";
  int count = static_cast<int>(SendMessageW(list, LVM_GETITEMCOUNT, 0, 0));
  bool printed = false;
  for (int i = 0; i < count; ++i) {
    if (selectedOnly && !(SendMessageW(list, LVM_GETITEMSTATE, i, LVIS_SELECTED) & LVIS_SELECTED)) continue;
    output_((selectedOnly ? "selected\t" : "shown\t") + Utf8(ItemName(list, i)));
    printed = true;
  }
  if (!printed) output_(selectedOnly ? "noselection" : "noitems");
  return true;
}

// The band's live record comes from its window (a registered query message); the no-match
// flag from the colours the band gives its input box; then the focus. Without a band the mode
// and options are those of the setting file.
bool ScenarioRunner::PrintState(const std::wstring&, std::wstring&) {
  uint32_t mode = 0, options = 0;
  HWND band = host_.BandWindow();
  UINT query = RegisterWindowMessageW(kBandStateQueryMessage);
  DWORD_PTR reply = 0;
  if (band && query && ClassName(band) == L"Vantorel Toolbar" &&
      SendMessageTimeoutW(band, query, 0, 0, SMTO_NORMAL, 5000, &reply)) {
    mode = static_cast<uint32_t>(reply & 0xFFFFFFFFu);
    options = static_cast<uint32_t>(static_cast<unsigned long long>(reply) >> 32);
  } else if (!ReadSettingsFile(settingsPath_, mode, options)) {
    mode = options = 0;
  }
  HWND box = InputBox();
  int noMatch = band && box && ShowsNoMatch(band, box) ? 1 : 0;
  std::wstring focusName = L"-";
  HWND list = host_.ListView();
  if (list) {
    int focused = static_cast<int>(SendMessageW(list, LVM_GETNEXTITEM, static_cast<WPARAM>(-1), LVNI_FOCUSED));
    if (focused >= 0) focusName = ItemName(list, focused);
  }
  output_("state\tmode=" + std::to_string(mode) + "\toptions=" + Hex(options) + "\tnomatch=" +
          std::to_string(noMatch) + "\tfocus=" + Utf8(focusName) + "\tfocuswindow=" + Utf8(ClassName(GetFocus())) +
          "\tview=" + (host_.ViewKeysWindow() && host_.ViewKeysWindow() != list ? "items" : "list") +
          (host_.Tabbed() ? "\tframeactive=" + std::to_string(FrameActive() ? 1 : 0) : ""));
  return true;
}

// The frame as the user sees it active: its caption drawn active (what last reached its own
// procedure) while the thread's active window is the frame or a window it owns (its box, its
// dialog), not merely because somebody told the caption so.
bool ScenarioRunner::FrameActive() const {
  HWND frame = host_.Frame(), active = GetActiveWindow();
  return host_.CaptionActive() == 1 && active && (active == frame || GetWindow(active, GW_OWNER) == frame);
}

}  // namespace vantorel::host
