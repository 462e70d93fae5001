#pragma once
// One tab of the stand-in's frame: its own browser object and band site, toolbar strip, folder
// view around the platform's real shell view, folder tree pane, hosted band and toolbars.
//
// A classic window is a frame with one tab whose windows are the frame's own children:
//   frame > toolbar strip, SHELLDLL_DefView > SysListView32, BaseBar > ReBarWindow32 > SysTreeView32
// (with the DirectUI layout SHELLDLL_DefView > DUIViewWndClassName > DirectUIHWND > CtrlNotifySink
// > SysListView32, filled by the stand-in itself with the folder's real relative identifier lists;
// with the items view SHELLDLL_DefView > DirectUIHWND and no list view, items_view.h).
// In the tabbed frame of Windows 11 each tab is a window of its own, as Explorer's are:
//   ShellTabWindowClass > WorkerW > ReBarWindow32 (the toolbar strip)
//                       > DUIViewWndClassName > DirectUIHWND > CtrlNotifySink > SHELLDLL_DefView
//                       > BaseBar > ReBarWindow32 > SysTreeView32
// and its browser answers IShellBrowser::GetWindow with the tab's window.
#include <windows.h>
#include <exdisp.h>
#include <shlobj.h>

#include <memory>

#include "framework/com_ptr.h"
#include "framework/unique_pidl.h"
#include "host/browser.h"
#include "host/explorer_host.h"
#include "host/explorer_toolbars.h"
#include "host/host_window.h"
#include "host/items_view.h"

namespace vantorel::host {

// What a tab needs of the frame that holds it.
class TabFrame {
 public:
  virtual HWND Frame() const = 0;
  virtual HWND FrameForBrowser() const = 0;  // null when get_HWND is to fail
  virtual HWND Park() const = 0;             // a hidden window for the platform's view
  // The frame's message queue runs the tab's pending navigation later (ExplorerTab::BrowsePending).
  virtual void PostBrowse(int tabId) = 0;
  virtual void RequestClose() = 0;

 protected:
  ~TabFrame() = default;
};

class ExplorerTab final : public BrowserHost, public ToolbarHost {
 public:
  ExplorerTab(TabFrame& frame, const HostOptions& options, int id) : frame_(frame), options_(options), id_(id) {}
  ~ExplorerTab();
  ExplorerTab(const ExplorerTab&) = delete;
  ExplorerTab& operator=(const ExplorerTab&) = delete;

  // Makes the tab's windows under the frame (in the tabbed frame, hidden until it is shown).
  bool Init();
  int Id() const { return id_; }
  // The tab's window: its ShellTabWindowClass window, or the frame in a classic window.
  HWND Container() const;
  // Places the tab in the frame's client rectangle and lays out its windows.
  void Place(const RECT& area);
  void Layout();

  bool Navigate(const wchar_t* folderPath) override;
  bool NavigateToIdList(PCIDLIST_ABSOLUTE folder);
  void BrowsePending();
  HWND ShellViewWindow() const;
  HWND ListView() const;
  HWND ViewKeysWindow() const;
  // The items view's surface, or null in the list view.
  const ItemsView* Items() const { return items_.get(); }
  HWND FolderTree() const { return tree_; }
  void ShowFolderTree(bool show);
  IUnknown* Site() { return ComPtr<IUnknown>(static_cast<IOleWindow*>(site_.get())).detach(); }
  int AdvisedSinkCount() const { return browser_ && browser_->Events() ? browser_->Events()->Count() : 0; }
  IUnknown* StripBandObject() const { return band_.get(); }
  // The band that is advised on this tab's browser and sits outside the frame (a box of its own),
  // or null; its window in bandWindow when given.
  IUnknown* OutsideBand(HWND* bandWindow = nullptr) const;
  bool RouteKey(MSG& msg);
  int LastFocusReport() const { return lastFocus_; }
  int OwnedIdListCount() const { return ownedIdLists_; }
  PCIDLIST_ABSOLUTE CurrentFolder() const { return reinterpret_cast<PCIDLIST_ABSOLUTE>(folder_.get()); }
  HWND StripBandWindow() const { return bandWindow_; }
  POINTL BandMinSize() const { return bandMinSize_; }
  void LoadExplorerToolbars();
  ExplorerToolbars* Toolbars() { return toolbars_.get(); }
  // Tick count when the tab last came to the front (opened or made active).
  ULONGLONG ShownAt() const { return shownAt_; }
  void CameToFront() { shownAt_ = GetTickCount64(); }
  // As Explorer closes a tab: the quit event, the helper objects let go, the band let go, the
  // view and the tab's windows destroyed.
  void Close();

