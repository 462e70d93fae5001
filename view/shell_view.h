#pragma once
// The folder view as its shell view's own interfaces give it: every folder view implements them,
// the list view of old and the DirectUI items view that Windows 7 to 11 show by default alike.
#include <windows.h>
#include <exdisp.h>
#include <shlobj.h>
#include <shobjidl.h>

#include "framework/com_ptr.h"

namespace vantorel {

// The browser's shell browser (its SID_SShellBrowser service): in a tabbed Explorer window the
// browser of the band's own tab. Null without one.
ComPtr<IShellBrowser> ShellBrowserOf(IUnknown* browser) noexcept;
// The view the browser shows (IShellBrowser::QueryActiveShellView), and its IFolderView.
ComPtr<IShellView> ActiveShellView(IUnknown* browser) noexcept;
ComPtr<IFolderView> ActiveFolderView(IUnknown* browser) noexcept;

}  // namespace vantorel
