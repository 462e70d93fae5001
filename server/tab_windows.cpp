#include "server/tab_windows.h"

namespace vantorel {
namespace {

HWND Child(HWND parent, const wchar_t* className) noexcept {
  return parent ? FindWindowExW(parent, nullptr, className, nullptr) : nullptr;
}

bool StyledVisible(HWND window) noexcept {
  return window && (GetWindowLongPtrW(window, GWL_STYLE) & WS_VISIBLE) != 0;
}

}  // namespace

bool IsExplorerTab(HWND window) noexcept {
  wchar_t name[32] = {};
  return window && GetClassNameW(window, name, 32) > 0 && lstrcmpW(name, kTabWindowClass) == 0;
}

bool TabToolbarAreaShown(HWND tab) noexcept {
  HWND worker = Child(tab, L"WorkerW");
  return StyledVisible(worker) && StyledVisible(Child(worker, L"ReBarWindow32"));
}

HWND TabFolderView(HWND tab) noexcept {
  HWND dui = Child(tab, L"DUIViewWndClassName");
  return Child(Child(Child(dui, L"DirectUIHWND"), L"CtrlNotifySink"), L"SHELLDLL_DefView");
}

HWND TabListView(HWND tab) noexcept { return Child(TabFolderView(tab), L"SysListView32"); }

}  // namespace vantorel
