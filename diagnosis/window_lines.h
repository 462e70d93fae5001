#pragma once
// The lines that only a band inside an Explorer window can add to the report: how it is hosted,
// the window's tabs and view, which way Select and Filter work there, and what the browser and
// its view answer when asked for the interfaces those ways rest on.
#include <windows.h>
#include <exdisp.h>

#include "diagnosis/report.h"
#include "framework/color_scheme.h"

namespace vantorel {

struct BandPlace {
  bool inBox;  // in a box of its own rather than the toolbar area
  UINT dpi;
  ColorScheme scheme;
};

// Which way each run works in a window, from what its view answers.
struct ViewWays {
  const wchar_t* view;    // "list" (a list view under the folder view) or "items"
  const wchar_t* select;  // "shell view", "list view" or "none"
  const wchar_t* filter;  // "filter site", "list view wrapper" or "none"
};
ViewWays DeriveViewWays(bool viewAnswersFolderView, bool listViewFound, bool filterSite) noexcept;

void AddWindowLines(IWebBrowser2* browser, const BandPlace& place, Report& report);

}  // namespace vantorel
