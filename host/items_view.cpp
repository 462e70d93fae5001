#include "host/items_view.h"

#include <commctrl.h>

#include <algorithm>

namespace vantorel::host {
namespace {

constexpr int kRowHeight = 20;
constexpr int kTextInset = 6;
constexpr int kWheelRows = 3;

// Explorer's classes of these names belong to other modules.
const WindowClassSpec kDefViewClass = {L"SHELLDLL_DefView", nullptr, 0, reinterpret_cast<HBRUSH>(COLOR_WINDOW + 1),
                                       IDC_ARROW};
const WindowClassSpec kSurfaceClass = {L"DirectUIHWND", nullptr, CS_DBLCLKS, nullptr, IDC_ARROW};

void SetStates(HWND list, int index, UINT state, UINT mask) {
  LVITEMW item = {};
  item.state = state;
  item.stateMask = mask;
  SendMessageW(list, LVM_SETITEMSTATE, static_cast<WPARAM>(index), reinterpret_cast<LPARAM>(&item));
}

}  // namespace

// Hears of what changes the platform's list view: its items, their states, the item it is told
// to show; the surface follows.
class ItemsView::Mirror : public Window {
 public:
  explicit Mirror(ItemsView& owner) : owner_(owner) {}
  ~Mirror() override { Unsubclass(); }

 protected:
  bool HandleMessage(UINT msg, WPARAM wParam, LPARAM, LRESULT&) override {
    switch (msg) {
      case LVM_SETITEMSTATE:
      case LVM_SETITEMW:
      case LVM_INSERTITEMW:
      case LVM_DELETEITEM:
      case LVM_DELETEALLITEMS:
      case LVM_SORTITEMS:
      case LVM_SORTITEMSEX:
      case LVM_ENSUREVISIBLE:
      case LVM_SETITEMCOUNT:
        owner_.Changed(msg, wParam);
        break;
      default:
        break;
    }
    return false;
  }

