#include "input/edit_window.h"


namespace vantorel {
namespace {
const WindowClassSpec kEditBoxClass = {L"Vantorel Editbox", L"EDIT", 0, nullptr, nullptr};
}

HWND CEditWindow::CreateBox(HWND parent, DWORD style, DWORD exStyle, const InputBoxMessages& messages) noexcept {
  messages_ = messages;
  return Create(kEditBoxClass, parent, L"", style, exStyle, 0, 0, 0, 0, nullptr);
}

void CEditWindow::SetRunState(DWORD runMode, DWORD noMatch) {
  runMode_ = runMode;
  noMatch_ = noMatch;
}

void CEditWindow::SelectText(int start, int end) {
  if (hwnd()) SendMessageW(hwnd(), EM_SETSEL, static_cast<WPARAM>(start), static_cast<LPARAM>(end));
}

bool CEditWindow::HandleMessage(UINT msg, WPARAM wParam, LPARAM lParam, LRESULT& result) {
  if (msg == messages_.run && msg != 0) {
    PostMessageW(GetParent(hwnd()), messages_.run, 0, 0);
    result = 0;
    return true;
  }
  if (HandleHistoryMessage(msg, wParam, lParam, result)) return true;
  switch (msg) {
    case WM_CHAR:
      if (wParam == 0x1B) {  // Escape selects the whole text
        SelectText(0, -1);
        result = 0;
        return true;
      }
      if (wParam == 0x0D) CommitToHistory();
      return false;
    case WM_SYSCHAR:
      if (wParam == L's') {  // Alt+S brought the focus here; no beep
        result = 0;
        return true;
      }
      return false;
    default:
      return false;
  }
}

}  // namespace vantorel
