#pragma once
// The windows of one tab of the tabbed Explorer (Windows 11):
//   ShellTabWindowClass (the tab; the active one shown, the others hidden)
//   +-- WorkerW > ReBarWindow32                       the tab's toolbar area
//   +-- DUIViewWndClassName > DirectUIHWND > CtrlNotifySink > SHELLDLL_DefView > SysListView32
// Looked up again on every use, never kept.
#include <windows.h>

namespace vantorel {

constexpr wchar_t kTabWindowClass[] = L"ShellTabWindowClass";

// Whether window is a tab of the tabbed Explorer.
bool IsExplorerTab(HWND window) noexcept;
// Whether the tab's toolbar area is there and not hidden (whether the tab itself shows or not).
bool TabToolbarAreaShown(HWND tab) noexcept;
// The tab's folder view (SHELLDLL_DefView), null when there is none.
HWND TabFolderView(HWND tab) noexcept;
// The folder view's list view, null when there is none.
HWND TabListView(HWND tab) noexcept;

}  // namespace vantorel
