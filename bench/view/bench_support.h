#pragma once
// Shared pieces of the view benchmarks: a folder of many empty files in %TEMP%, the stand-in
// showing it, a band state with an input box, and a clock.
#include <windows.h>
#include <commctrl.h>

#include <memory>
#include <string>

#include "framework/unique_pidl.h"
#include "host/explorer_host.h"
#include "view/band_view_state.h"

namespace vantorel::bench {

class FileFolder {
 public:
  explicit FileFolder(int count);  // "file0000.txt" ...
  ~FileFolder();
  const std::wstring& Path() const { return path_; }
  bool ok() const { return ok_; }

 private:
  std::wstring path_;
  int count_ = 0;
  bool ok_ = false;
};

class BenchBand : public CBandViewState, public InputBoxLink {
 public:
  explicit BenchBand(IWebBrowser2* browser);
  ~BenchBand() override;
  HWND InputWindow() const override { return edit_; }
  void SetRunState(DWORD, DWORD) override {}
  HWND BandWindow() const override { return nullptr; }  // no band window to repaint
  void SetText(const wchar_t* text) { SetWindowTextW(edit_, text); }

 private:
  HWND edit_ = nullptr;
};

struct Environment {
  std::unique_ptr<FileFolder> folder;
  std::unique_ptr<host::ExplorerHost> host;
  std::unique_ptr<BenchBand> band;
  UniquePidl folderId;  // the shown folder's absolute identifier list
  bool ok = false;
};
// OLE, common controls, the files, the stand-in on them, a band and the folder's identifier
// list. Print why on failure.
bool Open(Environment& env, int files);
void Close(Environment& env);

double Now();  // seconds
int ItemCount(HWND list);
// Prints "  <what>, <files> files: ratio R (target <= T) ok" or "... MISSED"; true when the
// target was met.
bool Verdict(const char* what, int files, double ratio, double target);
// Measures a folder of 2,000 files, then one of 10,000; the program's exit code, 1 when a
// measurement missed a target or could not be made.
int MeasureFolderSizes(bool (*measure)(int files));

}  // namespace vantorel::bench
