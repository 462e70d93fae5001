// The browser's DWebBrowserEvents2 as the band receives them.
#include <windows.h>
#include <exdisp.h>
#include <exdispid.h>
#include <ocidl.h>

#include "view/band_view_state.h"
#include "view/view_locator.h"

namespace vantorel {

HRESULT CBandViewState::OnBrowserEvent(DISPID dispid, DISPPARAMS* params) {
  if (!params) return E_INVALIDARG;
  if (dispid == DISPID_DOCUMENTCOMPLETE) {
    HWND listView = FindFolderListView(browser_.get());
    if (!wrapper_.IsAttached() && listView) wrapper_.Attach(listView);
    if ((settings_.Options & kAutoFilterWithTreeOption) && settings_.RunMode == kRunModeFilter &&
        FindFolderTree(browser_.get()) && inputBox_ && inputBox_->InputWindow() &&
        GetWindowTextLengthW(inputBox_->InputWindow()) > 0) {
      RunCurrentMode(false);
    }
  } else if (dispid == DISPID_ONQUIT) {
    if (wrapper_.IsAttached()) wrapper_.Detach();
    // Unadvising may drop the last reference to this object: everything needed afterwards is
    // held in locals, and nothing of this object is touched once Unadvise was called.
    ComPtr<IWebBrowser2> browser = browser_;
    const DWORD cookie = eventCookie_;
    eventCookie_ = 0;
    if (browser && cookie) {
      ComPtr<IConnectionPointContainer> container;
      if (SUCCEEDED(browser.As(container)) && container) {
        ComPtr<IConnectionPoint> point;
        if (SUCCEEDED(container->FindConnectionPoint(DIID_DWebBrowserEvents2, point.put())) && point) {
          point->Unadvise(cookie);
        }
      }
    }
  }
  return S_OK;
}

}  // namespace vantorel
