// The filter mode: the view is emptied and refilled by the browser through the wrapper.
#include <windows.h>
#include <commctrl.h>

#include "framework/unique_pidl.h"
#include "view/band_view.h"
#include "view/item_name.h"
#include "view/keyword_text.h"

namespace vantorel {
void CBandView::RemoveFilter(HWND listView) {
  wrapper_.SetQuery(KeywordQuery());
  if (listView) SendMessageW(listView, LVM_DELETEALLITEMS, 0, 0);
  // Refresh runs messages; the browser reference is the call's own until it returns.
  if (ComPtr<IWebBrowser2> browser = browser_) browser->Refresh();
}

void CBandView::RunFilter(HWND listView) {
  const KeywordQuery query = InputQuery(inputBox_ ? inputBox_->InputWindow() : nullptr, settings_->Options);
  if (query.Empty()) {
    RemoveFilter(listView);
    ChangeNoMatch(0);
    return;
  }
  ClearStateOfAllItems(listView, LVIS_SELECTED);
  ClearStateOfAllItems(listView, LVIS_FOCUSED);
  wrapper_.SetQuery(query);
  UniqueAbsolutePidl folder;
  GetCurrentFolderIdList(folder.put());
  wrapper_.SetFolderId(folder.release());
  // A wrapper still sitting on another list view would miss this refill altogether.
  if (wrapper_.IsAttached() && wrapper_.hwnd() != listView) wrapper_.Detach();
  if (!wrapper_.IsAttached()) wrapper_.Attach(listView);
  // The refill names its items through the folder bound once.
  CFolderItemNames names;
  names.Bind(wrapper_.FolderId());
  wrapper_.SetRefillNames(&names);
  SendMessageW(listView, LVM_DELETEALLITEMS, 0, 0);
  if (ComPtr<IWebBrowser2> browser = browser_) browser->Refresh();
  wrapper_.SetRefillNames(nullptr);
  ChangeNoMatch(wrapper_.NothingShown());
}

}  // namespace vantorel
