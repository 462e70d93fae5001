#include "host/explorer_tab.h"

#include <commctrl.h>
#include <shlwapi.h>

#include <algorithm>
#include <vector>

namespace vantorel::host {
namespace {

constexpr int kStripPadding = 2;
constexpr int kTreeWidth = 200;
constexpr DWORD kBandId = 0;  // the strip holds one band

const WindowClassSpec kStripClass = {L"Vantorel Host Toolbar", nullptr, 0, kFace, IDC_ARROW};
const WindowClassSpec kBaseBarClass = {L"BaseBar", nullptr, 0, kFace, IDC_ARROW};
// The DirectUI layout's windows and the tabbed frame's; Explorer's classes of these names belong
// to other modules.
const WindowClassSpec kDuiDefViewClass = {L"SHELLDLL_DefView", nullptr, 0,
                                          reinterpret_cast<HBRUSH>(COLOR_WINDOW + 1), IDC_ARROW};
const WindowClassSpec kDuiViewClass = {L"DUIViewWndClassName", nullptr, 0, nullptr, IDC_ARROW};
const WindowClassSpec kDirectUiClass = {L"DirectUIHWND", nullptr, 0, nullptr, IDC_ARROW};
const WindowClassSpec kNotifySinkClass = {L"CtrlNotifySink", nullptr, 0, nullptr, IDC_ARROW};
const WindowClassSpec kTabClass = {L"ShellTabWindowClass", nullptr, 0, kFace, IDC_ARROW};
const WindowClassSpec kWorkerClass = {L"WorkerW", nullptr, 0, kFace, IDC_ARROW};

bool CreateChild(HostWindow& window, const WindowClassSpec& cls, HWND parent, DWORD style = kChild) {
  return window.Create(cls, parent, L"", style, 0, 0, 0, 0, 0, nullptr) != nullptr;
}

// A real rebar that the host lays out itself, as Explorer's toolbar area and tree pane hold.
HWND CreateRebar(HWND parent) {
  return CreateWindowExW(0, REBARCLASSNAMEW, L"", kChild | CCS_NORESIZE | CCS_NOPARENTALIGN | CCS_NODIVIDER, 0, 0, 0,
                         0, parent, nullptr, nullptr, nullptr);
}

void Fill(HWND window, HWND parent) {
  RECT rc = {};
  if (window && GetClientRect(parent, &rc)) MoveWindow(window, 0, 0, rc.right, rc.bottom, TRUE);
}

}  // namespace

ExplorerTab::~ExplorerTab() {
  Close();
  if (browser_) browser_->Detach();
  if (site_) site_->Detach();
}

bool ExplorerTab::Init() {
  shownAt_ = GetTickCount64();
  browser_ = MakeComObject<CBrowser>(static_cast<BrowserHost*>(this));
  if (!browser_ || !browser_->Events()) return false;
  site_ = MakeComObject<CBandSite>(static_cast<BrowserHost*>(this), static_cast<IServiceProvider*>(browser_.get()));
  if (!site_) return false;
  if (!options_.explorer11) {
    strip_ = PlacedWindow();
    if (!CreateChild(*strip_, kStripClass, Frame())) return false;
  } else {
    tab_ = PlacedWindow();
    worker_ = PlacedWindow();
    viewHost_ = std::make_unique<HostWindow>();
    viewSurface_ = std::make_unique<HostWindow>();
    viewSink_ = std::make_unique<HostWindow>();
    if (!CreateChild(*tab_, kTabClass, Frame(), kChild & ~WS_VISIBLE) ||
        !CreateChild(*worker_, kWorkerClass, Container(), ToolbarAreaHidden() ? kChild & ~WS_VISIBLE : kChild) ||
        !CreateChild(*viewHost_, kDuiViewClass, Container()) ||
        !CreateChild(*viewSurface_, kDirectUiClass, viewHost_->hwnd()) ||
        !CreateChild(*viewSink_, kNotifySinkClass, viewSurface_->hwnd())) {
      return false;
    }
    rebarStrip_ = CreateRebar(worker_->hwnd());
    if (!rebarStrip_) return false;
  }
  if (options_.folderTree) ShowFolderTree(true);
  return true;
}

HWND ExplorerTab::Container() const { return tab_ ? tab_->hwnd() : Frame(); }

HWND ExplorerTab::ToolbarStrip() const {
  if (options_.explorer11) return rebarStrip_;
  return strip_ ? strip_->hwnd() : nullptr;
}

bool ExplorerTab::SinkMessage(UINT msg, WPARAM, LPARAM lParam, LRESULT& result) {
  if (msg != WM_NOTIFY) return false;
  const NMHDR* header = reinterpret_cast<const NMHDR*>(lParam);
  if (!header || header->hwndFrom != duiList_) return false;
  if (header->code == LVN_DELETEITEM) {
    const NMLISTVIEW* item = reinterpret_cast<const NMLISTVIEW*>(lParam);
    if (item->lParam) {
      ILFree(reinterpret_cast<LPITEMIDLIST>(item->lParam));
      --ownedIdLists_;
    }
    result = 0;
    return true;
  }
  if (header->code == LVN_DELETEALLITEMS) {
    result = FALSE;  // one LVN_DELETEITEM per item, so that each list is freed
    return true;
  }
  return false;
}

int ExplorerTab::StripHeight() const { return ToolbarAreaHidden() ? 0 : bandHeight_ + 2 * kStripPadding; }

// The tab's client area below the toolbar strip, right of the tree pane when it is shown.
RECT ExplorerTab::ViewRect() const {
  RECT view = {};
  if (Container()) GetClientRect(Container(), &view);
  view.top = std::min<LONG>(view.bottom, StripHeight());
  if (baseBar_) view.left = std::min<LONG>(view.right, kTreeWidth);
  return view;
}

void ExplorerTab::Place(const RECT& area) {
  if (tab_) MoveWindow(tab_->hwnd(), area.left, area.top, area.right - area.left, area.bottom - area.top, TRUE);
  Layout();
}

void ExplorerTab::Layout() {
  if (!Frame()) return;
  RECT view = ViewRect();
  if (worker_) MoveWindow(worker_->hwnd(), 0, 0, view.right, view.top, TRUE);
  MoveWindow(ToolbarStrip(), 0, 0, view.right, view.top, TRUE);
  if (bandWindow_) {
    MoveWindow(bandWindow_, kStripPadding, kStripPadding, std::max<LONG>(0, view.right - 2 * kStripPadding),
               bandHeight_, TRUE);
  }
  if (baseBar_) {
    int height = std::max<LONG>(0, view.bottom - view.top);
    MoveWindow(baseBar_->hwnd(), 0, view.top, view.left, height, TRUE);
    MoveWindow(rebar_, 0, 0, view.left, height, TRUE);
    MoveWindow(tree_, 0, 0, view.left, height, TRUE);
  }
  HWND shown = viewHost_ ? viewHost_->hwnd() : ShellViewWindow();
  if (shown) MoveWindow(shown, view.left, view.top, view.right - view.left, view.bottom - view.top, TRUE);
  if (viewHost_) {
    Fill(viewSurface_->hwnd(), viewHost_->hwnd());
    Fill(viewSink_->hwnd(), viewSurface_->hwnd());
    Fill(ShellViewWindow(), viewSink_->hwnd());
  }
}

HWND ExplorerTab::ShellViewWindow() const {
  if (options_.directUiLayout) return duiDefView_ ? duiDefView_->hwnd() : nullptr;
  if (items_) return items_->DefView();
  return viewWindow_;
}

HWND ExplorerTab::ListView() const {
  if (options_.directUiLayout) return duiList_;
  return viewWindow_ ? FindWindowExW(viewWindow_, nullptr, WC_LISTVIEWW, nullptr) : nullptr;
}

HWND ExplorerTab::ViewKeysWindow() const { return items_ ? items_->Surface() : ListView(); }

bool ExplorerTab::Navigate(const wchar_t* folderPath) {
  if (!folderPath || !*folderPath) return false;
  UniqueAbsolutePidl pidl;
  SFGAOF attributes = 0;
  if (FAILED(SHParseDisplayName(folderPath, nullptr, pidl.put(), 0, &attributes))) return false;
  return NavigateToIdList(pidl.get());
}

bool ExplorerTab::NavigateToIdList(PCIDLIST_ABSOLUTE folder) {
  if (!folder || closing_ || closed_) return false;
  UniquePidl copy(ILClone(reinterpret_cast<LPCITEMIDLIST>(folder)));
  if (!copy) return false;
  ComPtr<IShellFolder> desktop;
  if (FAILED(SHGetDesktopFolder(desktop.put()))) return false;
  ComPtr<IShellFolder> target;
  if (ILIsEmpty(copy.get())) {
    target = desktop;
  } else if (FAILED(desktop->BindToObject(copy.get(), nullptr, IID_IShellFolder, target.put_void()))) {
    return false;
  }
  DestroyView();
  folder_ = std::move(copy);
  shellFolder_ = target;
  if (!CreateView()) return false;
  if (options_.directUiLayout && !CreateDirectUi()) return false;
  FillTree();
  Layout();
  FireDocumentComplete();
  return true;
}

bool ExplorerTab::CreateView() {
  ComPtr<IShellView> view;
  if (FAILED(shellFolder_->CreateViewObject(Frame(), IID_IShellView, view.put_void())) || !view) return false;
  FOLDERSETTINGS settings = {FVM_DETAILS, 0};
  RECT rc = ViewRect();
  HWND window = nullptr;
  if (FAILED(view->CreateViewWindow(nullptr, &settings, static_cast<IShellBrowser*>(browser_.get()), &rc,
                                    &window)) ||
      !window) {
    return false;
  }
  view_ = view;
  viewWindow_ = window;
  if (options_.directUiLayout || ItemsShown()) {
    // The platform's view stays alive for QueryActiveShellView, parked where the walk from the
    // frame does not meet it.
    ShowWindow(window, SW_HIDE);
    SetParent(window, frame_.Park());
    items_ = ItemsShown() ? std::make_unique<ItemsView>() : nullptr;
    if (items_ && !items_->Create(viewSink_ ? viewSink_->hwnd() : Container(), ListView(), rc)) return false;
  } else {
    if (viewSink_) SetParent(window, viewSink_->hwnd());
    ShowWindow(window, SW_SHOW);
  }
  view_->UIActivate(SVUIA_ACTIVATE_NOFOCUS);
  return true;
}

void ExplorerTab::DestroyView() {
  DestroyDirectUi();
  items_.reset();
  if (view_) {
    ComPtr<IShellView> view = std::move(view_);
    view->UIActivate(SVUIA_DEACTIVATE);
    view->DestroyViewWindow();
    view.reset();
  }
  viewWindow_ = nullptr;
}

bool ExplorerTab::CreateDirectUi() {
  RECT rc = ViewRect();
  duiDefView_ = std::make_unique<HostWindow>();
  duiView_ = std::make_unique<HostWindow>();
  directUi_ = std::make_unique<HostWindow>();
  notifySink_ = std::make_unique<HostWindow>([this](UINT msg, WPARAM wParam, LPARAM lParam, LRESULT& result) {
    return SinkMessage(msg, wParam, lParam, result);
  });
  int w = rc.right - rc.left, h = rc.bottom - rc.top;
  if (!duiDefView_->Create(kDuiDefViewClass, Container(), L"", kChild | WS_TABSTOP, 0, rc.left, rc.top, w, h,
                           nullptr) ||
      !duiView_->Create(kDuiViewClass, duiDefView_->hwnd(), L"", kChild, 0, 0, 0, w, h, nullptr) ||
      !directUi_->Create(kDirectUiClass, duiView_->hwnd(), L"", kChild, 0, 0, 0, w, h, nullptr) ||
      !notifySink_->Create(kNotifySinkClass, directUi_->hwnd(), L"", kChild, 0, 0, 0, w, h, nullptr)) {
    return false;
  }
  duiList_ = CreateWindowExW(0, WC_LISTVIEWW, L"", kChild | WS_TABSTOP | LVS_REPORT | LVS_SHOWSELALWAYS, 0, 0, w, h,
                             notifySink_->hwnd(), nullptr, nullptr, nullptr);
  if (!duiList_) return false;
  LVCOLUMNW column = {};
  column.mask = LVCF_TEXT | LVCF_WIDTH;
  column.cx = 320;
  column.pszText = const_cast<wchar_t*>(L"Name");
  SendMessageW(duiList_, LVM_INSERTCOLUMNW, 0, reinterpret_cast<LPARAM>(&column));
  FillDirectUiList();
  return true;
}

void ExplorerTab::DestroyDirectUi() {
  if (duiList_ && IsWindow(duiList_)) SendMessageW(duiList_, LVM_DELETEALLITEMS, 0, 0);
  DestroyIfAlive(duiDefView_);  // the windows under it go with it
  DestroyIfAlive(notifySink_);
  DestroyIfAlive(directUi_);
  DestroyIfAlive(duiView_);
  duiList_ = nullptr;
}

void ExplorerTab::FillDirectUiList() {
  if (!duiList_ || !shellFolder_) return;
  ComPtr<IEnumIDList> items;
  if (shellFolder_->EnumObjects(Frame(), SHCONTF_FOLDERS | SHCONTF_NONFOLDERS, items.put()) != S_OK || !items) {
    return;
  }
  std::vector<LPITEMIDLIST> children;
  LPITEMIDLIST child = nullptr;
  while (items->Next(1, &child, nullptr) == S_OK && child) {
    try {
      children.push_back(child);
    } catch (...) {
      ILFree(child);
      break;
    }
    child = nullptr;
  }
  IShellFolder* folder = shellFolder_.get();
  std::sort(children.begin(), children.end(), [folder](LPITEMIDLIST a, LPITEMIDLIST b) {
    return static_cast<short>(HRESULT_CODE(folder->CompareIDs(0, a, b))) < 0;
  });
  for (LPITEMIDLIST item : children) {
    // The browser's filter decides here as the platform's view asks it when it fills.
    if (!browser_->Includes(item)) {
      ILFree(item);
      continue;
    }
    wchar_t name[MAX_PATH] = L"";
    STRRET ret = {};
    if (SUCCEEDED(folder->GetDisplayNameOf(item, SHGDN_INFOLDER, &ret))) StrRetToBufW(&ret, item, name, MAX_PATH);
    LVITEMW lv = {};
    lv.mask = LVIF_TEXT | LVIF_PARAM;
    lv.iItem = static_cast<int>(SendMessageW(duiList_, LVM_GETITEMCOUNT, 0, 0));
    lv.pszText = name;
    lv.lParam = reinterpret_cast<LPARAM>(item);
    // Sent, not called: a subclass of the list view sees every insert and may refuse it.
    if (SendMessageW(duiList_, LVM_INSERTITEMW, 0, reinterpret_cast<LPARAM>(&lv)) == -1) {
      ILFree(item);
    } else {
      ++ownedIdLists_;
    }
  }
}

bool ExplorerTab::Refresh() {
  if (closed_) return false;
  if (options_.directUiLayout) {
    if (!duiList_) return false;
    SendMessageW(duiList_, LVM_DELETEALLITEMS, 0, 0);
    FillDirectUiList();
    return true;
  }
  return view_ && SUCCEEDED(view_->Refresh());
}

void ExplorerTab::BrowseLater(PCUIDLIST_RELATIVE pidl, UINT flags) {
  UniquePidl target;
  if (flags & SBSP_PARENT) {
    target.reset(ILClone(folder_.get()));
    if (target) ILRemoveLastID(target.get());
  } else if ((flags & SBSP_RELATIVE) && pidl) {
    target.reset(ILCombine(folder_.get(), reinterpret_cast<LPCITEMIDLIST>(pidl)));
  } else if (pidl) {
    target.reset(ILClone(reinterpret_cast<LPCITEMIDLIST>(pidl)));
  }
  if (!target || !Frame()) return;
  pendingBrowse_ = std::move(target);
  frame_.PostBrowse(id_);
}

void ExplorerTab::BrowsePending() {
  UniquePidl target(pendingBrowse_.release());
  if (target) NavigateToIdList(reinterpret_cast<PCIDLIST_ABSOLUTE>(target.get()));
}

bool ExplorerTab::CurrentPath(wchar_t (&path)[MAX_PATH]) const {
  path[0] = L'\0';
  return folder_ && SHGetPathFromIDListW(folder_.get(), path);
}

void ExplorerTab::FireDocumentComplete() {
  if (!browser_ || !browser_->Events()) return;
  wchar_t path[MAX_PATH];
  if (!CurrentPath(path)) path[0] = L'\0';
  VARIANT url = {};
  V_VT(&url) = VT_BSTR;
  V_BSTR(&url) = SysAllocString(path);
  // DocumentComplete(IDispatch* pDisp, VARIANT* URL): arguments in reverse order.
  VARIANTARG args[2] = {};
  V_VT(&args[0]) = VT_BYREF | VT_VARIANT;
  V_VARIANTREF(&args[0]) = &url;
  V_VT(&args[1]) = VT_DISPATCH;
  V_DISPATCH(&args[1]) = static_cast<IWebBrowser2*>(browser_.get());
  DISPPARAMS params = {args, nullptr, 2, 0};
  ComPtr<CBrowser> keep = browser_;
  keep->Events()->Fire(DISPID_DOCUMENTCOMPLETE, &params);
  VariantClear(&url);
}

void ExplorerTab::ShowFolderTree(bool show) {
  if (closed_ || !Frame()) return;
  if (!show) {
    tree_ = nullptr;
    rebar_ = nullptr;
    DestroyIfAlive(baseBar_);
    Layout();
    return;
  }
  if (baseBar_) return;
  baseBar_ = PlacedWindow();
  if (!CreateChild(*baseBar_, kBaseBarClass, Container())) {
    baseBar_.reset();
    return;
  }
  rebar_ = CreateRebar(baseBar_->hwnd());
  tree_ = rebar_ ? CreateWindowExW(WS_EX_CLIENTEDGE, WC_TREEVIEWW, L"",
                                   kChild | WS_TABSTOP | TVS_HASLINES | TVS_HASBUTTONS | TVS_LINESATROOT |
                                       TVS_SHOWSELALWAYS,
                                   0, 0, 0, 0, rebar_, nullptr, nullptr, nullptr)
                 : nullptr;
  FillTree();
  Layout();
}

void ExplorerTab::FillTree() {
  if (!tree_) return;
  SendMessageW(tree_, TVM_DELETEITEM, 0, reinterpret_cast<LPARAM>(TVI_ROOT));
  wchar_t path[MAX_PATH];
  if (!CurrentPath(path)) return;
  // One item per component of the shown folder's path, each under the one before.
  HTREEITEM parent = TVI_ROOT;
  HTREEITEM last = nullptr;
  for (wchar_t* part = path; *part;) {
    wchar_t* end = part;
    while (*end && *end != L'\\') ++end;
    bool more = *end != L'\0';
    *end = L'\0';
    if (*part) {
      TVINSERTSTRUCTW insert = {};
      insert.hParent = parent;
      insert.hInsertAfter = TVI_LAST;
      insert.item.mask = TVIF_TEXT;
      insert.item.pszText = part;
      HTREEITEM item =
          reinterpret_cast<HTREEITEM>(SendMessageW(tree_, TVM_INSERTITEMW, 0, reinterpret_cast<LPARAM>(&insert)));
      if (!item) break;
      if (last) SendMessageW(tree_, TVM_EXPAND, TVE_EXPAND, reinterpret_cast<LPARAM>(last));
      parent = last = item;
    }
    part = more ? end + 1 : end;
  }
  if (last) SendMessageW(tree_, TVM_SELECTITEM, TVGN_CARET, reinterpret_cast<LPARAM>(last));
}

HRESULT ExplorerTab::AddBand(IUnknown* band) {
  if (!band) return E_POINTER;
  if (band_ || closed_) return E_UNEXPECTED;
  ComPtr<IObjectWithSite> withSite;
  HRESULT hr = band->QueryInterface(IID_IObjectWithSite, withSite.put_void());
  if (FAILED(hr)) return hr;
  ComPtr<IUnknown> site;
  site.attach(Site());
  hr = withSite->SetSite(site.get());
  if (FAILED(hr)) return hr;
  ComPtr<IDeskBand> deskBand;
  HWND window = nullptr;
  hr = band->QueryInterface(IID_IDeskBand, deskBand.put_void());
  if (SUCCEEDED(hr)) {
    hr = AskBandHeight(deskBand.get());
    if (SUCCEEDED(hr)) hr = deskBand->GetWindow(&window);
  }
  if (FAILED(hr) || !window) {
    withSite->SetSite(nullptr);
    bandHeight_ = 22;
    return FAILED(hr) ? hr : E_FAIL;
  }
  band_ = ComPtr<IUnknown>(band);
  band->QueryInterface(IID_IInputObject, bandInput_.put_void());
  bandWindow_ = window;
  Layout();
  deskBand->ShowDW(TRUE);
  return S_OK;
}

HRESULT ExplorerTab::AskBandHeight(IDeskBand* band) {
  DESKBANDINFO info = {};
  info.dwMask = DBIM_MINSIZE | DBIM_MAXSIZE | DBIM_INTEGRAL | DBIM_ACTUAL | DBIM_TITLE | DBIM_MODEFLAGS | DBIM_BKCOLOR;
  HRESULT hr = band->GetBandInfo(kBandId, DBIF_VIEWMODE_NORMAL, &info);
  if (SUCCEEDED(hr)) {
    bandMinSize_ = info.ptMinSize;
    bandHeight_ = info.ptMinSize.y > 0 ? info.ptMinSize.y : 22;
  }
  return hr;
}

void ExplorerTab::BandInfoChanged() {
  ComPtr<IDeskBand> deskBand;
  if (!band_ || FAILED(band_->QueryInterface(IID_IDeskBand, deskBand.put_void()))) return;
  AskBandHeight(deskBand.get());
  Layout();
}

void ExplorerTab::RemoveBand() {
  if (!band_) return;
  ComPtr<IUnknown> band = std::move(band_);
  bandInput_.reset();
  bandWindow_ = nullptr;
  ComPtr<IDockingWindow> docking;
  if (SUCCEEDED(band->QueryInterface(IID_IDockingWindow, docking.put_void()))) {
    docking->ShowDW(FALSE);
    docking->CloseDW(0);
  }
  docking.reset();
  ComPtr<IObjectWithSite> withSite;
  if (SUCCEEDED(band->QueryInterface(IID_IObjectWithSite, withSite.put_void()))) withSite->SetSite(nullptr);
  withSite.reset();
  band.reset();
  bandHeight_ = 22;
  bandMinSize_ = {0, 0};
  Layout();
}

IUnknown* ExplorerTab::OutsideBand(HWND* bandWindow) const {
  if (!browser_ || !browser_->Events()) return nullptr;
  HWND frame = Frame();
  HWND found = nullptr;
  IDispatch* band = browser_->Events()->FindSink([frame, &found](IDispatch* sink) {
    ComPtr<IDeskBand> deskBand;
    HWND window = nullptr;
    if (FAILED(sink->QueryInterface(IID_IDeskBand, deskBand.put_void())) || FAILED(deskBand->GetWindow(&window)) ||
        !IsWindow(window) || GetAncestor(window, GA_ROOT) == frame) {
      return false;
    }
    found = window;
    return true;
  });
  if (bandWindow) *bandWindow = found;
  return band;
}

bool ExplorerTab::RouteKey(MSG& msg) {
  if (msg.message < WM_KEYFIRST || msg.message > WM_KEYLAST || !bandInput_) return false;
  ComPtr<IInputObject> input = bandInput_;  // the band may be let go while it handles the key
  if (input->HasFocusIO() != S_OK) return false;
  HRESULT hr = input->TranslateAcceleratorIO(&msg);
  if (hr == S_OK) return true;
  if (msg.message == WM_KEYDOWN && msg.wParam == VK_TAB) {
    HWND next = ViewKeysWindow();
    if (next) SetFocus(next);
    return true;
  }
  return false;
}

void ExplorerTab::LoadExplorerToolbars() {
  if (toolbars_ || closed_) return;
  toolbars_ = std::make_unique<ExplorerToolbars>(*this);
  toolbars_->Load();
}

void ExplorerTab::Close() {
  if (closing_ || closed_) return;
  closing_ = true;
  if (browser_ && browser_->Events()) {
    ComPtr<CBrowser> keep = browser_;
    keep->Events()->Fire(DISPID_ONQUIT, nullptr);
  }
  if (toolbars_) toolbars_->Unload();
  RemoveBand();
  DestroyView();
  shellFolder_.reset();
  folder_.reset();
  pendingBrowse_.reset();
  tree_ = nullptr;
  rebar_ = nullptr;
  rebarStrip_ = nullptr;
  DestroyIfAlive(baseBar_);
  DestroyIfAlive(strip_);
  DestroyIfAlive(tab_);  // the tabbed frame's windows of the tab go with it
  for (auto* window : {&worker_, &viewHost_, &viewSurface_, &viewSink_}) DestroyIfAlive(*window);
  closed_ = true;
  closing_ = false;
}

}  // namespace vantorel::host
