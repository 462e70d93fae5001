#pragma once
// Which way Filter mode can hide the items of a window's folder view. Asked afresh on every run.
#include <windows.h>
#include <exdisp.h>
#include <shobjidl.h>

#include "framework/com_ptr.h"

namespace vantorel {

enum class FilterWay {
  kFilterSite,       // the browser (or its view) takes a filter object: IFolderFilterSite
  kListViewWrapper,  // a real list view whose inserts the filtering wrapper refuses
  kSelectMatches,    // neither: the window's items cannot be hidden, the matches are selected
};

// The way for the browser's window: its filter site where the browser or else its active view
// answers IFolderFilterSite (given in site when asked for); else the wrapper where listView (the
// folder view's list view, see FindFolderListView) is a window; else selecting the matches.
FilterWay ChooseFilterWay(IWebBrowser2* browser, HWND listView, ComPtr<IFolderFilterSite>* site = nullptr) noexcept;

}  // namespace vantorel
