#include "view/list_view_wrapper.h"

#include <commctrl.h>
#include <shlwapi.h>

#include "view/band_view.h"
#include "view/item_name.h"
#include "view/view_keys.h"

namespace vantorel {

CListViewWrapper::~CListViewWrapper() {
  Detach();
  SetFolderId(nullptr);
}

void CListViewWrapper::SetFolderId(PIDLIST_ABSOLUTE folder) noexcept {
  if (folder != folderId_.get()) folderId_.reset(folder);
}

bool CListViewWrapper::Passes(const LVITEMW* item) noexcept {
  if (query_.Empty()) return true;
  // The shell keeps the item's relative identifier list there, whatever the mask says.
  if (!item || item->lParam == 0) return true;
  wchar_t name[MAX_PATH];
  // An item that cannot be named is not hidden.
  CFolderItemNames own;
  if (!refillNames_) own.Bind(folderId_.get());
  if (!(refillNames_ ? refillNames_ : &own)->Name(item->lParam, name)) return true;
  if (!query_.Matches(name)) return false;
  nothingShown_ = 0;
  return true;
}

bool CListViewWrapper::HandleMessage(UINT msg, WPARAM wParam, LPARAM lParam, LRESULT& result) {
  switch (msg) {
    case LVM_INSERTITEMW:
      if (Passes(reinterpret_cast<const LVITEMW*>(lParam))) return false;
      result = 0;  // refused: the list view never sees the item
      return true;
    case WM_SYSCHAR:
      if (IsFocusInputKey(wParam)) {
        if (notifyWindow_) SendMessageW(notifyWindow_, focusInputMessage_, 0, 0);
      } else {
        if (filterOwner_) filterOwner_->TakeFilterOff();
        Detach();
      }
      result = 0;
      return true;
    case LVM_DELETEALLITEMS:
      nothingShown_ = 1;
      return false;
    default:
      return false;
  }
}

}  // namespace vantorel
