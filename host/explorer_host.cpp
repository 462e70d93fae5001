#include "host/explorer_host.h"

#include <commctrl.h>
#include <shlwapi.h>

#include <algorithm>
#include <string>
#include <vector>

#include "framework/com_ptr.h"
#include "host/explorer_tab.h"
#include "host/window_keys.h"
#include "host/host_window.h"

namespace vantorel::host {
namespace {

constexpr UINT kBrowseLater = WM_APP + 0x31;
constexpr int kBridgeHeight = 40;  // the tabbed frame's tab strip, address and search boxes
constexpr int kTabWidth = 180;

const WindowClassSpec kFrameClass = {L"Vantorel Host Frame", nullptr, CS_HREDRAW | CS_VREDRAW, kFace, IDC_ARROW};
const WindowClassSpec kCabinetClass = {L"CabinetWClass", nullptr, CS_HREDRAW | CS_VREDRAW, kFace, IDC_ARROW};
const WindowClassSpec kParkClass = {L"Vantorel Host Park", nullptr, 0, nullptr, IDC_ARROW};
// Windows 11's tab strip, address bar, search box and command bar: a WinUI island without a caret.
const WindowClassSpec kBridgeClass = {L"Microsoft.UI.Content.DesktopChildSiteBridge", nullptr, 0, kFace, IDC_ARROW};

// The folder's name as Explorer shows it; empty when it has none.
std::wstring DisplayName(PCIDLIST_ABSOLUTE folder) {
  PWSTR name = nullptr;
  if (!folder || FAILED(SHGetNameFromIDList(folder, SIGDN_NORMALDISPLAY, &name))) return std::wstring();
  std::wstring text(name);
  CoTaskMemFree(name);
  return text;
}

class HostImpl final : public ExplorerHost, public TabFrame {
 public:
  explicit HostImpl(const HostOptions& options) : options_(options) {}
  ~HostImpl() override;

  bool Init();

  // ExplorerHost: the frame's own answers
  HWND Frame() const override { return frame_ ? frame_->hwnd() : nullptr; }
  void SetGetHwndFails(bool fails) override { getHwndFails_ = fails; }
  void PumpMessages() override;
  void Close() override;
  bool IsClosed() const override { return closed_; }
  int TabCount() const override { return static_cast<int>(tabs_.size()); }
  int ActiveTab() const override { return active_; }
  bool NewTab() override;
  bool ActivateTab(int index) override;
  bool CloseTab(int index) override;
  HWND TabWindow(int index) const override { return Valid(index) ? tabs_[index]->Container() : nullptr; }
  PCIDLIST_ABSOLUTE TabFolder(int index) const override {
    return Valid(index) ? tabs_[index]->CurrentFolder() : nullptr;
  }
  ULONGLONG TabShownAt() const override { return Tab() ? Tab()->ShownAt() : 0; }
  int CaptionActive() const override { return captionActive_; }
  bool Tabbed() const override { return options_.explorer11; }
  bool ToolbarAreaHidden() const override { return options_.explorer11 && options_.toolbarAreaHidden; }
  HWND BoxWindow() const override;

  // ExplorerHost: the active tab's answers
  bool Navigate(const wchar_t* folderPath) override {
    const bool shown = Tab() && Tab()->Navigate(folderPath);
    Retitle();
    return shown;
  }
  bool NavigateToIdList(PCIDLIST_ABSOLUTE folder) override {
    const bool shown = Tab() && Tab()->NavigateToIdList(folder);
    Retitle();
    return shown;
  }
  HWND ToolbarStrip() const override { return Tab() ? Tab()->ToolbarStrip() : nullptr; }
  HWND ShellViewWindow() const override { return Tab() ? Tab()->ShellViewWindow() : nullptr; }
  HWND ListView() const override { return Tab() ? Tab()->ListView() : nullptr; }
  HWND ViewKeysWindow() const override { return Tab() ? Tab()->ViewKeysWindow() : nullptr; }
  HWND FolderTree() const override { return Tab() ? Tab()->FolderTree() : nullptr; }
  void ShowFolderTree(bool show) override {
    if (Tab()) Tab()->ShowFolderTree(show);
  }
  IWebBrowser2* Browser() override { return Tab() ? Tab()->Browser() : nullptr; }
  IUnknown* Site() override { return Tab() ? Tab()->Site() : nullptr; }
  int AdvisedSinkCount() const override { return Tab() ? Tab()->AdvisedSinkCount() : 0; }
  HRESULT AddBand(IUnknown* band) override { return Tab() ? Tab()->AddBand(band) : E_UNEXPECTED; }
  void RemoveBand() override {
    if (Tab()) Tab()->RemoveBand();
  }
  IUnknown* Band() const override;
  // Window keys that reach the loop act on the focused window as the shell's do; the tab routes
  // the rest.
  bool RouteKey(MSG& msg) override { return ActOnWindowKey(msg) || (Tab() && Tab()->RouteKey(msg)); }
  int LastFocusReport() const override { return Tab() ? Tab()->LastFocusReport() : -1; }
  bool Refresh() override { return Tab() && Tab()->Refresh(); }
  int OwnedIdListCount() const override;
  PCIDLIST_ABSOLUTE CurrentFolder() const override { return Tab() ? Tab()->CurrentFolder() : nullptr; }
  HWND BandWindow() const override;
  POINTL BandMinSize() const override { return Tab() ? Tab()->BandMinSize() : POINTL{0, 0}; }
  void LoadExplorerToolbars() override {
    if (Tab()) Tab()->LoadExplorerToolbars();
  }
  ExplorerToolbars* Toolbars() override { return Tab() ? Tab()->Toolbars() : nullptr; }

