// The run dispatcher, the select mode and the identifier list of the folder the view shows.
#include <windows.h>
#include <commctrl.h>
#include <shlobj.h>
#include <shlwapi.h>

#include "framework/unique_pidl.h"
#include "view/band_view.h"
#include "view/item_name.h"
#include "view/keyword_text.h"
#include "view/shell_view.h"
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
  if (!BrowserWindow(browser_.get())) return false;
  // A list view where there is one; else the shell view's own interfaces, as in the items view.
  HWND listView = FindFolderListView(browser_.get());
  ComPtr<IFolderView> view;
  if (!listView) view = ActiveFolderView(browser_.get());
  if (!listView && !view) return false;
  FollowViewKeys(listView);
  if (settings_->RunMode == kRunModeSelect) {
    if (listView) {
      RunSelect(listView);
    } else {
      RunSelectInView(view.get());
    }
    if (focusView) FocusView();
  } else {
    RunFilter(listView);
  }
  if (HWND band = inputBox_ ? GetParent(inputBox_->InputWindow()) : nullptr) InvalidateRect(band, nullptr, TRUE);
  return true;
}

void CBandView::FocusView() {
  HWND keys = FindViewKeysWindow(browser_.get());
  ComPtr<IShellView> view;
  if (!keys && (view = ActiveShellView(browser_.get()))) view->GetWindow(&keys);
  if (keys) SetFocus(keys);
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
  CFolderItemNames names;
  BindShownFolder(folder, names);

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

// Only the states that change are asked for: the first match selected, focused and shown with the
// others deselected in one call, each later match added; without a match every item deselected
// and the focus left where it is.
bool CBandView::RunSelectInView(IFolderView* view) {
  const KeywordQuery query = InputQuery(inputBox_ ? inputBox_->InputWindow() : nullptr, settings_->Options);
  int count = 0;
  if (!view || FAILED(view->ItemCount(SVGIO_ALLVIEW, &count))) count = 0;
  if (query.Empty()) {
    if (count > 0) view->SelectItem(0, SVSI_DESELECTOTHERS);
    ChangeNoMatch(0);
    return false;
  }
  if (count <= 0) return false;

  UniqueAbsolutePidl folder;
  CFolderItemNames names;
  BindShownFolder(folder, names);
  int firstMatch = -1;
  for (int i = 0; i < count; ++i) {
    UniquePidl child;
    if (FAILED(view->Item(i, reinterpret_cast<PITEMID_CHILD*>(child.put()))) || !child) continue;
    wchar_t name[MAX_PATH];
    if (!names.Name(reinterpret_cast<LPARAM>(child.get()), name) || !query.Matches(name)) continue;
    if (firstMatch < 0) {
      firstMatch = i;
      view->SelectItem(i, SVSI_SELECT | SVSI_DESELECTOTHERS | SVSI_FOCUSED | SVSI_ENSUREVISIBLE);
    } else {
      view->SelectItem(i, SVSI_SELECT);
    }
  }
  if (firstMatch < 0) view->SelectItem(0, SVSI_DESELECTOTHERS);
  ChangeNoMatch(firstMatch < 0 ? 1 : 0);
  return true;
}

void CBandView::BindShownFolder(UniqueAbsolutePidl& folder, CFolderItemNames& names) {
  GetCurrentFolderIdList(folder.put());
  names.Bind(folder.get());
}

bool CBandView::GetCurrentFolderIdList(PIDLIST_ABSOLUTE* folder) {
  if (!folder) return false;
  *folder = nullptr;
  // Released in reverse order of acquisition when the locals go.
  ComPtr<IFolderView> folderView = ActiveFolderView(browser_.get());
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
