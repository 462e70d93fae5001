#include "box/tab_box.h"

#include <exdispid.h>
#include <shlobj.h>

#include "band/selector_core_factory.h"
#include "framework/activation_context.h"
#include "framework/dpi.h"
#include "framework/guard.h"
#include "framework/key_input.h"
#include "view/shell_view.h"
#include "view/view_locator.h"

namespace vantorel {
namespace {

constexpr DWORD kBandId = 0;  // the box holds one band
constexpr int kViewInset = 8;  // from the view's top and right edges, at 96 DPI

// The box's client width: the band's ideal width where it asks for more than its minimum, else
// twice its minimum (room for a keyword beside the glyphs), never beyond its maximum.
LONG BoxWidth(const DESKBANDINFO& info) noexcept {
  LONG width = info.ptActual.x > info.ptMinSize.x ? info.ptActual.x : 2 * info.ptMinSize.x;
  if (info.ptMaxSize.x > 0 && width > info.ptMaxSize.x) width = info.ptMaxSize.x;
  return width > info.ptMinSize.x ? width : info.ptMinSize.x;
}

// The items view draws its scroll bar itself: its width is left free whenever the view holds more
// items than fit at the smallest row height it draws (a small icon's height and a little).
bool ItemsViewCanScroll(IServiceProvider* browser, const RECT& area) noexcept {
  ComPtr<IFolderView> view = ActiveFolderView(browser);
  int count = 0;
  const int rowHeight = GetSystemMetrics(SM_CYSMICON) + 4;
  return view && SUCCEEDED(view->ItemCount(SVGIO_ALLVIEW, &count)) && count > (area.bottom - area.top) / rowHeight;
}

// The folder view's client area on the screen, without the vertical scroll bar of its list view
// or of the items view.
bool ViewArea(HWND tab, IServiceProvider* browser, RECT& area) noexcept {
  HWND view = FindFolderView(tab);
  if (!view || !GetClientRect(view, &area)) return false;
  MapWindowPoints(view, nullptr, reinterpret_cast<POINT*>(&area), 2);
  HWND list = FindFolderListView(tab);
  RECT listArea;
  if (list && (GetWindowLongPtrW(list, GWL_STYLE) & WS_VSCROLL) && GetClientRect(list, &listArea)) {
    MapWindowPoints(list, nullptr, reinterpret_cast<POINT*>(&listArea), 2);
    if (listArea.right < area.right) area.right = listArea.right;
  } else if (!list && ItemsViewCanScroll(browser, area)) {
    area.right -= GetSystemMetrics(SM_CXVSCROLL);
  }
  return true;
}

}  // namespace

ComPtr<CTabBox> CTabBox::Open(HWND frame, HWND tab, IServiceProvider* browser) noexcept {
  ComPtr<CTabBox> box = MakeComObject<CTabBox>(frame, tab, browser);
  if (box && !box->Start()) {
    box->Close();
    box.reset();
  }
  return box;
}

CTabBox::CTabBox(HWND frame, HWND tab, IServiceProvider* browser) noexcept
    : frame_(frame), tab_(tab), browser_(browser) {
  box_.SetLifetimeOwner(ObjectUnknown());
  frameAnchor_.SetLifetimeOwner(ObjectUnknown());
  tabAnchor_.SetLifetimeOwner(ObjectUnknown());
}

CTabBox::~CTabBox() { Close(); }

const InterfaceEntry* CTabBox::Interfaces() {
  static const InterfaceEntry table[] = {VANTOREL_INTERFACE(CTabBox, IOleWindow),
                                         VANTOREL_INTERFACE(CTabBox, IInputObjectSite),
                                         VANTOREL_INTERFACE(CTabBox, IOleCommandTarget),
                                         VANTOREL_INTERFACE(CTabBox, IServiceProvider), {}};
  return table;
}

// Sited as Explorer sites a toolbar: SetSite, GetBandInfo, GetWindow, sized, ShowDW(TRUE).
bool CTabBox::Start() noexcept {
  {
    ScopedModuleActivation activation;
    if (!box_.CreateBox(frame_)) return false;
  }
  if (!frameAnchor_.Follow(frame_) || !tabAnchor_.Follow(tab_)) return false;
  // Without its key routing the box would type Tab into the keyword and give Explorer's
  // accelerators the keys meant for it: no box at all.
  if (!(keysRouted_ = AddBoxKeyTarget(this))) return false;
  if (FAILED(CreateSelectorCore(nullptr, IID_PPV_ARGS(band_.put()))) || !band_) return false;
  ComPtr<IObjectWithSite> withSite;
  ComPtr<IDeskBand> deskBand;
  if (FAILED(band_.As(withSite)) || FAILED(band_.As(deskBand))) return false;
  if (FAILED(withSite->SetSite(static_cast<IOleWindow*>(this)))) return false;
  AskBandSize();
  if (FAILED(deskBand->GetWindow(&bandWindow_)) || !bandWindow_) return false;
  const SIZE outer = box_.OuterSize(bandSize_.cx, bandSize_.cy);
  SetWindowPos(box_.hwnd(), nullptr, 0, 0, outer.cx, outer.cy, SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE);
  FitBand();
  deskBand->ShowDW(TRUE);
  bandShown_ = true;
  Follow();
  return true;
}

void CTabBox::Shut(bool windowGoing) noexcept {
  if (closed_) return;
  closed_ = true;
  if (keysRouted_) RemoveBoxKeyTarget(this);
  keysRouted_ = false;
  frameAnchor_.Leave();
  tabAnchor_.Leave();
  LetBandGo(windowGoing);
  if (!boxGoing_) box_.DestroyOwnWindow();
  browser_.reset();
}

void CTabBox::LetBandGo(bool windowGoing) noexcept {
  ComPtr<IUnknown> band = std::move(band_);
  bandWindow_ = nullptr;
  if (!band) return;
  if (windowGoing) {
    // As the browser of a closing window tells its event sinks: the band lets go of the view
    // without a refresh.
    ComPtr<IDispatch> events;
    DISPPARAMS none = {};
    if (SUCCEEDED(band.As(events))) {
      events->Invoke(DISPID_ONQUIT, IID_NULL, LOCALE_USER_DEFAULT, DISPATCH_METHOD, &none, nullptr, nullptr, nullptr);
    }
  } else if (ComPtr<IDockingWindow> docking; SUCCEEDED(band.As(docking))) {
    docking->ShowDW(FALSE);
    docking->CloseDW(0);
  }
  HWND focus = GetFocus();
  const bool focusInBox = HoldsWindow(focus);
  ComPtr<IObjectWithSite> withSite;
  if (SUCCEEDED(band.As(withSite))) withSite->SetSite(nullptr);
  withSite.reset();
  band.reset();
  // Only a box that had the focus hands it to the frame, and only a frame that stays.
  if (!windowGoing && !focusInBox && focus && IsWindow(focus) && GetFocus() != focus) SetFocus(focus);
}

void CTabBox::AskBandSize() noexcept {
  ComPtr<IDeskBand> deskBand;
  if (!band_ || FAILED(band_.As(deskBand))) return;
  DESKBANDINFO info = {};
  info.dwMask = DBIM_MINSIZE | DBIM_MAXSIZE | DBIM_ACTUAL;
  if (FAILED(deskBand->GetBandInfo(kBandId, DBIF_VIEWMODE_NORMAL, &info))) return;
  bandSize_ = {BoxWidth(info), info.ptMinSize.y};
}

void CTabBox::FitBand() noexcept {
  RECT client;
  if (bandWindow_ && box_.hwnd() && GetClientRect(box_.hwnd(), &client)) {
    MoveWindow(bandWindow_, 0, 0, client.right, client.bottom, TRUE);
  }
}

bool CTabBox::BoxBelongsShown() const noexcept {
  return band_ && IsWindowVisible(tab_) && !IsIconic(frame_);
}

void CTabBox::Follow() noexcept {
  HWND box = box_.hwnd();
  if (!box || boxGoing_) return;
  RECT area;
  const bool shown = BoxBelongsShown() && ViewArea(tab_, browser_.get(), area);
  if (!shown) {
    if (IsWindowVisible(box)) ShowWindow(box, SW_HIDE);
    ShowBand(IsWindowVisible(tab_) != FALSE);
    return;
  }
  ShowBand(true);
  if (closed_) return;  // the band's showing ran messages
  const int inset = ScaleForDpi(kViewInset, WindowDpi(frame_));
  const SIZE outer = box_.OuterSize(bandSize_.cx, bandSize_.cy);
  if (area.right - area.left < outer.cx + 2 * inset || area.bottom - area.top < outer.cy + 2 * inset) {
    if (IsWindowVisible(box)) ShowWindow(box, SW_HIDE);  // a view too small to hold it
    return;
  }
  HWND after = PlaceAbove();
  SetWindowPos(box, after, area.right - inset - outer.cx, area.top + inset, outer.cx, outer.cy,
               (after ? 0 : SWP_NOZORDER) | SWP_NOOWNERZORDER | SWP_NOACTIVATE | SWP_SHOWWINDOW);
}

// The band is shown as long as its tab is, as a toolbar is shown as long as its window: a
// minimised frame or a view too small for the box hides the box alone. A hidden band hides what
// it shows besides its window, its settings dialog.
void CTabBox::ShowBand(bool show) noexcept {
  ComPtr<IDockingWindow> docking;
  if (show == bandShown_ || !band_ || FAILED(band_.As(docking))) return;
  bandShown_ = show;
  docking->ShowDW(show);
}

// The window to put the box after: the one right above the frame (HWND_TOP where none is, or
// where that one is always on top), null where the box is there already.
HWND CTabBox::PlaceAbove() const noexcept {
  HWND above = ::GetWindow(frame_, GW_HWNDPREV);
  if (above == box_.hwnd()) return nullptr;
  if (!above || ((GetWindowLongPtrW(above, GWL_EXSTYLE) & WS_EX_TOPMOST) &&
                 !(GetWindowLongPtrW(frame_, GWL_EXSTYLE) & WS_EX_TOPMOST))) {
    return HWND_TOP;
  }
  return above;
}

void CTabBox::OnBoxFocused() noexcept {
  ComPtr<IInputObject> input;
  if (band_ && SUCCEEDED(band_.As(input))) input->UIActivateIO(TRUE, nullptr);
}

void CTabBox::OnBoxDpiChanged() noexcept {
  AskBandSize();
  Follow();
}

void CTabBox::OnBoxDestroyed() noexcept {
  boxGoing_ = true;
  Shut(true);  // somebody else's DestroyWindow: the frame is going
}

bool CTabBox::HoldsWindow(HWND window) const noexcept {
  HWND box = box_.hwnd();
  return window && box && (window == box || IsChild(box, window));
}

// As Explorer routes a key to the toolbar that has the focus: the band first; Tab it leaves
// (S_FALSE) moves the focus on, into the tab's folder view.
bool CTabBox::TranslateKey(MSG& msg) noexcept {
  if (PassWindowKeysToFrame(msg)) return true;
  ComPtr<IInputObject> input;
  if (!band_ || FAILED(band_.As(input))) return false;
  if (input->TranslateAcceleratorIO(&msg) == S_OK) return true;
  if (msg.message != WM_KEYDOWN || msg.wParam != VK_TAB) return false;
  if (HWND view = TabView()) SetFocus(view);
  return true;
}

HWND CTabBox::TabView() const noexcept {
  HWND view = FindFolderListView(tab_);
  return view ? view : FindFolderView(tab_);
}

// Windows snaps the window that has the focus on Win+arrow, and Win+Shift+arrow stretches it or
// moves it to another screen: meant for the frame, never for its box. The box passes them on as
// a tool palette does: the frame's view takes the focus and the keys are pressed again there.
// The Windows key and Shift count as they were with this arrow; one the user has let go of since
// is pressed around it and let go again.
bool CTabBox::PassWindowKeysToFrame(const MSG& msg) noexcept {
  if (msg.message != WM_KEYDOWN) return false;
  const WPARAM key = msg.wParam;
  if (key != VK_LEFT && key != VK_RIGHT && key != VK_UP && key != VK_DOWN) return false;
  if (GetKeyState(VK_LWIN) >= 0 && GetKeyState(VK_RWIN) >= 0) return false;
  HWND view = TabView();
  if (view) SetFocus(view);
  // The focus stayed in the box: the key goes nowhere rather than round again.
  if (!view || HoldsWindow(GetFocus())) return true;
  WORD released[3] = {};
  UINT releasedCount = 0;
  for (WORD held : {WORD(VK_LWIN), WORD(VK_RWIN), WORD(VK_SHIFT)}) {
    if (GetKeyState(held) < 0 && GetAsyncKeyState(held) >= 0) released[releasedCount++] = held;
  }
  PressKey(static_cast<WORD>(key), released, releasedCount);
  return true;
}

// ---- IOleWindow, IInputObjectSite ----

STDMETHODIMP CTabBox::GetWindow(HWND* window) {
  if (!window) return E_POINTER;
  *window = box_.hwnd();
  return *window ? S_OK : E_FAIL;
}

STDMETHODIMP CTabBox::OnFocusChangeIS(IUnknown*, BOOL) { return S_OK; }

// ---- IOleCommandTarget ----

STDMETHODIMP CTabBox::QueryStatus(const GUID* group, ULONG, OLECMD*, OLECMDTEXT*) {
  return group && *group == CGID_DeskBand ? OLECMDERR_E_NOTSUPPORTED : OLECMDERR_E_UNKNOWNGROUP;
}

STDMETHODIMP CTabBox::Exec(const GUID* group, DWORD command, DWORD, VARIANT*, VARIANT*) {
  if (!group || *group != CGID_DeskBand) return OLECMDERR_E_UNKNOWNGROUP;
  if (command != DBID_BANDINFOCHANGED) return OLECMDERR_E_NOTSUPPORTED;
  return GuardHresult([&]() -> HRESULT {
    AskBandSize();
    Follow();  // the new size reaches the band through the box's WM_SIZE
    return S_OK;
  });
}

// ---- IServiceProvider ----

STDMETHODIMP CTabBox::QueryService(REFGUID service, REFIID riid, void** ppv) {
  if (!ppv) return E_POINTER;
  *ppv = nullptr;
  if (!browser_) return E_FAIL;
  return browser_->QueryService(service, riid, ppv);
}

}  // namespace vantorel
