#include "view/view_locator.h"

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

HWND FindFolderListView(HWND topLevel) noexcept {
  HWND view = FirstChild(topLevel, L"SHELLDLL_DefView");
  if (!view) return nullptr;
  if (HWND list = FirstChild(view, L"SysListView32")) return list;
  HWND dui = FirstChild(view, L"DUIViewWndClassName");
  HWND surface = FirstChild(dui, L"DirectUIHWND");
  HWND sink = FirstChild(surface, L"CtrlNotifySink");
  return FirstChild(sink, L"SysListView32");
}

HWND FindFolderListView(IWebBrowser2* browser) noexcept {
  HWND topLevel = BrowserWindow(browser);
  return topLevel ? FindFolderListView(topLevel) : nullptr;
}

HWND FindFolderTree(HWND topLevel) noexcept {
  HWND bar = FirstChild(topLevel, L"BaseBar");
  HWND rebar = FirstChild(bar, L"ReBarWindow32");
  return FirstChild(rebar, L"SysTreeView32");
}

HWND FindFolderTree(IWebBrowser2* browser) noexcept {
  HWND topLevel = BrowserWindow(browser);
  return topLevel ? FindFolderTree(topLevel) : nullptr;
}

}  // namespace vantorel
