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

void AddWindowLines(IWebBrowser2* browser, const BandPlace& place, LANGID language, Report& report);

}  // namespace vantorel
