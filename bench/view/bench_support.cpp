#include "bench/view/bench_support.h"

#include <ole2.h>

#include <cstdio>

namespace vantorel::bench {

BenchBand::BenchBand(IWebBrowser2* browser) : CBandView(this, &settings_) {
  Attach(browser, nullptr);
  browser->Release();
  edit_ = CreateWindowExW(0, L"EDIT", L"", WS_POPUP, 0, 0, 100, 20, nullptr, nullptr, nullptr, nullptr);
}

BenchBand::~BenchBand() { DestroyWindow(edit_); }

Environment::Environment(int files, const host::HostOptions& options) {
  if (FAILED(OleInitialize(nullptr))) {
    std::printf("OleInitialize failed\n");
    return;
  }
  INITCOMMONCONTROLSEX icc = {sizeof(icc), ICC_LISTVIEW_CLASSES};
  InitCommonControlsEx(&icc);
  folder = std::make_unique<test::TempFolder>(test::NumberedNames(files), L"bench");
  if (!folder->ok()) {
    std::printf("cannot create %d files in %%TEMP%%\n", files);
    return;
  }
  host = host::ExplorerHost::Create(options);
  if (!host || !host->Navigate(folder->path().c_str())) {
    std::printf("the stand-in cannot show the folder\n");
    return;
  }
  host->PumpMessages();
  band = std::make_unique<BenchBand>(host->Browser());
  band->GetCurrentFolderIdList(folderId.put());
  ok = folderId && ItemCount(host->ListView()) == files;
  if (!ok) std::printf("the view shows %d items, not %d\n", ItemCount(host->ListView()), files);
}

Environment::~Environment() {
  TakeDown();
  OleUninitialize();
}

void Environment::TakeDown() {
  folderId.reset();
  band.reset();
  host.reset();
  folder.reset();
}

double Now() {
  static LARGE_INTEGER frequency = [] {
    LARGE_INTEGER f;
    QueryPerformanceFrequency(&f);
    return f;
  }();
  LARGE_INTEGER now;
  QueryPerformanceCounter(&now);
  return static_cast<double>(now.QuadPart) / static_cast<double>(frequency.QuadPart);
}

host::HostOptions ItemsViewOptions() {
  host::HostOptions options;
  options.folderView = host::FolderViewKind::Items;
  options.filterSite = true;
  return options;
}

int ItemCount(HWND list) { return static_cast<int>(SendMessageW(list, LVM_GETITEMCOUNT, 0, 0)); }

bool Verdict(const char* what, int files, double ratio, double target) {
  const bool met = ratio <= target;
  std::printf("  %s, %d files: ratio %.3f (target <= %.3f) %s\n", what, files, ratio, target,
              met ? "ok" : "MISSED");
  return met;
}

int MeasureFolderSizes(bool (*measure)(int files)) {
  bool met = measure(2000);
  met = measure(10000) && met;
  return met ? 0 : 1;
}

}  // namespace vantorel::bench
