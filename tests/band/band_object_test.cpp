#include <windows.h>
#include <shobjidl.h>
#include <gtest/gtest.h>

#include <algorithm>
#include <vector>

#include "tests/band/band_fixture.h"
#include "vantorel_h.h"

using namespace vantorel;
using namespace vantorel::test;

namespace {

// Windows of the class anywhere among this thread's windows.
int CountWindowsOfClass(const wchar_t* cls) {
  std::vector<HWND> windows;
  const WNDENUMPROC add = [](HWND hwnd, LPARAM list) -> BOOL {
    reinterpret_cast<std::vector<HWND>*>(list)->push_back(hwnd);
    return TRUE;
  };
  EnumThreadWindows(GetCurrentThreadId(), add, reinterpret_cast<LPARAM>(&windows));
  const size_t topLevel = windows.size();
  for (size_t i = 0; i < topLevel; ++i) EnumChildWindows(windows[i], add, reinterpret_cast<LPARAM>(&windows));
  return static_cast<int>(std::count_if(windows.begin(), windows.end(), [cls](HWND hwnd) {
    wchar_t name[64] = {};
    GetClassNameW(hwnd, name, 64);
    return lstrcmpW(name, cls) == 0;
  }));
}

}  // namespace

TEST_F(BandTest, AnswersItsInterfacesWithOneIdentity) {
  ASSERT_NO_FATAL_FAILURE(StartBand());
  ComPtr<IUnknown> identity;
  ASSERT_EQ(S_OK, band_->QueryInterface(IID_PPV_ARGS(identity.put())));
  const IID* iids[] = {&IID_ISelectorCore, &IID_IDispatch,      &IID_IObjectWithSite, &IID_IPersist,
                       &IID_IPersistStream, &IID_IOleWindow,    &IID_IDockingWindow, &IID_IDeskBand,
                       &IID_IInputObject};
  for (const IID* iid : iids) {
    ComPtr<IUnknown> part;
    ASSERT_EQ(S_OK, band_->QueryInterface(*iid, part.put_void()));
    ComPtr<IUnknown> back;
    ASSERT_EQ(S_OK, part->QueryInterface(IID_PPV_ARGS(back.put())));
    EXPECT_EQ(identity.get(), back.get());
  }
  ComPtr<IUnknown> none;
  EXPECT_EQ(E_NOINTERFACE, band_->QueryInterface(IID_IShellView, none.put_void()));
}

TEST_F(BandTest, SitingCreatesTheBandWindowAndItsChildren) {
  ASSERT_NO_FATAL_FAILURE(StartBand());
  HWND band = BandWindow();
  ASSERT_TRUE(IsWindow(band));
  wchar_t name[64] = {};
  GetClassNameW(band, name, 64);
  EXPECT_STREQ(L"Vantorel Toolbar", name);
  EXPECT_EQ(host_->ToolbarStrip(), GetParent(band));
  EXPECT_EQ(0x5401004Du, static_cast<DWORD>(GetWindowLongW(band, GWL_STYLE)) | WS_VISIBLE);

  HWND box = InputBox();
  ASSERT_TRUE(IsWindow(box));
  EXPECT_EQ(band, GetParent(box));
  GetClassNameW(box, name, 64);
  EXPECT_STREQ(L"Vantorel Editbox", name);
  DWORD style = static_cast<DWORD>(GetWindowLongW(box, GWL_STYLE));
  EXPECT_EQ(static_cast<DWORD>(ES_MULTILINE | ES_AUTOHSCROLL), style & (ES_MULTILINE | ES_AUTOHSCROLL));
  EXPECT_TRUE(GetWindowLongW(box, GWL_EXSTYLE) & WS_EX_CLIENTEDGE);
  EXPECT_EQ(GetStockObject(DEFAULT_GUI_FONT), reinterpret_cast<HGDIOBJ>(SendMessageW(box, WM_GETFONT, 0, 0)));

  HWND dialog = core_->SettingDialog().hwnd();
  ASSERT_TRUE(IsWindow(dialog));
  EXPECT_FALSE(IsWindowVisible(dialog));
  EXPECT_EQ(host_->Frame(), GetWindow(dialog, GW_OWNER));
  EXPECT_EQ(1, host_->AdvisedSinkCount());
}

