#include "tests/view/host_fixture.h"

#include <shlobj.h>
#include <shlwapi.h>

namespace vantorel::test {

void HostTest::Open(const std::vector<std::wstring>& files, host::HostOptions options) {
  folder_ = std::make_unique<TempFolder>(files);
  ASSERT_TRUE(folder_->ok());
  host_ = host::ExplorerHost::Create(options);
  ASSERT_TRUE(host_);
  ASSERT_TRUE(host_->Navigate(folder_->path().c_str()));
  host_->PumpMessages();
  ASSERT_NE(nullptr, List());
  IWebBrowser2* browser = host_->Browser();
  band_ = MakeComObject<TestBand>(browser, host_->ToolbarStrip());
  browser->Release();
  ASSERT_TRUE(band_);
}

void HostTest::TearDown() {
  band_.reset();
  if (host_) host_->PumpMessages();
  host_.reset();
  folder_.reset();
  Pump();
}

std::vector<std::wstring> HostTest::Names() const {
  PIDLIST_ABSOLUTE folder = nullptr;
  band_->GetCurrentFolderIdList(&folder);
  std::vector<std::wstring> names = ItemNames(List(), folder);
  ILFree(folder);
  return names;
}

std::vector<std::wstring> HostTest::SelectedNames() const {
  std::vector<std::wstring> all = Names();
  std::vector<std::wstring> selected;
  for (size_t i = 0; i < all.size(); ++i) {
    if (Selected(static_cast<int>(i))) selected.push_back(all[i]);
  }
  return selected;
}

int HostTest::IndexOf(const std::wstring& name) const {
  std::vector<std::wstring> all = Names();
  for (size_t i = 0; i < all.size(); ++i) {
    if (all[i] == name) return static_cast<int>(i);
  }
  return -1;
}

int HostTest::FocusedIndex() const {
  return static_cast<int>(SendMessageW(List(), LVM_GETNEXTITEM, static_cast<WPARAM>(-1), LVNI_FOCUSED));
}

bool HostTest::Selected(int index) const {
  return (SendMessageW(List(), LVM_GETITEMSTATE, index, LVIS_SELECTED) & LVIS_SELECTED) != 0;
}

void HostTest::Refresh() {
  IWebBrowser2* browser = host_->Browser();
  browser->Refresh();
  browser->Release();
  host_->PumpMessages();
}

}  // namespace vantorel::test
