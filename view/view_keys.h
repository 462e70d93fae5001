#pragma once
// The keys of a folder view that has no list view (the items view's "DirectUIHWND"), where the
// filtering wrapper cannot see them: Alt+S sends a message to the band window, any other
// Alt+letter takes the band's filter off the view, so that the next refresh shows everything.
#include <windows.h>

#include "framework/window.h"

namespace vantorel {

class CBandView;

// Whether the character of a WM_SYSCHAR is Alt+S, the key into the input box: lower or upper case
// alike, as Shift and Caps Lock make it.
inline bool IsFocusInputKey(WPARAM character) noexcept { return character == L's' || character == L'S'; }

class CViewKeys : public Window {
 public:
  explicit CViewKeys(CBandView& view) noexcept : view_(view) {}
  ~CViewKeys() override { Unsubclass(); }

  // Alt+S in the view sends focusInputMessage (0, 0) to window.
  void SetNotifyWindow(HWND window, UINT focusInputMessage) noexcept {
    notifyWindow_ = window;
    focusInputMessage_ = focusInputMessage;
  }
  // In front of window from now on (off any other); null takes it off.
  void Follow(HWND window) noexcept;

 protected:
  bool HandleMessage(UINT msg, WPARAM wParam, LPARAM lParam, LRESULT& result) override;

 private:
  CBandView& view_;
  HWND notifyWindow_ = nullptr;
  UINT focusInputMessage_ = 0;
};

}  // namespace vantorel
