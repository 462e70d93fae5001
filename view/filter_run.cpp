// The filter mode: the view is emptied and refilled by the browser through the wrapper.
#include <windows.h>
#include <commctrl.h>

#include "framework/unique_pidl.h"
#include "match/match.h"
#include "view/band_view_state.h"
#include "view/item_name.h"
#include "view/keyword_text.h"

namespace vantorel {
void CBandViewState::RemoveFilter(HWND listView) {
  wrapper_.SetQuery(L"", 0);
  if (listView) SendMessageW(listView, LVM_DELETEALLITEMS, 0, 0);
  // Refresh runs messages; the browser reference is the call's own until it returns.
  if (ComPtr<IWebBrowser2> browser = browser_) browser->Refresh();
}

void CBandViewState::RunFilter(HWND listView) {
  wchar_t keyword[MAX_PATH];
  ReadKeywordText(inputBox_ ? inputBox_->InputWindow() : nullptr, keyword);
  if (keyword[0] == L'\0') {
    RemoveFilter(listView);
    ChangeNoMatch(0);
    return;
  }
  const DWORD options = settings_.Options;
  NormalizeForMatch(keyword, options);
  ClearStateOfAllItems(listView, LVIS_SELECTED);
  ClearStateOfAllItems(listView, LVIS_FOCUSED);
  wrapper_.SetQuery(keyword, options);
  UniqueAbsolutePidl folder;
  GetCurrentFolderIdList(folder.put());
  wrapper_.SetFolderId(folder.release());
  // A wrapper still sitting on another list view would miss this refill altogether.
  if (wrapper_.IsAttached() && wrapper_.hwnd() != listView) wrapper_.Detach();
  if (!wrapper_.IsAttached()) wrapper_.Attach(listView);
  SendMessageW(listView, LVM_DELETEALLITEMS, 0, 0);
  if (ComPtr<IWebBrowser2> browser = browser_) browser->Refresh();
  ChangeNoMatch(wrapper_.NothingShown());
}

}  // namespace vantorel
