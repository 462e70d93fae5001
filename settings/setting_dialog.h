#pragma once
// The settings dialog: a modeless dialog (resource 104) in which the option bits of a band's
// settings record are edited. Created hidden once per band; shown from the band's mode menu.
#include <windows.h>

#include "framework/dialog.h"
#include "settings/settings.h"

namespace vantorel {

class CSettingDlg : public ModelessDialog {
 public:
  // Creates the dialog from its resource in language, owned by owner, hidden.
  HWND Create(HWND owner, LANGID language) noexcept;
  // Fills the controls from settings->Options, keeps the record and the window to notify,
  // centres the dialog over its owner (or the work area) and shows it. After OK the window
  // gets changedMessage (0, 0). The button 「診断情報をコピー」 sends it diagnosisMessage (0, 0),
  // answered with nonzero once the report is on the clipboard, which a balloon on the button
  // then says; without that message the button does nothing.
  void Show(Settings* settings, HWND notify, UINT changedMessage, UINT diagnosisMessage = 0) noexcept;
  // The band was hidden or shown again: a shown dialog hides with it and comes back as it was
  // left, its edits kept, without taking the activation.
  void ShowWithBand(bool shown) noexcept;

  Settings* settings() const noexcept { return settings_; }
  HWND notifyWindow() const noexcept { return notify_; }

  // The option word the controls stand for; bits without a control are never set.
  DWORD OptionsFromControls() const noexcept;

 protected:
  bool HandleDialogMessage(UINT msg, WPARAM wParam, LPARAM lParam, INT_PTR& result) override;

 private:
  void SetControls(DWORD options) noexcept;
  void Centre() noexcept;
  void OnOk() noexcept;
  void OnCopyDiagnosis() noexcept;
  void HideBalloon() noexcept;

  Settings* settings_ = nullptr;
  HWND notify_ = nullptr;
  UINT changedMessage_ = 0;
  UINT diagnosisMessage_ = 0;
  HWND balloon_ = nullptr;  // a tooltip owned by the dialog, destroyed with it
  LANGID language_ = 0;     // of the dialog's template, and so of its balloon's text
  bool hiddenWithBand_ = false;
};

}  // namespace vantorel