TEST_F(BandTest, LoadsTheSettingsFileWhenSited) {
  const Settings stored{kRunModeFilter, 0x113};
  ASSERT_NO_FATAL_FAILURE(StartBand(&stored));
  EXPECT_EQ(kRunModeFilter, core_->CurrentSettings().RunMode);
  EXPECT_EQ(0x113u, core_->CurrentSettings().Options);
  EXPECT_EQ(kRunModeFilter, core_->InputBox().RunMode());
}

TEST_F(BandTest, GetBandInfoFillsWhatTheMaskAsks) {
  ASSERT_NO_FATAL_FAILURE(StartBand());
  EXPECT_EQ(S_OK, band_->GetBandInfo(0, 0, nullptr));

  DESKBANDINFO info = {};
  info.dwMask = DBIM_BKCOLOR;
  info.ptMinSize = {7, 7};
  EXPECT_EQ(S_OK, band_->GetBandInfo(0, 0, &info));
  EXPECT_EQ(0u, info.dwMask);
  EXPECT_EQ(7, info.ptMinSize.x);

  DESKBANDINFO all = {};
  all.dwMask = DBIM_MINSIZE | DBIM_MAXSIZE | DBIM_INTEGRAL | DBIM_ACTUAL | DBIM_TITLE | DBIM_MODEFLAGS | DBIM_BKCOLOR;
  lstrcpyW(all.wszTitle, L"old");
  all.dwModeFlags = 0xFF;
  EXPECT_EQ(S_OK, band_->GetBandInfo(5, 3, &all));
  EXPECT_EQ(120, all.ptMinSize.x);
  EXPECT_EQ(22, all.ptMinSize.y);
  EXPECT_EQ(500, all.ptMaxSize.x);
  EXPECT_EQ(-1, all.ptMaxSize.y);
  EXPECT_EQ(0, all.ptIntegral.x);
  EXPECT_EQ(0, all.ptIntegral.y);
  EXPECT_EQ(120, all.ptActual.x);
  EXPECT_EQ(22, all.ptActual.y);
  EXPECT_STREQ(L"", all.wszTitle);
  EXPECT_EQ(static_cast<DWORD>(DBIMF_NORMAL), all.dwModeFlags);
  EXPECT_EQ(0u, all.dwMask & DBIM_BKCOLOR);
}

TEST_F(BandTest, SiteQueriesAndANullSite) {
  ASSERT_NO_FATAL_FAILURE(StartBand());
  ComPtr<IObjectWithSite> withSite = As<IObjectWithSite>();
  void* site = reinterpret_cast<void*>(1);
  EXPECT_EQ(E_FAIL, withSite->GetSite(IID_IUnknown, &site));
  EXPECT_EQ(nullptr, site);
  EXPECT_EQ(E_POINTER, withSite->GetSite(IID_IUnknown, nullptr));

  HWND band = BandWindow();
  EXPECT_EQ(S_OK, withSite->SetSite(nullptr));
  EXPECT_EQ(band, BandWindow());
  EXPECT_EQ(S_OK, band_->ShowDW(FALSE));
  // The stand-in's frame stays hidden in tests, so the band's own visible style tells.
  EXPECT_FALSE(GetWindowLongW(band, GWL_STYLE) & WS_VISIBLE);
  EXPECT_EQ(S_OK, band_->ShowDW(TRUE));
  EXPECT_TRUE(GetWindowLongW(band, GWL_STYLE) & WS_VISIBLE);
  EXPECT_EQ(0, host_->AdvisedSinkCount());  // let go of the browser's events
}

