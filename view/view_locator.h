#pragma once
// Finds Explorer's folder view list view and folder tree below the top-level window, by window
// class, one level of direct children per step. Nothing is cached: every caller walks again.
#include <windows.h>
#include <exdisp.h>

namespace vantorel {

// The browser's top-level window (IWebBrowser2::get_HWND); null without a browser or on failure.
HWND BrowserWindow(IWebBrowser2* browser) noexcept;

// The "SysListView32" of the folder view, directly under "SHELLDLL_DefView" or on the DirectUI
// path "SHELLDLL_DefView" > "DUIViewWndClassName" > "DirectUIHWND" > "CtrlNotifySink". Null when
// there is none.
HWND FindFolderListView(HWND topLevel) noexcept;
// The same from the browser's top-level window; null without a browser or when get_HWND fails.
HWND FindFolderListView(IWebBrowser2* browser) noexcept;

// "BaseBar" > "ReBarWindow32" > "SysTreeView32"; found means shown, visible or not.
HWND FindFolderTree(HWND topLevel) noexcept;
HWND FindFolderTree(IWebBrowser2* browser) noexcept;

}  // namespace vantorel
