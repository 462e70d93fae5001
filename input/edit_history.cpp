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
  RECT anchor = {window.left + ModeGlyphWidth(), window.bottom, window.right, window.bottom};
  std::wstring text = BoxText(hwnd());
  historyBox_.ShowMatching(&anchor, text.c_str());
}

bool CEditWindow::TakeHighlightedEntry() {
  if (!IsDropDownVisible()) return false;
  std::wstring entry = historyBox_.HighlightedEntry().substr(0, kMaxKeywordLength);
  if (entry.empty()) return false;
  // The box reports the change to the band, which may refill the drop-down meanwhile.
  SetWindowTextW(hwnd(), entry.c_str());
  SelectText(static_cast<int>(entry.size()), static_cast<int>(entry.size()));
  historyBox_.HideBox();
  return true;
}

// While history is on: Down, Up, Page Down and Page Up move the highlight of the open
// drop-down; Alt+Down and F4 open it for the text, or close it.
bool CEditWindow::OnHistoryKey(UINT msg, WPARAM key) {
  if (!HistoryOn()) return false;
  const bool alt = msg == WM_SYSKEYDOWN;
  if ((alt && key == VK_DOWN) || (!alt && key == VK_F4)) {
    if (IsDropDownVisible()) {
      historyBox_.HideBox();
    } else {
      DropDownHistory();
    }
    return true;
  }
  if (alt || !IsDropDownVisible()) return false;
  const int page = historyBox_.PageRows();
  switch (key) {
    case VK_DOWN: historyBox_.MoveHighlight(1); return true;
    case VK_UP: historyBox_.MoveHighlight(-1); return true;
    case VK_NEXT: historyBox_.MoveHighlight(page); return true;
    case VK_PRIOR: historyBox_.MoveHighlight(-page); return true;
    default: return false;
  }
}

bool CEditWindow::HandleHistoryMessage(UINT msg, WPARAM wParam, LPARAM lParam, LRESULT& result) {
  switch (msg) {
    case WM_KEYDOWN:
    case WM_SYSKEYDOWN:
      result = 0;
      return OnHistoryKey(msg, wParam);
    case WM_CHAR:
      // Escape closes an open drop-down and leaves the text and its selection alone.
      if (wParam != 0x1B || !IsDropDownVisible()) return false;
      historyBox_.HideBox();
      result = 0;
      return true;
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