  // ToolbarHost
  IWebBrowser2* Browser() override { return ComPtr<IWebBrowser2>(browser_.get()).detach(); }
  IUnknown* StripBand() const override { return band_.get(); }
  HRESULT AddBand(IUnknown* band) override;
  void RemoveBand() override;
  bool ToolbarAreaHidden() const override { return options_.explorer11 && options_.toolbarAreaHidden; }

  // BrowserHost
  HWND FrameForBrowser() const override { return frame_.FrameForBrowser(); }
  HWND Frame() const override { return frame_.Frame(); }
  HWND ShellBrowserWindow() const override { return Container(); }
  HWND ToolbarStrip() const override;
  IShellView* ActiveView() const override { return view_.get(); }
  bool Refresh() override;
  void BrowseLater(PCUIDLIST_RELATIVE pidl, UINT flags) override;
  void RequestClose() override { frame_.RequestClose(); }
  bool CurrentPath(wchar_t (&path)[MAX_PATH]) const override;
  void ReportFocus(BOOL focus) override { lastFocus_ = focus ? 1 : 0; }
  void BandInfoChanged() override;
  HRESULT ShowBrowserBar(REFCLSID clsid, bool show) override {
    return toolbars_ && !closing_ && !closed_ ? toolbars_->Show(clsid, show) : E_NOTIMPL;
  }
  bool OffersFilterSite() const override { return options_.filterSite; }
  IShellFolder* ShownFolder() const override { return shellFolder_.get(); }
  PCIDLIST_ABSOLUTE ShownFolderId() const override { return CurrentFolder(); }

 private:
  bool SinkMessage(UINT msg, WPARAM wParam, LPARAM lParam, LRESULT& result);
  RECT ViewRect() const;
  int StripHeight() const;
  bool ItemsShown() const { return options_.folderView == FolderViewKind::Items; }
  bool CreateView();
  void DestroyView();
  bool CreateDirectUi();
  void DestroyDirectUi();
  void FillDirectUiList();
  void FillTree();
  void FireDocumentComplete();
  // The band's height from GetBandInfo (its minimum height), 0 when it gave none.
  HRESULT AskBandHeight(IDeskBand* band);

  TabFrame& frame_;
  const HostOptions& options_;
  const int id_;
  ULONGLONG shownAt_ = 0;
  ComPtr<CBrowser> browser_;
  ComPtr<CBandSite> site_;
  // The tabbed frame's windows of the tab: the tab itself, its toolbar area and the chain of
  // windows around the platform's view.
  std::unique_ptr<HostWindow> tab_, worker_, viewHost_, viewSurface_, viewSink_;
  std::unique_ptr<HostWindow> strip_;  // the classic window's toolbar strip
  HWND rebarStrip_ = nullptr;          // the tabbed frame's toolbar strip

  UniquePidl folder_;
  ComPtr<IShellFolder> shellFolder_;
  ComPtr<IShellView> view_;
  HWND viewWindow_ = nullptr;
  std::unique_ptr<ItemsView> items_;

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
  bool closing_ = false;
  bool closed_ = false;
};

}  // namespace vantorel::host
