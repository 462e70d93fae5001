#pragma once
// The part of a band that the view operations work on: the browser, the band and input box
// windows, the settings, the no-match flag and the filtering list view wrapper. The band object
// derives from it; tests drive it directly with the stand-in's browser.
#include <windows.h>
#include <exdisp.h>
#include <shlobj.h>

#include "framework/com_ptr.h"
#include "settings/settings.h"
#include "view/list_view_wrapper.h"

namespace vantorel {

// What the runs need of the input box.
class InputBoxLink {
 public:
  virtual HWND InputWindow() const = 0;
  // Stores the mode and the no-match flag for the box's drawing; does not repaint.
  virtual void SetRunState(DWORD runMode, DWORD noMatch) = 0;

 protected:
  ~InputBoxLink() = default;
};

class CBandViewState {
 public:
  CBandViewState() = default;
  CBandViewState(const CBandViewState&) = delete;
  CBandViewState& operator=(const CBandViewState&) = delete;
  virtual ~CBandViewState() = default;

  // Runs the current mode on the hosting window's folder view. True when a run was started.
  bool RunCurrentMode(bool focusView);
  // Select mode. True when a non-empty keyword was run over a non-empty view.
  bool RunSelect(HWND listView);
  // Filter mode: empties the view and lets the browser refill it through the wrapper.
  void RunFilter(HWND listView);
  // Empty query, empty view, browser refresh: every item comes back.
  void RemoveFilter(HWND listView);
  // The absolute identifier list of the shown folder; the caller frees it with ILFree.
  bool GetCurrentFolderIdList(PIDLIST_ABSOLUTE* folder);
  // The browser's DWebBrowserEvents2: 259 re-attaches (and may filter), 253 detaches and
  // disconnects. The quit event may destroy the object: nothing of it is touched afterwards.
  HRESULT OnBrowserEvent(DISPID dispid, DISPPARAMS* params);

  // The band window as it is now: null once it was destroyed (Explorer may destroy it before
  // it lets the band go).
  virtual HWND BandWindow() const = 0;

  DWORD NoMatch() const { return noMatch_; }
  Settings& CurrentSettings() { return settings_; }
  CListViewWrapper& Wrapper() { return wrapper_; }

 protected:
  // Sets the no-match flag and tells the input box, only when it changes.
  void ChangeNoMatch(DWORD noMatch);

  ComPtr<IWebBrowser2> browser_;
  DWORD eventCookie_ = 0;
  InputBoxLink* inputBox_ = nullptr;
  Settings settings_;
  DWORD noMatch_ = 0;
  CListViewWrapper wrapper_;
};

}  // namespace vantorel
