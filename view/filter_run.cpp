// The filter mode: a filter object on the browser's filter site, or the view emptied and refilled
// by the browser through the wrapper, or where neither can hide items the matches selected.
#include <windows.h>
#include <commctrl.h>

#include <utility>

#include "framework/unique_pidl.h"
#include "view/band_view.h"
#include "view/filter_way.h"
#include "view/item_filter.h"
#include "view/item_name.h"
#include "view/keyword_text.h"
#include "view/shell_view.h"
#include "view/view_locator.h"

namespace vantorel {
namespace {

// The notice of a filter that selected instead, in Japanese and in English.
constexpr const wchar_t* kNoFilterTitle = L"\u30D5\u30A3\u30EB\u30BF";
constexpr const wchar_t* kNoFilterTitleEnglish = L"Filter";
constexpr const wchar_t* kNoFilterTextEnglish =
    L"This window cannot hide items, so the matching items were selected.";
constexpr const wchar_t* kNoFilterText = L"\u3053\u306E\u30A6\u30A3\u30F3\u30C9\u30A6\u3067\u306F\u9805\u76EE\u3092\u96A0\u305B\u306A\u3044\u305F\u3081\u3001\u4E00\u81F4\u3059\u308B\u9805\u76EE\u3092\u9078\u629E\u3057\u307E\u3057\u305F\u3002";

}  // namespace

void CBandView::RemoveFilter(HWND listView) {
  wrapper_.SetQuery(KeywordQuery());
  DropSiteFilter();
  if (listView) SendMessageW(listView, LVM_DELETEALLITEMS, 0, 0);
  // Refresh runs messages; the browser reference is the call's own until it returns.
  if (ComPtr<IWebBrowser2> browser = browser_) browser->Refresh();
}

bool CBandView::DropSiteFilter() {
  ComPtr<IFolderFilterSite> site = std::move(filterSite_);
  if (site) site->SetFilter(nullptr);
  return static_cast<bool>(site);
}

void CBandView::ClearSelection() {
  if (HWND listView = FindFolderListView(browser_.get())) {
    ClearStateOfAllItems(listView, LVIS_SELECTED);
    ClearStateOfAllItems(listView, LVIS_FOCUSED);
    return;
  }
  int count = 0;
  ComPtr<IFolderView> view = ActiveFolderView(browser_.get());
  if (view && SUCCEEDED(view->ItemCount(SVGIO_ALLVIEW, &count)) && count > 0) view->SelectItem(0, SVSI_DESELECTOTHERS);
}

void CBandView::RunFilter(HWND listView) {
  const KeywordQuery query = InputQuery(inputBox_ ? inputBox_->InputWindow() : nullptr, settings_->Options);
  ComPtr<IFolderFilterSite> site;
  const FilterWay way = ChooseFilterWay(browser_.get(), listView, &site);
  if (way == FilterWay::kSelectMatches) {
    SelectInsteadOfFilter(query);
  } else if (query.Empty()) {
    RemoveFilter(listView);
    ChangeNoMatch(0);
  } else if (way == FilterWay::kFilterSite) {
    RunSiteFilter(site.get(), query);
  } else {
    RunWrapperFilter(listView, query);
  }
}

void CBandView::RunSiteFilter(IFolderFilterSite* site, const KeywordQuery& query) {
  if (filterSite_ && filterSite_.get() != site) DropSiteFilter();
  ClearSelection();
  // Where a list view is wrapped as well, the site alone filters.
  wrapper_.SetQuery(KeywordQuery());
  ComPtr<CItemFilter> filter = MakeComObject<CItemFilter>(query);
  if (!filter || FAILED(site->SetFilter(static_cast<IFolderFilter*>(filter.get())))) return;
  filterSite_ = ComPtr<IFolderFilterSite>(site);
  if (ComPtr<IWebBrowser2> browser = browser_) browser->Refresh();
  // The view may still be refilling: the folder's own items tell whether anything matches.
  UniqueAbsolutePidl folder;
  GetCurrentFolderIdList(folder.put());
  ChangeNoMatch(folder && !FolderHasMatch(folder.get(), query) ? 1 : 0);
}

void CBandView::RunWrapperFilter(HWND listView, const KeywordQuery& query) {
  ClearStateOfAllItems(listView, LVIS_SELECTED);
  ClearStateOfAllItems(listView, LVIS_FOCUSED);
  wrapper_.SetQuery(query);
  UniqueAbsolutePidl folder;
  GetCurrentFolderIdList(folder.put());
  wrapper_.SetFolderId(folder.release());
  // A wrapper still sitting on another list view would miss this refill altogether.
  if (wrapper_.IsAttached() && wrapper_.hwnd() != listView) wrapper_.Detach();
  if (!wrapper_.IsAttached()) wrapper_.Attach(listView);
  // The refill names its items through the folder bound once.
  CFolderItemNames names;
  names.Bind(wrapper_.FolderId());
  wrapper_.SetRefillNames(&names);
  SendMessageW(listView, LVM_DELETEALLITEMS, 0, 0);
  if (ComPtr<IWebBrowser2> browser = browser_) browser->Refresh();
  wrapper_.SetRefillNames(nullptr);
  ChangeNoMatch(wrapper_.NothingShown());
}

// Nothing can hide this window's items: the run selects the matches, and the first run with a
// keyword says so in the input box's balloon, never again in this window.
void CBandView::SelectInsteadOfFilter(const KeywordQuery& query) {
  if (ComPtr<IFolderView> view = ActiveFolderView(browser_.get())) RunSelectInView(view.get());
  HWND box = inputBox_ ? inputBox_->InputWindow() : nullptr;
  if (query.Empty() || filterNoticeShown_ || !box) return;
  filterNoticeShown_ = true;
  const bool japanese = PRIMARYLANGID(inputBox_->TextLanguage()) == LANG_JAPANESE;
  EDITBALLOONTIP tip = {sizeof(tip), japanese ? kNoFilterTitle : kNoFilterTitleEnglish,
                        japanese ? kNoFilterText : kNoFilterTextEnglish, TTI_INFO};
  SendMessageW(box, EM_SHOWBALLOONTIP, 0, reinterpret_cast<LPARAM>(&tip));
}

}  // namespace vantorel
