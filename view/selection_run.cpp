// The run dispatcher and the select mode.
#include <windows.h>
#include <commctrl.h>
#include <shlobj.h>
#include <shlwapi.h>

#include "framework/unique_pidl.h"
#include "view/band_view_state.h"
#include "view/item_name.h"
#include "view/keyword_text.h"
#include "view/view_locator.h"

namespace vantorel {
namespace {

void SetStateOf(HWND listView, int index, UINT state) noexcept {
  LVITEMW item = {};
  item.state = state;
  item.stateMask = state;
  SendMessageW(listView, LVM_SETITEMSTATE, static_cast<WPARAM>(index), reinterpret_cast<LPARAM>(&item));
}

}  // namespace

void CBandViewState::ChangeNoMatch(DWORD noMatch) {
  noMatch = noMatch ? 1 : 0;
  if (noMatch_ == noMatch) return;
  noMatch_ = noMatch;
  if (inputBox_) inputBox_->SetRunState(settings_.RunMode, noMatch_);
}

bool CBandViewState::RunCurrentMode(bool focusView) {
  HWND topLevel = BrowserWindow(browser_.get());
  if (!topLevel) return false;
  HWND listView = FindFolderListView(topLevel);
  if (!listView) return false;
  if (settings_.RunMode == kRunModeSelect) {
    RunSelect(listView);
    if (focusView) SetFocus(listView);
  } else {
    RunFilter(listView);
  }
  if (HWND band = BandWindow()) InvalidateRect(band, nullptr, TRUE);
  return true;
}

bool CBandViewState::RunSelect(HWND listView) {
  const KeywordQuery query = InputQuery(inputBox_ ? inputBox_->InputWindow() : nullptr, settings_.Options);
  ClearStateOfAllItems(listView, LVIS_SELECTED);
  if (query.Empty()) {
    ChangeNoMatch(0);
    return false;
  }
  const int count = static_cast<int>(SendMessageW(listView, LVM_GETITEMCOUNT, 0, 0));
  if (count <= 0) return false;

  UniqueAbsolutePidl folder;
  GetCurrentFolderIdList(folder.put());

  int firstMatch = -1;
  for (int i = 0; i < count; ++i) {
    wchar_t name[MAX_PATH];
    if (!ListItemName(listView, i, folder.get(), name, &itemNames_) || !query.Matches(name)) continue;
    SetStateOf(listView, i, LVIS_SELECTED);
    if (firstMatch < 0) {
      firstMatch = i;
      SetStateOf(listView, i, LVIS_FOCUSED);
    }
  }
  folder.reset();

  if (firstMatch >= 0) {
    SendMessageW(listView, LVM_ENSUREVISIBLE, static_cast<WPARAM>(firstMatch), 0);
    ChangeNoMatch(0);
  } else {
    ChangeNoMatch(1);
  }
  return true;
}

}  // namespace vantorel
