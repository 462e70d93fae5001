#include "diagnosis/window_lines.h"

#include <servprov.h>
#include <shlobj.h>
#include <shobjidl.h>

#include "diagnosis/diagnosis_ids.h"
#include "framework/com_ptr.h"
#include "view/filter_way.h"
#include "view/shell_view.h"
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

void AddWindowLines(IWebBrowser2* browser, const BandPlace& place, LANGID language, Report& report) {
  ComPtr<IServiceProvider> services;
  if (browser && FAILED(browser->QueryInterface(IID_PPV_ARGS(services.put())))) services.reset();
  ComPtr<IShellBrowser> shellBrowser = ShellBrowserOf(browser);
  ComPtr<IShellView> shellView;
  if (shellBrowser) shellBrowser->QueryActiveShellView(shellView.put());

  report.push_back({L"host", CheckState::Info,
                    std::wstring(place.inBox ? L"box" : L"toolbar") + L", " + std::to_wstring(place.dpi) + L" DPI, " +
                        SchemeName(place.scheme)});
  report.push_back({L"tabs", CheckState::Info, std::to_wstring(CountTabs(BrowserWindow(browser)))});

  Report answers;
  for (const Asked& asked : kAsked) {
    const bool byBrowser = Answers(shellBrowser.get(), services.get(), *asked.iid);
    const bool byView = Answers(shellView.get(), nullptr, *asked.iid);
    answers.push_back({asked.name, CheckState::Info,
                       std::wstring(L"browser=") + YesNo(byBrowser) + L" view=" + YesNo(byView)});
  }
  // The ways the runs take, asked as they ask: a list view where there is one, else the view.
  HWND listView = FindFolderListView(browser);
  const wchar_t* select = nullptr;
  if (listView) {
    select = L"list view";
  } else if (Answers(shellView.get(), nullptr, IID_IFolderView)) {
    select = L"shell view";
  }
  const wchar_t* filter = nullptr;
  switch (ChooseFilterWay(browser, listView)) {
    case FilterWay::kFilterSite: filter = L"filter site"; break;
    case FilterWay::kListViewWrapper: filter = L"list view wrapper"; break;
    case FilterWay::kSelectMatches: break;
  }
  report.push_back({L"view", CheckState::Info, listView ? L"list" : L"items"});
  report.push_back({L"select", select ? CheckState::Ok : CheckState::Fail,
                    select ? std::wstring(select) : L"none: " + Text(language, IDS_SELECT_NONE)});
  // Where nothing hides items, Filter mode selects the matches instead.
  report.push_back({L"filter", filter ? CheckState::Ok : CheckState::Warn,
                    filter ? std::wstring(filter) : L"none: " + Text(language, IDS_FILTER_NONE)});
  report.insert(report.end(), answers.begin(), answers.end());
}

}  // namespace vantorel
