#pragma once
// The filtering list view wrapper: subclasses the folder view's list view and refuses every
// LVM_INSERTITEMW whose item name does not match the query, so that a refill of the view by
// Explorer shows only the matching items. It also turns Alt+S in the view into
// a message to the band window (the one given with the window); any other Alt+letter detaches it.
#include <windows.h>
#include <shlobj.h>

#include "framework/unique_pidl.h"
#include "framework/window.h"
#include "match/keyword_query.h"
#include "view/item_name.h"

namespace vantorel {

class CBandView;

class CListViewWrapper : public Window {
 public:
  ~CListViewWrapper() override;

  // The query that inserted items must match; the empty query lets every item in.
  void SetQuery(const KeywordQuery& query) noexcept { query_ = query; }
  // Takes ownership of folder (may be null); the list held so far is freed.
  void SetFolderId(PIDLIST_ABSOLUTE folder) noexcept;
  // The inserted items are named through names (the folder bound once for a refill) until the
  // next call; without, each insert binds FolderId for itself.
  void SetRefillNames(const CFolderItemNames* names) noexcept { refillNames_ = names; }
  // 1 after LVM_DELETEALLITEMS until an inserted item passes the name test.
  DWORD NothingShown() const noexcept { return nothingShown_; }
  // Alt+S in the view sends focusInputMessage (0, 0) to window.
  void SetNotifyWindow(HWND window, UINT focusInputMessage) noexcept {
    notifyWindow_ = window;
    focusInputMessage_ = focusInputMessage;
  }

  // Any other Alt+letter takes view's filter off as well (a filter on the browser's filter site).
  void SetFilterOwner(CBandView* view) noexcept { filterOwner_ = view; }

  bool Attach(HWND listView) noexcept { return Subclass(listView); }
  // False, still attached, when the previous procedure could not be put back.
  bool Detach() noexcept { return Unsubclass(); }
  bool IsAttached() const noexcept { return hwnd() != nullptr; }

  const wchar_t* Query() const noexcept { return query_.Text(); }
  DWORD MatchOptions() const noexcept { return query_.Options(); }
  PCIDLIST_ABSOLUTE FolderId() const noexcept { return folderId_.get(); }
  HWND NotifyWindow() const noexcept { return notifyWindow_; }

 protected:
  bool HandleMessage(UINT msg, WPARAM wParam, LPARAM lParam, LRESULT& result) override;

 private:
  // True when the item described by the insert record may go into the view.
  bool Passes(const LVITEMW* item) noexcept;

  KeywordQuery query_;
  DWORD nothingShown_ = 0;
  HWND notifyWindow_ = nullptr;
  UINT focusInputMessage_ = 0;
  UniqueAbsolutePidl folderId_;
  const CFolderItemNames* refillNames_ = nullptr;
  CBandView* filterOwner_ = nullptr;
};

}  // namespace vantorel
