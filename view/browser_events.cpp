// The view's hold on the browser, and the browser's DWebBrowserEvents2 as the band receives them.
#include <windows.h>
#include <exdisp.h>
#include <exdispid.h>
#include <ocidl.h>

#include <utility>

#include "view/band_view.h"
#include "view/view_locator.h"

namespace vantorel {

void CBandView::Attach(IWebBrowser2* browser, IDispatch* events) {
  Detach(false);
  browser_ = ComPtr<IWebBrowser2>(browser);
  // A band sited after its folder was shown sees no DocumentComplete for it: the wrapper goes
  // onto the list view that is there already.
  HWND listView = FindFolderListView(browser_.get());
  if (listView) wrapper_.Attach(listView);
  FollowViewKeys(listView);
  ComPtr<IConnectionPointContainer> container;
  if (!events || FAILED(browser_.As(container)) || !container) return;
  if (FAILED(container->FindConnectionPoint(DIID_DWebBrowserEvents2, eventPoint_.put())) || !eventPoint_ ||
      FAILED(eventPoint_->Advise(events, &eventCookie_))) {
    eventCookie_ = 0;
  }
}

void CBandView::Detach(bool refreshView) {
  if (refreshView && (wrapper_.Query()[0] != L'\0' || filterSite_)) RemoveFilter(FindFolderListView(browser_.get()));
  ComPtr<IWebBrowser2> browser = std::move(browser_);
  Disconnect();
}

void CBandView::Disconnect() {
  DropSiteFilter();
  wrapper_.SetQuery(KeywordQuery());
  wrapper_.Detach();
  keys_.Follow(nullptr);
  // Unadvising may drop the last reference to the view's owner: nothing of it is touched after.
  ComPtr<IConnectionPoint> point = std::move(eventPoint_);
  const DWORD cookie = std::exchange(eventCookie_, 0);
  if (point && cookie) point->Unadvise(cookie);
}

void CBandView::FollowViewKeys(HWND listView) {
  keys_.Follow(listView ? nullptr : FindViewKeysWindow(browser_.get()));
}

HRESULT CBandView::OnBrowserEvent(DISPID dispid, DISPPARAMS* params) {
  if (!params) return E_INVALIDARG;
  if (dispid == DISPID_DOCUMENTCOMPLETE) {
    HWND listView = FindFolderListView(browser_.get());
    if (!wrapper_.IsAttached() && listView) wrapper_.Attach(listView);
    FollowViewKeys(listView);
    if ((settings_->Options & kAutoFilterWithTreeOption) && settings_->RunMode == kRunModeFilter &&
        FindFolderTree(browser_.get()) && inputBox_ && inputBox_->InputWindow() &&
        GetWindowTextLengthW(inputBox_->InputWindow()) > 0) {
      RunCurrentMode(false);
    } else if (DropSiteFilter()) {
      // A browser may keep its filter across navigations: the new folder shows whole.
      if (ComPtr<IWebBrowser2> browser = browser_) browser->Refresh();
    }
  } else if (dispid == DISPID_ONQUIT) {
    Disconnect();  // the window is closing: its view is not refreshed
  }
  return S_OK;
}

}  // namespace vantorel
