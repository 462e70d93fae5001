#pragma once
// The Explorer stand-in over a temporary folder, with a test band on its browser.
#include <windows.h>
#include <commctrl.h>
#include <gtest/gtest.h>

#include <memory>
#include <string>
#include <vector>

#include "framework/com_ptr.h"
#include "host/explorer_host.h"
#include "tests/view/test_band.h"
#include "tests/view/view_test_support.h"

namespace vantorel::test {

class HostTest : public testing::Test {
 protected:
  // Creates the stand-in with options_ (hidden unless they say; focus and painting tests show it),
  // navigates to a new folder with the given files and puts a band on the browser.
  void Open(const std::vector<std::wstring>& files);
  void TearDown() override;

  HWND List() const { return host_->ListView(); }
  int Count() const { return static_cast<int>(SendMessageW(List(), LVM_GETITEMCOUNT, 0, 0)); }
  // Names (file name with extension) of the items in view order, through their identifier lists.
  std::vector<std::wstring> Names() const { return ItemNames(List(), host_->CurrentFolder()); }
  std::vector<std::wstring> SelectedNames() const { return test::SelectedNames(List(), host_->CurrentFolder()); }
  int IndexOf(const std::wstring& name) const;
  int FocusedIndex() const {
    return static_cast<int>(SendMessageW(List(), LVM_GETNEXTITEM, static_cast<WPARAM>(-1), LVNI_FOCUSED));
  }
  bool Selected(int index) const {
    return (SendMessageW(List(), LVM_GETITEMSTATE, index, LVIS_SELECTED) & LVIS_SELECTED) != 0;
  }
  void Refresh();
  // Puts the text into the band's edit control and runs the select mode on the view.
  bool Select(const wchar_t* text) {
    band_->SetText(text);
    return band_->RunSelect(List());
  }

  host::HostOptions options_;
  std::unique_ptr<host::ExplorerHost> host_;
  std::unique_ptr<TempFolder> folder_;
  ComPtr<TestBand> band_;
};

}  // namespace vantorel::test
