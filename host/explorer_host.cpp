#include "host/explorer_host.h"

#include <commctrl.h>
#include <shlwapi.h>

#include <algorithm>
#include <functional>
#include <vector>

#include "framework/com_ptr.h"
#include "framework/unique_pidl.h"
#include "framework/window.h"
#include "host/browser.h"
#include "host/explorer_toolbars.h"

namespace vantorel::host {
namespace {

constexpr UINT kBrowseLater = WM_APP + 0x31;
constexpr int kStripPadding = 2;
constexpr int kTreeWidth = 200;
constexpr DWORD kBandId = 0;  // the strip holds one band
constexpr DWORD kChild = WS_CHILD | WS_VISIBLE | WS_CLIPCHILDREN | WS_CLIPSIBLINGS;

const HBRUSH kFace = reinterpret_cast<HBRUSH>(COLOR_BTNFACE + 1);
const WindowClassSpec kFrameClass = {L"Vantorel Host Frame", nullptr, CS_HREDRAW | CS_VREDRAW, kFace, IDC_ARROW};
const WindowClassSpec kStripClass = {L"Vantorel Host Toolbar", nullptr, 0, kFace, IDC_ARROW};
const WindowClassSpec kParkClass = {L"Vantorel Host Park", nullptr, 0, nullptr, IDC_ARROW};
const WindowClassSpec kBaseBarClass = {L"BaseBar", nullptr, 0, kFace, IDC_ARROW};
// The DirectUI layout's windows; Explorer's classes of these names belong to other modules.
const WindowClassSpec kDuiDefViewClass = {L"SHELLDLL_DefView", nullptr, 0,
                                          reinterpret_cast<HBRUSH>(COLOR_WINDOW + 1), IDC_ARROW};
const WindowClassSpec kDuiViewClass = {L"DUIViewWndClassName", nullptr, 0, nullptr, IDC_ARROW};
const WindowClassSpec kDirectUiClass = {L"DirectUIHWND", nullptr, 0, nullptr, IDC_ARROW};
const WindowClassSpec kNotifySinkClass = {L"CtrlNotifySink", nullptr, 0, nullptr, IDC_ARROW};

using Handler = std::function<bool(UINT, WPARAM, LPARAM, LRESULT&)>;

// A window of the stand-in whose messages go to a function of the host; with no function it
// keeps its first child filling its client area.
class HostWindow : public Window {
 public:
  explicit HostWindow(Handler handler = nullptr) : handler_(std::move(handler)) {}

 protected:
  bool HandleMessage(UINT msg, WPARAM wParam, LPARAM lParam, LRESULT& result) override {
    if (handler_ && handler_(msg, wParam, lParam, result)) return true;
    if (msg == WM_SIZE) {
      HWND child = ::GetWindow(hwnd(), GW_CHILD);
      if (child) MoveWindow(child, 0, 0, LOWORD(lParam), HIWORD(lParam), TRUE);
    }
    return false;
  }

 private:
  Handler handler_;
};

void DestroyIfAlive(std::unique_ptr<HostWindow>& window) {
  if (window) window->DestroyOwnWindow();
  window.reset();
}

class HostImpl final : public ExplorerHost, public BrowserHost {
 public:
  explicit HostImpl(const HostOptions& options) : options_(options) {}
  ~HostImpl() override;

  bool Init();

  // ExplorerHost
  bool Navigate(const wchar_t* folderPath) override;
  bool NavigateToIdList(PCIDLIST_ABSOLUTE folder) override;
  HWND Frame() const override { return frame_ ? frame_->hwnd() : nullptr; }
  HWND ToolbarStrip() const override { return strip_ ? strip_->hwnd() : nullptr; }
  HWND ShellViewWindow() const override;
  HWND ListView() const override;
  HWND FolderTree() const override { return tree_; }
  void ShowFolderTree(bool show) override;
  IWebBrowser2* Browser() override { return ComPtr<IWebBrowser2>(browser_.get()).detach(); }
  IUnknown* Site() override { return ComPtr<IUnknown>(static_cast<IOleWindow*>(site_.get())).detach(); }
  int AdvisedSinkCount() const override { return browser_ && browser_->Events() ? browser_->Events()->Count() : 0; }
  void SetGetHwndFails(bool fails) override { getHwndFails_ = fails; }
  HRESULT AddBand(IUnknown* band) override;
  void RemoveBand() override;
  IUnknown* Band() const override { return band_.get(); }
  bool RouteKey(MSG& msg) override;
  void PumpMessages() override;
  void Close() override;
  int LastFocusReport() const override { return lastFocus_; }
  bool IsClosed() const override { return closed_; }
  int OwnedIdListCount() const override { return ownedIdLists_; }
  PCIDLIST_ABSOLUTE CurrentFolder() const override { return reinterpret_cast<PCIDLIST_ABSOLUTE>(folder_.get()); }
  HWND BandWindow() const override { return bandWindow_; }
  POINTL BandMinSize() const override { return bandMinSize_; }
  void LoadExplorerToolbars() override {
    if (toolbars_ || closed_) return;
    toolbars_ = std::make_unique<ExplorerToolbars>(*this);
    toolbars_->Load();
  }
  ExplorerToolbars* Toolbars() override { return toolbars_.get(); }

