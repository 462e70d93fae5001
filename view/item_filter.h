#pragma once
// The filter object that Filter mode gives a filter site: an item shows when its name matches
// the query. Items it cannot name (virtual items, names the folder refuses) show.
#include <windows.h>
#include <shobjidl.h>

#include "framework/com_object.h"
#include "match/keyword_query.h"

namespace vantorel {

class CItemFilter : public ComObject<CItemFilter>, public IFolderFilter {
 public:
  explicit CItemFilter(const KeywordQuery& query) noexcept : query_(query) {}
  VANTOREL_IUNKNOWN_METHODS
  static const InterfaceEntry* Interfaces() {
    static const InterfaceEntry table[] = {VANTOREL_INTERFACE(CItemFilter, IFolderFilter), {}};
    return table;
  }

  // S_OK shows the item, S_FALSE hides it.
  STDMETHODIMP ShouldShow(IShellFolder* folder, PCIDLIST_ABSOLUTE folderId, PCUITEMID_CHILD item) override;
  // The view enumerates as it would without a filter.
  STDMETHODIMP GetEnumFlags(IShellFolder*, PCIDLIST_ABSOLUTE, HWND*, DWORD*) override { return E_NOTIMPL; }

 private:
  const KeywordQuery query_;
};

// Whether an item of the folder matches the query: its items enumerated and named as the filter
// names them, whatever the view shows at the moment (a view refills in its own time).
bool FolderHasMatch(PCIDLIST_ABSOLUTE folder, const KeywordQuery& query) noexcept;

}  // namespace vantorel
