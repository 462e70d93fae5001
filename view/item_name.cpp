#include "view/item_name.h"

#include <commctrl.h>
#include <shlwapi.h>

#include "framework/unique_pidl.h"

namespace vantorel {
namespace {

enum class InFolder { kNamed, kNotFileSystem, kUnknown };

// The parsing name of a file-system child relative to its folder: its file name with its
// extension, whatever the length of the folder's path and Explorer's "hide extensions".
InFolder NameInFolder(IShellFolder* folder, PCUITEMID_CHILD child, wchar_t (&name)[MAX_PATH]) noexcept {
  SFGAOF attributes = SFGAO_FILESYSTEM;
  if (FAILED(folder->GetAttributesOf(1, &child, &attributes))) return InFolder::kUnknown;
  if (!(attributes & SFGAO_FILESYSTEM)) return InFolder::kNotFileSystem;
  STRRET ret = {};
  if (FAILED(folder->GetDisplayNameOf(child, SHGDN_INFOLDER | SHGDN_FORPARSING, &ret))) return InFolder::kUnknown;
  if (FAILED(StrRetToBufW(&ret, child, name, MAX_PATH))) return InFolder::kUnknown;
  name[MAX_PATH - 1] = L'\0';
  return name[0] != L'\0' ? InFolder::kNamed : InFolder::kUnknown;
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

bool ItemName(PCIDLIST_ABSOLUTE folder, LPARAM itemIdList, wchar_t (&name)[MAX_PATH]) noexcept {
  const bool hasPath = ItemPath(folder, itemIdList, name);
  // A path that filled the buffer may have been cut, and one longer than the buffer may have
  // been refused: such a file is named from its own identifier in its folder.
  if (itemIdList != 0 && (!hasPath || lstrlenW(name) >= MAX_PATH - 1)) {
    PCUITEMID_CHILD last = ILFindLastID(reinterpret_cast<PCUIDLIST_RELATIVE>(itemIdList));
    UniqueAbsolutePidl full(ILCombine(folder, last));
    ComPtr<IShellFolder> parent;
    PCUITEMID_CHILD child = nullptr;
    if (full && SUCCEEDED(SHBindToParent(full.get(), IID_IShellFolder, parent.put_void(), &child)) && parent &&
        child && NameInFolder(parent.get(), child, name) == InFolder::kNamed) {
      return true;
    }
  }
  if (!hasPath) {
    name[0] = L'\0';
    return false;
  }
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

void CFolderItemNames::Bind(PCIDLIST_ABSOLUTE folder) noexcept {
  folderId_ = folder;
  folder_.reset();
  ComPtr<IShellFolder> desktop;
  if (!folder || FAILED(SHGetDesktopFolder(desktop.put())) || !desktop) return;
  if (folder->mkid.cb == 0) {
    folder_ = desktop;
  } else if (FAILED(desktop->BindToObject(folder, nullptr, IID_IShellFolder, folder_.put_void()))) {
    folder_.reset();
  }
}

void CFolderItemNames::Bind(IShellFolder* folder, PCIDLIST_ABSOLUTE folderId) noexcept {
  folderId_ = folderId;
  folder_ = ComPtr<IShellFolder>(folder);
}

bool CFolderItemNames::Name(LPARAM itemIdList, wchar_t (&name)[MAX_PATH]) const noexcept {
  name[0] = L'\0';
  if (itemIdList == 0) return false;
  auto child = reinterpret_cast<PCUITEMID_CHILD>(itemIdList);
  if (folder_ && child->mkid.cb != 0 && ILFindLastID(child) == child) {
    switch (NameInFolder(folder_.get(), child, name)) {
      case InFolder::kNamed:
        return true;
      case InFolder::kNotFileSystem:
        name[0] = L'\0';
        return false;
      case InFolder::kUnknown:
        break;
    }
  }
  return ItemName(folderId_, itemIdList, name);
}

}  // namespace vantorel
