#pragma once
// Naming the items of the folder view's list view, and clearing their states: the steps that
// the select run, the filtering wrapper and the measurements share.
#include <windows.h>
#include <shlobj.h>

namespace vantorel {

class CItemNameCache;

// The file-system path of a list view item: the last identifier of its relative list (the
// item's lParam) joined with the folder's absolute list. False when it has no path.
bool ItemPath(PCIDLIST_ABSOLUTE folder, LPARAM itemIdList, wchar_t (&path)[MAX_PATH]) noexcept;
// The item's file name with its extension: the last component of its path, or for a path
// that does not fit MAX_PATH the item's parsing name in its folder. False when the item has no
// file-system path. Through names when given (a miss there comes back here without it).
bool ItemName(PCIDLIST_ABSOLUTE folder, LPARAM itemIdList, wchar_t (&name)[MAX_PATH],
              CItemNameCache* names = nullptr) noexcept;
// The name of the list view's item index, whose lParam is its identifier list relative to folder;
// through names when given.
bool ListItemName(HWND listView, int index, PCIDLIST_ABSOLUTE folder, wchar_t (&name)[MAX_PATH],
                  CItemNameCache* names = nullptr) noexcept;
// Takes the state bits of mask from every item of the list view.
void ClearStateOfAllItems(HWND listView, UINT mask) noexcept;

}  // namespace vantorel
