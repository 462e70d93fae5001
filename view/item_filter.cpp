#include "view/item_filter.h"

#include "framework/guard.h"
#include "framework/unique_pidl.h"
#include "view/item_name.h"

namespace vantorel {

STDMETHODIMP CItemFilter::ShouldShow(IShellFolder* folder, PCIDLIST_ABSOLUTE folderId, PCUITEMID_CHILD item) {
  return GuardHresult([&]() -> HRESULT {
    if (query_.Empty() || !item) return S_OK;
    CFolderItemNames names;
    names.Bind(folder, folderId);
    wchar_t name[MAX_PATH];
    if (!names.Name(reinterpret_cast<LPARAM>(item), name)) return S_OK;
    return query_.Matches(name) ? S_OK : S_FALSE;
  });
}

bool FolderHasMatch(PCIDLIST_ABSOLUTE folder, const KeywordQuery& query) noexcept {
  CFolderItemNames names;
  names.Bind(folder);
  ComPtr<IEnumIDList> items;
  if (!names.Folder() ||
      names.Folder()->EnumObjects(nullptr, SHCONTF_FOLDERS | SHCONTF_NONFOLDERS, items.put()) != S_OK || !items) {
    return false;
  }
  for (;;) {
    UniquePidl child;
    if (items->Next(1, child.put(), nullptr) != S_OK || !child) return false;
    wchar_t name[MAX_PATH];
    if (names.Name(reinterpret_cast<LPARAM>(child.get()), name) && query.Matches(name)) return true;
  }
}

}  // namespace vantorel
