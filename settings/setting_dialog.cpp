#include "settings/setting_dialog.h"

#include <commctrl.h>

#include "framework/activation_context.h"
#include "framework/ui_language.h"
#include "settings/setting_dialog_ids.h"

namespace vantorel {
namespace {

constexpr UINT_PTR kBalloonTimer = 1;
constexpr UINT kBalloonShownMs = 4000;

void SetCheck(HWND dialog, int id, bool checked) noexcept {
  SendDlgItemMessageW(dialog, id, BM_SETCHECK, checked ? BST_CHECKED : BST_UNCHECKED, 0);
}

bool IsChecked(HWND dialog, int id) noexcept {
  return SendDlgItemMessageW(dialog, id, BM_GETCHECK, 0, 0) == BST_CHECKED;
}

bool IsUnchecked(HWND dialog, int id) noexcept {
  return SendDlgItemMessageW(dialog, id, BM_GETCHECK, 0, 0) == BST_UNCHECKED;
}

}  // namespace

HWND CSettingDlg::Create(HWND owner, LANGID language) noexcept {
  language_ = language;
  return ModelessDialog::Create(IDD_SETTING_DIALOG, owner, language);
}

void CSettingDlg::Show(Settings* settings, HWND notify, UINT changedMessage, UINT diagnosisMessage) noexcept {
  HWND dialog = hwnd();
  if (!dialog || !settings) return;
  SetControls(settings->Options);
  settings_ = settings;
  notify_ = notify;
  changedMessage_ = changedMessage;
  diagnosisMessage_ = diagnosisMessage;
  hiddenWithBand_ = false;
  Centre();
  ShowWindow(dialog, SW_SHOW);
}

void CSettingDlg::ShowWithBand(bool shown) noexcept {
  HWND dialog = hwnd();
  if (!dialog) return;
  if (!shown && IsWindowVisible(dialog)) {
    hiddenWithBand_ = true;
    ShowWindow(dialog, SW_HIDE);
  } else if (shown && hiddenWithBand_) {
    hiddenWithBand_ = false;
    ShowWindow(dialog, SW_SHOWNA);
  }
}

void CSettingDlg::SetControls(DWORD options) noexcept {
  HWND dialog = hwnd();
  SetCheck(dialog, IDC_SETTING_CASE, (options & kFoldCase) == 0);
  SetCheck(dialog, IDC_SETTING_DIGIT_WIDTH, (options & kFoldDigitWidth) == 0);
  SetCheck(dialog, IDC_SETTING_WIDTH_FORMS, (options & kFoldWidthForms) == 0);
  SetCheck(dialog, IDC_SETTING_RUN_ON_INPUT, (options & kRunOnInputOption) != 0);
  SetCheck(dialog, IDC_SETTING_HISTORY, (options & kKeepHistoryOption) != 0);
  SetCheck(dialog, IDC_SETTING_AUTO_FILTER, (options & kAutoFilterWithTreeOption) != 0);
  bool defaultAnd = (options & kDefaultAnd) != 0;
  SetCheck(dialog, IDC_SETTING_DEFAULT_AND, defaultAnd);
  SetCheck(dialog, IDC_SETTING_DEFAULT_OR, !defaultAnd);
}

DWORD CSettingDlg::OptionsFromControls() const noexcept {
  HWND dialog = hwnd();
  DWORD options = 0;
  if (!dialog) return options;
  if (IsUnchecked(dialog, IDC_SETTING_CASE)) options |= kFoldCase;
  if (IsUnchecked(dialog, IDC_SETTING_DIGIT_WIDTH)) options |= kFoldDigitWidth;
  if (IsUnchecked(dialog, IDC_SETTING_WIDTH_FORMS)) options |= kFoldWidthForms;
  if (IsChecked(dialog, IDC_SETTING_RUN_ON_INPUT)) options |= kRunOnInputOption;
  if (IsChecked(dialog, IDC_SETTING_HISTORY)) options |= kKeepHistoryOption;
  if (IsChecked(dialog, IDC_SETTING_AUTO_FILTER)) options |= kAutoFilterWithTreeOption;
  if (IsChecked(dialog, IDC_SETTING_DEFAULT_AND)) options |= kDefaultAnd;
  return options;
}

// Over the owner when it is visible and not minimised, else over the work area; always moved
// inside the work area of the monitor it lands on.
void CSettingDlg::Centre() noexcept {
  HWND dialog = hwnd();
  RECT self;
  if (!GetWindowRect(dialog, &self)) return;
  HWND owner = GetWindow(dialog, GW_OWNER);
  bool overOwner = owner && IsWindowVisible(owner) && !IsIconic(owner);

  HMONITOR monitor = MonitorFromWindow(overOwner ? owner : dialog, MONITOR_DEFAULTTONEAREST);
  MONITORINFO info = {};
  info.cbSize = sizeof(info);
  RECT work;
  if (monitor && GetMonitorInfoW(monitor, &info)) {
    work = info.rcWork;
  } else if (!SystemParametersInfoW(SPI_GETWORKAREA, 0, &work, 0)) {
    return;
  }
  RECT centreOn = work;
  if (overOwner) GetWindowRect(owner, &centreOn);

  LONG width = self.right - self.left;
  LONG height = self.bottom - self.top;
  LONG x = centreOn.left + ((centreOn.right - centreOn.left) - width) / 2;
  LONG y = centreOn.top + ((centreOn.bottom - centreOn.top) - height) / 2;
  if (x + width > work.right) x = work.right - width;
  if (y + height > work.bottom) y = work.bottom - height;
  if (x < work.left) x = work.left;
  if (y < work.top) y = work.top;
  SetWindowPos(dialog, nullptr, x, y, 0, 0, SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
}

void CSettingDlg::OnOk() noexcept {
  DWORD options = OptionsFromControls();
  if (settings_ && options != settings_->Options) {
    settings_->Options = options;
    SaveSettings(*settings_);
  }
  ShowWindow(hwnd(), SW_HIDE);
  if (notify_) SendMessageW(notify_, changedMessage_, 0, 0);
}

void CSettingDlg::OnCopyDiagnosis() noexcept {
  HWND button = GetDlgItem(hwnd(), IDC_SETTING_DIAGNOSIS);
  if (!notify_ || !diagnosisMessage_ || !button || !SendMessageW(notify_, diagnosisMessage_, 0, 0)) return;
  // The band's answer ran no messages, but the dialog may have been hidden meanwhile.
  if (!hwnd() || !IsWindowVisible(hwnd())) return;
  if (!balloon_) {
    ScopedModuleActivation controls6;
    balloon_ = CreateWindowExW(WS_EX_TOPMOST, TOOLTIPS_CLASSW, nullptr, WS_POPUP | TTS_BALLOON | TTS_NOPREFIX,
                               0, 0, 0, 0, hwnd(), nullptr, Module::Instance(), nullptr);
  }
  if (!balloon_) return;
  wchar_t text[128] = L"";
  LoadStringIn(IDS_SETTING_DIAGNOSIS_COPIED, language_, text, 128);
  TTTOOLINFOW tool = {};
  tool.cbSize = sizeof(tool);
  tool.uFlags = TTF_TRACK | TTF_ABSOLUTE | TTF_IDISHWND;
  tool.hwnd = hwnd();
  tool.uId = reinterpret_cast<UINT_PTR>(button);
  tool.lpszText = text;
  SendMessageW(balloon_, TTM_DELTOOLW, 0, reinterpret_cast<LPARAM>(&tool));
  SendMessageW(balloon_, TTM_ADDTOOLW, 0, reinterpret_cast<LPARAM>(&tool));
  RECT place;
  GetWindowRect(button, &place);
  SendMessageW(balloon_, TTM_TRACKPOSITION, 0, MAKELPARAM((place.left + place.right) / 2, place.bottom));
  SendMessageW(balloon_, TTM_TRACKACTIVATE, TRUE, reinterpret_cast<LPARAM>(&tool));
  SetTimer(hwnd(), kBalloonTimer, kBalloonShownMs, nullptr);
}

void CSettingDlg::HideBalloon() noexcept {
  KillTimer(hwnd(), kBalloonTimer);
  if (!balloon_) return;
  TTTOOLINFOW tool = {};
  tool.cbSize = sizeof(tool);
  tool.hwnd = hwnd();
  tool.uId = reinterpret_cast<UINT_PTR>(GetDlgItem(hwnd(), IDC_SETTING_DIAGNOSIS));
  SendMessageW(balloon_, TTM_TRACKACTIVATE, FALSE, reinterpret_cast<LPARAM>(&tool));
}

bool CSettingDlg::HandleDialogMessage(UINT msg, WPARAM wParam, LPARAM, INT_PTR& result) {
  switch (msg) {
    case WM_INITDIALOG:
      settings_ = nullptr;
      notify_ = nullptr;
      balloon_ = nullptr;
      hiddenWithBand_ = false;
      // The dialog is made hidden together with the band: taking the focus now would take it
      // from Explorer into a window nobody sees. Shown, the dialog is activated and the dialog
      // manager puts the focus on its first tab stop then.
      result = FALSE;
      return true;
    case WM_TIMER:
      if (wParam != kBalloonTimer) return false;
      HideBalloon();
      return true;
    case WM_SHOWWINDOW:
      if (!wParam) HideBalloon();
      return false;
    case WM_COMMAND:
      if (HIWORD(wParam) != BN_CLICKED) return false;
      if (LOWORD(wParam) == IDC_SETTING_DIAGNOSIS) {
        OnCopyDiagnosis();
        result = 0;
        return true;
      }
      if (LOWORD(wParam) == IDOK) {
        OnOk();
        result = 0;
        return true;
      }
      if (LOWORD(wParam) == IDCANCEL) {
        ShowWindow(hwnd(), SW_HIDE);
        result = 0;
        return true;
      }
      return false;
    default:
      return false;
  }
}

}  // namespace vantorel
