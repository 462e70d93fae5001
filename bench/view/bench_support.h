#pragma once
// Shared pieces of the view benchmarks: the stand-in showing a folder of many empty files in
// %TEMP%, a band view with an input box, and a clock.
#include <windows.h>
#include <commctrl.h>

#include <memory>

#include "framework/unique_pidl.h"
#include "host/explorer_host.h"
#include "tests/support/temp_folder.h"
#include "view/band_view.h"

namespace vantorel::bench {

class BenchBand : public InputBoxLink, public CBandView {
 public:
  explicit BenchBand(IWebBrowser2* browser);  // takes over the reference
  ~BenchBand();
  HWND InputWindow() const override { return edit_; }
  void SetRunState(DWORD, DWORD) override {}
  void SetText(const wchar_t* text) { SetWindowTextW(edit_, text); }
  Settings& CurrentSettings() { return settings_; }

 private:
  Settings settings_;
  HWND edit_ = nullptr;  // no parent: no band window to repaint
};

// OLE, common controls, the files "file0000.txt" ..., the stand-in on them, a band and the
// folder's identifier list, all taken down again at the end. ok is false, and why printed, when
// one of them could not be made.
struct Environment {
  // The stand-in with options: its list view by default.
  explicit Environment(int files, const host::HostOptions& options = {});
  ~Environment();
  // The band, the stand-in and the files gone before the end (another may be made meanwhile).
  void TakeDown();

  std::unique_ptr<test::TempFolder> folder;
  std::unique_ptr<host::ExplorerHost> host;
  std::unique_ptr<BenchBand> band;
  UniquePidl folderId;  // the shown folder's absolute identifier list
  bool ok = false;
};

constexpr int kRounds = 5;  // of every measurement; the best counts
double Now();  // seconds
int ItemCount(HWND list);
// The stand-in showing the items view of Windows 7 to 11, its browser with a filter site.
host::HostOptions ItemsViewOptions();
// Prints "  <what>, <files> files: ratio R (target <= T) ok" or "... MISSED"; true when the
// target was met.
bool Verdict(const char* what, int files, double ratio, double target);
// Measures a folder of 2,000 files, then one of 10,000; the program's exit code, 1 when a
// measurement missed a target or could not be made.
int MeasureFolderSizes(bool (*measure)(int files));

}  // namespace vantorel::bench
