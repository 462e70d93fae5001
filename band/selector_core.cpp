#include "band/selector_core.h"

#include <exdisp.h>
#include <shlguid.h>

#include "band/band_messages.h"
#include "band/color_scheme_watch.h"
#include "band/selector_core_factory.h"
#include "framework/activation_context.h"
#include "framework/guard.h"
#include "settings/settings.h"
#include "view/view_locator.h"

namespace vantorel {
namespace {

constexpr DWORD kBandWindowStyle = WS_CHILD | WS_VISIBLE | WS_CLIPSIBLINGS | WS_TABSTOP | CCS_TOP |
                                   CCS_NORESIZE | CCS_NOPARENTALIGN | CCS_NODIVIDER;
constexpr DWORD kInputBoxStyle = WS_CHILD | WS_VISIBLE | ES_MULTILINE | ES_AUTOHSCROLL;
constexpr int kBandMinWidth = 120;
constexpr int kBandMaxWidth = 500;
constexpr int kBandHeight = 22;
constexpr InputBoxMessages kInputBoxMessages = {WM_BAND_MODE_MENU, WM_BAND_CLEAR, WM_BAND_RUN};

const WindowClassSpec kBandWindowClass = {L"Vantorel Toolbar", nullptr,
                                          CS_HREDRAW | CS_VREDRAW | CS_DBLCLKS,
                                          reinterpret_cast<HBRUSH>(COLOR_WINDOW + 1), IDC_ARROW};

}  // namespace

HRESULT CreateSelectorCore(IUnknown* outer, REFIID riid, void** ppv) noexcept {
  return ComObject<CSelectorCore>::CreateInstance(outer, riid, ppv);
}

CSelectorCore::CSelectorCore() noexcept {
  // A message to any of the band's windows keeps the band alive until it is handled.
  SetLifetimeOwner(ObjectUnknown());
  editBox_.SetLifetimeOwner(ObjectUnknown());
  editBox_.HistoryBox().SetLifetimeOwner(ObjectUnknown());
  view_.Wrapper().SetLifetimeOwner(ObjectUnknown());
  view_.Keys().SetLifetimeOwner(ObjectUnknown());
}

const InterfaceEntry* CSelectorCore::Interfaces() {
  static const InterfaceEntry table[] = {
      VANTOREL_INTERFACE_IID(CSelectorCore, ISelectorCore, IID_ISelectorCore),
      VANTOREL_INTERFACE_VIA(CSelectorCore, ISelectorCore, IDispatch),
      VANTOREL_INTERFACE(CSelectorCore, IObjectWithSite),
      VANTOREL_INTERFACE_VIA(CSelectorCore, IPersistStream, IPersist),
      VANTOREL_INTERFACE(CSelectorCore, IPersistStream),
      VANTOREL_INTERFACE_VIA(CSelectorCore, IDeskBand, IOleWindow),
      VANTOREL_INTERFACE_VIA(CSelectorCore, IDeskBand, IDockingWindow),
      VANTOREL_INTERFACE(CSelectorCore, IDeskBand),
      VANTOREL_INTERFACE(CSelectorCore, IInputObject),
      {}};
  return table;
}

CSelectorCore::~CSelectorCore() {
  if (settings_.RunMode != stored_.RunMode || settings_.Options != stored_.Options) SaveSettings(settings_);
  DestroyOwnWindow();  // the input box goes with it
  settingDialog_.Destroy();
  if (watchesColors_) LeaveColorSchemeWatch();
}

// ---- IObjectWithSite ----

STDMETHODIMP CSelectorCore::SetSite(IUnknown* site) {
  return GuardHresult([&]() -> HRESULT {
    if (!site) {  // let go of the browser and the site; the windows stay for GetWindow
      view_.Detach(true);
      inputObjectSite_.reset();
      return S_OK;
    }
    ComPtr<IOleWindow> oleWindow;
    ComPtr<IServiceProvider> services;
    site->QueryInterface(IID_PPV_ARGS(oleWindow.put()));
    site->QueryInterface(IID_PPV_ARGS(services.put()));

    ComPtr<IInputObjectSite> inputSite;
    site->QueryInterface(IID_PPV_ARGS(inputSite.put()));
    inputObjectSite_ = inputSite;

    // A later site keeps the browser and its connection; a band let go takes the new one.
    ComPtr<IWebBrowser2> browser;
    if (!view_.Browser() && services) services->QueryService(SID_SWebBrowserApp, IID_PPV_ARGS(browser.put()));
    if (browser) view_.Attach(browser.get(), static_cast<IDispatch*>(static_cast<ISelectorCore*>(this)));
    if (!oleWindow) return E_FAIL;
    HWND parent = nullptr;
    if (FAILED(oleWindow->GetWindow(&parent))) return E_FAIL;
    parentWindow_ = parent;
    if (hwnd()) {
      SetParent(hwnd(), parent);
    } else {
      CreateBandWindow(parent);
    }
    return S_OK;
  });
}

void CSelectorCore::CreateBandWindow(HWND parent) {
  ScopedModuleActivation activation;
  Create(kBandWindowClass, parent, nullptr, kBandWindowStyle, 0, 0, 0, 0, 0, nullptr);
  if (hwnd()) watchesColors_ = JoinColorSchemeWatch();
  LoadSettings(settings_);
  stored_ = settings_;
  uiLanguage_ = PreferredUiLanguage();
  if (hwnd() && editBox_.CreateBox(hwnd(), kInputBoxStyle, WS_EX_CLIENTEDGE, kInputBoxMessages, uiLanguage_)) {
    dpi_ = WindowDpi(hwnd());
    editBox_.SetScale(dpi_);  // at 96 DPI the stock GUI font, as before any scaling
    scheme_ = CurrentColorScheme();
    editBox_.SetColorScheme(scheme_);
    editBox_.SetRunState(settings_.RunMode, view_.NoMatch());
    editBox_.UpdateHistoryBox((settings_.Options & kKeepHistoryOption) != 0,
                                (settings_.Options & kSortHistoryOption) != 0);
  }
  settingDialog_.Create(BrowserWindow(view_.Browser()), uiLanguage_);
  view_.Wrapper().SetNotifyWindow(hwnd(), WM_BAND_FOCUS_INPUT);
  view_.Keys().SetNotifyWindow(hwnd(), WM_BAND_FOCUS_INPUT);
}

STDMETHODIMP CSelectorCore::GetSite(REFIID, void** ppv) {
  if (!ppv) return E_POINTER;
  *ppv = nullptr;  // the band keeps no reference to the site object itself
  return E_FAIL;
}

// ---- IDispatch ----

bool CSelectorCore::LoadTypeInfo() {
  if (typeInfo_) return true;
  wchar_t path[MAX_PATH];
  DWORD length = GetModuleFileNameW(Module::Instance(), path, MAX_PATH);
  if (length == 0 || length >= MAX_PATH) return false;
  ComPtr<ITypeLib> library;
  if (FAILED(LoadTypeLibEx(path, REGKIND_NONE, library.put())) || !library) return false;
  return SUCCEEDED(library->GetTypeInfoOfGuid(IID_ISelectorCore, typeInfo_.put())) && typeInfo_;
}

STDMETHODIMP CSelectorCore::GetTypeInfoCount(UINT* count) {
  if (!count) return E_POINTER;
  *count = 1;
  return S_OK;
}

STDMETHODIMP CSelectorCore::GetTypeInfo(UINT index, LCID, ITypeInfo** info) {
  if (!info) return E_POINTER;
  *info = nullptr;
  if (index != 0) return DISP_E_BADINDEX;
  return GuardHresult([&]() -> HRESULT {
    if (!LoadTypeInfo()) return TYPE_E_CANTLOADLIBRARY;
    return typeInfo_.CopyTo(info);
  });
}

STDMETHODIMP CSelectorCore::GetIDsOfNames(REFIID riid, LPOLESTR* names, UINT count, LCID, DISPID* ids) {
  if (riid != IID_NULL) return DISP_E_UNKNOWNINTERFACE;
  return GuardHresult([&]() -> HRESULT {
    if (!LoadTypeInfo()) return TYPE_E_CANTLOADLIBRARY;
    return DispGetIDsOfNames(typeInfo_.get(), names, count, ids);
  });
}

STDMETHODIMP CSelectorCore::Invoke(DISPID dispid, REFIID, LCID, WORD, DISPPARAMS* params, VARIANT*,
                                   EXCEPINFO*, UINT*) {
  // The quit event drops the browser's reference; the object lives to the end of the call.
  ComPtr<IUnknown> hold(ObjectUnknown());
  return GuardHresult([&]() -> HRESULT { return view_.OnBrowserEvent(dispid, params); });
}

// ---- IPersist, IPersistStream ----

STDMETHODIMP CSelectorCore::GetClassID(CLSID* clsid) {
  if (!clsid) return E_POINTER;
  *clsid = CLSID_SelectorCore;
  return S_OK;
}
STDMETHODIMP CSelectorCore::IsDirty() { return S_FALSE; }
STDMETHODIMP CSelectorCore::Load(IStream*) { return S_OK; }
STDMETHODIMP CSelectorCore::Save(IStream*, BOOL) { return S_OK; }
STDMETHODIMP CSelectorCore::GetSizeMax(ULARGE_INTEGER*) { return E_NOTIMPL; }

// ---- IOleWindow, IDockingWindow, IDeskBand ----

STDMETHODIMP CSelectorCore::GetWindow(HWND* window) {
  if (!window) return E_POINTER;
  *window = hwnd();
  return S_OK;
}
STDMETHODIMP CSelectorCore::ContextSensitiveHelp(BOOL) { return E_NOTIMPL; }

STDMETHODIMP CSelectorCore::ShowDW(BOOL show) {
  return GuardHresult([&]() -> HRESULT {
    // In Explorer's toolbar the frame takes the focus, as it always has; a band in a window of
    // its own over the frame (a tab's box) leaves the focus where it is.
    HWND top = BrowserWindow(view_.Browser());
    const bool inBox = top && hwnd() && GetAncestor(hwnd(), GA_ROOT) != top;
    if (top && !inBox) SetFocus(top);
    if (hwnd()) ShowWindow(hwnd(), show ? SW_SHOW : SW_HIDE);
    // A box is hidden with its tab: the band's open settings dialog goes and comes back with it.
    if (inBox) settingDialog_.ShowWithBand(show != FALSE);
    return S_OK;
  });
}

STDMETHODIMP CSelectorCore::CloseDW(DWORD) {
  ShowDW(FALSE);
  // Explorer removes the band: the view lets go of the browser, its list view shown unfiltered.
  return GuardHresult([&]() -> HRESULT { view_.Detach(true); return S_OK; });
}

STDMETHODIMP CSelectorCore::ResizeBorderDW(LPCRECT, IUnknown*, BOOL) { return E_NOTIMPL; }

STDMETHODIMP CSelectorCore::GetBandInfo(DWORD bandId, DWORD, DESKBANDINFO* info) {
  bandId_ = bandId;
  if (!info) return S_OK;
  // Sizes at 96 DPI, scaled to the band window's.
  const POINTL minimum = {ScaleForDpi(kBandMinWidth, dpi_), ScaleForDpi(kBandHeight, dpi_)};
  if (info->dwMask & DBIM_MINSIZE) info->ptMinSize = minimum;
  if (info->dwMask & DBIM_MAXSIZE) info->ptMaxSize = {ScaleForDpi(kBandMaxWidth, dpi_), -1};
  if (info->dwMask & DBIM_INTEGRAL) info->ptIntegral = {0, 0};
  if (info->dwMask & DBIM_ACTUAL) info->ptActual = minimum;
  if (info->dwMask & DBIM_TITLE) info->wszTitle[0] = L'\0';
  if (info->dwMask & DBIM_MODEFLAGS) info->dwModeFlags = DBIMF_NORMAL;
  info->dwMask &= ~static_cast<DWORD>(DBIM_BKCOLOR);  // the host paints its own background
  return S_OK;
}

// ---- IInputObject ----

STDMETHODIMP CSelectorCore::UIActivateIO(BOOL activate, MSG*) {
  if (activate && editBox_.hwnd()) SetFocus(editBox_.hwnd());
  return S_OK;
}

STDMETHODIMP CSelectorCore::HasFocusIO() {
  HWND focus = GetFocus();
  if (focus && (focus == hwnd() || focus == editBox_.hwnd())) return S_OK;
  return S_FALSE;
}

STDMETHODIMP CSelectorCore::TranslateAcceleratorIO(MSG* msg) {
  if (!msg) return S_FALSE;
  ComPtr<IUnknown> hold(ObjectUnknown());  // a run refreshes the browser, which runs messages
  return GuardHresult([&]() -> HRESULT {
    if (msg->message == WM_KEYDOWN && msg->wParam == VK_RETURN) {
      editBox_.TakeHighlightedEntry();  // a row highlighted in the drop-down is what runs
      const bool boxFocused = GetFocus() == editBox_.hwnd();
      view_.RunCurrentMode(true);
      // The box commits its text itself when the run gives the view its focus.
      if (!boxFocused || GetFocus() == editBox_.hwnd()) editBox_.CommitToHistory();
      return S_OK;
    }
    if (msg->message == WM_KEYDOWN && msg->wParam == VK_TAB) {
      ReportFocus();
      return S_FALSE;
    }
    TranslateMessage(msg);
    DispatchMessageW(msg);
    return S_OK;
  });
}

void CSelectorCore::ReportFocus() {
  if (!inputObjectSite_) return;
  ComPtr<IUnknown> self;
  if (SUCCEEDED(QueryInterface(IID_PPV_ARGS(self.put()))) && self) {
    inputObjectSite_->OnFocusChangeIS(self.get(), TRUE);
  }
}

}  // namespace vantorel
