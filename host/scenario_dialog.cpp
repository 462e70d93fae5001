// The steps that use the band's settings dialog: real clicks on its controls and its close box,
// and what it shows.
#include <algorithm>
#include <cstdlib>

#include "host/scenario_output.h"
#include "host/scenario_runner.h"
#include "settings/setting_dialog_ids.h"

namespace vantorel::host {
namespace {

constexpr wchar_t kDialogClass[] = L"#32770";
// The dialog's check boxes and radio buttons, in the order --print dialog lists them.
constexpr int kDialogChoices[] = {IDC_SETTING_CASE,        IDC_SETTING_DIGIT_WIDTH, IDC_SETTING_WIDTH_FORMS,
                                  IDC_SETTING_RUN_ON_INPUT, IDC_SETTING_HISTORY,    IDC_SETTING_AUTO_FILTER,
                                  IDC_SETTING_DEFAULT_AND, IDC_SETTING_DEFAULT_OR};

bool IsRadio(int id) { return id == IDC_SETTING_DEFAULT_AND || id == IDC_SETTING_DEFAULT_OR; }

bool IsChoice(int id) {
  return std::find(std::begin(kDialogChoices), std::end(kDialogChoices), id) != std::end(kDialogChoices);
}

// "click:ID": a push button of the dialog.
bool SplitClickAction(const std::wstring& action, int& id) {
  return action.compare(0, 6, L"click:") == 0 && ParseCount(action.substr(6), id);
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

// The band's settings dialog: a top-level dialog of this thread, as the band makes it on the
// thread of its Explorer window, known by its controls in whatever language it speaks. Each tab's
// band has one: the one shown, as the user sees it, else the first.
HWND SettingDialog() {
  HWND first = nullptr;
  for (HWND dialog = nullptr; (dialog = NextThreadWindow(kDialogClass, dialog)) != nullptr;) {
    if (!GetDlgItem(dialog, IDC_SETTING_CASE) || !GetDlgItem(dialog, IDC_SETTING_DEFAULT_OR)) continue;
    if (IsWindowVisible(dialog)) return dialog;
    if (!first) first = dialog;
  }
  return first;
}

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

bool CheckDialogAction(const std::wstring& action, std::wstring& error) {
  int id = 0;
  bool check = false;
  if (action == L"ok" || action == L"cancel" || action == L"close" || SplitClickAction(action, id)) return true;
  if (!SplitCheckAction(action, id, check) || !IsChoice(id)) {
    error = L"--dialog knows check:ID, uncheck:ID (ID 201, 202, 203, 205, 206, 207, 209, 210), click:ID, ok, cancel, "
            L"close; not " + action;
    return false;
  }
  if (!check && IsRadio(id)) {
    error = L"--dialog " + action + L": a radio button is unchecked by checking the other one";
    return false;
  }
  return true;
}

// Every action is a real left click, as a user makes it: on the middle of a control, or on the
// caption's close box.
bool ScenarioRunner::Dialog(const std::wstring& action, std::wstring& error) {
  HWND dialog = nullptr;
  if (!PumpUntil([&dialog] { return (dialog = SettingDialog()) != nullptr && IsWindowVisible(dialog); })) {
    error = L"--dialog " + action + L": the settings dialog of this window is not shown (waited " +
            std::to_wstring(kAppearBound / 1000) + L" s)";
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
    int pressed = 0;
    bool toggle = SplitCheckAction(action, id, check);
    bool click = SplitClickAction(action, pressed);
    target = GetDlgItem(dialog, toggle ? id : click ? pressed : action == L"ok" ? IDOK : IDCANCEL);
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
bool ScenarioRunner::PrintPlacement(const std::wstring&, std::wstring&) {
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

// clipboard: the text as a user would paste it, each line on its own.
bool ScenarioRunner::PrintClipboard(const std::wstring&, std::wstring&) {
  std::wstring text;
  if (OpenClipboard(nullptr)) {
    if (HANDLE data = GetClipboardData(CF_UNICODETEXT)) {
      if (const auto* at = static_cast<const wchar_t*>(GlobalLock(data))) {
        text = at;
        GlobalUnlock(data);
      }
    }
    CloseClipboard();
  }
  if (text.empty()) output_("noclipboard");
  for (size_t start = 0; start < text.size();) {
    size_t end = text.find_first_of(L"\r\n", start);
    if (end == std::wstring::npos) end = text.size();
    output_("clipboard\t" + Utf8(text.substr(start, end - start)));
    start = text.find_first_not_of(L"\r\n", end);
    if (start == std::wstring::npos) break;
  }
  return true;
}

bool ScenarioRunner::PrintDialog(const std::wstring&, std::wstring&) {
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

}  // namespace vantorel::host
