#pragma once
// The steps of the stand-in's scripted mode against the band hosted in one Explorer window,
// and their line-oriented output.
#include <windows.h>

#include <functional>
#include <string>
#include <vector>

#include "host/explorer_host.h"
#include "host/scenario_args.h"
#include "host/scenario_output.h"

namespace vantorel::host {

// A --key value's number: the virtual key, with these bits for the keys held with it. Keys with
// kRealKey or the Windows key are pressed as real input, the others posted to the focused window.
constexpr unsigned kAltKey = 0x10000;
constexpr unsigned kWinKey = 0x20000;
constexpr unsigned kShiftKey = 0x40000;
constexpr unsigned kRealKey = 0x80000;
// How long a step waits for the menu or dialog it acts on to appear.
constexpr DWORD kAppearBound = 5000;

// --dialog ACTION: "check:ID" or "uncheck:ID" of one of the dialog's choices, "ok", "cancel" or
// "close"; false with a reason otherwise.
bool CheckDialogAction(const std::wstring& action, std::wstring& error);

// The next top-level window of the class (and title, when given) after `after` that belongs to the
// calling thread, the thread of one Explorer window; null when there is none.
HWND NextThreadWindow(const wchar_t* className, HWND after = nullptr, const wchar_t* title = nullptr);

// The window's client area as it is on the screen, as top-down 32-bit pixels, and one of them.
bool CaptureClient(HWND window, int width, int height, std::vector<DWORD>& bits);
COLORREF PixelAt(const std::vector<DWORD>& bits, int width, int x, int y);

// Runs the steps against a host with a hosted band, on the host's thread.
class ScenarioRunner {
 public:
  using Output = std::function<void(const std::string&)>;
  ScenarioRunner(ExplorerHost& host, Output output, std::wstring settingsPath)
      : host_(host), output_(std::move(output)), settingsPath_(std::move(settingsPath)) {}

  // Runs the step with the handler its table entry gives it.
  bool Run(const ScenarioStep& step, std::wstring& error);

  // The steps, as the table names them; each takes the step's value.
  bool Type(const std::wstring& text, std::wstring& error);
  bool Key(const std::wstring& name, std::wstring& error);
  bool Navigate(const std::wstring& path, std::wstring& error);
  bool Refresh(const std::wstring&, std::wstring& error);
  bool Screenshot(const std::wstring& path, std::wstring& error);
  bool Click(const std::wstring& where, std::wstring& error);
  bool Hover(const std::wstring& where, std::wstring& error);
  // What the next --click mode does with the menu it opens, and where it saves the frame then.
  bool ChooseFromMenu(const std::wstring& item, std::wstring& error);
  bool ShootMenu(const std::wstring& path, std::wstring& error);
  bool PrintMenu(const std::wstring& value, std::wstring& error);
  bool Dialog(const std::wstring& action, std::wstring& error);
  bool PrintItems(const std::wstring& which, std::wstring& error);
  bool PrintState(const std::wstring&, std::wstring& error);
  bool PrintBox(const std::wstring&, std::wstring& error);
  bool PrintHistory(const std::wstring&, std::wstring& error);
  bool PrintDropDown(const std::wstring&, std::wstring& error);
  bool PrintSettingFile(const std::wstring&, std::wstring& error);
  bool PrintDialog(const std::wstring&, std::wstring& error);
  bool PrintPlacement(const std::wstring&, std::wstring& error);
  bool PrintClipboard(const std::wstring&, std::wstring& error);
  bool PrintLayout(const std::wstring&, std::wstring& error);
  // Moves the band window into a window at 96 DPI, or back into the toolbar strip.
  bool Rescale(const std::wstring&, std::wstring& error);
  bool PrintToolbars(const std::wstring&, std::wstring& error);
  // The band's colours as read from its pixels: its background beside the box, the box's, the
  // typed text's, and the contrast of the last two.
  bool PrintColors(const std::wstring&, std::wstring& error);
  bool Theme(const std::wstring& scheme, std::wstring& error);
  bool Toolbar(const std::wstring& action, std::wstring& error);
  // new, K, close:K: the tabs of the tabbed frame.
  bool Tab(const std::wstring& action, std::wstring& error);
  // minimize, restore, move:X,Y, size:W,H: the frame as its caption buttons and edges move it.
  bool FrameStep(const std::wstring& action, std::wstring& error);
  bool PrintTabs(const std::wstring&, std::wstring& error);
  bool PrintFrame(const std::wstring&, std::wstring& error);

 private:
  // A real left click at a screen point that must lie on target (a control, or a window's
  // caption button); false with a reason when something else is in the way.
  bool ClickAt(POINT point, HWND target, std::wstring& error);
  bool BoxPoint(const std::wstring& where, POINT& point, std::wstring& error) const;
  // Whether the middle of the band (of the frame without one) shows a window of another thread.
  bool BandCovered() const;
  bool FrameActive() const;
  void RestackBoxUnderWine();
  // Gives the input box the focus as a click on it does; false with a reason naming the step.
  bool FocusBox(const wchar_t* step, std::wstring& error);
  // Keeps the window's messages moving until done() holds, at most until kAppearBound ms after
  // the tick count since; whether it came to hold.
  bool PumpUntil(const std::function<bool()>& done, ULONGLONG since = GetTickCount64());
  HWND InputBox() const;
  // The tabbed frame's line of the box of its own: visible, place in the view's client area.
  void PrintBoxWindow();
  // A --key value as real input: the held keys down, the key pressed, the held keys up.
  bool PressKeys(unsigned code);
  std::wstring ItemName(HWND list, int index) const;

  ExplorerHost& host_;
  Output output_;
  std::wstring settingsPath_;
  std::wstring pendingMenu_;      // what the next --click mode does with the menu it opens
  std::wstring pendingMenuShot_;  // and where it saves the frame with the menu open
  bool pendingMenuPrint_ = false;  // and whether it prints the menu's items
  // The window at 96 DPI that holds the band window between two --rescale steps, and where the
  // band window came from.
  struct UnscaledPark {
    HWND window = nullptr;
    HWND band = nullptr;
    HWND strip = nullptr;
  } park_;
};

}  // namespace vantorel::host
