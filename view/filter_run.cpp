// The filter mode: the view is emptied and refilled by the browser through the wrapper.
#include <windows.h>
#include <commctrl.h>

#include "match/match.h"
#include "view/band_view_state.h"
#include "view/keyword_text.h"

namespace vantorel {
namespace {

void ClearStateOfAll(HWND listView, UINT mask) noexcept {
  LVITEMW item = {};
  item.state = 0;
  item.stateMask = mask;
  SendMessageW(listView, LVM_SETITEMSTATE, static_cast<WPARAM>(-1), reinterpret_cast<LPARAM>(&item));
}

}  // namespace

void CBandViewState::RemoveFilter(HWND listView) {
  wrapper_.SetQuery(L"", 0);
  if (listView) SendMessageW(listView, LVM_DELETEALLITEMS, 0, 0);
  if (browser_) browser_->Refresh();
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
  ClearStateOfAll(listView, LVIS_SELECTED);
  ClearStateOfAll(listView, LVIS_FOCUSED);
  wrapper_.SetQuery(keyword, options);
  PIDLIST_ABSOLUTE folder = nullptr;
  GetCurrentFolderIdList(&folder);
  wrapper_.SetFolderId(folder);
  // A wrapper still sitting on another list view would miss this refill altogether.
  if (wrapper_.IsAttached() && wrapper_.hwnd() != listView) wrapper_.Detach();
  if (!wrapper_.IsAttached()) wrapper_.Attach(listView);
  SendMessageW(listView, LVM_DELETEALLITEMS, 0, 0);
  if (browser_) browser_->Refresh();
  ChangeNoMatch(wrapper_.NothingShown());
}

}  // namespace vantorel
