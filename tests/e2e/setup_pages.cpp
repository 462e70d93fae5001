// setup_pages: goes through a setup program's pages as a user does. Starts the program, and on
// each page as it comes prints its texts, saves its picture, turns off every check box that is
// on (the finish page's offer to open something) and clicks the default button with the mouse,
// until the program ends. Prints, one per line, UTF-8:
//   caption<TAB>TEXT   the window's title, once
//   page<TAB>N         a page shown, from 1
//   text<TAB>TEXT      each visible text of the page and of its header (line breaks as \n)
//   unchecked<TAB>TEXT a check box turned off
//   screenshot<TAB>PATH
//   exit<TAB>CODE      the program's exit code
// Usage: setup_pages SETUP OUTDIR NAME (pictures OUTDIR\NAME-N.png). Exit code 1 when a page
// does not come or does not go within a minute, or a click does not take.
#include <windows.h>
#include <objbase.h>

#include <string>

#include "host/real_input.h"
#include "host/scenario_output.h"

using namespace vantorel::host;

namespace {

constexpr DWORD kPatienceMs = 60000;
constexpr DWORD kPollMs = 50;
constexpr int kDefaultButton = IDOK;  // Next, I Agree, Install and Finish alike
constexpr int kHeaderIds[] = {1037, 1038};  // the title and the line under it over each page

HANDLE g_out = nullptr;

void Print(const char* key, const std::wstring& value) { WriteLine(g_out, std::string(key) + "\t" + Utf8(value)); }

// Polls until done() holds or the bound runs out.
template <typename Done>
bool WaitFor(Done done) {
  for (DWORD waited = 0; waited < kPatienceMs; waited += kPollMs) {
    if (done()) return true;
    Sleep(kPollMs);
  }
  return done();
}

std::wstring TextOf(HWND window) {
  wchar_t text[4096] = L"";
  DWORD_PTR length = 0;
  if (!SendMessageTimeoutW(window, WM_GETTEXT, 4096, reinterpret_cast<LPARAM>(text), SMTO_ABORTIFHUNG, 5000, &length)) {
    return std::wstring();
  }
  std::wstring shown;
  for (const wchar_t* c = text; *c; ++c) {
    if (*c == L'\n') shown += L"\\n";
    else if (*c != L'\r') shown += *c;
  }
  return shown;
}

struct Search {
  DWORD process;
  HWND found;
};

BOOL CALLBACK FindProcessDialog(HWND window, LPARAM param) {
  auto* search = reinterpret_cast<Search*>(param);
  DWORD process = 0;
  GetWindowThreadProcessId(window, &process);
  wchar_t cls[16] = L"";
  GetClassNameW(window, cls, 16);
  if (process != search->process || !IsWindowVisible(window) || lstrcmpW(cls, L"#32770") != 0) return TRUE;
  search->found = window;
  return FALSE;
}

// The page inside the frame: a dialog of its own, made anew for each page.
HWND CurrentPage(HWND frame) {
  HWND page = FindWindowExW(frame, nullptr, L"#32770", nullptr);
  return page && IsWindowVisible(page) ? page : nullptr;
}

bool IsCheckBox(HWND control) {
  wchar_t cls[16] = L"";
  GetClassNameW(control, cls, 16);
  const LONG kind = GetWindowLongW(control, GWL_STYLE) & BS_TYPEMASK;
  return lstrcmpiW(cls, L"Button") == 0 && (kind == BS_AUTOCHECKBOX || kind == BS_CHECKBOX);
}

bool ClickCentre(HWND frame, HWND control) {
  RECT box;
  if (!GetWindowRect(control, &box)) return false;
  SetForegroundWindow(frame);
  ClickPoint({(box.left + box.right) / 2, (box.top + box.bottom) / 2});
  return true;
}

BOOL CALLBACK PrintText(HWND control, LPARAM) {
  std::wstring text = IsWindowVisible(control) ? TextOf(control) : std::wstring();
  if (!text.empty()) Print("text", text);
  return TRUE;
}

BOOL CALLBACK LeftToPaint(HWND control, LPARAM painted) {
  if (IsWindowVisible(control) && GetUpdateRect(control, nullptr, FALSE)) *reinterpret_cast<bool*>(painted) = false;
  return TRUE;
}

BOOL CALLBACK TurnOffCheckBox(HWND control, LPARAM failed) {
  if (!IsWindowVisible(control) || !IsCheckBox(control)) return TRUE;
  if (SendMessageW(control, BM_GETCHECK, 0, 0) != BST_CHECKED) return TRUE;
  ClickCentre(GetAncestor(control, GA_ROOT), control);
  if (WaitFor([control] { return SendMessageW(control, BM_GETCHECK, 0, 0) == BST_UNCHECKED; })) {
    Print("unchecked", TextOf(control));
  } else {
    Print("FAILED", L"a click did not turn off " + TextOf(control));
    *reinterpret_cast<bool*>(failed) = true;
  }
  return TRUE;
}

int Fail(HANDLE process, const std::wstring& why) {
  Print("FAILED", why);
  TerminateProcess(process, 1);
  return 1;
}

}  // namespace