  // TabFrame
  HWND FrameForBrowser() const override { return getHwndFails_ ? nullptr : Frame(); }
  HWND Park() const override { return park_ ? park_->hwnd() : nullptr; }
  void PostBrowse(int tabId) override {
    if (Frame()) PostMessageW(Frame(), kBrowseLater, static_cast<WPARAM>(tabId), 0);
  }
  void RequestClose() override {
    if (Frame()) PostMessageW(Frame(), WM_CLOSE, 0, 0);
  }

 private:
  bool Valid(int index) const { return index >= 0 && index < TabCount(); }
  ExplorerTab* Tab() const { return Valid(active_) ? tabs_[active_].get() : nullptr; }
  bool AddTab();
  bool FrameMessage(UINT msg, WPARAM wParam, LPARAM lParam, LRESULT& result);
  // The tab strip of the bridge: each tab's folder name in a cell, the active one lighter.
  void PaintTabStrip();
  void Layout();
  void Retitle();

  HostOptions options_;
  std::unique_ptr<HostWindow> frame_, bridge_, park_;
  std::vector<std::unique_ptr<ExplorerTab>> tabs_;
  int active_ = 0;
  int nextTabId_ = 1;
  int captionActive_ = -1;  // wParam of the last WM_NCACTIVATE that reached the frame
  bool getHwndFails_ = false;
  bool closing_ = false;
  bool closed_ = false;
};

HostImpl::~HostImpl() {
  Close();
  tabs_.clear();
  DestroyIfAlive(park_);
}

bool HostImpl::Init() {
  INITCOMMONCONTROLSEX icc = {sizeof(icc), ICC_LISTVIEW_CLASSES | ICC_TREEVIEW_CLASSES | ICC_COOL_CLASSES |
                                               ICC_BAR_CLASSES | ICC_STANDARD_CLASSES};
  InitCommonControlsEx(&icc);
  frame_ = std::make_unique<HostWindow>([this](UINT msg, WPARAM wParam, LPARAM lParam, LRESULT& result) {
    return FrameMessage(msg, wParam, lParam, result);
  });
  DWORD style = WS_OVERLAPPEDWINDOW | WS_CLIPCHILDREN | (options_.visible ? WS_VISIBLE : 0);
  if (!frame_->Create(options_.explorer11 ? kCabinetClass : kFrameClass, nullptr, L"Vantorel Explorer", style, 0,
                      CW_USEDEFAULT, CW_USEDEFAULT, options_.width, options_.height, nullptr)) {
    return false;
  }
  if (options_.explorer11) {
    bridge_ = std::make_unique<HostWindow>([this](UINT msg, WPARAM, LPARAM, LRESULT& result) {
      if (msg != WM_PAINT && msg != WM_SIZE) return false;
      if (msg == WM_PAINT) PaintTabStrip();
      result = 0;
      return true;
    });
    if (!bridge_->Create(kBridgeClass, Frame(), L"", WS_CHILD | WS_VISIBLE | WS_TABSTOP | WS_CLIPSIBLINGS, 0, 0, 0,
                         0, 0, nullptr)) {
      return false;
    }
  }
  park_ = PlacedWindow();
  if (!park_->Create(kParkClass, nullptr, L"", WS_POPUP, 0, 0, 0, 0, 0, nullptr)) return false;
  return AddTab();
}

bool HostImpl::AddTab() {
  try {
    tabs_.push_back(std::make_unique<ExplorerTab>(*this, options_, nextTabId_++));
  } catch (...) {
    return false;
  }
  if (!tabs_.back()->Init()) {
    tabs_.pop_back();
    return false;
  }
  active_ = TabCount() - 1;
  Layout();
  return ActivateTab(active_);
}

bool HostImpl::FrameMessage(UINT msg, WPARAM wParam, LPARAM, LRESULT& result) {
  switch (msg) {
    case WM_NCACTIVATE:
      captionActive_ = wParam ? 1 : 0;
      return false;  // drawn as usual
    case WM_SIZE:
      Layout();
      break;
    case WM_CLOSE:
      Close();
      break;
    case kBrowseLater:
      for (const auto& tab : tabs_) {
        if (tab->Id() == static_cast<int>(wParam)) tab->BrowsePending();
      }
      Retitle();
      break;
    default:
      return false;
  }
  result = 0;
  return true;
}

void HostImpl::PaintTabStrip() {
  PAINTSTRUCT paint;
  HDC dc = BeginPaint(bridge_->hwnd(), &paint);
  if (!dc) return;
  RECT cell = {8, 6, 8 + kTabWidth, kBridgeHeight};
  SetBkMode(dc, TRANSPARENT);
  SelectObject(dc, GetStockObject(DEFAULT_GUI_FONT));
  for (int i = 0; i < TabCount(); ++i, OffsetRect(&cell, kTabWidth + 4, 0)) {
    FillRect(dc, &cell, GetSysColorBrush(i == active_ ? COLOR_WINDOW : COLOR_3DLIGHT));
    RECT text = cell;
    InflateRect(&text, -8, 0);
    DrawTextW(dc, DisplayName(tabs_[i]->CurrentFolder()).c_str(), -1, &text,
              DT_SINGLELINE | DT_VCENTER | DT_END_ELLIPSIS | DT_NOPREFIX);
  }
  EndPaint(bridge_->hwnd(), &paint);
}

void HostImpl::Layout() {
  if (!Frame()) return;
  RECT area = {};
  GetClientRect(Frame(), &area);
  if (bridge_) {
    MoveWindow(bridge_->hwnd(), 0, 0, area.right, kBridgeHeight, TRUE);
    area.top = std::min<LONG>(area.bottom, kBridgeHeight);
  }
  for (const auto& tab : tabs_) tab->Place(area);
}

// The tabbed frame is titled after its active tab's folder, as Explorer's is.
void HostImpl::Retitle() {
  const std::wstring name = options_.explorer11 && Tab() ? DisplayName(Tab()->CurrentFolder()) : std::wstring();
  if (name.empty()) return;
  SetWindowTextW(Frame(), name.c_str());
  InvalidateRect(bridge_->hwnd(), nullptr, TRUE);
}

bool HostImpl::NewTab() {
  if (!options_.explorer11 || closing_ || closed_ || !Tab()) return false;
  UniquePidl folder(ILClone(reinterpret_cast<LPCITEMIDLIST>(Tab()->CurrentFolder())));
  if (!folder || !AddTab()) return false;
  ExplorerTab& tab = *tabs_.back();
  if (options_.makeBand) {
    ComPtr<IUnknown> band;
    if (FAILED(options_.makeBand(band)) || !band || FAILED(tab.AddBand(band.get()))) return false;
  }
  if (options_.explorerToolbars) tab.LoadExplorerToolbars();
  if (!tab.NavigateToIdList(reinterpret_cast<PCIDLIST_ABSOLUTE>(folder.get()))) return false;
  Retitle();
  return true;
}

// The active tab is shown on top of the others, which are hidden.
bool HostImpl::ActivateTab(int index) {
  if (!Valid(index)) return false;
  active_ = index;
  for (int i = 0; i < TabCount(); ++i) {
    if (i != index && options_.explorer11) ShowWindow(tabs_[i]->Container(), SW_HIDE);
  }
  if (options_.explorer11) {
    if (!IsWindowVisible(Tab()->Container())) Tab()->CameToFront();
    SetWindowPos(Tab()->Container(), HWND_TOP, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE | SWP_SHOWWINDOW);
  }
  Retitle();
  return true;
}

// A tab closes as Explorer closes it; the window goes with its last tab.
bool HostImpl::CloseTab(int index) {
  if (!Valid(index) || closing_) return false;
  if (TabCount() == 1) {
    Close();
    return true;
  }
  std::unique_ptr<ExplorerTab> tab = std::move(tabs_[index]);
  tabs_.erase(tabs_.begin() + index);
  tab->Close();
  tab.reset();
  return ActivateTab(std::min(active_ > index ? active_ - 1 : active_, TabCount() - 1));
}

IUnknown* HostImpl::Band() const {
  if (!Tab()) return nullptr;
  return Tab()->StripBand() ? Tab()->StripBand() : Tab()->OutsideBand();
}

HWND HostImpl::BandWindow() const {
  HWND window = nullptr;
  if (Tab() && !(window = Tab()->StripBandWindow())) Tab()->OutsideBand(&window);
  return window;
}

HWND HostImpl::BoxWindow() const {
  HWND band = nullptr;
  if (Tab()) Tab()->OutsideBand(&band);
  return band ? GetAncestor(band, GA_ROOT) : nullptr;
}

int HostImpl::OwnedIdListCount() const {
  int count = 0;
  for (const auto& tab : tabs_) count += tab->OwnedIdListCount();
  return count;
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
  for (const auto& tab : tabs_) tab->Close();
  DestroyIfAlive(bridge_);
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
