#pragma once
// Naming the items of the folder view's list view, and clearing their states: the steps that
// the select run, the filtering wrapper and the measurements share.
#include <windows.h>
#include <shlobj.h>

#include "framework/com_ptr.h"

namespace vantorel {

// The file-system path of a list view item: the last identifier of its relative list (the
// item's lParam) joined with the folder's absolute list. False when it has no path.
bool ItemPath(PCIDLIST_ABSOLUTE folder, LPARAM itemIdList, wchar_t (&path)[MAX_PATH]) noexcept;
// The item's file name with its extension: the last component of its path, or for a path
// that does not fit MAX_PATH the item's parsing name in its folder. False when the item has no
// file-system path.
bool ItemName(PCIDLIST_ABSOLUTE folder, LPARAM itemIdList, wchar_t (&name)[MAX_PATH]) noexcept;
// The name of the list view's item index, whose lParam is its identifier list relative to folder.
bool ListItemName(HWND listView, int index, PCIDLIST_ABSOLUTE folder, wchar_t (&name)[MAX_PATH]) noexcept;
// Takes the state bits of mask from every item of the list view.
void ClearStateOfAllItems(HWND listView, UINT mask) noexcept;

// The items of one folder named through the folder itself, bound once: a child identifier is
// named by the folder's parsing name of it, the same name as ItemName gives. An item that is
// not the folder's own child (a list of several identifiers), or that the folder cannot name,
// is named by ItemName.
class CFolderItemNames {
 public:
  // Binds the folder of the absolute list (not owned; it must outlive the binding). A null list
  // binds nothing, and every item is named by ItemName.
  void Bind(PCIDLIST_ABSOLUTE folder) noexcept;
  // Binds a folder already at hand, whose absolute list is folderId (not owned, may be null).
  void Bind(IShellFolder* folder, PCIDLIST_ABSOLUTE folderId) noexcept;
  bool Name(LPARAM itemIdList, wchar_t (&name)[MAX_PATH]) const noexcept;
  IShellFolder* Folder() const noexcept { return folder_.get(); }

 private:
  PCIDLIST_ABSOLUTE folderId_ = nullptr;
  ComPtr<IShellFolder> folder_;
};

}  // namespace vantorel