TEST_F(BandTest, SiteWithoutAWindowFailsWithoutABandWindow) {
  // A site object that offers nothing at all.
  class Bare : public ComObject<Bare>, public IServiceProvider {
   public:
    VANTOREL_IUNKNOWN_METHODS
    static const InterfaceEntry* Interfaces() {
      static const InterfaceEntry table[] = {VANTOREL_INTERFACE(Bare, IServiceProvider), {}};
      return table;
    }
    STDMETHODIMP QueryService(REFGUID, REFIID, void** ppv) override {
      *ppv = nullptr;
      return E_NOINTERFACE;
    }
  };
  ComPtr<IObjectWithSite> band;
  ASSERT_EQ(S_OK, CreateSelectorCore(nullptr, IID_PPV_ARGS(band.put())));
  ComPtr<Bare> bare = MakeComObject<Bare>();
  EXPECT_EQ(E_FAIL, band->SetSite(static_cast<IServiceProvider*>(bare.get())));
  ComPtr<IOleWindow> window;
  band.As(window);
  HWND hwnd = reinterpret_cast<HWND>(1);
  EXPECT_EQ(S_OK, window->GetWindow(&hwnd));
  EXPECT_EQ(nullptr, hwnd);
  // Without a browser nothing is run and nothing crashes.
  ComPtr<IInputObject> input;
  band.As(input);
  MSG msg = {};
  msg.message = WM_KEYDOWN;
  msg.wParam = VK_RETURN;
  EXPECT_EQ(S_OK, input->TranslateAcceleratorIO(&msg));
  ComPtr<IDockingWindow> docking;
  band.As(docking);
  EXPECT_EQ(S_OK, docking->ShowDW(TRUE));
}

TEST_F(BandTest, PersistStreamKeepsNothing) {
  ASSERT_NO_FATAL_FAILURE(StartBand());
  ComPtr<IPersistStream> persist = As<IPersistStream>();
  CLSID clsid = {};
  EXPECT_EQ(S_OK, persist->GetClassID(&clsid));
  EXPECT_EQ(CLSID_SelectorCore, clsid);
  EXPECT_EQ(S_FALSE, persist->IsDirty());
  ComPtr<IStream> stream;
  ASSERT_EQ(S_OK, CreateStreamOnHGlobal(nullptr, TRUE, stream.put()));
  EXPECT_EQ(S_OK, persist->Save(stream.get(), TRUE));
  EXPECT_EQ(S_OK, persist->Load(stream.get()));
  STATSTG stat = {};
  stream->Stat(&stat, STATFLAG_NONAME);
  EXPECT_EQ(0u, stat.cbSize.QuadPart);
  ULARGE_INTEGER size;
  EXPECT_EQ(E_NOTIMPL, persist->GetSizeMax(&size));
}

TEST_F(BandTest, FocusIsTheBandWindowOrTheInputBox) {
  ASSERT_NO_FATAL_FAILURE(StartBand());
  ComPtr<IInputObject> input = As<IInputObject>();
  EXPECT_EQ(S_OK, input->UIActivateIO(TRUE, nullptr));
  EXPECT_EQ(InputBox(), GetFocus());
  EXPECT_EQ(S_OK, input->HasFocusIO());
  SetFocus(BandWindow());
  EXPECT_EQ(S_OK, input->HasFocusIO());
  SetFocus(host_->ListView());
  EXPECT_EQ(S_FALSE, input->HasFocusIO());
}

TEST_F(BandTest, EnterRunsTheModeEvenWithoutRunOnInputAndFocusesTheView) {
  const Settings settings{kRunModeSelect, kFoldCase};  // run on input off
  ASSERT_NO_FATAL_FAILURE(StartBand(&settings));
  SetWindowTextW(InputBox(), L"*.txt");
  host_->PumpMessages();
  EXPECT_TRUE(SelectedNames(host_->ListView(), folder_->path()).empty());
  SetFocus(InputBox());
  EXPECT_EQ(S_OK, Key(WM_KEYDOWN, VK_RETURN));
  EXPECT_EQ(3u, SelectedNames(host_->ListView(), folder_->path()).size());
  EXPECT_EQ(host_->ListView(), GetFocus());

  // An empty keyword still moves the focus to the view.
  SetWindowTextW(InputBox(), L"");
  SetFocus(InputBox());
  EXPECT_EQ(S_OK, Key(WM_KEYDOWN, VK_RETURN));
  EXPECT_TRUE(SelectedNames(host_->ListView(), folder_->path()).empty());
  EXPECT_EQ(host_->ListView(), GetFocus());
}

