#pragma once
// Shared pieces of the stand-in's tests: steps written as on the command line, an event sink
// and a small desk band built on the module's COM object base.
#include <windows.h>
#include <exdisp.h>
#include <exdispid.h>
#include <ocidl.h>
#include <shlobj.h>
#include <shobjidl.h>

#include <string>
#include <vector>

#include "framework/com_object.h"
#include "framework/com_ptr.h"
#include "host/scenario_args.h"
#include "tests/support/temp_folder.h"

namespace vantorel::host::test {

using vantorel::test::ItemNames;
using vantorel::test::NumberedNames;
using vantorel::test::Sorted;
using vantorel::test::TempFolder;

std::wstring ClassOf(HWND window);
// The steps of a stand-in command line ("--type b* --key enter"), split and parsed as the
// program's own; a line the program would refuse fails the test.
std::vector<ScenarioStep> StepsOf(const std::wstring& commandLine);

// Records every event; optionally unadvises itself from inside its quit handler.
class TestSink : public ComObject<TestSink>, public IDispatch {
 public:
  explicit TestSink(bool* destroyed = nullptr) : destroyed_(destroyed) {}
  ~TestSink() override {
    if (destroyed_) *destroyed_ = true;
  }
  VANTOREL_IUNKNOWN_METHODS
  static const InterfaceEntry* Interfaces() {
    static const InterfaceEntry table[] = {VANTOREL_INTERFACE(TestSink, IDispatch), {}};
    return table;
  }
  STDMETHODIMP GetTypeInfoCount(UINT* count) override {
    *count = 0;
    return S_OK;
  }
  STDMETHODIMP GetTypeInfo(UINT, LCID, ITypeInfo**) override { return E_NOTIMPL; }
  STDMETHODIMP GetIDsOfNames(REFIID, LPOLESTR*, UINT, LCID, DISPID*) override { return E_NOTIMPL; }
  STDMETHODIMP Invoke(DISPID id, REFIID, LCID, WORD, DISPPARAMS* params, VARIANT*, EXCEPINFO*, UINT*) override;

  std::vector<DISPID> events;
  std::vector<std::wstring> urls;
  bool argumentsWellFormed = true;
  bool disconnectOnQuit = false;
  ComPtr<IConnectionPoint> point;  // for the self-unadvise
  DWORD cookie = 0;
  HWND viewAtDocumentComplete = nullptr;
  HWND (*probe)() = nullptr;

 private:
  bool* destroyed_;
};

// The calls a TestBand received, in order.
struct BandLog {
  std::vector<std::string> calls;
  bool destroyed = false;
};

// A desk band with an edit box as its window; Tab goes back to the host, Enter is consumed.
class TestBand : public ComObject<TestBand>, public IObjectWithSite, public IDeskBand, public IInputObject {
 public:
  explicit TestBand(BandLog* log) : log_(log) {}
  ~TestBand() override;
  VANTOREL_IUNKNOWN_METHODS
  static const InterfaceEntry* Interfaces() {
    static const InterfaceEntry table[] = {VANTOREL_INTERFACE(TestBand, IObjectWithSite),
                                           VANTOREL_INTERFACE(TestBand, IDeskBand),
                                           VANTOREL_INTERFACE_VIA(TestBand, IDeskBand, IDockingWindow),
                                           VANTOREL_INTERFACE_VIA(TestBand, IDeskBand, IOleWindow),
                                           VANTOREL_INTERFACE(TestBand, IInputObject), {}};
    return table;
  }
  STDMETHODIMP SetSite(IUnknown* site) override;
  STDMETHODIMP GetSite(REFIID, void** ppv) override {
    *ppv = nullptr;
    return E_FAIL;
  }
  STDMETHODIMP GetWindow(HWND* out) override {
    *out = window_;
    return S_OK;
  }
  STDMETHODIMP ContextSensitiveHelp(BOOL) override { return E_NOTIMPL; }
  STDMETHODIMP ShowDW(BOOL show) override;
  STDMETHODIMP CloseDW(DWORD) override;
  STDMETHODIMP ResizeBorderDW(LPCRECT, IUnknown*, BOOL) override { return E_NOTIMPL; }
  STDMETHODIMP GetBandInfo(DWORD, DWORD, DESKBANDINFO* info) override;
  STDMETHODIMP UIActivateIO(BOOL activate, MSG*) override;
  STDMETHODIMP HasFocusIO() override { return GetFocus() == window_ ? S_OK : S_FALSE; }
  STDMETHODIMP TranslateAcceleratorIO(MSG* msg) override;

  HWND window() const { return window_; }
  int enters = 0;
  int dispatchedByBand = 0;

 private:
  BandLog* log_;
  HWND window_ = nullptr;
  ComPtr<IInputObjectSite> site_;
};

}  // namespace vantorel::host::test
