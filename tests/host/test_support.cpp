#include "tests/host/test_support.h"

#include <commctrl.h>
#include <gtest/gtest.h>

#include "host/scenario_output.h"

namespace vantorel::host::test {

std::wstring ClassOf(HWND window) {
  wchar_t name[256] = L"";
  if (window) GetClassNameW(window, name, 256);
  return name;
}

std::vector<ScenarioStep> StepsOf(const std::wstring& commandLine) {
  int count = 0;
  LPWSTR* words = CommandLineToArgvW((L"--folder . " + commandLine).c_str(), &count);
  ScenarioArgs args;
  std::wstring error;
  EXPECT_TRUE(words && ParseScenarioArgs({words, words + count}, args, error)) << Utf8(commandLine + L": " + error);
  LocalFree(words);
  return args.steps;
}

STDMETHODIMP TestSink::Invoke(DISPID id, REFIID, LCID, WORD, DISPPARAMS* params, VARIANT*, EXCEPINFO*, UINT*) {
  events.push_back(id);
  if (id == DISPID_DOCUMENTCOMPLETE) {
    if (!params || params->cArgs != 2 || V_VT(&params->rgvarg[1]) != VT_DISPATCH ||
        !V_DISPATCH(&params->rgvarg[1]) || V_VT(&params->rgvarg[0]) != (VT_BYREF | VT_VARIANT) ||
        !V_VARIANTREF(&params->rgvarg[0]) || V_VT(V_VARIANTREF(&params->rgvarg[0])) != VT_BSTR) {
      argumentsWellFormed = false;
    } else {
      urls.push_back(V_BSTR(V_VARIANTREF(&params->rgvarg[0])));
    }
    if (probe) viewAtDocumentComplete = probe();
  }
  if (id == DISPID_ONQUIT && disconnectOnQuit && point) {
    ComPtr<IConnectionPoint> p = std::move(point);
    // May drop the connection point's last reference to this sink.
    AddRef();
    p->Unadvise(cookie);
    Release();
  }
  return S_OK;
}

TestBand::~TestBand() {
  if (window_ && IsWindow(window_)) DestroyWindow(window_);
  if (log_) {
    log_->calls.push_back("destroyed");
    log_->destroyed = true;
  }
}

STDMETHODIMP TestBand::SetSite(IUnknown* site) {
  log_->calls.push_back(site ? "SetSite" : "SetSite(NULL)");
  if (!site) {
    site_.reset();
    return S_OK;
  }
  ComPtr<IOleWindow> window;
  if (FAILED(site->QueryInterface(IID_IOleWindow, window.put_void()))) return E_FAIL;
  site->QueryInterface(IID_IInputObjectSite, site_.put_void());
  HWND parent = nullptr;
  if (FAILED(window->GetWindow(&parent))) return E_FAIL;
  window_ = CreateWindowExW(WS_EX_CLIENTEDGE, L"EDIT", L"", WS_CHILD | WS_TABSTOP, 0, 0, 0, 0, parent, nullptr,
                            nullptr, nullptr);
  return window_ ? S_OK : E_FAIL;
}

STDMETHODIMP TestBand::ShowDW(BOOL show) {
  log_->calls.push_back(show ? "ShowDW(TRUE)" : "ShowDW(FALSE)");
  ShowWindow(window_, show ? SW_SHOW : SW_HIDE);
  return S_OK;
}

STDMETHODIMP TestBand::CloseDW(DWORD) {
  log_->calls.push_back("CloseDW");
  ShowWindow(window_, SW_HIDE);
  return S_OK;
}

STDMETHODIMP TestBand::GetBandInfo(DWORD, DWORD, DESKBANDINFO* info) {
  log_->calls.push_back("GetBandInfo");
  if (!info) return S_OK;
  if (info->dwMask & DBIM_MINSIZE) info->ptMinSize = {120, 24};
  if (info->dwMask & DBIM_MAXSIZE) info->ptMaxSize = {500, -1};
  if (info->dwMask & DBIM_ACTUAL) info->ptActual = {120, 24};
  if (info->dwMask & DBIM_TITLE) info->wszTitle[0] = L'\0';
  if (info->dwMask & DBIM_MODEFLAGS) info->dwModeFlags = DBIMF_NORMAL;
  info->dwMask &= ~DBIM_BKCOLOR;
  return S_OK;
}

STDMETHODIMP TestBand::UIActivateIO(BOOL activate, MSG*) {
  if (activate) SetFocus(window_);
  return S_OK;
}

STDMETHODIMP TestBand::TranslateAcceleratorIO(MSG* msg) {
  if (msg->message == WM_KEYDOWN && msg->wParam == VK_RETURN) {
    ++enters;
    return S_OK;
  }
  if (msg->message == WM_KEYDOWN && msg->wParam == VK_TAB) {
    if (site_) site_->OnFocusChangeIS(static_cast<IObjectWithSite*>(this), TRUE);
    return S_FALSE;
  }
  if (msg->message == WM_KEYDOWN && msg->wParam == 'X') {
    ++dispatchedByBand;
    TranslateMessage(msg);
    DispatchMessageW(msg);
    return S_OK;
  }
  return S_FALSE;
}

}  // namespace vantorel::host::test
