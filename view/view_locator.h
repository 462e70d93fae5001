#pragma once
// Finds Explorer's folder view list view and folder tree below the top-level window, by window
// class, one level of direct children per step. Nothing is cached: every caller walks again.
#include <windows.h>
#include <exdisp.h>
#include <shlobj.h>

namespace vantorel {

// The browser's top-level window (IWebBrowser2::get_HWND); null without a browser or on failure.
HWND BrowserWindow(IWebBrowser2* browser) noexcept;
// Where the browser's folder view lies: in a tabbed Explorer window the browser's own tab (its
// IShellBrowser window, of class "ShellTabWindowClass"), else the top-level window.
HWND ViewRoot(IWebBrowser2* browser) noexcept;
// Whether the window is a tab of a tabbed Explorer window.
bool IsExplorerTab(HWND window) noexcept;

// The "SysListView32" of the folder view, directly under "SHELLDLL_DefView" or on the DirectUI
// path "SHELLDLL_DefView" > "DUIViewWndClassName" > "DirectUIHWND" > "CtrlNotifySink". Null when
// there is none. The "SHELLDLL_DefView" is a child of a top-level window, or of a tab at the end of
// "DUIViewWndClassName" > "DirectUIHWND" > "CtrlNotifySink".
HWND FindFolderListView(HWND root) noexcept;
HWND FindFolderView(HWND root) noexcept;  // the "SHELLDLL_DefView" itself
// The same from the browser's view root; null without a browser or when get_HWND fails.
HWND FindFolderListView(IWebBrowser2* browser) noexcept;

// The window of the folder view that takes its keys: the list view, or in the items view of
// Windows 7 to 11 the "DirectUIHWND" directly under "SHELLDLL_DefView". Null when there is none.
HWND FindViewKeysWindow(HWND root) noexcept;
HWND FindViewKeysWindow(IWebBrowser2* browser) noexcept;

// "BaseBar" > "ReBarWindow32" > "SysTreeView32"; found means shown, visible or not.
HWND FindFolderTree(HWND root) noexcept;
HWND FindFolderTree(IWebBrowser2* browser) noexcept;

}  // namespace vantorel
