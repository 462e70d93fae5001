#pragma once
// The folder view as Windows 7 to 11 show it by default: "SHELLDLL_DefView" > "DirectUIHWND",
// a surface that draws the items itself, with no list view among its windows. Under Wine the
// platform's view (which needs its list view) stays alive where no walk from the frame meets it;
// the surface shows that view's items and their states, passes the keys and clicks on to it,
// and keeps its own scroll bar, drawn by itself as Windows 10 and 11 draw theirs.
#include <windows.h>

#include <memory>

#include "host/host_window.h"

namespace vantorel::host {

class ItemsView {
 public:
  ItemsView();
  ~ItemsView();
  ItemsView(const ItemsView&) = delete;
  ItemsView& operator=(const ItemsView&) = delete;

  // Makes the two windows under parent over the platform's list view.
  bool Create(HWND parent, HWND platformList, const RECT& place);
  HWND DefView() const { return defView_ ? defView_->hwnd() : nullptr; }
  HWND Surface() const { return surface_ ? surface_->hwnd() : nullptr; }
  // Whether the items fill more rows than the surface shows: its scroll bar is drawn then.
  bool CanScroll() const;

 private:
  class Mirror;
  bool SurfaceMessage(UINT msg, WPARAM wParam, LPARAM lParam, LRESULT& result);
  void Paint();
  void Click(int y);
  int Count() const;
  int RowsShown() const;
  void ScrollTo(int top);
  void EnsureVisible(int index);
  void Changed(UINT msg, WPARAM wParam);

  std::unique_ptr<HostWindow> defView_, surface_;
  std::unique_ptr<Mirror> mirror_;  // in front of the platform's list view
  HWND list_ = nullptr;
  int top_ = 0;  // the first row shown
};

}  // namespace vantorel::host