TEST_F(BandTest, EnterInFilterModeKeepsTheFocus) {
  const Settings settings{kRunModeFilter, kFoldCase};
  ASSERT_NO_FATAL_FAILURE(StartBand(&settings));
  SetWindowTextW(InputBox(), L"gamma");
  SetFocus(InputBox());
  EXPECT_EQ(S_OK, Key(WM_KEYDOWN, VK_RETURN));
  host_->PumpMessages();
  EXPECT_EQ(std::vector<std::wstring>{L"gamma.doc"}, ItemNames(host_->ListView(), folder_->path()));
  EXPECT_EQ(InputBox(), GetFocus());
}

TEST_F(BandTest, TabMovesOnAndOtherKeysAreDispatchedByTheBand) {
  ASSERT_NO_FATAL_FAILURE(StartBand());
  SetFocus(InputBox());
  EXPECT_EQ(S_FALSE, Key(WM_KEYDOWN, VK_TAB));
  EXPECT_EQ(1, host_->LastFocusReport());

  SetFocus(InputBox());
  MSG msg = {};
  msg.hwnd = InputBox();
  msg.message = WM_CHAR;
  msg.wParam = L'q';
  EXPECT_EQ(S_OK, As<IInputObject>()->TranslateAcceleratorIO(&msg));
  wchar_t text[8] = {};
  GetWindowTextW(InputBox(), text, 8);
  EXPECT_STREQ(L"q", text);
}

TEST_F(BandTest, TypingRunsOnEveryInputWhenAsked) {
  ASSERT_NO_FATAL_FAILURE(StartBand());  // defaults: run on input on
  Type(L"beta");
  EXPECT_EQ(std::vector<std::wstring>{L"beta.txt"}, SelectedNames(host_->ListView(), folder_->path()));
  EXPECT_EQ(InputBox(), GetFocus());
}

TEST_F(BandTest, InvokeWithoutArgumentsIsRefused) {
  ASSERT_NO_FATAL_FAILURE(StartBand());
  ComPtr<IDispatch> dispatch = As<IDispatch>();
  EXPECT_EQ(E_INVALIDARG, dispatch->Invoke(259, IID_NULL, 0, DISPATCH_METHOD, nullptr, nullptr, nullptr, nullptr));
  DISPPARAMS none = {};
  EXPECT_EQ(S_OK, dispatch->Invoke(1234, IID_NULL, 0, DISPATCH_METHOD, &none, nullptr, nullptr, nullptr));
  UINT count = 0;
  EXPECT_EQ(S_OK, dispatch->GetTypeInfoCount(&count));
  EXPECT_EQ(1u, count);
}

TEST_F(BandTest, GoesWhenTheHostLetsItGo) {
  Settings settings;
  ASSERT_NO_FATAL_FAILURE(StartBand(&settings));
  HWND band = BandWindow();
  // A mode change stays in memory until the band goes.
  core_->CurrentSettings().RunMode = kRunModeFilter;
  EXPECT_EQ(kRunModeSelect, ReadSettingsFile().RunMode);
  core_ = nullptr;
  band_.reset();
  host_->RemoveBand();  // ShowDW(FALSE), CloseDW, SetSite(NULL), Release: nothing holds the band
  EXPECT_EQ(0, host_->AdvisedSinkCount());
  EXPECT_FALSE(IsWindow(band));
  EXPECT_EQ(kRunModeFilter, ReadSettingsFile().RunMode);
  host_.reset();
  EXPECT_EQ(0, CountWindowsOfClass(L"Vantorel Toolbar"));
  EXPECT_EQ(0, CountWindowsOfClass(L"Vantorel Editbox"));
  EXPECT_EQ(locksBefore_, Module::LockCount());
}

TEST_F(BandTest, WholeLifeInTheStandInLeavesNothingBehind) {
  ASSERT_NO_FATAL_FAILURE(StartBand());
  Type(L"a");
  SetFocus(InputBox());
  Key(WM_KEYDOWN, VK_RETURN);
  host_->Navigate(folder_->path().c_str());
  band_.reset();
  core_ = nullptr;
  host_->RemoveBand();
  host_->Close();
  host_.reset();
  EXPECT_EQ(0, CountWindowsOfClass(L"Vantorel Toolbar"));
  EXPECT_EQ(0, CountWindowsOfClass(L"Vantorel Editbox"));
  EXPECT_EQ(0, CountWindowsOfClass(L"#32770"));
  EXPECT_EQ(locksBefore_, Module::LockCount());
}