int wmain(int argc, wchar_t** argv) {
  g_out = GetStdHandle(STD_OUTPUT_HANDLE);
  if (argc != 4) {
    WriteLine(GetStdHandle(STD_ERROR_HANDLE), "usage: setup_pages SETUP OUTDIR NAME");
    return 2;
  }
  CoInitializeEx(nullptr, COINIT_APARTMENTTHREADED);
  std::wstring command = L"\"" + std::wstring(argv[1]) + L"\"";
  STARTUPINFOW start = {};
  start.cb = sizeof(start);
  PROCESS_INFORMATION started = {};
  if (!CreateProcessW(argv[1], &command[0], nullptr, nullptr, FALSE, 0, nullptr, nullptr, &start, &started)) {
    Print("FAILED", L"the setup program does not start");
    return 1;
  }
  CloseHandle(started.hThread);
  HANDLE process = started.hProcess;
  auto ended = [process] { return WaitForSingleObject(process, 0) == WAIT_OBJECT_0; };
  Search search = {started.dwProcessId, nullptr};
  if (!WaitFor([&] { return !EnumWindows(FindProcessDialog, reinterpret_cast<LPARAM>(&search)) || ended(); }) ||
      !search.found) {
    return Fail(process, L"no setup window");
  }
  const HWND frame = search.found;
  Print("caption", TextOf(frame));
  HWND last = nullptr;
  for (int number = 1;; ++number) {
    // A page is ready when it is a new one and its default button can be clicked (the
    // installing page keeps it off until the files are in place).
    HWND page = nullptr;
    if (!WaitFor([&] {
          page = CurrentPage(frame);
          HWND button = GetDlgItem(frame, kDefaultButton);
          return ended() || (page && page != last && button && IsWindowEnabled(button));
        })) {
      return Fail(process, L"no page after page " + std::to_wstring(number - 1));
    }
    if (ended()) break;
    // The page is made inside a message of the frame's thread: once that thread answers a
    // message, the page is complete, or it has already given way to the next one (the
    // installing page goes by itself when it is done).
    DWORD_PTR answer = 0;
    SendMessageTimeoutW(frame, WM_NULL, 0, 0, SMTO_NORMAL, kPatienceMs, &answer);
    if (CurrentPage(frame) != page) {
      --number;
      continue;
    }
    Print("page", std::to_wstring(number));
    for (int id : kHeaderIds) {
      HWND header = GetDlgItem(frame, id);
      if (header) PrintText(header, 0);
    }
    EnumChildWindows(page, PrintText, 0);
    const std::wstring png = std::wstring(argv[2]) + L"\\" + argv[3] + L"-" + std::to_wstring(number) + L".png";
    // Drawn anew, and taken once the frame and every control on it have painted themselves; a
    // message answered after that has let the thread put its drawing on the screen.
    RedrawWindow(frame, nullptr, nullptr, RDW_INVALIDATE | RDW_ERASE | RDW_FRAME | RDW_ALLCHILDREN);
    if (!WaitFor([frame] {
          bool painted = !GetUpdateRect(frame, nullptr, FALSE);
          EnumChildWindows(frame, LeftToPaint, reinterpret_cast<LPARAM>(&painted));
          return painted;
        })) {
      return Fail(process, L"page " + std::to_wstring(number) + L" does not paint");
    }
    SendMessageTimeoutW(frame, WM_NULL, 0, 0, SMTO_NORMAL, kPatienceMs, &answer);
    std::wstring error;
    if (!SaveWindowPng(frame, png, error, false)) return Fail(process, png + L": " + error);
    Print("screenshot", png);
    bool failed = false;
    EnumChildWindows(page, TurnOffCheckBox, reinterpret_cast<LPARAM>(&failed));
    if (failed) return Fail(process, L"a check box stayed on");
    ClickCentre(frame, GetDlgItem(frame, kDefaultButton));
    last = page;
    if (!WaitFor([&] { return ended() || CurrentPage(frame) != page; })) {
      return Fail(process, L"page " + std::to_wstring(number) + L" stays after a click on its default button");
    }
  }
  DWORD code = 1;
  GetExitCodeProcess(process, &code);
  Print("exit", std::to_wstring(code));
  CloseHandle(process);
  return 0;
}
