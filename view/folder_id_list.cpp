// The identifier list of the folder the browser's active view shows.
#include <windows.h>
#include <shlobj.h>
#include <shobjidl.h>

#include "framework/unique_pidl.h"
#include "view/band_view_state.h"

namespace vantorel {

bool CBandViewState::GetCurrentFolderIdList(PIDLIST_ABSOLUTE* folder) {
  if (!folder) return false;
  *folder = nullptr;
  if (!browser_) return false;
  // Released in reverse order of acquisition when the locals go.
  ComPtr<IServiceProvider> provider;
  if (FAILED(browser_.As(provider)) || !provider) return false;
  ComPtr<IShellBrowser> shellBrowser;
  provider->QueryService(SID_SShellBrowser, IID_IShellBrowser, shellBrowser.put_void());
  if (!shellBrowser) return false;
  ComPtr<IShellView> view;
  shellBrowser->QueryActiveShellView(view.put());
  if (!view) return false;
  ComPtr<IFolderView> folderView;
  view.As(folderView);
  if (!folderView) return false;
  ComPtr<IPersistFolder2> persist;
  folderView->GetFolder(IID_IPersistFolder2, persist.put_void());
  if (!persist) return false;
  UniqueAbsolutePidl result;
  if (FAILED(persist->GetCurFolder(result.put())) || !result) return false;
  *folder = result.release();
  return true;
}

}  // namespace vantorel
