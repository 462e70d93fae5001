// The run dispatcher, the select mode and the identifier list of the folder the view shows.
#include <windows.h>
#include <commctrl.h>
#include <shlobj.h>
#include <shlwapi.h>

#include "framework/unique_pidl.h"
#include "view/band_view.h"
#include "view/item_name.h"
#include "view/keyword_text.h"
#include "view/view_locator.h"

namespace vantorel {
namespace {

void SetStateOf(HWND listView, int index, UINT state, UINT mask) noexcept {
  LVITEMW item = {};
  item.state = state;
  item.stateMask = mask;
  SendMessageW(listView, LVM_SETITEMSTATE, static_cast<WPARAM>(index), reinterpret_cast<LPARAM>(&item));
}

}  // namespace

void CBandView::ChangeNoMatch(DWORD noMatch) {
  noMatch = noMatch ? 1 : 0;
  if (noMatch_ == noMatch) return;
  noMatch_ = noMatch;
  if (inputBox_) inputBox_->SetRunState(settings_->RunMode, noMatch_);
}

bool CBandView::RunCurrentMode(bool focusView) {
  HWND listView = FindFolderListView(browser_.get());
  if (!listView) return false;
  if (settings_->RunMode == kRunModeSelect) {
    RunSelect(listView);
    if (focusView) SetFocus(listView);
  } else {
    RunFilter(listView);
  }
  if (HWND band = inputBox_ ? GetParent(inputBox_->InputWindow()) : nullptr) InvalidateRect(band, nullptr, TRUE);
  return true;
}

bool CBandView::RunSelect(HWND listView) {
  const KeywordQuery query = InputQuery(inputBox_ ? inputBox_->InputWindow() : nullptr, settings_->Options);
  if (query.Empty()) {
    for (int i = -1; (i = static_cast<int>(SendMessageW(listView, LVM_GETNEXTITEM, i, LVNI_SELECTED))) >= 0;) {
      SetStateOf(listView, i, 0, LVIS_SELECTED);
    }
    ChangeNoMatch(0);
    return false;
  }
  const int count = static_cast<int>(SendMessageW(listView, LVM_GETITEMCOUNT, 0, 0));
  if (count <= 0) return false;

  UniqueAbsolutePidl folder;
  GetCurrentFolderIdList(folder.put());
  CFolderItemNames names;
  names.Bind(folder.get());

  // Only the states that change are written: the matches selected, the first of them focused,
  // every other item unselected; the focus mark stays where it is when nothing matches.
  int firstMatch = -1;
  for (int i = 0; i < count; ++i) {
    LVITEMW item = {};
    item.mask = LVIF_PARAM | LVIF_STATE;
    item.iItem = i;
    item.stateMask = LVIS_SELECTED | LVIS_FOCUSED;
    // An item that cannot be read is unselected as one that does not match.
    if (!SendMessageW(listView, LVM_GETITEMW, 0, reinterpret_cast<LPARAM>(&item))) item.state = LVIS_SELECTED;
    wchar_t name[MAX_PATH];
    const bool match = item.lParam != 0 && names.Name(item.lParam, name) && query.Matches(name);
    UINT wanted = match ? LVIS_SELECTED : 0, mask = LVIS_SELECTED;
    if (match && firstMatch < 0) {
      firstMatch = i;
      wanted |= LVIS_FOCUSED;
      mask |= LVIS_FOCUSED;
    }
    mask &= wanted ^ item.state;
    if (mask) SetStateOf(listView, i, wanted & mask, mask);
  }

  if (firstMatch >= 0) {
    SendMessageW(listView, LVM_ENSUREVISIBLE, static_cast<WPARAM>(firstMatch), 0);
    ChangeNoMatch(0);
  } else {
    ChangeNoMatch(1);
  }
  return true;
}

bool CBandView::GetCurrentFolderIdList(PIDLIST_ABSOLUTE* folder) {
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