  // BrowserHost
  HWND FrameForBrowser() const override { return getHwndFails_ ? nullptr : Frame(); }
  IShellView* ActiveView() const override { return view_.get(); }
  bool Refresh() override;
  void BrowseLater(PCUIDLIST_RELATIVE pidl, UINT flags) override;
  void RequestClose() override {
    if (Frame()) PostMessageW(Frame(), WM_CLOSE, 0, 0);
  }
  bool CurrentPath(wchar_t (&path)[MAX_PATH]) const override;
  void ReportFocus(BOOL focus) override { lastFocus_ = focus ? 1 : 0; }
  void BandInfoChanged() override;
  HRESULT ShowBrowserBar(REFCLSID clsid, bool show) override {
    return toolbars_ && !closing_ && !closed_ ? toolbars_->Show(clsid, show) : E_NOTIMPL;
  }

 private:
  bool FrameMessage(UINT msg, WPARAM wParam, LPARAM lParam, LRESULT& result);
  bool SinkMessage(UINT msg, WPARAM wParam, LPARAM lParam, LRESULT& result);
  RECT ViewRect() const;
  void Layout();
  bool CreateView();
  void DestroyView();
  bool CreateDirectUi();
  void DestroyDirectUi();
  void FillDirectUiList();
  void FillTree();
  void FireDocumentComplete();
  // The band's height from GetBandInfo (its minimum height), 0 when it gave none.
  HRESULT AskBandHeight(IDeskBand* band);

  HostOptions options_;
  std::unique_ptr<HostWindow> frame_, strip_, park_;
  ComPtr<CBrowser> browser_;
  ComPtr<CBandSite> site_;

  UniquePidl folder_;
  ComPtr<IShellFolder> shellFolder_;
  ComPtr<IShellView> view_;
  HWND viewWindow_ = nullptr;

  std::unique_ptr<HostWindow> duiDefView_, duiView_, directUi_, notifySink_;
  HWND duiList_ = nullptr;
  int ownedIdLists_ = 0;

  std::unique_ptr<HostWindow> baseBar_;
  HWND rebar_ = nullptr;
  HWND tree_ = nullptr;

  std::unique_ptr<ExplorerToolbars> toolbars_;
  ComPtr<IUnknown> band_;
  ComPtr<IInputObject> bandInput_;
  HWND bandWindow_ = nullptr;
  int bandHeight_ = 22;
  POINTL bandMinSize_ = {0, 0};

