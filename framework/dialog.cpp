#include "framework/dialog.h"

#include "framework/ui_language.h"

namespace vantorel {
namespace {

// What the dialog's user data holds once its object went while the window stayed: the dialog
// procedure of this module is still the window's, so the window keeps a module lock until it
// is destroyed.
char g_orphaned;
const LONG_PTR kOrphaned = reinterpret_cast<LONG_PTR>(&g_orphaned);

}  // namespace

ModelessDialog::~ModelessDialog() {
  tearingDown_ = true;
  Destroy();
  if (hwnd_) {
    // Could not be destroyed (another thread's window): cut it loose from this object.
    Module::Lock();
    SetWindowLongPtrW(hwnd_, DWLP_USER, kOrphaned);
    hwnd_ = nullptr;
  }
}

HWND ModelessDialog::Create(WORD resourceId, HWND owner, LANGID language) noexcept {
  if (hwnd_) return nullptr;
  auto dialog = static_cast<LPCDLGTEMPLATEW>(ModuleResource(RT_DIALOG, MAKEINTRESOURCEW(resourceId), language));
  if (!dialog) return nullptr;
  return CreateDialogIndirectParamW(Module::Instance(), dialog, owner, &ModelessDialog::Proc,
                                    reinterpret_cast<LPARAM>(this));
}

void ModelessDialog::Destroy() noexcept {
  if (hwnd_) DestroyWindow(hwnd_);
}

INT_PTR CALLBACK ModelessDialog::Proc(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam) {
  ModelessDialog* self = nullptr;
  if (msg == WM_INITDIALOG) {
    self = reinterpret_cast<ModelessDialog*>(lParam);
    SetWindowLongPtrW(hwnd, DWLP_USER, lParam);
    self->hwnd_ = hwnd;
  } else {
    LONG_PTR user = GetWindowLongPtrW(hwnd, DWLP_USER);
    if (user == kOrphaned) {
      if (msg == WM_NCDESTROY) {
        SetWindowLongPtrW(hwnd, DWLP_USER, 0);
        Module::Unlock();
      }
      return FALSE;
    }
    self = reinterpret_cast<ModelessDialog*>(user);
  }
  if (!self) return FALSE;
  INT_PTR result = FALSE;
  bool handled = false;
  if (!self->tearingDown_) {
    try {
      handled = self->HandleDialogMessage(msg, wParam, lParam, result);
    } catch (...) {
      handled = false;
    }
  }
  if (msg == WM_NCDESTROY) {
    SetWindowLongPtrW(hwnd, DWLP_USER, 0);
    self->hwnd_ = nullptr;
  }
  return handled ? result : FALSE;
}

}  // namespace vantorel
