#include "box/anchor_window.h"

namespace vantorel {

bool CAnchorWindow::HandleMessage(UINT msg, WPARAM wParam, LPARAM lParam, LRESULT& result) {
  switch (msg) {
    case WM_WINDOWPOSCHANGED:
    case WM_SHOWWINDOW:
    case WM_SIZE:
    case WM_DPICHANGED:
      // The window's own handling first: the box follows where it ends up.
      result = CallNext(msg, wParam, lParam);
      owner_.OnAnchorChanged();
      return true;
    default:
      return false;
  }
}

}  // namespace vantorel
