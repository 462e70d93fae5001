#include "bench/view/bench_support.h"

#include <ole2.h>

#include <cstdio>

namespace vantorel::bench {

FileFolder::FileFolder(int count) : count_(count) {
  wchar_t temp[MAX_PATH];
  DWORD length = GetTempPathW(MAX_PATH, temp);
  if (length == 0 || length >= MAX_PATH) return;
  wchar_t name[64];
  swprintf(name, 64, L"vantorel_bench_%lu", GetCurrentProcessId());
  path_ = std::wstring(temp) + name;
  if (!CreateDirectoryW(path_.c_str(), nullptr)) return;
  ok_ = true;
  for (int i = 0; i < count; ++i) {
    wchar_t file[64];
    swprintf(file, 64, L"\\file%04d.txt", i);
    HANDLE h = CreateFileW((path_ + file).c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS,
                           FILE_ATTRIBUTE_NORMAL, nullptr);
    if (h == INVALID_HANDLE_VALUE) {
      ok_ = false;
      break;
    }
    CloseHandle(h);
  }
}

FileFolder::~FileFolder() {
  if (path_.empty()) return;
  for (int i = 0; i < count_; ++i) {
    wchar_t file[64];
    swprintf(file, 64, L"\\file%04d.txt", i);
    DeleteFileW((path_ + file).c_str());
  }
  RemoveDirectoryW(path_.c_str());
}

BenchBand::BenchBand(IWebBrowser2* browser) {
  browser_ = ComPtr<IWebBrowser2>(browser);
  edit_ = CreateWindowExW(0, L"EDIT", L"", WS_POPUP, 0, 0, 100, 20, nullptr, nullptr, nullptr, nullptr);
  inputBox_ = this;
}

BenchBand::~BenchBand() { DestroyWindow(edit_); }

bool Open(Environment& env, int files) {
  if (FAILED(OleInitialize(nullptr))) {
    std::printf("OleInitialize failed\n");
    return false;
  }
  INITCOMMONCONTROLSEX icc = {sizeof(icc), ICC_LISTVIEW_CLASSES};
  InitCommonControlsEx(&icc);
  env.folder = std::make_unique<FileFolder>(files);
  if (!env.folder->ok()) {
    std::printf("cannot create %d files in %%TEMP%%\n", files);
    return false;
  }
  env.host = host::ExplorerHost::Create({});
  if (!env.host || !env.host->Navigate(env.folder->Path().c_str())) {
    std::printf("the stand-in cannot show the folder\n");
    return false;
  }
  env.host->PumpMessages();
  IWebBrowser2* browser = env.host->Browser();
  env.band = std::make_unique<BenchBand>(browser);
  browser->Release();
  env.band->GetCurrentFolderIdList(env.folderId.put());
  env.ok = env.folderId && ItemCount(env.host->ListView()) == files;
  if (!env.ok) std::printf("the view shows %d items, not %d\n", ItemCount(env.host->ListView()), files);
  return env.ok;
}

void Close(Environment& env) {
  env.folderId.reset();
  env.band.reset();
  env.host.reset();
  env.folder.reset();
  OleUninitialize();
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
