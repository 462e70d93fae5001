#pragma once
// Modeless dialogs from a dialog resource, with a message handler per object.
#include <windows.h>

#include "framework/module.h"

namespace vantorel {

class ModelessDialog {
 public:
  ModelessDialog() noexcept = default;
  ModelessDialog(const ModelessDialog&) = delete;
  ModelessDialog& operator=(const ModelessDialog&) = delete;
  virtual ~ModelessDialog();

  // Creates the dialog from the module's dialog resource in language (framework/ui_language.h);
  // it shows only if the template says so.
  HWND Create(WORD resourceId, HWND owner, LANGID language) noexcept;
  void Destroy() noexcept;
  HWND hwnd() const noexcept { return hwnd_; }

 protected:
  // Return true when handled; result is what the dialog procedure returns (TRUE/FALSE,
  // or for WM_INITDIALOG whether the default focus is to be set).
  virtual bool HandleDialogMessage(UINT msg, WPARAM wParam, LPARAM lParam, INT_PTR& result) = 0;

 private:
  static INT_PTR CALLBACK Proc(HWND, UINT, WPARAM, LPARAM);
  HWND hwnd_ = nullptr;
  bool tearingDown_ = false;
  ModuleLockHolder lock_;
};

}  // namespace vantorel
