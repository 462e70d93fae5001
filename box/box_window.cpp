#include "box/box_window.h"

namespace vantorel {
namespace {

constexpr DWORD kBoxStyle = WS_POPUP | WS_BORDER | WS_CLIPCHILDREN;
constexpr DWORD kBoxExStyle = WS_EX_TOOLWINDOW;

const WindowClassSpec kBoxClass = {L"Vantorel Box", nullptr, CS_DROPSHADOW,
                                   reinterpret_cast<HBRUSH>(COLOR_WINDOW + 1), IDC_ARROW};

}  // namespace

bool CBoxWindow::CreateBox(HWND frame) noexcept {
  return Create(kBoxClass, frame, nullptr, kBoxStyle, kBoxExStyle, 0, 0, 0, 0, nullptr) != nullptr;
}

SIZE CBoxWindow::OuterSize(int width, int height) const noexcept {
  RECT rect = {0, 0, width, height};
  AdjustWindowRectEx(&rect, kBoxStyle, FALSE, kBoxExStyle);
  return {rect.right - rect.left, rect.bottom - rect.top};
}

bool CBoxWindow::HandleMessage(UINT msg, WPARAM wParam, LPARAM lParam, LRESULT& result) {
  result = 0;
  switch (msg) {
    case WM_SETFOCUS:
      owner_.OnBoxFocused();
      return true;
    case WM_ACTIVATE:
      if (LOWORD(wParam) == WA_INACTIVE) {
        OnDeactivated(reinterpret_cast<HWND>(lParam));
      } else if (HWND frame = owner_.OwnerFrame()) {
        // Also where the frame's deactivation did not name the box (its lParam is not documented
        // to), the frame's caption is drawn active again, as a tool palette's owner's is.
        SendMessageW(frame, WM_NCACTIVATE, TRUE, 0);
      }
      return false;
    case WM_SYSCOMMAND:
      // The box has no commands of its own: closing, the system menu and the frame's menu keys
      // are the frame's.
      PostMessageW(owner_.OwnerFrame(), WM_SYSCOMMAND, wParam, lParam);
      return true;
    case WM_SHOWWINDOW:
      // Windows shows the owned popups of a frame coming back from the task bar; a box whose
      // tab is in the background stays hidden.
      return wParam && lParam == SW_PARENTOPENING && !owner_.BoxBelongsShown();
    case WM_SIZE:
      owner_.OnBoxResized();
      return true;
    case WM_DPICHANGED:
      owner_.OnBoxDpiChanged();
      return true;
    case WM_DESTROY:
      owner_.OnBoxDestroyed();
      return false;
    default:
      return false;
  }
}

// The frame's caption stays active while the box has the focus (see the frame's subclass); when
// the activation leaves the box for anything but the frame, the frame is told it is inactive.
void CBoxWindow::OnDeactivated(HWND activated) noexcept {
  HWND frame = owner_.OwnerFrame();
  if (frame && activated != frame) SendMessageW(frame, WM_NCACTIVATE, FALSE, 0);
}

}  // namespace vantorel