  UniquePidl pendingBrowse_;
  int lastFocus_ = -1;
  bool getHwndFails_ = false;
  bool closing_ = false;
  bool closed_ = false;
};

HostImpl::~HostImpl() {
  Close();
  if (browser_) browser_->Detach();
  if (site_) site_->Detach();
  site_.reset();
  browser_.reset();
  DestroyIfAlive(park_);
}

bool HostImpl::Init() {
  INITCOMMONCONTROLSEX icc = {sizeof(icc), ICC_LISTVIEW_CLASSES | ICC_TREEVIEW_CLASSES | ICC_COOL_CLASSES |
                                               ICC_BAR_CLASSES | ICC_STANDARD_CLASSES};
  InitCommonControlsEx(&icc);
  browser_ = MakeComObject<CBrowser>(static_cast<BrowserHost*>(this));
  if (!browser_ || !browser_->Events()) return false;
  site_ = MakeComObject<CBandSite>(static_cast<BrowserHost*>(this), static_cast<IServiceProvider*>(browser_.get()));
  if (!site_) return false;

  frame_ = std::make_unique<HostWindow>([this](UINT msg, WPARAM wParam, LPARAM lParam, LRESULT& result) {
    return FrameMessage(msg, wParam, lParam, result);
  });
  DWORD style = WS_OVERLAPPEDWINDOW | WS_CLIPCHILDREN | (options_.visible ? WS_VISIBLE : 0);
  if (!frame_->Create(kFrameClass, nullptr, L"Vantorel Explorer", style, 0, CW_USEDEFAULT, CW_USEDEFAULT,
                      options_.width, options_.height, nullptr)) {
    return false;
  }
  strip_ = std::make_unique<HostWindow>([](UINT msg, WPARAM, LPARAM, LRESULT&) {
    return msg == WM_SIZE;  // the host places the band itself
  });
  if (!strip_->Create(kStripClass, Frame(), L"", kChild, 0, 0, 0, 0, 0, nullptr)) return false;
  park_ = std::make_unique<HostWindow>([](UINT msg, WPARAM, LPARAM, LRESULT&) { return msg == WM_SIZE; });
  if (!park_->Create(kParkClass, nullptr, L"", WS_POPUP, 0, 0, 0, 0, 0, nullptr)) return false;
  if (options_.folderTree) ShowFolderTree(true);
  Layout();
  return true;
}

bool HostImpl::FrameMessage(UINT msg, WPARAM, LPARAM, LRESULT& result) {
  switch (msg) {
    case WM_SIZE:
      Layout();
      break;
    case WM_CLOSE:
      Close();
      break;
    case kBrowseLater: {
      UniquePidl target(pendingBrowse_.release());
      if (target) NavigateToIdList(reinterpret_cast<PCIDLIST_ABSOLUTE>(target.get()));
      break;
    }
    default:
      return false;
  }
  result = 0;
  return true;
}

bool HostImpl::SinkMessage(UINT msg, WPARAM, LPARAM lParam, LRESULT& result) {
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

// The client area below the toolbar strip, right of the tree pane when it is shown.
RECT HostImpl::ViewRect() const {
  RECT view = {};
  if (Frame()) GetClientRect(Frame(), &view);
  view.top = std::min<LONG>(view.bottom, bandHeight_ + 2 * kStripPadding);
  if (baseBar_) view.left = std::min<LONG>(view.right, kTreeWidth);
  return view;
}

void HostImpl::Layout() {
  if (!Frame()) return;
  RECT view = ViewRect();
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
  HWND shown = ShellViewWindow();
  if (shown) MoveWindow(shown, view.left, view.top, view.right - view.left, view.bottom - view.top, TRUE);
}

HWND HostImpl::ShellViewWindow() const {
  if (options_.directUiLayout) return duiDefView_ ? duiDefView_->hwnd() : nullptr;
  return viewWindow_;
}

HWND HostImpl::ListView() const {
  if (options_.directUiLayout) return duiList_;
  return viewWindow_ ? FindWindowExW(viewWindow_, nullptr, WC_LISTVIEWW, nullptr) : nullptr;
}

bool HostImpl::Navigate(const wchar_t* folderPath) {
  if (!folderPath || !*folderPath) return false;
  UniqueAbsolutePidl pidl;
  SFGAOF attributes = 0;
  if (FAILED(SHParseDisplayName(folderPath, nullptr, pidl.put(), 0, &attributes))) return false;
  return NavigateToIdList(pidl.get());
}

bool HostImpl::NavigateToIdList(PCIDLIST_ABSOLUTE folder) {
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

bool HostImpl::CreateView() {
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
  if (options_.directUiLayout) {
    // The platform's view stays alive for QueryActiveShellView, parked where the walk from the
    // frame does not meet it.
    ShowWindow(window, SW_HIDE);
    SetParent(window, park_->hwnd());
  } else {
    ShowWindow(window, SW_SHOW);
  }
  view_->UIActivate(SVUIA_ACTIVATE_NOFOCUS);
  return true;
}

void HostImpl::DestroyView() {
  DestroyDirectUi();
  if (view_) {
    ComPtr<IShellView> view = std::move(view_);
    view->UIActivate(SVUIA_DEACTIVATE);
    view->DestroyViewWindow();
    view.reset();
  }
  viewWindow_ = nullptr;
}

bool HostImpl::CreateDirectUi() {
  RECT rc = ViewRect();
  duiDefView_ = std::make_unique<HostWindow>();
  duiView_ = std::make_unique<HostWindow>();
  directUi_ = std::make_unique<HostWindow>();
  notifySink_ = std::make_unique<HostWindow>([this](UINT msg, WPARAM wParam, LPARAM lParam, LRESULT& result) {
    return SinkMessage(msg, wParam, lParam, result);
  });
  int w = rc.right - rc.left, h = rc.bottom - rc.top;
  if (!duiDefView_->Create(kDuiDefViewClass, Frame(), L"", kChild | WS_TABSTOP, 0, rc.left, rc.top, w, h, nullptr) ||
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

void HostImpl::DestroyDirectUi() {
  if (duiList_ && IsWindow(duiList_)) SendMessageW(duiList_, LVM_DELETEALLITEMS, 0, 0);
  DestroyIfAlive(duiDefView_);  // the windows under it go with it
  DestroyIfAlive(notifySink_);
  DestroyIfAlive(directUi_);
  DestroyIfAlive(duiView_);
  duiList_ = nullptr;
}

void HostImpl::FillDirectUiList() {
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

bool HostImpl::Refresh() {
  if (closed_) return false;
  if (options_.directUiLayout) {
    if (!duiList_) return false;
    SendMessageW(duiList_, LVM_DELETEALLITEMS, 0, 0);
    FillDirectUiList();
    return true;
  }
  return view_ && SUCCEEDED(view_->Refresh());
}

void HostImpl::BrowseLater(PCUIDLIST_RELATIVE pidl, UINT flags) {
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
  PostMessageW(Frame(), kBrowseLater, 0, 0);
}

bool HostImpl::CurrentPath(wchar_t (&path)[MAX_PATH]) const {
  path[0] = L'\0';
  return folder_ && SHGetPathFromIDListW(folder_.get(), path);
}

void HostImpl::FireDocumentComplete() {
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

void HostImpl::ShowFolderTree(bool show) {
  if (closed_ || !Frame()) return;
  if (!show) {
    tree_ = nullptr;
    rebar_ = nullptr;
    DestroyIfAlive(baseBar_);
    Layout();
    return;
  }
  if (baseBar_) return;
  baseBar_ = std::make_unique<HostWindow>([](UINT msg, WPARAM, LPARAM, LRESULT&) { return msg == WM_SIZE; });
  if (!baseBar_->Create(kBaseBarClass, Frame(), L"", kChild, 0, 0, 0, 0, 0, nullptr)) {
    baseBar_.reset();
    return;
  }
  rebar_ = CreateWindowExW(0, REBARCLASSNAMEW, L"", kChild | CCS_NORESIZE | CCS_NOPARENTALIGN | CCS_NODIVIDER, 0, 0, 0,
                           0, baseBar_->hwnd(), nullptr, nullptr, nullptr);
  tree_ = rebar_ ? CreateWindowExW(WS_EX_CLIENTEDGE, WC_TREEVIEWW, L"",
                                   kChild | WS_TABSTOP | TVS_HASLINES | TVS_HASBUTTONS | TVS_LINESATROOT |
                                       TVS_SHOWSELALWAYS,
                                   0, 0, 0, 0, rebar_, nullptr, nullptr, nullptr)
                 : nullptr;
  FillTree();
  Layout();
}

void HostImpl::FillTree() {
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

HRESULT HostImpl::AddBand(IUnknown* band) {
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

HRESULT HostImpl::AskBandHeight(IDeskBand* band) {
  DESKBANDINFO info = {};
  info.dwMask = DBIM_MINSIZE | DBIM_MAXSIZE | DBIM_INTEGRAL | DBIM_ACTUAL | DBIM_TITLE | DBIM_MODEFLAGS | DBIM_BKCOLOR;
  HRESULT hr = band->GetBandInfo(kBandId, DBIF_VIEWMODE_NORMAL, &info);
  if (SUCCEEDED(hr)) {
    bandMinSize_ = info.ptMinSize;
    bandHeight_ = info.ptMinSize.y > 0 ? info.ptMinSize.y : 22;
  }
  return hr;
}

void HostImpl::BandInfoChanged() {
  ComPtr<IDeskBand> deskBand;
  if (!band_ || FAILED(band_->QueryInterface(IID_IDeskBand, deskBand.put_void()))) return;
  AskBandHeight(deskBand.get());
  Layout();
}

void HostImpl::RemoveBand() {
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

bool HostImpl::RouteKey(MSG& msg) {
  if (msg.message < WM_KEYFIRST || msg.message > WM_KEYLAST || !bandInput_) return false;
  ComPtr<IInputObject> input = bandInput_;  // the band may be let go while it handles the key
  if (input->HasFocusIO() != S_OK) return false;
  HRESULT hr = input->TranslateAcceleratorIO(&msg);
  if (hr == S_OK) return true;
  if (msg.message == WM_KEYDOWN && msg.wParam == VK_TAB) {
    HWND next = ListView();
    if (next) SetFocus(next);
    return true;
  }
  return false;
}

void HostImpl::PumpMessages() {
  MSG msg;
  while (PeekMessageW(&msg, nullptr, 0, 0, PM_REMOVE)) {
    if (msg.message == WM_QUIT) {
      PostQuitMessage(static_cast<int>(msg.wParam));
      break;
    }
    if (!RouteKey(msg)) {
      TranslateMessage(&msg);
      DispatchMessageW(&msg);
    }
  }
}

void HostImpl::Close() {
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
  DestroyIfAlive(baseBar_);
  DestroyIfAlive(strip_);
  DestroyIfAlive(frame_);
  closed_ = true;
  closing_ = false;
}

}  // namespace

std::unique_ptr<ExplorerHost> ExplorerHost::Create(const HostOptions& options) {
  std::unique_ptr<HostImpl> host;
  try {
    host = std::make_unique<HostImpl>(options);
  } catch (...) {
    return nullptr;
  }
  if (!host->Init()) return nullptr;
  return host;
}

}  // namespace vantorel::host
