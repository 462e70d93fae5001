// The input box's side of the keyword history: when the drop-down exists, opens and closes,
// and when the text is committed.
#include <string>

#include "history/history_file.h"
#include "input/edit_window.h"

namespace vantorel {
namespace {

// The whole text of the box, however long.
std::wstring BoxText(HWND box) {
  std::wstring text;
  int length = GetWindowTextLengthW(box);
  if (length <= 0) return text;
  text.resize(static_cast<size_t>(length) + 1);
  int copied = GetWindowTextW(box, &text[0], length + 1);
  text.resize(static_cast<size_t>(copied > 0 ? copied : 0));
  return text;
}

}  // namespace

void CEditWindow::UpdateHistoryBox(bool keep, bool sorted) {
  if (!keep) {
    historyBox_.DestroyBox();
  } else if (!HistoryOn() && hwnd()) {
    historyBox_.CreateBox(hwnd(), sorted, messages_.run);
  }
}

void CEditWindow::CommitToHistory() {
  if (!HistoryOn()) return;
  std::wstring text = BoxText(hwnd());
  if (!text.empty()) AddToHistory(text.c_str());
}

void CEditWindow::DropDownHistory() {
  if (!HistoryOn()) return;
  RECT window;
  if (!GetWindowRect(hwnd(), &window)) return;
  // Directly under the text area; the anchor's bottom is not used.
  RECT anchor = {window.left + kModeGlyphWidth, window.bottom, window.right, window.bottom};
  std::wstring text = BoxText(hwnd());
  historyBox_.ShowMatching(&anchor, text.c_str());
}

bool CEditWindow::HandleHistoryMessage(UINT msg, WPARAM wParam, LPARAM lParam, LRESULT& result) {
  switch (msg) {
    case WM_KILLFOCUS:
      if (HistoryOn()) {
        if (IsDropDownVisible()) historyBox_.HideBox();
        CommitToHistory();
      }
      return false;
    case WM_DESTROY:
      historyBox_.DestroyBox();
      return false;
    case WM_MOUSEWHEEL:
      // The box itself does not scroll; an open drop-down does.
      if (IsDropDownVisible()) SendMessageW(historyBox_.hwnd(), WM_MOUSEWHEEL, wParam, lParam);
      result = 0;
      return true;
    default:
      return false;
  }
}

}  // namespace vantorel
