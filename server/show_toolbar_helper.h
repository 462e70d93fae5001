#pragma once
// The browser helper object that `regsvr32 /i:show` registers: Explorer creates one in each
// of its windows and hands it the window's browser. The first time for each user it asks that
// window to show the band, and records in the user's registry that it did, so that a user who
// hides the toolbar afterwards keeps it hidden.
// In the tabbed Explorer of Windows 11 the helper of each tab also watches its tab: where
// Explorer keeps the tab's toolbar area hidden, the band is hosted in a box of its own.
#include <windows.h>
#include <ocidl.h>

#include <memory>

#include "framework/com_object.h"
#include "box/tab_watch.h"
#include "framework/registration_places.h"

namespace vantorel {

// HKEY_CURRENT_USER key of the record, and its DWORD value (1 once the band was shown).
constexpr wchar_t kUserKey[] = L"Software\\Vantorel";
constexpr wchar_t kToolbarShownValue[] = L"ToolbarShown";

class CShowToolbarHelper : public ComObject<CShowToolbarHelper>, public IObjectWithSite {
 public:
  CShowToolbarHelper() noexcept = default;
  ~CShowToolbarHelper() override;
  VANTOREL_IUNKNOWN_METHODS
  static const InterfaceEntry* Interfaces();

  STDMETHODIMP SetSite(IUnknown* site) override;
  STDMETHODIMP GetSite(REFIID riid, void** ppv) override;

 private:
  // A watch of the site's tab, when the site is a tab of the tabbed Explorer.
  void WatchTab(IUnknown* site);
  void StopWatching() noexcept;

  ComPtr<IUnknown> site_;
  std::unique_ptr<CTabWatch> watch_;
};

// For the class table: aggregated when outer is given.
HRESULT CreateShowToolbarHelper(IUnknown* outer, REFIID riid, void** ppv) noexcept;

}  // namespace vantorel
