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
      KeepFrameCaption(LOWORD(wParam) != WA_INACTIVE, reinterpret_cast<HWND>(lParam));
      return false;
    case WM_MOUSEACTIVATE:
      result = OnMouseActivate();
      return true;
    case WM_SETTINGCHANGE:
    case WM_SYSCOLORCHANGE:
      PassToBand(msg, wParam, lParam);
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

// The frame's caption stays active while the box is active, as a tool palette's owner's does:
// told so whenever the box is activated, and told it is inactive when the activation leaves the
// box for anything but the frame (the other window of WM_ACTIVATE).
void CBoxWindow::KeepFrameCaption(bool boxActive, HWND other) noexcept {
  HWND frame = owner_.OwnerFrame();
  if (!frame || (!boxActive && other == frame)) return;
  SendMessageW(frame, WM_NCACTIVATE, boxActive ? TRUE : FALSE, 0);
}

// A click on the box activates it, and its frame comes up with it, right under it, as the user
// means the window whose box it is.
LRESULT CBoxWindow::OnMouseActivate() noexcept {
  HWND frame = owner_.OwnerFrame();
  if (frame && GetWindow(hwnd(), GW_HWNDNEXT) != frame) {
    SetWindowPos(frame, hwnd(), 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE | SWP_NOACTIVATE);
  }
  return MA_ACTIVATE;
}

// Windows tells top-level windows only of changes of the user's colours and settings.
void CBoxWindow::PassToBand(UINT msg, WPARAM wParam, LPARAM lParam) noexcept {
  for (HWND child = GetWindow(hwnd(), GW_CHILD); child; child = GetWindow(child, GW_HWNDNEXT)) {
    SendMessageW(child, msg, wParam, lParam);
  }
}

}  // namespace vantorel
