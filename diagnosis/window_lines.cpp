#include "diagnosis/window_lines.h"

#include <servprov.h>
#include <shlobj.h>
#include <shobjidl.h>

#include "diagnosis/diagnosis_ids.h"
#include "framework/com_ptr.h"
#include "view/view_locator.h"

namespace vantorel {
namespace {

struct Asked {
  const wchar_t* name;
  const IID* iid;
};
const Asked kAsked[] = {{L"IFolderFilterSite", &IID_IFolderFilterSite},
                        {L"IFolderViewOptions", &IID_IFolderViewOptions},
                        {L"ICommDlgBrowser", &IID_ICommDlgBrowser},
                        {L"IFolderView2", &IID_IFolderView2}};

// Whether the object answers the interface, by QueryInterface or, for the browser, as a service
// of its own.
bool Answers(IUnknown* object, IServiceProvider* services, REFIID iid) {
  ComPtr<IUnknown> answer;
  if (object && SUCCEEDED(object->QueryInterface(iid, answer.put_void())) && answer) return true;
  return services && SUCCEEDED(services->QueryService(SID_SShellBrowser, iid, answer.put_void())) && answer;
}

const wchar_t* YesNo(bool yes) { return yes ? L"yes" : L"no"; }

const wchar_t* SchemeName(ColorScheme scheme) {
  switch (scheme) {
    case ColorScheme::Dark: return L"dark";
    case ColorScheme::Contrast: return L"contrast";
    case ColorScheme::Light: break;
  }
  return L"light";
}

// The tabs of a tabbed frame; 0 for a window without tabs.
int CountTabs(HWND frame) {
  int tabs = 0;
  for (HWND tab = nullptr; frame && (tab = FindWindowExW(frame, tab, L"ShellTabWindowClass", nullptr)) != nullptr;) {
    ++tabs;
  }
  return tabs;
}

}  // namespace

ViewWays DeriveViewWays(bool viewAnswersFolderView, bool listViewFound, bool filterSite) noexcept {
  return {listViewFound ? L"list" : L"items",
          viewAnswersFolderView ? L"shell view" : listViewFound ? L"list view" : L"none",
          filterSite ? L"filter site" : listViewFound ? L"list view wrapper" : L"none"};
}

void AddWindowLines(IWebBrowser2* browser, const BandPlace& place, Report& report) {
  ComPtr<IServiceProvider> services;
  ComPtr<IShellBrowser> shellBrowser;
  ComPtr<IShellView> shellView;
  if (browser && SUCCEEDED(browser->QueryInterface(IID_PPV_ARGS(services.put())))) {
    services->QueryService(SID_SShellBrowser, IID_PPV_ARGS(shellBrowser.put()));
  }
  if (shellBrowser) shellBrowser->QueryActiveShellView(shellView.put());

  report.push_back({L"host", CheckState::Info,
                    std::wstring(place.inBox ? L"box" : L"toolbar") + L", " + std::to_wstring(place.dpi) + L" DPI, " +
                        SchemeName(place.scheme)});
  report.push_back({L"tabs", CheckState::Info, std::to_wstring(CountTabs(BrowserWindow(browser)))});

  Report answers;
  bool browserFilterSite = false, viewFilterSite = false;
  for (const Asked& asked : kAsked) {
    const bool byBrowser = Answers(shellBrowser.get(), services.get(), *asked.iid);
    const bool byView = Answers(shellView.get(), nullptr, *asked.iid);
    if (asked.iid == &IID_IFolderFilterSite) {
      browserFilterSite = byBrowser;
      viewFilterSite = byView;
    }
    answers.push_back({asked.name, CheckState::Info,
                       std::wstring(L"browser=") + YesNo(byBrowser) + L" view=" + YesNo(byView)});
  }
  const bool folderView = Answers(shellView.get(), nullptr, IID_IFolderView);
  const ViewWays ways = DeriveViewWays(folderView, FindFolderListView(browser) != nullptr,
                                       browserFilterSite || viewFilterSite);
  report.push_back({L"view", CheckState::Info, ways.view});
  const bool canSelect = lstrcmpW(ways.select, L"none") != 0, canFilter = lstrcmpW(ways.filter, L"none") != 0;
  report.push_back({L"select", canSelect ? CheckState::Ok : CheckState::Fail,
                    canSelect ? std::wstring(ways.select) : L"none: " + Text(IDS_SELECT_NONE)});
  report.push_back({L"filter", canFilter ? CheckState::Ok : CheckState::Fail,
                    canFilter ? std::wstring(ways.filter) : L"none: " + Text(IDS_FILTER_NONE)});
  report.insert(report.end(), answers.begin(), answers.end());
}

}  // namespace vantorel
