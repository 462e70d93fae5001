#include "host/explorer_toolbars.h"

#include <exdisp.h>

#include "framework/registry.h"
#include "framework/unique_handle.h"

namespace vantorel::host {
namespace {

constexpr wchar_t kToolbarKey[] = L"Software\\Microsoft\\Internet Explorer\\Toolbar";
constexpr wchar_t kHelperObjectsKey[] = L"Software\\Microsoft\\Windows\\CurrentVersion\\Explorer\\Browser Helper Objects";
// The stand-in's own per-user memory of shown (1) and hidden (0) toolbars, as Explorer keeps one.
constexpr wchar_t kShownKey[] = L"Software\\Vantorel Host\\Toolbars";

bool HasValue(HKEY root, const wchar_t* key, const wchar_t* name) {
  return RegGetValueW(root, key, name, RRF_RT_ANY, nullptr, nullptr, nullptr) == ERROR_SUCCESS;
}

// The names of the subkeys (helpers) or DWORD values equal to 1 (shown toolbars) under key.
std::vector<CLSID> ListClsids(HKEY root, const wchar_t* key, bool values) {
  std::vector<CLSID> out;
  HKEY opened = nullptr;
  if (RegOpenKeyExW(root, key, 0, KEY_READ, &opened) != ERROR_SUCCESS) return out;
  const UniqueRegKey handle(opened);
  for (DWORD i = 0;; ++i) {
    wchar_t name[64];
    DWORD length = 64, data = 0, size = sizeof(data), type = 0;
    LSTATUS status =
        values ? RegEnumValueW(handle.get(), i, name, &length, nullptr, &type, reinterpret_cast<BYTE*>(&data), &size)
               : RegEnumKeyExW(handle.get(), i, name, &length, nullptr, nullptr, nullptr, nullptr);
    if (status == ERROR_NO_MORE_ITEMS) break;
    CLSID clsid;
    if (status == ERROR_SUCCESS && (!values || (type == REG_DWORD && data == 1)) &&
        SUCCEEDED(CLSIDFromString(name, &clsid))) {
      out.push_back(clsid);
    }
  }
  return out;
}

}  // namespace

std::wstring ClsidText(REFCLSID clsid) {
  wchar_t text[40] = {};
  StringFromGUID2(clsid, text, 40);
  return text;
}

void ExplorerToolbars::Load() {
  for (const CLSID& clsid : ListClsids(HKEY_CURRENT_USER, kShownKey, true)) Show(clsid, true);
  ComPtr<IWebBrowser2> browser;
  browser.attach(host_.Browser());
  for (const CLSID& clsid : ListClsids(HKEY_LOCAL_MACHINE, kHelperObjectsKey, false)) {
    const std::wstring key = std::wstring(kHelperObjectsKey) + L"\\" + ClsidText(clsid);
    if (HasValue(HKEY_LOCAL_MACHINE, key.c_str(), L"NoExplorer")) continue;
    ComPtr<IObjectWithSite> helper;
    if (FAILED(CoCreateInstance(clsid, nullptr, CLSCTX_INPROC_SERVER, IID_PPV_ARGS(helper.put()))) || !helper) continue;
    helpers_.push_back(helper);
    helper->SetSite(browser.get());
  }
}

void ExplorerToolbars::Unload() noexcept {
  std::vector<ComPtr<IObjectWithSite>> helpers;
  helpers.swap(helpers_);
  for (ComPtr<IObjectWithSite>& helper : helpers) helper->SetSite(nullptr);
}

HRESULT ExplorerToolbars::Show(REFCLSID clsid, bool show) {
  if (!HasValue(HKEY_LOCAL_MACHINE, kToolbarKey, ClsidText(clsid).c_str())) return E_INVALIDARG;
  if (show && band_ != clsid && !host_.ToolbarAreaHidden()) {
    if (host_.StripBand()) return E_FAIL;
    ComPtr<IUnknown> band;
    HRESULT hr = CoCreateInstance(clsid, nullptr, CLSCTX_INPROC_SERVER, IID_PPV_ARGS(band.put()));
    if (SUCCEEDED(hr)) hr = host_.AddBand(band.get());
    if (FAILED(hr)) return hr;
    band_ = clsid;
  } else if (!show && band_ == clsid) {
    band_ = CLSID_NULL;
    host_.RemoveBand();
  }
  registry::SetDword(HKEY_CURRENT_USER, kShownKey, ClsidText(clsid).c_str(), show ? 1 : 0);
  return S_OK;
}

std::vector<CLSID> ExplorerToolbars::Shown() const {
  if (band_ == CLSID_NULL || !host_.StripBand()) return {};
  return {band_};
}

}  // namespace vantorel::host
