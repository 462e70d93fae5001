#include "view/view_locator.h"

#include <servprov.h>
#include <shlguid.h>

#include "framework/com_ptr.h"
#include "view/shell_view.h"

namespace vantorel {
namespace {

HWND FirstChild(HWND parent, const wchar_t* className) noexcept {
  if (!parent) return nullptr;
  return FindWindowExW(parent, nullptr, className, nullptr);
}

}  // namespace

HWND BrowserWindow(IWebBrowser2* browser) noexcept {
  if (!browser) return nullptr;
  SHANDLE_PTR handle = 0;
  if (FAILED(browser->get_HWND(&handle))) return nullptr;
  return reinterpret_cast<HWND>(handle);
}

HWND ViewRoot(IWebBrowser2* browser) noexcept {
  HWND topLevel = BrowserWindow(browser);
  ComPtr<IShellBrowser> shellBrowser = topLevel ? ShellBrowserOf(browser) : nullptr;
  HWND tab = nullptr;
  if (shellBrowser && SUCCEEDED(shellBrowser->GetWindow(&tab)) && IsExplorerTab(tab)) {
    return tab;
  }
  return topLevel;
}

bool IsExplorerTab(HWND window) noexcept {
  wchar_t name[32] = L"";
  return window && GetClassNameW(window, name, 32) && lstrcmpW(name, L"ShellTabWindowClass") == 0;
}

HWND FindFolderView(HWND root) noexcept {
  if (!IsExplorerTab(root)) return FirstChild(root, L"SHELLDLL_DefView");
  HWND dui = FirstChild(root, L"DUIViewWndClassName");
  HWND surface = FirstChild(dui, L"DirectUIHWND");
  return FirstChild(FirstChild(surface, L"CtrlNotifySink"), L"SHELLDLL_DefView");
}

HWND FindFolderListView(HWND root) noexcept {
  HWND view = FindFolderView(root);
  if (!view) return nullptr;
  if (HWND list = FirstChild(view, L"SysListView32")) return list;
  HWND dui = FirstChild(view, L"DUIViewWndClassName");
  HWND surface = FirstChild(dui, L"DirectUIHWND");
  HWND sink = FirstChild(surface, L"CtrlNotifySink");
  return FirstChild(sink, L"SysListView32");
}

HWND FindFolderListView(IWebBrowser2* browser) noexcept {
  HWND root = ViewRoot(browser);
  return root ? FindFolderListView(root) : nullptr;
}

HWND FindViewKeysWindow(HWND root) noexcept {
  if (HWND list = FindFolderListView(root)) return list;
  return FirstChild(FindFolderView(root), L"DirectUIHWND");
}

HWND FindViewKeysWindow(IWebBrowser2* browser) noexcept {
  HWND root = ViewRoot(browser);
  return root ? FindViewKeysWindow(root) : nullptr;
}

HWND FindFolderTree(HWND root) noexcept {
  HWND bar = FirstChild(root, L"BaseBar");
  HWND rebar = FirstChild(bar, L"ReBarWindow32");
  return FirstChild(rebar, L"SysTreeView32");
}

HWND FindFolderTree(IWebBrowser2* browser) noexcept {
  HWND root = ViewRoot(browser);
  return root ? FindFolderTree(root) : nullptr;
}

}  // namespace vantorel
