#include "view/shell_view.h"

#include <servprov.h>
#include <shlguid.h>

namespace vantorel {

ComPtr<IShellBrowser> ShellBrowserOf(IUnknown* browser) noexcept {
  ComPtr<IServiceProvider> services;
  ComPtr<IShellBrowser> shellBrowser;
  if (!browser || FAILED(browser->QueryInterface(IID_PPV_ARGS(services.put()))) || !services) return shellBrowser;
  if (FAILED(services->QueryService(SID_SShellBrowser, IID_PPV_ARGS(shellBrowser.put())))) shellBrowser.reset();
  return shellBrowser;
}

ComPtr<IShellView> ActiveShellView(IUnknown* browser) noexcept {
  ComPtr<IShellView> view;
  ComPtr<IShellBrowser> shellBrowser = ShellBrowserOf(browser);
  if (shellBrowser && FAILED(shellBrowser->QueryActiveShellView(view.put()))) view.reset();
  return view;
}

ComPtr<IFolderView> ActiveFolderView(IUnknown* browser) noexcept {
  ComPtr<IFolderView> folderView;
  ComPtr<IShellView> view = ActiveShellView(browser);
  if (view && FAILED(view.As(folderView))) folderView.reset();
  return folderView;
}

}  // namespace vantorel
