#include "input/edit_window.h"

#include <windowsx.h>

#include "framework/accessible_name.h"
#include "framework/ui_language.h"
#include "input/input_icons.h"
#include "input/input_texts.h"
#include "input/monochrome_glyph.h"
#include "view/view_keys.h"

namespace vantorel {
namespace {

const WindowClassSpec kEditBoxClass = {L"Vantorel Editbox", L"EDIT", 0, nullptr, nullptr};

constexpr int kHotAreaInset = 2;
// The drop-down arrow at 96 DPI: a downward triangle 5 pixels wide and 3 rows high, its top
// left corner at (17, 12) whatever the client height.
constexpr int kArrowLeft = 17;
constexpr int kArrowTop = 12;
constexpr int kArrowWidth = 5;
constexpr int kArrowRows = 3;

// Each icon resource holds images drawn at 16, 20, 24 and 32 pixels; the one of size is taken.
HICON LoadGlyph(int id, int size) {
  return static_cast<HICON>(LoadImageW(Module::Instance(), MAKEINTRESOURCEW(id), IMAGE_ICON, size, size, 0));
}

}  // namespace

CEditWindow::CEditWindow() noexcept { LoadGlyphs(kGlyphIconSize); }

void CEditWindow::LoadGlyphs(int size) {
  if (size == iconSize_) return;
  iconSize_ = size;
  const int set = ColorsOf(scheme_).darkGlyphs ? IDI_DARK_OFFSET : 0;
  selectIcon_.reset(LoadGlyph(IDI_SELECT_MODE + set, size));
  filterIcon_.reset(LoadGlyph(IDI_FILTER_MODE + set, size));
  clearIcon_.reset(LoadGlyph(IDI_CLEAR + set, size));
  clearPressedIcon_.reset(LoadGlyph(IDI_CLEAR_PRESSED + set, size));
  clearHotIcon_.reset(LoadGlyph(IDI_CLEAR_HOT + set, size));
}

void CEditWindow::SetColorScheme(ColorScheme scheme) noexcept {
  const bool newSet = ColorsOf(scheme).darkGlyphs != ColorsOf(scheme_).darkGlyphs;
  scheme_ = scheme;
  if (newSet) {
    const int size = iconSize_;
    iconSize_ = 0;
    LoadGlyphs(size);
  }
  historyBox_.SetColorScheme(scheme);
}

void CEditWindow::SetScale(UINT dpi) noexcept {
  dpi_ = dpi;
  LoadGlyphs(ScaleForDpi(kGlyphIconSize, dpi));
  // The font the box and the drop-down use now is released only after they have the new one.
  ScaledGuiFont font;
  font.Make(dpi);
  if (hwnd()) SendMessageW(hwnd(), WM_SETFONT, reinterpret_cast<WPARAM>(font.get()), TRUE);
  historyBox_.SetScale(dpi, font.get());
  font_ = std::move(font);
}

int CEditWindow::LoadedGlyphSize() const {
  ICONINFO info = {};
  if (!selectIcon_ || !GetIconInfo(selectIcon_.get(), &info)) return 0;
  UniqueBitmap colour(info.hbmColor), mask(info.hbmMask);
  BITMAP bitmap = {};
  return GetObjectW(info.hbmColor ? info.hbmColor : info.hbmMask, sizeof(bitmap), &bitmap) ? bitmap.bmWidth : 0;
}

HWND CEditWindow::CreateBox(HWND parent, DWORD style, DWORD exStyle, const InputBoxMessages& messages,
                            LANGID language) noexcept {
  messages_ = messages;
  language_ = language;
  LoadStringIn(IDS_INPUT_BOX_NAME, language, accessibleName_, kAccessibleNameSize);
  HWND box = Create(kEditBoxClass, parent, L"", style, exStyle, 0, 0, 0, 0, nullptr);
  if (box) SendMessageW(box, EM_SETLIMITTEXT, kMaxKeywordLength, 0);
  return box;
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
  area.left += ModeGlyphWidth();
  if (HasText()) area.right -= ClearGlyphWidth();
  return area;
}

bool CEditWindow::InModeArea(int x, int y) const {
  RECT client;
  if (!GetClientRect(hwnd(), &client)) return false;
  client.right = client.left + ModeGlyphWidth();
  return PtInRect(&client, POINT{x, y}) != FALSE;
}

bool CEditWindow::InClearArea(int x, int y) const {
  RECT client;
  if (!HasText() || !GetClientRect(hwnd(), &client)) return false;
  client.left = client.right - ClearGlyphWidth();
  return PtInRect(&client, POINT{x, y}) != FALSE;
}

bool CEditWindow::InHotArea(int x, int y) const {
  RECT client;
  if (!GetClientRect(hwnd(), &client)) return false;
  const int inset = ScaleForDpi(kHotAreaInset, dpi_);
  return InClearArea(x, y) && y >= client.top + inset && y < client.bottom - inset;
}

void CEditWindow::SetClearGlyph(DWORD state, bool repaint) {
  clearGlyph_ = state;
  if (repaint) InvalidateRect(hwnd(), nullptr, FALSE);
}

void CEditWindow::DrawGlyph(HDC dc, int x, int y, HICON glyph, const ColorPair& colors) const {
  const int icon = iconSize_;
  if (!glyph) return;
  if (ColorsOf(scheme_).monochromeGlyphs) {
    DrawMonochromeGlyph(dc, x, y, glyph, icon, colors.mark);
  } else {
    DrawIconEx(dc, x, y, glyph, icon, icon, 0, nullptr, DI_NORMAL);
  }
}

bool CEditWindow::OnPaint() {
  PAINTSTRUCT paint;
  HDC dc = BeginPaint(hwnd(), &paint);
  RECT client;
  if (!dc || !GetClientRect(hwnd(), &client)) {
    EndPaint(hwnd(), &paint);
    return false;  // the edit control paints its text all the same
  }
  const ColorPair colors = BoxColors(ColorsOf(scheme_), noMatch_ != 0);
  HGDIOBJ oldBrush = SelectObject(dc, GetStockObject(DC_BRUSH));
  SetDCBrushColor(dc, colors.back);
  int height = client.bottom - client.top;
  const int icon = iconSize_, mode = ModeGlyphWidth(), clearWidth = ClearGlyphWidth();
  int y = (height - icon) / 2;
  // The icons are blended: lay the background under them first, so that nothing of an earlier
  // picture (the other mode, the pressed button) shows through.
  PatBlt(dc, client.left, client.top, mode, height, PATCOPY);
  PatBlt(dc, client.right - clearWidth, client.top, clearWidth, height, PATCOPY);
  // A glyph that could not be loaded leaves its place blank; the text is painted all the same.
  DrawGlyph(dc, 0, y, runMode_ == 0 ? selectIcon_.get() : filterIcon_.get(), colors);
  if (HasText()) {
    HICON clear = clearGlyph_ == kClearHot       ? clearHotIcon_.get()
                  : clearGlyph_ == kClearPressed ? clearPressedIcon_.get()
                                                 : clearIcon_.get();
    ColorPair button = colors;
    // Drawn in one colour the three pictures look alike: the hot and pressed button is inverted.
    if (clearGlyph_ != kClearNormal && ColorsOf(scheme_).monochromeGlyphs) {
      button = {colors.mark, colors.back, colors.back};
      SetDCBrushColor(dc, button.back);
      PatBlt(dc, client.right - clearWidth, client.top, clearWidth, height, PATCOPY);
    }
    DrawGlyph(dc, client.right - clearWidth, y, clear, button);
  }
  SelectObject(dc, oldBrush);
  // The drop-down arrow, one line per row, each row narrower by the same share on both sides:
  // at 96 DPI rows of 5, 3 and 1 pixels.
  HGDIOBJ oldPen = SelectObject(dc, GetStockObject(DC_PEN));
  SetDCPenColor(dc, colors.mark);
  const int left = ScaleForDpi(kArrowLeft, dpi_), top = ScaleForDpi(kArrowTop, dpi_);
  const int width = ScaleForDpi(kArrowWidth, dpi_), rows = ScaleForDpi(kArrowRows, dpi_);
  for (int row = 0; row < rows; ++row) {
    const int inset = rows > 1 ? row * (width - 1) / (2 * (rows - 1)) : 0;
    MoveToEx(dc, left + inset, top + row, nullptr);
    LineTo(dc, left + width - inset, top + row);
  }
  SelectObject(dc, oldPen);
  EndPaint(hwnd(), &paint);
  // BeginPaint took the whole update region: the text's part of it is given back, so that the
  // edit control's own painting, which follows, draws the text there whether or not it was erased.
  RECT text = TextArea();
  if (IntersectRect(&text, &text, &paint.rcPaint)) InvalidateRect(hwnd(), &text, FALSE);
  return false;  // the edit control paints its text
}

// The edge around the client area, in the scheme's border colour, the same in every state.
bool CEditWindow::OnPaintBorder() {
  const SchemeColors scheme = ColorsOf(scheme_);
  if (!scheme.paintsBorder) return false;
  RECT window, client;
  if (!GetWindowRect(hwnd(), &window) || !GetClientRect(hwnd(), &client)) return false;
  MapWindowPoints(hwnd(), nullptr, reinterpret_cast<POINT*>(&client), 2);
  OffsetRect(&client, -window.left, -window.top);
  OffsetRect(&window, -window.left, -window.top);
  HDC dc = GetWindowDC(hwnd());
  if (!dc) return false;
  ExcludeClipRect(dc, client.left, client.top, client.right, client.bottom);
  SetDCBrushColor(dc, scheme.border);
  FillRect(dc, &window, static_cast<HBRUSH>(GetStockObject(DC_BRUSH)));
  ReleaseDC(hwnd(), dc);
  return true;
}

bool CEditWindow::OnSetCursor(LPARAM lParam, LRESULT& result) {
  if (LOWORD(lParam) != HTCLIENT) return false;
  RECT text;
  POINT cursor;
  if (!GetWindowRect(hwnd(), &text) || !GetCursorPos(&cursor)) return false;
  text.left += ModeGlyphWidth();
  if (HasText()) text.right -= ClearGlyphWidth();
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
  if (InModeArea(x, y)) {
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
  if (HistoryOn() && focusedAtPress_ && !InModeArea(x, y) && !InClearArea(x, y)) DropDownHistory();
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
  if (HistoryOn() && !IsDropDownVisible() && x > ModeGlyphWidth() &&
      (!HasText() || x < client.right - ClearGlyphWidth())) {
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
      if (IsFocusInputKey(wParam)) {  // Alt+S brought the focus here; no beep
        result = 0;
        return true;
      }
      return false;
    case WM_PAINT:
      result = 0;
      return OnPaint();
    case WM_NCPAINT:
      result = 0;
      return OnPaintBorder();
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
    case WM_GETOBJECT:
      return AnswerAccessibleName(hwnd(), accessibleName_, wParam, lParam, result);
    default:
      return false;
  }
}

}  // namespace vantorel
