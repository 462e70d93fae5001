#pragma once
// The band's view half: the browser and its event connection, the filtering list view wrapper,
// the no-match flag and the runs over the folder view. The band owns one and tells it to attach
// to a browser, to run and to detach; tests drive it the same way with the stand-in's browser.
#include <windows.h>
#include <exdisp.h>
#include <ocidl.h>
#include <shlobj.h>
#include <shobjidl.h>

#include "framework/com_ptr.h"
#include "framework/ui_language.h"
#include "framework/unique_pidl.h"
#include "settings/settings.h"
#include "view/item_name.h"
#include "view/list_view_wrapper.h"
#include "view/view_keys.h"

namespace vantorel {

// What the runs need of the input box.
class InputBoxLink {
 public:
  virtual HWND InputWindow() const = 0;
  // Stores the mode and the no-match flag for the box's drawing; does not repaint.
  virtual void SetRunState(DWORD runMode, DWORD noMatch) = 0;
  // The language of the box's texts, which the runs' notices in it follow.
  virtual LANGID TextLanguage() const { return kJapaneseUi; }

 protected:
  ~InputBoxLink() = default;
};

class CBandView {
 public:
  // The runs read the keyword from inputBox (whose parent, the band window, they repaint) and
  // the mode and options from settings; both outlive the view.
  CBandView(InputBoxLink* inputBox, const Settings* settings) noexcept : inputBox_(inputBox), settings_(settings) {
    wrapper_.SetFilterOwner(this);
  }

  // Works on browser from now on (after letting go of any other), events connected to it if given.
  void Attach(IWebBrowser2* browser, IDispatch* events);
  // Lets go of the browser: the wrapper leaves the list view, refreshed with refreshView when a
  // filter was on so that every item shows again; the event connection is broken last.
  void Detach(bool refreshView);

  // Runs the current mode on the hosting window's folder view, a list view or the items view.
  // True when a run was started.
  bool RunCurrentMode(bool focusView);
  // Select mode on a list view, and through the shell view's IFolderView on any view (the items
  // view has no list view). True when a non-empty keyword was run over a non-empty view.
  bool RunSelect(HWND listView);
  bool RunSelectInView(IFolderView* view);
  // Filter mode, the way ChooseFilterWay gives: a filter object of ours on the browser's filter
  // site and a refresh; or the view emptied and refilled through the wrapper on listView; or,
  // where items cannot be hidden, the matches selected, said once in the input box's balloon.
  void RunFilter(HWND listView);
  // Empty query, no filter on the site, empty view, browser refresh: every item comes back.
  void RemoveFilter(HWND listView);
  // No item of the shown view selected (nor focused, in a list view).
  void ClearSelection();
  // The absolute identifier list of the shown folder; the caller frees it with ILFree.
  bool GetCurrentFolderIdList(PIDLIST_ABSOLUTE* folder);
  // The browser's DWebBrowserEvents2: 259 re-attaches (and may filter), 253 disconnects. The quit
  // event may destroy the view's owner: nothing of it is touched afterwards.
  HRESULT OnBrowserEvent(DISPID dispid, DISPPARAMS* params);

  IWebBrowser2* Browser() const { return browser_.get(); }
  DWORD EventCookie() const { return eventCookie_; }
  DWORD NoMatch() const { return noMatch_; }
  void ResetNoMatch() { noMatch_ = 0; }  // the caller tells the input box
  CListViewWrapper& Wrapper() { return wrapper_; }
  CViewKeys& Keys() { return keys_; }
  // An Alt+letter in a view without a list view: the filter leaves the site, as the wrapper
  // leaves the list view, so that the next refresh shows every item.
  void TakeFilterOff() { DropSiteFilter(); }

 private:
  // Sets the no-match flag and tells the input box, only when it changes.
  void ChangeNoMatch(DWORD noMatch);
  // The wrapper off the list view with an empty query, the event connection broken; the browser stays.
  void Disconnect();
  void RunWrapperFilter(HWND listView, const KeywordQuery& query);
  void RunSiteFilter(IFolderFilterSite* site, const KeywordQuery& query);
  void SelectInsteadOfFilter(const KeywordQuery& query);
  // Takes our filter off the site that holds it; false when none was set.
  bool DropSiteFilter();
  // The shown folder's list in folder (may stay null) and names bound to it, for one run.
  void BindShownFolder(UniqueAbsolutePidl& folder, CFolderItemNames& names);
  // Gives the folder view the keyboard focus.
  void FocusView();
  // Puts the keys object in front of the view's keys window where there is no list view.
  void FollowViewKeys(HWND listView);

  ComPtr<IWebBrowser2> browser_;
  ComPtr<IConnectionPoint> eventPoint_;
  DWORD eventCookie_ = 0;
  InputBoxLink* inputBox_;
  const Settings* settings_;
  DWORD noMatch_ = 0;
  CListViewWrapper wrapper_;
  CViewKeys keys_{*this};
  ComPtr<IFolderFilterSite> filterSite_;  // the site holding a filter of ours
  bool filterNoticeShown_ = false;         // the balloon that Filter selects here instead
};

}  // namespace vantorel
