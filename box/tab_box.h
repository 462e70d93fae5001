#pragma once
// A band in a box of its own, for a tab whose toolbar area Explorer keeps hidden. The object is
// the band's site, as Explorer's band site is for a toolbar: the box window as the band's parent
// (IOleWindow), focus reports (IInputObjectSite), the tab's browser services (IServiceProvider)
// and the band's size changes (IOleCommandTarget, CGID_DeskBand). It creates the band object
// in-process, sites and shows it as Explorer does, keeps the box at the top right of the tab's
// folder view and shown only while its tab is, routes the box's keys to the band, and lets
// everything go again when it is closed.
#include <windows.h>
#include <docobj.h>
#include <servprov.h>
#include <shobjidl.h>

#include "framework/com_object.h"
#include "framework/com_ptr.h"
#include "box/anchor_window.h"
#include "box/box_key_hook.h"
#include "box/box_window.h"

namespace vantorel {

class CTabBox : public ComObject<CTabBox>,
                public IOleWindow,
                public IInputObjectSite,
                public IOleCommandTarget,
                public IServiceProvider,
                private BoxWindowOwner,
                private AnchorOwner,
                private BoxKeyTarget {
 public:
  // The box of the tab in frame, the band sited in it and the box placed; null on failure, with
  // nothing left behind. browser answers the band's service requests.
  static ComPtr<CTabBox> Open(HWND frame, HWND tab, IServiceProvider* browser) noexcept;
  CTabBox(HWND frame, HWND tab, IServiceProvider* browser) noexcept;
  ~CTabBox() override;

  VANTOREL_IUNKNOWN_METHODS
  static const InterfaceEntry* Interfaces();

  // Lets go as Explorer lets go of a toolbar (ShowDW(FALSE), CloseDW, SetSite(NULL), Release),
  // then the box, the subclasses and the key hook go. The object answers failures afterwards.
  void Close() noexcept { Shut(false); }
  // Closed, by its owner or because its tab or frame went.
  bool IsClosed() const noexcept { return closed_; }
  // Places the box over its tab's view, shown or hidden as its tab and the frame are.
  void Follow() noexcept;

  // IOleWindow
  STDMETHODIMP GetWindow(HWND* window) override;
  STDMETHODIMP ContextSensitiveHelp(BOOL) override { return E_NOTIMPL; }
  // IInputObjectSite
  STDMETHODIMP OnFocusChangeIS(IUnknown* object, BOOL focus) override;
  // IOleCommandTarget
  STDMETHODIMP QueryStatus(const GUID* group, ULONG count, OLECMD* commands, OLECMDTEXT* text) override;
  STDMETHODIMP Exec(const GUID* group, DWORD command, DWORD options, VARIANT* in, VARIANT* out) override;
  // IServiceProvider
  STDMETHODIMP QueryService(REFGUID service, REFIID riid, void** ppv) override;

 private:
  bool Start() noexcept;
  // windowGoing: the tab or the frame is being destroyed; the band goes as its browser's quit
  // lets it go, without showing, focusing or refreshing anything of the going window.
  void Shut(bool windowGoing) noexcept;
  void LetBandGo(bool windowGoing) noexcept;
  // Directly above the frame among the top-level windows, never above one that lies over it.
  HWND PlaceAbove() const noexcept;
  void ShowBand(bool show) noexcept;
  // GetBandInfo again: the box's client size.
  void AskBandSize() noexcept;
  void FitBand() noexcept;
  // The tab's folder view: where Tab and the frame's window keys send the focus.
  HWND TabView() const noexcept;
  bool PassWindowKeysToFrame(const MSG& msg) noexcept;

  // BoxWindowOwner
  HWND OwnerFrame() const noexcept override { return frame_; }
  bool BoxBelongsShown() const noexcept override;
  void OnBoxFocused() noexcept override;
  void OnBoxResized() noexcept override { FitBand(); }
  void OnBoxDpiChanged() noexcept override;
  void OnBoxDestroyed() noexcept override;
  // AnchorOwner
  void OnAnchorChanged() noexcept override { Follow(); }
  void OnAnchorGone() noexcept override { Shut(true); }
  // BoxKeyTarget
  bool HoldsWindow(HWND window) const noexcept override;
  bool TranslateKey(MSG& msg) noexcept override;
  IUnknown* KeyTargetLifetime() noexcept override { return ObjectUnknown(); }

  HWND frame_;
  HWND tab_;
  ComPtr<IServiceProvider> browser_;
  ComPtr<IUnknown> band_;
  HWND bandWindow_ = nullptr;
  SIZE bandSize_ = {0, 0};
  bool keysRouted_ = false;
  bool bandShown_ = false;  // as the band was last told by ShowDW
  bool boxGoing_ = false;  // the box window is being destroyed
  bool closed_ = false;
  CBoxWindow box_{*this};
  CAnchorWindow frameAnchor_{*this};
  CAnchorWindow tabAnchor_{*this};
};

}  // namespace vantorel
