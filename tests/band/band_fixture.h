#pragma once
// A band object created as Explorer creates it, hosted by the stand-in over a real folder.
#include <windows.h>
#include <commctrl.h>
#include <shobjidl.h>
#include <gtest/gtest.h>

#include <memory>

#include "band/selector_core.h"
#include "band/selector_core_factory.h"
#include "framework/com_ptr.h"
#include "framework/module.h"
#include "host/explorer_host.h"
#include "settings/settings.h"
#include "tests/support/temp_folder.h"

namespace vantorel::test {

// Writes (or removes, for null) the settings file beside the module for one test.
inline void WriteSettingsFile(const Settings* settings) {
  wchar_t path[MAX_PATH];
  ASSERT_TRUE(Module::PathBeside(L"setting", path));
  DeleteFileW(path);
  if (settings) {
    ASSERT_TRUE(SaveSettings(*settings));
  }
}

inline Settings ReadSettingsFile() {
  Settings settings{0xDEAD, 0xDEAD};
  LoadSettings(settings);
  return settings;
}

class BandTest : public ::testing::Test {
 protected:
  void SetUp() override {
    locksBefore_ = Module::LockCount();
    folder_ = std::make_unique<TempFolder>(
        std::vector<std::wstring>{L"alpha.txt", L"beta.txt", L"gamma.doc", L"delta.txt"}, L"band");
    ASSERT_TRUE(folder_->ok());
    // A hidden frame (the default): without a window manager, Wine waits two seconds for every
    // visible top-level window it takes down.
    host_ = host::ExplorerHost::Create({});
    ASSERT_TRUE(host_);
    ASSERT_TRUE(host_->Navigate(folder_->path().c_str()));
  }
  void TearDown() override {
    band_.reset();
    if (host_) {
      host_->RemoveBand();
      host_->Close();
      host_.reset();
    }
    WriteSettingsFile(nullptr);
  }

  // Creates the band through the class factory's creation function and hosts it.
  void StartBand(const Settings* settings = nullptr) {
    WriteSettingsFile(settings);
    ASSERT_EQ(S_OK, CreateSelectorCore(nullptr, IID_PPV_ARGS(band_.put())));
    ASSERT_EQ(S_OK, host_->AddBand(band_.get()));
    host_->PumpMessages();
    core_ = static_cast<CSelectorCore*>(band_.get());
  }

  HWND BandWindow() {
    HWND window = nullptr;
    band_->GetWindow(&window);
    return window;
  }
  HWND InputBox() { return core_->InputBox().hwnd(); }
  template <class I>
  ComPtr<I> As() {
    ComPtr<I> out;
    band_.As(out);
    return out;
  }
  HRESULT Key(UINT message, WPARAM key) {
    MSG msg = {};
    msg.hwnd = GetFocus();
    msg.message = message;
    msg.wParam = key;
    return As<IInputObject>()->TranslateAcceleratorIO(&msg);
  }
  void Type(const wchar_t* text) {
    SetFocus(InputBox());
    for (const wchar_t* c = text; *c; ++c) SendMessageW(InputBox(), WM_CHAR, *c, 0);
    host_->PumpMessages();
  }

  std::unique_ptr<TempFolder> folder_;
  std::unique_ptr<host::ExplorerHost> host_;
  ComPtr<IDeskBand> band_;
  CSelectorCore* core_ = nullptr;
  LONG locksBefore_ = 0;  // before the stand-in, whose objects hold module locks too
};

}  // namespace vantorel::test
