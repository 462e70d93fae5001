#pragma once
// The desk band object that Explorer hosts: its COM interfaces, its band window (the message
// map of the window base) and the member objects it owns.
#include <windows.h>
#include <ocidl.h>
#include <shlobj.h>
#include <shobjidl.h>

#include "framework/com_object.h"
#include "framework/com_ptr.h"
#include "framework/ui_language.h"
#include "framework/window.h"
#include "input/edit_window.h"
#include "settings/setting_dialog.h"
#include "view/band_view.h"
#include "vantorel_h.h"

namespace vantorel {

class CSelectorCore : public ComObject<CSelectorCore>,
                      public IObjectWithSite,
                      public ISelectorCore,
                      public IPersistStream,
                      public IDeskBand,
                      public IInputObject,
                      public Window {
 public:
  CSelectorCore() noexcept;
  ~CSelectorCore() override;

  VANTOREL_IUNKNOWN_METHODS
  static const InterfaceEntry* Interfaces();

  // IObjectWithSite
  STDMETHODIMP SetSite(IUnknown* site) override;
  STDMETHODIMP GetSite(REFIID riid, void** ppv) override;

  // IDispatch (ISelectorCore): type information from the type library; Invoke receives the
  // browser's DWebBrowserEvents2.
  STDMETHODIMP GetTypeInfoCount(UINT* count) override;
  STDMETHODIMP GetTypeInfo(UINT index, LCID lcid, ITypeInfo** info) override;
  STDMETHODIMP GetIDsOfNames(REFIID riid, LPOLESTR* names, UINT count, LCID lcid, DISPID* ids) override;
  STDMETHODIMP Invoke(DISPID dispid, REFIID riid, LCID lcid, WORD flags, DISPPARAMS* params,
                      VARIANT* result, EXCEPINFO* excepInfo, UINT* argErr) override;

  // IPersist, IPersistStream: the band keeps nothing in the host's stream.
  STDMETHODIMP GetClassID(CLSID* clsid) override;
  STDMETHODIMP IsDirty() override;
  STDMETHODIMP Load(IStream* stream) override;
  STDMETHODIMP Save(IStream* stream, BOOL clearDirty) override;
  STDMETHODIMP GetSizeMax(ULARGE_INTEGER* size) override;

  // IOleWindow, IDockingWindow, IDeskBand
  STDMETHODIMP GetWindow(HWND* window) override;
  STDMETHODIMP ContextSensitiveHelp(BOOL enterMode) override;
  STDMETHODIMP ShowDW(BOOL show) override;
  STDMETHODIMP CloseDW(DWORD reserved) override;
  STDMETHODIMP ResizeBorderDW(LPCRECT border, IUnknown* site, BOOL reserved) override;
  STDMETHODIMP GetBandInfo(DWORD bandId, DWORD viewMode, DESKBANDINFO* info) override;

  // IInputObject
  STDMETHODIMP UIActivateIO(BOOL activate, MSG* msg) override;
  STDMETHODIMP HasFocusIO() override;
  STDMETHODIMP TranslateAcceleratorIO(MSG* msg) override;

  CEditWindow& InputBox() { return editBox_; }
  CSettingDlg& SettingDialog() { return settingDialog_; }
  LANGID UiLanguage() const { return uiLanguage_; }
  Settings& CurrentSettings() { return settings_; }
  DWORD NoMatch() const { return view_.NoMatch(); }

 protected:
  bool HandleMessage(UINT msg, WPARAM wParam, LPARAM lParam, LRESULT& result) override;

 private:
  void CreateBandWindow(HWND parent);
  void ReportFocus();
  bool LoadTypeInfo();

  // Band window handlers.
  void LayOut();
  // A move to a display of another scale: the box takes the new scale, the band is laid out
  // again and the site is told that the band's sizes changed.
  void OnDpiChanged();
  LRESULT OnColorEdit(HDC dc);
  // Windows announced a change of the user's colours: the scheme is decided again and every
  // window of the band repainted in it.
  void FollowColorScheme();
  bool PaintBackground(HDC dc);
  LRESULT OnModeMenu(LPARAM lParam);
  void OnClear();
  bool CopyDiagnosis();
  void EndModeChange();
  void OnSettingsChanged();

  HWND parentWindow_ = nullptr;
  ComPtr<IInputObjectSite> inputObjectSite_;
  CEditWindow editBox_;
  Settings settings_;
  // The record as this band last read or wrote the file: the band writes only what it changed
  // since, so that closing it does not overwrite a newer choice made in another tab or window.
  Settings stored_;
  CBandView view_{&editBox_, &settings_};  // the browser, its events, the wrapper and the runs
  CSettingDlg settingDialog_;
  DWORD suppressNextMenu_ = 0;
  UINT dpi_ = kDefaultDpi;  // the band window's, from its creation on
  LANGID uiLanguage_ = kJapaneseUi;  // of the menu, dialog and texts, taken when the window is made
  ColorScheme scheme_ = ColorScheme::Light;
  bool watchesColors_ = false;  // a member of the thread's colour scheme watch
  DWORD bandId_ = 0;        // the identifier the site gave in GetBandInfo
  ComPtr<ITypeInfo> typeInfo_;
};

}  // namespace vantorel
