#include "view/item_name.h"

#include <commctrl.h>
#include <shlobj.h>
#include <shlwapi.h>

#include "framework/com_ptr.h"
#include "framework/unique_pidl.h"
#include "view/item_name_cache.h"

namespace vantorel {
namespace {

// The parsing name of a file-system item relative to its folder: its file name whatever the
// length of the folder's path.
bool NameInFolder(PCIDLIST_ABSOLUTE item, wchar_t (&name)[MAX_PATH]) noexcept {
  ComPtr<IShellFolder> parent;
  PCUITEMID_CHILD child = nullptr;
  if (FAILED(SHBindToParent(item, IID_IShellFolder, parent.put_void(), &child)) || !parent || !child) {
    return false;
  }
  SFGAOF attributes = SFGAO_FILESYSTEM;
  if (FAILED(parent->GetAttributesOf(1, &child, &attributes)) || !(attributes & SFGAO_FILESYSTEM)) return false;
  STRRET ret = {};
  if (FAILED(parent->GetDisplayNameOf(child, SHGDN_INFOLDER | SHGDN_FORPARSING, &ret))) return false;
  wchar_t inFolder[MAX_PATH];
  if (FAILED(StrRetToBufW(&ret, child, inFolder, MAX_PATH))) return false;
  inFolder[MAX_PATH - 1] = L'\0';
  if (inFolder[0] == L'\0') return false;
  lstrcpynW(name, inFolder, MAX_PATH);
  return true;
}

}  // namespace

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

bool ItemName(PCIDLIST_ABSOLUTE folder, LPARAM itemIdList, wchar_t (&name)[MAX_PATH],
              CItemNameCache* names) noexcept {
  if (names) return names->Name(folder, itemIdList, name);
  const bool hasPath = ItemPath(folder, itemIdList, name);
  // A path that filled the buffer may have been cut, and one longer than the buffer may have
  // been refused: such a file is named from its own identifier in its folder.
  if (itemIdList != 0 && (!hasPath || lstrlenW(name) >= MAX_PATH - 1)) {
    PCUITEMID_CHILD last = ILFindLastID(reinterpret_cast<PCUIDLIST_RELATIVE>(itemIdList));
    UniqueAbsolutePidl full(ILCombine(folder, last));
    if (full && NameInFolder(full.get(), name)) return true;
  }
  if (!hasPath) {
    name[0] = L'\0';
    return false;
  }
  PathStripPathW(name);
  return true;
}

bool ListItemName(HWND listView, int index, PCIDLIST_ABSOLUTE folder, wchar_t (&name)[MAX_PATH],
                  CItemNameCache* names) noexcept {
  LVITEMW item = {};
  item.mask = LVIF_PARAM;
  item.iItem = index;
  name[0] = L'\0';
  return SendMessageW(listView, LVM_GETITEMW, 0, reinterpret_cast<LPARAM>(&item)) &&
         ItemName(folder, item.lParam, name, names);
}

void ClearStateOfAllItems(HWND listView, UINT mask) noexcept {
  LVITEMW item = {};
  item.state = 0;
  item.stateMask = mask;
  SendMessageW(listView, LVM_SETITEMSTATE, static_cast<WPARAM>(-1), reinterpret_cast<LPARAM>(&item));
}

}  // namespace vantorel
