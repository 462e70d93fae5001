#pragma once
// The Explorer stand-in: a top-level frame that hosts a desk band the way Explorer does,
// around the platform's real shell folder view. A classic window holds one tab; the tabbed
// frame of Windows 11 (HostOptions::explorer11) holds several, each its own browser with its
// own toolbar strip, view and band (explorer_tab.h draws the windows of both). Everything that
// is a tab's answers for the active tab.
#include <windows.h>
#include <exdisp.h>
#include <shlobj.h>

#include <functional>
#include <memory>

#include "framework/com_ptr.h"

namespace vantorel::host {

class ExplorerToolbars;

// The folder view a tab shows: the list view of Windows Vista (and of Windows 7 to 11 with
// their registry switch), or the DirectUI items view that Windows 7 to 11 show by default, whose
// SHELLDLL_DefView holds a DirectUIHWND and no list view.
enum class FolderViewKind { List, Items };

struct HostOptions {
  bool folderTree = false;      // show the BaseBar > ReBarWindow32 > SysTreeView32 pane
  bool directUiLayout = false;  // put the list view on the DirectUI path
  FolderViewKind folderView = FolderViewKind::List;
  // The browser answers IFolderFilterSite and ICommDlgBrowser, as the Explorer Browser does.
  bool filterSite = false;
  bool visible = false;         // show the frame (tests leave it hidden)
  int width = 800;
  int height = 600;
  // The tabbed frame of Windows 11: CabinetWClass around ShellTabWindowClass tabs.
  bool explorer11 = false;
  // Every tab's toolbar area stays hidden whatever ShowBrowserBar asks, as on Windows 11 24H2.
  bool toolbarAreaHidden = false;
  // What a new tab gets besides its folder: a band made by makeBand, and toolbars loaded as
  // Explorer does (LoadExplorerToolbars).
  std::function<HRESULT(ComPtr<IUnknown>& band)> makeBand;
  bool explorerToolbars = false;
};

class ExplorerHost {
 public:
  // Creates the frame, its toolbar strip, browser object and band site. Null on failure.
  // The calling thread must have initialised OLE (OleInitialize).
  static std::unique_ptr<ExplorerHost> Create(const HostOptions& options);
  virtual ~ExplorerHost() = default;

  // Shows the folder: the old view is destroyed, a new one created, then
  // DISPID_DOCUMENTCOMPLETE (259) is fired to every advised sink.
  virtual bool Navigate(const wchar_t* folderPath) = 0;
  virtual bool NavigateToIdList(PCIDLIST_ABSOLUTE folder) = 0;

  virtual HWND Frame() const = 0;         // what IWebBrowser2::get_HWND answers
  virtual HWND ToolbarStrip() const = 0;  // parent window of the band
  virtual HWND ShellViewWindow() const = 0;
  // The list view that holds the folder view's items, on either layout; in the items view the
  // platform's own, which no walk from the frame meets.
  virtual HWND ListView() const = 0;
  // The window that takes the view's keys: the list view, or the items view's DirectUIHWND.
  virtual HWND ViewKeysWindow() const = 0;
  virtual HWND FolderTree() const = 0;    // null when the pane is off
  virtual void ShowFolderTree(bool show) = 0;

  // The browser object (IWebBrowser2, IServiceProvider, IConnectionPointContainer, IShellBrowser),
  // a new reference each call.
  virtual IWebBrowser2* Browser() = 0;
  // The band site (IOleWindow, IInputObjectSite, IServiceProvider), a new reference each call.
  virtual IUnknown* Site() = 0;
  // Sinks currently advised on DWebBrowserEvents2.
  virtual int AdvisedSinkCount() const = 0;
  // Makes IWebBrowser2::get_HWND fail, for the failure paths of the band.
  virtual void SetGetHwndFails(bool fails) = 0;

  // Hosts the band like Explorer: SetSite, GetBandInfo, GetWindow, size into the strip, ShowDW.
  virtual HRESULT AddBand(IUnknown* band) = 0;
  // Lets go of the band like Explorer: ShowDW(FALSE), CloseDW, SetSite(NULL), Release.
  virtual void RemoveBand() = 0;
  virtual IUnknown* Band() const = 0;  // the hosted band (no reference added) or null

  // Explorer's key routing for one message: while the band reports focus (HasFocusIO == S_OK)
  // it goes to TranslateAcceleratorIO first; S_FALSE for Tab moves the focus on (to the view).
  // Returns true when the band took the message; otherwise the caller dispatches it.
  virtual bool RouteKey(MSG& msg) = 0;
  // Runs the message loop until no message is waiting (keys routed as above).
  virtual void PumpMessages() = 0;
  // Closing: fires DISPID_ONQUIT (253) to every sink, then destroys the frame.
  virtual void Close() = 0;
  // The last focus report of the band (IInputObjectSite::OnFocusChangeIS): -1 none, 0 or 1.
  virtual int LastFocusReport() const = 0;

  // True once Close() ran (also when the user closed the frame).
  virtual bool IsClosed() const = 0;
  // Refreshes the active view the way IWebBrowser2::Refresh does.
  virtual bool Refresh() = 0;
  // Relative identifier lists the stand-in itself owns as lParam of the DirectUI layout's
  // list view items; zero on the list-view layout and after the items went.
  virtual int OwnedIdListCount() const = 0;
  // The absolute identifier list of the shown folder (no copy; valid until the next navigation).
  virtual PCIDLIST_ABSOLUTE CurrentFolder() const = 0;
  // The band's window (IOleWindow::GetWindow of the band) or null.
  virtual HWND BandWindow() const = 0;
  // The minimum size the band gave in its last GetBandInfo (asked when it was added and whenever
  // it reports DBID_BANDINFOCHANGED); zero without a band.
  virtual POINTL BandMinSize() const = 0;

  // Loads toolbars as Explorer does (explorer_toolbars.h), instead of a band given with
  // AddBand; from then on IWebBrowser2::ShowBrowserBar works. Toolbars() is null before.
  virtual void LoadExplorerToolbars() = 0;
  virtual ExplorerToolbars* Toolbars() = 0;

  // Tabs, counted from 0. A classic window has one and opens no other.
  virtual bool Tabbed() const = 0;
  virtual bool ToolbarAreaHidden() const = 0;
  virtual int TabCount() const = 0;
  virtual int ActiveTab() const = 0;
  // A tab over the active tab's folder, made active, with a band and toolbars as the options say.
  virtual bool NewTab() = 0;
  // The tab shown on top of the others, which are hidden; the frame titled after its folder.
  virtual bool ActivateTab(int index) = 0;
  // As Explorer closes a tab (the window goes with its last).
  virtual bool CloseTab(int index) = 0;
  virtual HWND TabWindow(int index) const = 0;  // the frame in a classic window
  virtual PCIDLIST_ABSOLUTE TabFolder(int index) const = 0;
  virtual ULONGLONG TabShownAt() const = 0;  // tick count when the active tab last came to the front
  // The top-level window around the band that the active tab's browser has connected and that
  // sits outside the frame (a box of its own); null when there is none. Band() and BandWindow()
  // answer that band when the toolbar strip holds none.
  virtual HWND BoxWindow() const = 0;
  // Whether the frame's caption was last drawn active (its last WM_NCACTIVATE): 1, 0, -1 never.
  virtual int CaptionActive() const = 0;
};

}  // namespace vantorel::host
