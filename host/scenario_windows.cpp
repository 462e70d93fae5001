#include "host/scenario_windows.h"

#include <cstdlib>
#include <cwchar>
#include <memory>
#include <vector>

#include "settings/setting_dialog_ids.h"

namespace vantorel::host {
namespace {

constexpr int kMostWindows = 16;
constexpr wchar_t kDialogClass[] = L"#32770";
constexpr wchar_t kDialogTitle[] = L"Vantorel\x306E\x8A2D\x5B9A";
// The dialog's check boxes and radio buttons, in the order --print dialog lists them.
constexpr int kDialogChoices[] = {IDC_SETTING_CASE,        IDC_SETTING_DIGIT_WIDTH, IDC_SETTING_RUN_ON_INPUT,
                                  IDC_SETTING_HISTORY,     IDC_SETTING_AUTO_FILTER, IDC_SETTING_DEFAULT_AND,
                                  IDC_SETTING_DEFAULT_OR};

bool ParseCount(const std::wstring& text, int& value) {
  if (text.empty() || text.size() > 4) return false;
  value = 0;
  for (wchar_t c : text) {
    if (c < L'0' || c > L'9') return false;
    value = value * 10 + (c - L'0');
  }
  return true;
}

bool IsRadio(int id) { return id == IDC_SETTING_DEFAULT_AND || id == IDC_SETTING_DEFAULT_OR; }

bool IsChoice(int id) {
  for (int choice : kDialogChoices) {
    if (choice == id) return true;
  }
  return false;
}

// "check:ID" or "uncheck:ID": the control and whether it is to end checked.
bool SplitCheckAction(const std::wstring& action, int& id, bool& check) {
  size_t colon = action.find(L':');
  if (colon == std::wstring::npos) return false;
  std::wstring verb = action.substr(0, colon);
  if (verb != L"check" && verb != L"uncheck") return false;
  check = verb == L"check";
  return ParseCount(action.substr(colon + 1), id);
}

struct DialogSearch {
  HWND found = nullptr;
};

BOOL CALLBACK FindSettingDialog(HWND window, LPARAM param) {
  wchar_t name[16] = L"";
  wchar_t title[64] = L"";
  GetClassNameW(window, name, 16);
  GetWindowTextW(window, title, 64);
  if (std::wcscmp(name, kDialogClass) == 0 && std::wcscmp(title, kDialogTitle) == 0) {
    reinterpret_cast<DialogSearch*>(param)->found = window;
    return FALSE;
  }
  return TRUE;
}

}  // namespace

const char kWindowStepsUsage[] =
    "  --windows N          open N Explorer windows (1 to 16), each on its own thread with its own\n"
    "                       band made from the same module, all over --folder\n"
    "  --in K               the following steps act in window K (1 to N) until the next --in;\n"
    "                       before the first --in they act in window 1\n"
    "  --close K            close window K as Explorer does (quit event, band let go, frame gone);\n"
    "                       the other windows go on. Windows still open at the end are closed from\n"
    "                       1 up, so the highest one's band saves \"setting\" last\n"
    "  --dialog ACTION      a real click on the band's shown settings dialog:\n"
    "                       check:ID, uncheck:ID (201 202 205 206 207; radio buttons 209 210 are\n"
    "                       only checked), ok, cancel, close (the close box)\n"
    "  --print dialog       dialog<TAB>visible=0|1<TAB>checked=ID,ID,...\n"
    "  --print placement    placement<TAB>over-frame=0|1<TAB>over-workarea=0|1: whether the shown\n"
    "                       dialog is centred over the Explorer window, over the work area\n"
    "  With N > 1 every output line starts with the number of its window and a tab, e.g.\n"
    "  \"2<TAB>selected<TAB>beta.txt\"; error lines name the window.\n";

bool ParseWindowArgument(const std::wstring& option, const std::wstring& value, ScenarioArgs& out,
                         std::wstring& error) {
  if (option == L"--windows") {
    if (!ParseCount(value, out.windows) || out.windows < 1 || out.windows > kMostWindows) {
      error = L"--windows wants a number from 1 to 16, not " + value;
      return false;
    }
    return true;
  }
  if (option == L"--in" || option == L"--close") {
    int number = 0;
    if (!ParseCount(value, number) || number < 1) {
      error = option + L" wants a window number from 1 up, not " + value;
      return false;
    }
    out.steps.push_back({option == L"--in" ? ScenarioStep::Kind::In : ScenarioStep::Kind::Close, value});
    return true;
  }
  // --dialog
  int id = 0;
  bool check = false;
  if (value == L"ok" || value == L"cancel" || value == L"close") {
    out.steps.push_back({ScenarioStep::Kind::Dialog, value});
    return true;
  }
  if (!SplitCheckAction(value, id, check) || !IsChoice(id)) {
    error = L"--dialog knows check:ID, uncheck:ID (ID 201, 202, 205, 206, 207, 209, 210), ok, cancel, close; not " +
            value;
    return false;
  }
  if (!check && IsRadio(id)) {
    error = L"--dialog " + value + L": a radio button is unchecked by checking the other one";
    return false;
  }
  out.steps.push_back({ScenarioStep::Kind::Dialog, value});
  return true;
}

bool CheckWindowNumbers(const ScenarioArgs& args, std::wstring& error) {
  for (const ScenarioStep& step : args.steps) {
    if (step.kind != ScenarioStep::Kind::In && step.kind != ScenarioStep::Kind::Close) continue;
    int number = 0;
    ParseCount(step.argument, number);
    if (number > args.windows) {
      error = (step.kind == ScenarioStep::Kind::In ? L"--in " : L"--close ") + step.argument +
              L": there are only " + std::to_wstring(args.windows) + L" windows (--windows N)";
      return false;
    }
  }
  return true;
}

// --- the settings dialog steps -----------------------------------------------------------

// The band's settings dialog: a top-level window of this thread, as the band makes it on the
// thread of its Explorer window.
HWND ScenarioRunner::SettingDialog() const {
  DialogSearch search;
  EnumThreadWindows(GetCurrentThreadId(), &FindSettingDialog, reinterpret_cast<LPARAM>(&search));
  return search.found;
}

namespace {

// The dialog's close box: the point of its caption row that hit-tests as the close button.
bool CloseBoxPoint(HWND dialog, POINT& point) {
  RECT rc;
  if (!GetWindowRect(dialog, &rc)) return false;
  int y = rc.top + GetSystemMetrics(SM_CYFIXEDFRAME) + GetSystemMetrics(SM_CYCAPTION) / 2;
  for (int x = rc.right - 1; x > rc.left; --x) {
    LRESULT hit = SendMessageW(dialog, WM_NCHITTEST, 0, MAKELPARAM(x, y));
    if (hit == HTCLOSE) {
      // The middle of the button's run of points along the row.
      int right = x;
      while (x > rc.left && SendMessageW(dialog, WM_NCHITTEST, 0, MAKELPARAM(x - 1, y)) == HTCLOSE) --x;
      point = {(x + right) / 2, y};
      return true;
    }
  }
  return false;
}

}  // namespace

// Every action is a real left click, as a user makes it: on the middle of a control, or on the
// caption's close box.
bool ScenarioRunner::Dialog(const std::wstring& action, std::wstring& error) {
  HWND dialog = SettingDialog();
  if (!dialog || !IsWindowVisible(dialog)) {
    error = L"--dialog " + action + L": the settings dialog is not shown";
    return false;
  }
  int id = 0;
  bool check = false;
  HWND target = nullptr;
  POINT point = {};
  if (action == L"close") {
    target = dialog;
    if (!CloseBoxPoint(dialog, point)) {
      error = L"--dialog close: the dialog has no close box";
      return false;
    }
  } else {
    bool toggle = SplitCheckAction(action, id, check);
    target = GetDlgItem(dialog, toggle ? id : action == L"ok" ? IDOK : IDCANCEL);
    RECT rc;
    if (!target || !GetWindowRect(target, &rc)) {
      error = L"--dialog " + action + L": no such control";
      return false;
    }
    if (toggle && (IsDlgButtonChecked(dialog, id) == BST_CHECKED) == check) return true;
    point = {(rc.left + rc.right) / 2, (rc.top + rc.bottom) / 2};
  }
  if (!ClickAt(point, target, error)) {
    error = L"--dialog " + action + L": " + error;
    return false;
  }
  if (id && (IsDlgButtonChecked(dialog, id) == BST_CHECKED) != check) {
    error = L"--dialog " + action + L": the control did not take the click";
    return false;
  }
  return true;
}

// placement: whether the shown dialog is centred (to a pixel) over its owner, the Explorer
// window, and whether it is centred over the work area.
bool ScenarioRunner::PrintPlacement() {
  HWND dialog = SettingDialog();
  RECT box = {}, frame = {}, work = {};
  if (!dialog || !IsWindowVisible(dialog) || !GetWindowRect(dialog, &box) ||
      !GetWindowRect(GetWindow(dialog, GW_OWNER), &frame) || !SystemParametersInfoW(SPI_GETWORKAREA, 0, &work, 0)) {
    output_("placement\tnone");
    return true;
  }
  auto centred = [&box](const RECT& over) {
    return std::abs((box.left + box.right) - (over.left + over.right)) <= 2 &&
           std::abs((box.top + box.bottom) - (over.top + over.bottom)) <= 2;
  };
  output_(std::string("placement\tover-frame=") + (centred(frame) ? "1" : "0") +
          "\tover-workarea=" + (centred(work) ? "1" : "0"));
  return true;
}

bool ScenarioRunner::PrintDialog() {
  HWND dialog = SettingDialog();
  std::string checked;
  if (dialog) {
    for (int id : kDialogChoices) {
      if (IsDlgButtonChecked(dialog, id) != BST_CHECKED) continue;
      if (!checked.empty()) checked += ",";
      checked += std::to_string(id);
    }
  }
  output_(std::string("dialog\tvisible=") + (dialog && IsWindowVisible(dialog) ? "1" : "0") + "\tchecked=" + checked);
  return true;
}

// --- several windows -----------------------------------------------------------------------

bool RunScenarioWindows(const ScenarioArgs& args, const WindowThreadSetup& setup, const std::wstring& settingsPath,
                        const ScenarioRunner::Output& output, std::wstring& error) {
  const int count = args.windows;
  auto name = [count](int number) {
    return count > 1 ? L"window " + std::to_wstring(number) + L": " : std::wstring();
  };
  std::vector<std::unique_ptr<ExplorerWindowThread>> windows;
  std::vector<std::unique_ptr<ScenarioRunner>> runners(static_cast<size_t>(count));
  for (int number = 1; number <= count; ++number) {
    std::wstring startError;
    auto window = ExplorerWindowThread::Start(setup, startError);
    if (!window) {
      error = name(number) + startError;
      return false;
    }
    windows.push_back(std::move(window));
  }
  if (args.steps.empty()) {
    for (auto& window : windows) window->WaitUntilEnded();
    return true;
  }

  int current = 1;
  bool ok = true;
  for (const ScenarioStep& step : args.steps) {
    if (step.kind == ScenarioStep::Kind::In || step.kind == ScenarioStep::Kind::Close) {
      int number = std::stoi(step.argument);
      if (step.kind == ScenarioStep::Kind::In) {
        current = number;
      } else {
        windows[static_cast<size_t>(number - 1)]->Close();
      }
      continue;
    }
    const int number = current;
    std::unique_ptr<ScenarioRunner>& runner = runners[static_cast<size_t>(number - 1)];
    bool stepOk = false;
    std::wstring stepError;
    bool ran = windows[static_cast<size_t>(number - 1)]->Call([&](ExplorerHost& host) {
      if (!runner) {
        ScenarioRunner::Output lines = output;
        if (count > 1) {
          lines = [output, number](const std::string& line) { output(std::to_string(number) + "\t" + line); };
        }
        runner = std::make_unique<ScenarioRunner>(host, lines, settingsPath);
      }
      stepOk = runner->Run(step, stepError);
    });
    if (!ran) {
      error = name(number) + L"the window is closed";
      ok = false;
      break;
    }
    if (!stepOk) {
      error = name(number) + stepError;
      ok = false;
      break;
    }
  }
  for (size_t i = 0; i < windows.size(); ++i) {
    // The runner belongs to its window's thread and goes while that thread still runs.
    windows[i]->Call([&runners, i](ExplorerHost&) { runners[i].reset(); });
    windows[i]->Close();
  }
  return ok;
}

}  // namespace vantorel::host
