#include "history/history_box.h"

#include <climits>
#include <cwchar>
#include <vector>

#include "framework/dpi.h"
#include "history/history_file.h"

namespace vantorel {
namespace {

const WindowClassSpec kHistoryBoxClass = {L"Vantorel HistoryBox", L"LISTBOX", 0, nullptr, nullptr};
constexpr DWORD kBoxStyle = WS_CHILD | WS_CLIPSIBLINGS | WS_BORDER | WS_VSCROLL | LBS_NOTIFY;
constexpr DWORD kBoxExStyle = WS_EX_TOOLWINDOW | WS_EX_TOPMOST;
constexpr LRESULT kMaxRows = 9;
constexpr int kExtraHeight = 10;
constexpr int kTextInset = 2;  // the rows' text from their left edge, as the list box draws it

// The mouse hook that closes an open drop-down when a button goes down elsewhere. A WH_MOUSE
// hook belongs to one thread, and Explorer runs every window on a thread of its own, so each
// thread keeps its own record: the hook, the drop-down it serves and that drop-down's owner.
struct DropDownHookState {
  HHOOK hook;
  HWND box;
  HWND owner;
};
thread_local DropDownHookState t_hookState = {nullptr, nullptr, nullptr};

bool Contains(HWND window, POINT point) {
  RECT rect;
  return window && GetWindowRect(window, &rect) && PtInRect(&rect, point);
}

LRESULT CALLBACK OutsideClickHook(int code, WPARAM wParam, LPARAM lParam) {
  DropDownHookState& state = t_hookState;
  HHOOK hook = state.hook;
  if (!hook) return 0;
  if (code == HC_ACTION && lParam &&
      (wParam == WM_LBUTTONDOWN || wParam == WM_RBUTTONDOWN || wParam == WM_NCLBUTTONDOWN ||
       wParam == WM_NCRBUTTONDOWN) &&
      state.box && IsWindowVisible(state.box)) {
    POINT point = reinterpret_cast<const MOUSEHOOKSTRUCT*>(lParam)->pt;
    if (!Contains(state.box, point) && !Contains(state.owner, point)) ShowWindow(state.box, SW_HIDE);
  }
  return CallNextHookEx(hook, code, wParam, lParam);
}

std::wstring RowText(HWND box, WPARAM index) {
  const LRESULT length = SendMessageW(box, LB_GETTEXTLEN, index, 0);
  std::wstring row(static_cast<size_t>(length > 0 ? length : 0) + 1, L'\0');
  const LRESULT copied = SendMessageW(box, LB_GETTEXT, index, reinterpret_cast<LPARAM>(&row[0]));
  row.resize(static_cast<size_t>(copied > 0 ? copied : 0));
  return row;
}

}  // namespace

CHistoryBox::~CHistoryBox() {
  // While the message map still runs, so that WM_DESTROY takes the hook with it.
  DestroyBox();
}

bool CHistoryBox::CreateBox(HWND owner, bool sorted, UINT runMessage) noexcept {
  if (hwnd()) return false;
  HWND box = Create(kHistoryBoxClass, GetDesktopWindow(), L"", kBoxStyle | (sorted ? LBS_SORT : 0), kBoxExStyle,
                    0, 0, 0, 0, nullptr);
  if (!box) return false;
  SendMessageW(box, WM_SETFONT, reinterpret_cast<WPARAM>(font_ ? font_ : GetStockObject(DEFAULT_GUI_FONT)), TRUE);
  owner_ = owner;
  runMessage_ = runMessage;
  return true;
}

void CHistoryBox::DestroyBox() noexcept { DestroyOwnWindow(); }

void CHistoryBox::SetScale(UINT dpi, HFONT font) noexcept {
  dpi_ = dpi;
  font_ = font;
  if (hwnd()) SendMessageW(hwnd(), WM_SETFONT, reinterpret_cast<WPARAM>(font), TRUE);
}

void CHistoryBox::SetColorScheme(ColorScheme scheme) noexcept {
  scheme_ = scheme;
  if (hwnd()) InvalidateRect(hwnd(), nullptr, TRUE);
}

void CHistoryBox::PaintRows() {
  PAINTSTRUCT paint;
  HDC dc = BeginPaint(hwnd(), &paint);
  if (!dc) return;
  const SchemeColors colors = ColorsOf(scheme_);
  RECT client = {};
  GetClientRect(hwnd(), &client);
  HGDIOBJ oldFont = SelectObject(dc, font_ ? font_ : GetStockObject(DEFAULT_GUI_FONT));
  SetDCBrushColor(dc, colors.list.back);
  FillRect(dc, &client, static_cast<HBRUSH>(GetStockObject(DC_BRUSH)));
  const LRESULT count = SendMessageW(hwnd(), LB_GETCOUNT, 0, 0);
  const LRESULT highlighted = SendMessageW(hwnd(), LB_GETCURSEL, 0, 0);
  const int inset = ScaleForDpi(kTextInset, dpi_);
  for (LRESULT row = SendMessageW(hwnd(), LB_GETTOPINDEX, 0, 0); row >= 0 && row < count; ++row) {
    RECT place = {};
    if (SendMessageW(hwnd(), LB_GETITEMRECT, static_cast<WPARAM>(row), reinterpret_cast<LPARAM>(&place)) == LB_ERR ||
        place.top >= client.bottom) {
      break;
    }
    const ColorPair& pair = row == highlighted ? colors.listHighlight : colors.list;
    const std::wstring text = RowText(hwnd(), static_cast<WPARAM>(row));
    SetBkColor(dc, pair.back);
    SetTextColor(dc, pair.text);
    ExtTextOutW(dc, place.left + inset, place.top, ETO_OPAQUE | ETO_CLIPPED, &place, text.c_str(),
                static_cast<UINT>(text.size()), nullptr);
  }
  SelectObject(dc, oldFont);
  EndPaint(hwnd(), &paint);
}

void CHistoryBox::MoveHighlight(int rows) noexcept {
  const int count = static_cast<int>(SendMessageW(hwnd(), LB_GETCOUNT, 0, 0));
  if (count <= 0 || rows == 0) return;
  const int current = static_cast<int>(SendMessageW(hwnd(), LB_GETCURSEL, 0, 0));
  int next = current == LB_ERR ? (rows > 0 ? rows - 1 : count + rows) : current + rows;
  next = next < 0 ? 0 : next >= count ? count - 1 : next;
  SendMessageW(hwnd(), LB_SETCURSEL, static_cast<WPARAM>(next), 0);
}

int CHistoryBox::PageRows() const noexcept {
  RECT client = {};
  const LRESULT rowHeight = SendMessageW(hwnd(), LB_GETITEMHEIGHT, 0, 0);
  if (!GetClientRect(hwnd(), &client) || rowHeight <= 0) return 1;
  const int rows = static_cast<int>((client.bottom - client.top) / rowHeight);
  return rows > 1 ? rows : 1;
}

std::wstring CHistoryBox::HighlightedEntry() const {
  const LRESULT index = SendMessageW(hwnd(), LB_GETCURSEL, 0, 0);
  return index == LB_ERR ? std::wstring() : RowText(hwnd(), static_cast<WPARAM>(index));
}

void CHistoryBox::HideBox() noexcept {
  if (hwnd()) ShowWindow(hwnd(), SW_HIDE);
}

bool CHistoryBox::ShowMatching(const RECT* anchor, const wchar_t* prefix) noexcept {
  HWND box = hwnd();
  if (!box || !anchor) return false;
  history_.Refresh();
  std::vector<const wchar_t*> rows;
  history_.NewestBeginningWith(prefix, kHistoryRowLimit, rows);
  size_t units = 0;
  for (const wchar_t* row : rows) units += wcslen(row) + 1;
  // Refilled without a repaint per row (on screen, every row would cost one), into storage
  // reserved for all rows; the list is painted once, when it is shown again.
  SendMessageW(box, WM_SETREDRAW, FALSE, 0);
  SendMessageW(box, LB_RESETCONTENT, 0, 0);
  SendMessageW(box, LB_INITSTORAGE, rows.size(), static_cast<LPARAM>(units * sizeof(wchar_t)));
  for (const wchar_t* row : rows) SendMessageW(box, LB_ADDSTRING, 0, reinterpret_cast<LPARAM>(row));
  const LRESULT count = SendMessageW(box, LB_GETCOUNT, 0, 0);
  const LRESULT rowHeight = SendMessageW(box, LB_GETITEMHEIGHT, 0, 0);
  const int height =
      static_cast<int>((count < kMaxRows + 1 ? count : kMaxRows) * rowHeight) + ScaleForDpi(kExtraHeight, dpi_);
  const int width = anchor->right - anchor->left;
  // Sized while hidden, redrawn again while still hidden (the scroll bar takes the new rows
  // without a paint), then shown: the list comes up over everything, painted once, without
  // taking the activation (the input box keeps the keyboard focus).
  // Nothing matches: hidden, and the hook goes with it.
  if (count > 0) {
    SetWindowPos(box, HWND_TOP, anchor->left, anchor->top, width, height, SWP_HIDEWINDOW);
  } else if (IsWindowVisible(box)) {
    ShowWindow(box, SW_HIDE);
  }
  SendMessageW(box, WM_SETREDRAW, TRUE, 0);
  if (count > 0) {
    SetWindowPos(box, HWND_TOP, anchor->left, anchor->top, width, height,
                 SWP_SHOWWINDOW | SWP_NOACTIVATE | SWP_NOSIZE);
    SetCursor(LoadCursorW(nullptr, IDC_ARROW));
    InstallHook();
  }
  return true;
}

void CHistoryBox::InstallHook() noexcept {
  DropDownHookState& state = t_hookState;
  // The hook serves the drop-down shown last on this thread.
  state.box = hwnd();
  state.owner = owner_;
  if (!state.hook) {
    state.hook = SetWindowsHookExW(WH_MOUSE, OutsideClickHook, Module::Instance(), GetCurrentThreadId());
  }
}

void CHistoryBox::RemoveHook(bool forget) noexcept {
  DropDownHookState& state = t_hookState;
  if (state.box != hwnd()) return;  // serving another drop-down of this thread
  if (state.hook) {
    UnhookWindowsHookEx(state.hook);
    state.hook = nullptr;
  }
  if (forget) state.box = state.owner = nullptr;
}

void CHistoryBox::Pick(LPARAM point) {
  const LRESULT hit = SendMessageW(hwnd(), LB_ITEMFROMPOINT, 0, point);
  if (hit != LB_ERR && HIWORD(hit) == 0 && IsWindow(owner_)) {
    const WPARAM index = LOWORD(hit);
    LRESULT length = SendMessageW(hwnd(), LB_GETTEXTLEN, index, 0);
    if (length > 0) {
      std::vector<wchar_t> text(static_cast<size_t>(length) + 1, L'\0');
      if (SendMessageW(hwnd(), LB_GETTEXT, index, reinterpret_cast<LPARAM>(text.data())) > 0) {
        HWND owner = owner_;
        // Cut to what the box holds, as typing would be.
        const LRESULT limit = SendMessageW(owner, EM_GETLIMITTEXT, 0, 0);
        if (limit > 0 && limit < length) text[static_cast<size_t>(length = limit)] = L'\0';
        // The owner reports the change to the band, which may refill this list meanwhile.
        SetWindowTextW(owner, text.data());
        SendMessageW(owner, EM_SETSEL, static_cast<WPARAM>(length), length);
        if (runMessage_) SendMessageW(owner, runMessage_, 0, 0);
      }
    }
  }
  HideBox();
}

bool CHistoryBox::HandleMessage(UINT msg, WPARAM wParam, LPARAM lParam, LRESULT& result) {
  switch (msg) {
    case WM_MOUSEMOVE: {
      // Only a pointer that moved highlights: one resting where the list came up would otherwise
      // choose the row that Enter takes.
      POINT at = {static_cast<short>(LOWORD(lParam)), static_cast<short>(HIWORD(lParam))};
      ClientToScreen(hwnd(), &at);
      if (at.x == restingPointer_.x && at.y == restingPointer_.y) return false;
      restingPointer_ = {LONG_MIN, LONG_MIN};
      const LRESULT hit = SendMessageW(hwnd(), LB_ITEMFROMPOINT, 0, lParam);
      if (hit != LB_ERR && HIWORD(hit) == 0) SendMessageW(hwnd(), LB_SETCURSEL, LOWORD(hit), 0);
      return false;
    }
    case WM_WINDOWPOSCHANGED:
      if (reinterpret_cast<const WINDOWPOS*>(lParam)->flags & SWP_SHOWWINDOW) GetCursorPos(&restingPointer_);
      return false;
    case WM_LBUTTONDOWN:
      Pick(lParam);
      return false;  // and the list box's own handling of the press
    case WM_SHOWWINDOW:
      if (!wParam) RemoveHook(false);
      result = 0;
      return true;
    case WM_DESTROY:
      RemoveHook(true);
      return false;
    case WM_PAINT:
      if (!DrawsOwnRows()) return false;
      PaintRows();
      result = 0;
      return true;
    case WM_ERASEBKGND:
      result = 1;
      return DrawsOwnRows();  // the rows' painting covers the whole list
    case LB_SETCURSEL:
      if (!DrawsOwnRows() || !IsVisible()) return false;
      // The list box draws a new highlight at once in its own colours: drawn here instead.
      SendMessageW(hwnd(), WM_SETREDRAW, FALSE, 0);
      result = CallNext(msg, wParam, lParam);
      SendMessageW(hwnd(), WM_SETREDRAW, TRUE, 0);
      InvalidateRect(hwnd(), nullptr, FALSE);
      return true;
    default:
      return false;
  }
}

std::vector<std::wstring> ListBoxRows(HWND box) {
  std::vector<std::wstring> rows;
  const int count = static_cast<int>(SendMessageW(box, LB_GETCOUNT, 0, 0));
  for (int i = 0; i < count; ++i) rows.push_back(RowText(box, static_cast<WPARAM>(i)));
  return rows;
}

}  // namespace vantorel
