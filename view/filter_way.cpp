#include "view/filter_way.h"

#include "view/shell_view.h"

namespace vantorel {

FilterWay ChooseFilterWay(IWebBrowser2* browser, HWND listView, ComPtr<IFolderFilterSite>* site) noexcept {
  ComPtr<IFolderFilterSite> found;
  ComPtr<IShellBrowser> shellBrowser = ShellBrowserOf(browser);
  if (shellBrowser && FAILED(shellBrowser.As(found))) found.reset();
  if (!found) {
    ComPtr<IShellView> view = ActiveShellView(browser);
    if (view && FAILED(view.As(found))) found.reset();
  }
  if (found) {
    if (site) *site = found;
    return FilterWay::kFilterSite;
  }
  return listView && IsWindow(listView) ? FilterWay::kListViewWrapper : FilterWay::kSelectMatches;
}

}  // namespace vantorel
