// The steps of the tabbed frame: its tabs, the frame as the user moves it, and the box of its
// own that a band sits in where the toolbar area is hidden.
#include <windows.h>
#include <shlobj.h>

#include "host/scenario_runner.h"

namespace vantorel::host {

bool ScenarioRunner::Tab(const std::wstring& action, std::wstring& error) {
  bool done = false;
  int count = 0;
  if (ParseNewTabs(action, count)) {
    // One after the other as a user opens them, each shown for a moment before the next.
    for (int opened = 0; opened < count; ++opened) {
      if (opened > 0) host_.PumpMessages();
      if (!(done = host_.NewTab())) {
        error = L"--tab " + action + L": tab " + std::to_wstring(host_.TabCount() + 1) + L" could not be opened";
        break;
      }
    }
  } else {
    int number = 0;
    bool close = false;
    ParseTabNumber(action, number, close);  // as the table checked it
    if (number > host_.TabCount()) {
      error = L"--tab " + action + L": there are only " + std::to_wstring(host_.TabCount()) + L" tabs";
      return false;
    }
    done = close ? host_.CloseTab(number - 1) : host_.ActivateTab(number - 1);
    if (!done) error = L"--tab " + action + L" failed";
  }
  if (!host_.IsClosed()) host_.PumpMessages();
  return done;
}

bool ScenarioRunner::FrameStep(const std::wstring& action, std::wstring&) {
  HWND frame = host_.Frame();
  if (action == L"minimize" || action == L"restore") {
    ShowWindow(frame, action == L"minimize" ? SW_MINIMIZE : SW_RESTORE);
  } else {
    int x = 0, y = 0;
    bool move = false;
    ParseFramePlace(action, x, y, move);  // as the table checked it
    SetWindowPos(frame, nullptr, x, y, x, y, SWP_NOZORDER | SWP_NOACTIVATE | (move ? SWP_NOSIZE : SWP_NOMOVE));
  }
  host_.PumpMessages();
  return true;
}

bool ScenarioRunner::PrintTabs(const std::wstring&, std::wstring&) {
  for (int i = 0; i < host_.TabCount(); ++i) {
    wchar_t path[MAX_PATH] = L"";
    PCIDLIST_ABSOLUTE folder = host_.TabFolder(i);
    if (!folder || !SHGetPathFromIDListW(folder, path)) path[0] = L'\0';
    output_("tab\t" + std::to_string(i + 1) + "\tactive=" + (i == host_.ActiveTab() ? "1" : "0") +
            "\tfolder=" + Utf8(path));
  }
  return true;
}

bool ScenarioRunner::PrintFrame(const std::wstring&, std::wstring& error) {
  HWND frame = host_.Frame();
  RECT rc = {};
  if (!frame || !GetWindowRect(frame, &rc)) {
    error = L"--print frame: no frame";
    return false;
  }
  const char* shown = IsIconic(frame) ? "minimized" : IsZoomed(frame) ? "maximized" : "normal";
  output_(std::string("frame\t") + shown + "\tx=" + std::to_string(rc.left) + "\ty=" + std::to_string(rc.top) +
          "\tw=" + std::to_string(rc.right - rc.left) + "\th=" + std::to_string(rc.bottom - rc.top));
  return true;
}

// box, visible=, and x=, y=, w=, h= of the box window relative to the active tab's folder view's
// client area; nobox when the active tab's band is in no box.
void ScenarioRunner::PrintBoxWindow() {
  HWND box = host_.BoxWindow();
  RECT rc = {};
  if (!box || !GetWindowRect(box, &rc)) {
    output_("nobox");
    return;
  }
  MapWindowPoints(nullptr, host_.ShellViewWindow(), reinterpret_cast<POINT*>(&rc), 2);
  output_("box\tvisible=" + std::string(IsWindowVisible(box) ? "1" : "0") + "\tx=" + std::to_string(rc.left) +
          "\ty=" + std::to_string(rc.top) + "\tw=" + std::to_string(rc.right - rc.left) +
          "\th=" + std::to_string(rc.bottom - rc.top));
}

}  // namespace vantorel::host
