#include "view/view_keys.h"

#include "view/band_view.h"

namespace vantorel {

void CViewKeys::Follow(HWND window) noexcept {
  if (hwnd() == window) return;
  if (hwnd() && !Unsubclass()) return;
  if (window) Subclass(window);
}

bool CViewKeys::HandleMessage(UINT msg, WPARAM wParam, LPARAM, LRESULT& result) {
  if (msg != WM_SYSCHAR) return false;
  if (IsFocusInputKey(wParam)) {
    if (notifyWindow_) SendMessageW(notifyWindow_, focusInputMessage_, 0, 0);
  } else {
    view_.TakeFilterOff();
  }
  result = 0;
  return true;
}

}  // namespace vantorel
