#include "input/edit_window.h"

#include <windowsx.h>

#include "input/input_icons.h"

namespace vantorel {
namespace {

const WindowClassSpec kEditBoxClass = {L"Vantorel Editbox", L"EDIT", 0, nullptr, nullptr};

constexpr int kHotAreaInset = 2;
constexpr int kIconSize = 16;

HICON LoadGlyph(int id) {
  return static_cast<HICON>(LoadImageW(Module::Instance(), MAKEINTRESOURCEW(id), IMAGE_ICON, 0, 0, 0));
}

bool InModeArea(const RECT& client, int x, int y) {
  RECT mode = {client.left, client.top, client.left + kModeGlyphWidth, client.bottom};
  return PtInRect(&mode, POINT{x, y}) != FALSE;
}

}  // namespace

CEditWindow::CEditWindow() noexcept
    : selectIcon_(LoadGlyph(IDI_SELECT_MODE)),
      filterIcon_(LoadGlyph(IDI_FILTER_MODE)),
      clearIcon_(LoadGlyph(IDI_CLEAR)),
      clearPressedIcon_(LoadGlyph(IDI_CLEAR_PRESSED)),
      clearHotIcon_(LoadGlyph(IDI_CLEAR_HOT)) {}

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

bool CEditWindow::HasText() const {
  return GetWindowTextLengthW(hwnd()) > 0;
}

RECT CEditWindow::TextArea() const {
  RECT area = {};
  GetClientRect(hwnd(), &area);
  area.left += kModeGlyphWidth;
  if (HasText()) area.right -= kClearGlyphWidth;
  return area;
}

bool CEditWindow::InClearArea(int x, int y) const {
  RECT client;
  if (!HasText() || !GetClientRect(hwnd(), &client)) return false;
  client.left = client.right - kClearGlyphWidth;
  return PtInRect(&client, POINT{x, y}) != FALSE;
}

bool CEditWindow::InHotArea(int x, int y) const {
  RECT client;
  if (!GetClientRect(hwnd(), &client)) return false;
  return InClearArea(x, y) && y >= client.top + kHotAreaInset && y < client.bottom - kHotAreaInset;
}

void CEditWindow::SetClearGlyph(DWORD state, bool repaint) {
  clearGlyph_ = state;
  if (repaint) InvalidateRect(hwnd(), nullptr, FALSE);
}

bool CEditWindow::OnPaint() {
  PAINTSTRUCT paint;
  HDC dc = BeginPaint(hwnd(), &paint);
  RECT client;
  if (!dc || !GetClientRect(hwnd(), &client)) {
    EndPaint(hwnd(), &paint);
    return false;  // the edit control paints its text all the same
  }
  HGDIOBJ oldBrush = SelectObject(dc, GetStockObject(DC_BRUSH));
  SetDCBrushColor(dc, noMatch_ ? kNoMatchBackground : kMatchBackground);
  int height = client.bottom - client.top;
  int y = (height - kIconSize) / 2;
  // The icons are blended: lay the background under them first, so that nothing of an earlier
  // picture (the other mode, the pressed button) shows through.
  PatBlt(dc, client.left, client.top, kModeGlyphWidth, height, PATCOPY);
  PatBlt(dc, client.right - kClearGlyphWidth, client.top, kClearGlyphWidth, height, PATCOPY);
  // A glyph that could not be loaded leaves its place blank; the text is painted all the same.
  if (HICON mode = runMode_ == 0 ? selectIcon_.get() : filterIcon_.get()) {
    DrawIconEx(dc, 0, y, mode, kIconSize, kIconSize, 0, nullptr, DI_NORMAL);
  }
  if (HasText()) {
    HICON clear = clearGlyph_ == kClearHot       ? clearHotIcon_.get()
                  : clearGlyph_ == kClearPressed ? clearPressedIcon_.get()
                                                 : clearIcon_.get();
    if (clear) DrawIconEx(dc, client.right - kClearGlyphWidth, y, clear, kIconSize, kIconSize, 0, nullptr, DI_NORMAL);
  }
  SelectObject(dc, oldBrush);
  // The drop-down arrow: a downward triangle of 5, 3 and 1 pixels.
  static const int kArrow[3][3] = {{17, 22, 12}, {18, 21, 13}, {19, 20, 14}};
  for (const auto& line : kArrow) {
    MoveToEx(dc, line[0], line[2], nullptr);
    LineTo(dc, line[1], line[2]);
  }
  EndPaint(hwnd(), &paint);
  return false;  // the edit control paints its text
}

bool CEditWindow::OnSetCursor(LPARAM lParam, LRESULT& result) {
  if (LOWORD(lParam) != HTCLIENT) return false;
  RECT text;
  POINT cursor;
  if (!GetWindowRect(hwnd(), &text) || !GetCursorPos(&cursor)) return false;
  text.left += kModeGlyphWidth;
  if (HasText()) text.right -= kClearGlyphWidth;
  if (PtInRect(&text, cursor) && !IsDropDownVisible()) return false;
  SetCursor(LoadCursorW(nullptr, IDC_ARROW));
  result = 0;
  return true;
}

void CEditWindow::OnMouseMove(LPARAM lParam) {
  if (InHotArea(GET_X_LPARAM(lParam), GET_Y_LPARAM(lParam))) {
    if (clearGlyph_ == kClearNormal) SetClearGlyph(kClearHot, true);
  } else if (clearGlyph_ != kClearNormal) {
    SetClearGlyph(kClearNormal, true);
  }
}

bool CEditWindow::OnButtonDown(WPARAM wParam, LPARAM lParam, LRESULT& result) {
  int x = GET_X_LPARAM(lParam), y = GET_Y_LPARAM(lParam);
  clearGlyph_ = kClearNormal;
  if (IsDropDownVisible()) {
    historyBox_.HideBox();
    focusedAtPress_ = false;
  } else {
    focusedAtPress_ = GetFocus() == hwnd();
  }
  RECT client = {};
  GetClientRect(hwnd(), &client);
  if (InModeArea(client, x, y)) {
    focusedAtPress_ = false;
    // The band shows its mode menu, modal, inside this call.
    if (SendMessageW(GetParent(hwnd()), messages_.modeMenu, wParam, lParam) != 0) return false;
    result = 0;
    return true;
  }
  if (InClearArea(x, y)) {
    SetClearGlyph(kClearPressed, true);
    focusedAtPress_ = false;
    result = 0;
    return true;
  }
  return false;  // the edit control places the caret and takes the focus
}

bool CEditWindow::OnButtonUp(LPARAM lParam, LRESULT& result) {
  int x = GET_X_LPARAM(lParam), y = GET_Y_LPARAM(lParam);
  RECT client = {};
  GetClientRect(hwnd(), &client);
  if (HistoryOn() && focusedAtPress_ && !InModeArea(client, x, y) && !InClearArea(x, y)) DropDownHistory();
  if (clearGlyph_ == kClearPressed && InClearArea(x, y)) {
    SendMessageW(GetParent(hwnd()), messages_.clear, 0, 0);
    SetClearGlyph(kClearHot, true);
    result = 0;
    return true;
  }
  clearGlyph_ = kClearNormal;
  return false;
}

bool CEditWindow::OnDoubleClick(WPARAM wParam, LPARAM lParam, LRESULT& result) {
  int x = LOWORD(lParam);
  RECT client = {};
  GetClientRect(hwnd(), &client);
  result = 0;
  if (HistoryOn() && !IsDropDownVisible() && x > kModeGlyphWidth &&
      (!HasText() || x < client.right - kClearGlyphWidth)) {
    result = CallNext(WM_LBUTTONDBLCLK, wParam, lParam);  // the edit control selects a word
    DropDownHistory();
  }
  return true;
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
    case WM_PAINT:
      result = 0;
      return OnPaint();
    case WM_ERASEBKGND: {
      RECT text = TextArea();
      InvalidateRect(hwnd(), &text, FALSE);
      return false;
    }
    case WM_LBUTTONDOWN:
      return OnButtonDown(wParam, lParam, result);
    case WM_LBUTTONUP:
      return OnButtonUp(lParam, result);
    case WM_LBUTTONDBLCLK:
      return OnDoubleClick(wParam, lParam, result);
    case WM_MOUSEMOVE:
      OnMouseMove(lParam);
      return false;
    case WM_SETCURSOR:
      return OnSetCursor(lParam, result);
    default:
      return false;
  }
}

}  // namespace vantorel
