#include "tests/view/host_fixture.h"

#include <algorithm>

namespace vantorel::test {

void HostTest::Open(const std::vector<std::wstring>& files) {
  folder_ = std::make_unique<TempFolder>(files);
  ASSERT_TRUE(folder_->ok());
  host_ = host::ExplorerHost::Create(options_);
  ASSERT_TRUE(host_);
  ASSERT_TRUE(host_->Navigate(folder_->path().c_str()));
  host_->PumpMessages();
  ASSERT_NE(nullptr, List());
  band_ = MakeComObject<TestBand>(*host_);
  ASSERT_TRUE(band_);
}

void HostTest::TearDown() {
  band_.reset();
  if (host_) host_->PumpMessages();
  host_.reset();
  folder_.reset();
  for (MSG msg; PeekMessageW(&msg, nullptr, 0, 0, PM_REMOVE);) {
    TranslateMessage(&msg);
    DispatchMessageW(&msg);
  }
}

int HostTest::IndexOf(const std::wstring& name) const {
  std::vector<std::wstring> all = Names();
  auto found = std::find(all.begin(), all.end(), name);
  return found == all.end() ? -1 : static_cast<int>(found - all.begin());
}

void HostTest::Refresh() {
  IWebBrowser2* browser = host_->Browser();
  browser->Refresh();
  browser->Release();
  host_->PumpMessages();
}

}  // namespace vantorel::test