 private:
  ItemsView& owner_;
};

ItemsView::ItemsView() = default;

ItemsView::~ItemsView() {
  mirror_.reset();
  DestroyIfAlive(defView_);  // the surface goes with it
  DestroyIfAlive(surface_);
}

bool ItemsView::Create(HWND parent, HWND platformList, const RECT& place) {
  list_ = platformList;
  // The view passes the focus on to its surface, as Explorer's does.
  defView_ = std::make_unique<HostWindow>([this](UINT msg, WPARAM, LPARAM, LRESULT& result) {
    if (msg != WM_SETFOCUS || !Surface()) return false;
    SetFocus(Surface());
    result = 0;
    return true;
  });
  surface_ = std::make_unique<HostWindow>([this](UINT msg, WPARAM wParam, LPARAM lParam, LRESULT& result) {
    return SurfaceMessage(msg, wParam, lParam, result);
  });
  const int w = place.right - place.left, h = place.bottom - place.top;
  if (!list_ ||
      !defView_->Create(kDefViewClass, parent, L"", kChild | WS_TABSTOP, 0, place.left, place.top, w, h, nullptr) ||
      !surface_->Create(kSurfaceClass, DefView(), L"", kChild | WS_TABSTOP, 0, 0, 0, w, h, nullptr)) {
    return false;
  }
  mirror_ = std::make_unique<Mirror>(*this);
  return mirror_->Subclass(list_);
}

int ItemsView::Count() const { return list_ ? static_cast<int>(SendMessageW(list_, LVM_GETITEMCOUNT, 0, 0)) : 0; }

int ItemsView::RowsShown() const {
  RECT client = {};
  if (Surface()) GetClientRect(Surface(), &client);
  return std::max<int>(1, client.bottom / kRowHeight);
}

bool ItemsView::CanScroll() const { return Count() > RowsShown(); }

void ItemsView::ScrollTo(int top) {
  top_ = std::max(0, std::min(top, Count() - RowsShown()));
  if (Surface()) InvalidateRect(Surface(), nullptr, FALSE);
}

void ItemsView::EnsureVisible(int index) {
  if (index < 0) return;
  if (index < top_) {
    ScrollTo(index);
  } else if (index >= top_ + RowsShown()) {
    ScrollTo(index - RowsShown() + 1);
  }
}

void ItemsView::Changed(UINT msg, WPARAM wParam) {
  if (msg == LVM_DELETEALLITEMS) top_ = 0;
  if (msg == LVM_ENSUREVISIBLE) EnsureVisible(static_cast<int>(wParam));
  if (Surface()) InvalidateRect(Surface(), nullptr, FALSE);
}

// Keys and clicks go on to the platform's view; list view messages sent here by others do
// nothing, as on Windows, where this window is no list view.
bool ItemsView::SurfaceMessage(UINT msg, WPARAM wParam, LPARAM lParam, LRESULT& result) {
  switch (msg) {
    case WM_ERASEBKGND:
      result = 1;
      return true;
    case WM_PAINT:
      Paint();
      result = 0;
      return true;
    case WM_GETDLGCODE:
      result = DLGC_WANTARROWS | DLGC_WANTCHARS;
      return true;
    case WM_KEYDOWN:
    case WM_KEYUP:
    case WM_CHAR:
      result = SendMessageW(list_, msg, wParam, lParam);
      EnsureVisible(static_cast<int>(SendMessageW(list_, LVM_GETNEXTITEM, static_cast<WPARAM>(-1), LVNI_FOCUSED)));
      InvalidateRect(Surface(), nullptr, FALSE);
      return true;
    case WM_SETFOCUS:
    case WM_KILLFOCUS:
      InvalidateRect(Surface(), nullptr, FALSE);
      return false;
    case WM_LBUTTONDOWN:
      SetFocus(Surface());
      Click(static_cast<short>(HIWORD(lParam)));
      result = 0;
      return true;
    case WM_MOUSEWHEEL:
      ScrollTo(top_ - GET_WHEEL_DELTA_WPARAM(wParam) / WHEEL_DELTA * kWheelRows);
      result = 0;
      return true;
    case WM_SIZE:
      ScrollTo(top_);
      return false;
    default:
      return false;
  }
}

// A click on a row selects that item alone and focuses it, as a click on an item does.
void ItemsView::Click(int y) {
  const int index = top_ + y / kRowHeight;
  if (y < 0 || index >= Count()) return;
  SetStates(list_, -1, 0, LVIS_SELECTED);
  SetStates(list_, index, LVIS_SELECTED | LVIS_FOCUSED, LVIS_SELECTED | LVIS_FOCUSED);
  SendMessageW(list_, LVM_SETSELECTIONMARK, 0, index);
}

void ItemsView::Paint() {
  PAINTSTRUCT paint;
  HDC dc = BeginPaint(Surface(), &paint);
  if (!dc) return;
  RECT client;
  GetClientRect(Surface(), &client);
  FillRect(dc, &client, GetSysColorBrush(COLOR_WINDOW));
  const int count = Count(), bar = CanScroll() ? GetSystemMetrics(SM_CXVSCROLL) : 0;
  HGDIOBJ oldFont = SelectObject(dc, GetStockObject(DEFAULT_GUI_FONT));
  SetBkMode(dc, TRANSPARENT);
  const bool focused = GetFocus() == Surface();
  for (int row = top_; row < count && (row - top_) * kRowHeight < client.bottom; ++row) {
    RECT line = {0, (row - top_) * kRowHeight, client.right - bar, (row - top_ + 1) * kRowHeight};
    const UINT state = static_cast<UINT>(SendMessageW(list_, LVM_GETITEMSTATE, row, LVIS_SELECTED | LVIS_FOCUSED));
    const bool selected = (state & LVIS_SELECTED) != 0;
    if (selected) FillRect(dc, &line, GetSysColorBrush(focused ? COLOR_HIGHLIGHT : COLOR_BTNFACE));
    wchar_t text[MAX_PATH] = L"";
    LVITEMW item = {};
    item.iSubItem = 0;
    item.pszText = text;
    item.cchTextMax = MAX_PATH;
    SendMessageW(list_, LVM_GETITEMTEXTW, row, reinterpret_cast<LPARAM>(&item));
    SetTextColor(dc, GetSysColor(selected && focused ? COLOR_HIGHLIGHTTEXT : COLOR_WINDOWTEXT));
    RECT textRect = line;
    textRect.left += kTextInset;
    DrawTextW(dc, text, -1, &textRect, DT_SINGLELINE | DT_VCENTER | DT_END_ELLIPSIS | DT_NOPREFIX);
    if ((state & LVIS_FOCUSED) && focused) DrawFocusRect(dc, &line);
  }
  if (bar) {
    // The view's own scroll bar: a track and a thumb as long as the part shown.
    RECT track = {client.right - bar, 0, client.right, client.bottom};
    FillRect(dc, &track, GetSysColorBrush(COLOR_SCROLLBAR));
    const int height = client.bottom;
    RECT thumb = {track.left + 2, MulDiv(top_, height, count), track.right - 2,
                  MulDiv(std::min(count, top_ + RowsShown()), height, count)};
    FillRect(dc, &thumb, GetSysColorBrush(COLOR_BTNSHADOW));
  }
  SelectObject(dc, oldFont);
  EndPaint(Surface(), &paint);
}

}  // namespace vantorel::host
