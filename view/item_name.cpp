#include "view/item_name.h"

#include <commctrl.h>
#include <shlwapi.h>

#include "framework/unique_pidl.h"

namespace vantorel {

bool ItemPath(PCIDLIST_ABSOLUTE folder, LPARAM itemIdList, wchar_t (&path)[MAX_PATH]) noexcept {
  path[0] = L'\0';
  // Without an identifier list the join would name the folder itself, not the item.
  if (itemIdList == 0) return false;
  PCUITEMID_CHILD last = ILFindLastID(reinterpret_cast<PCUIDLIST_RELATIVE>(itemIdList));
  UniqueAbsolutePidl full(ILCombine(folder, last));
  if (!full || !SHGetPathFromIDListW(full.get(), path)) return false;
  path[MAX_PATH - 1] = L'\0';
  return true;
}

bool ItemName(PCIDLIST_ABSOLUTE folder, LPARAM itemIdList, wchar_t (&name)[MAX_PATH]) noexcept {
  if (!ItemPath(folder, itemIdList, name)) return false;
  PathStripPathW(name);
  return true;
}

bool ListItemName(HWND listView, int index, PCIDLIST_ABSOLUTE folder, wchar_t (&name)[MAX_PATH]) noexcept {
  LVITEMW item = {};
  item.mask = LVIF_PARAM;
  item.iItem = index;
  name[0] = L'\0';
  return SendMessageW(listView, LVM_GETITEMW, 0, reinterpret_cast<LPARAM>(&item)) &&
         ItemName(folder, item.lParam, name);
}

void ClearStateOfAllItems(HWND listView, UINT mask) noexcept {
  LVITEMW item = {};
  item.state = 0;
  item.stateMask = mask;
  SendMessageW(listView, LVM_SETITEMSTATE, static_cast<WPARAM>(-1), reinterpret_cast<LPARAM>(&item));
}

}  // namespace vantorel
