// The filter refill of a 2,000-file folder through the wrapper against a bare subclass that
// only names every item, and against a plain refresh.
#include <windows.h>
#include <commctrl.h>
#include <shlobj.h>

#include <algorithm>
#include <cstdio>

#include "bench/view/bench_support.h"
#include "view/item_name.h"

using namespace vantorel;
using namespace vantorel::bench;

namespace {

constexpr int kFiles = 2000;
constexpr int kRounds = 5;

WNDPROC g_previous = nullptr;
PCIDLIST_ABSOLUTE g_folder = nullptr;

// The item's path (ILFindLastID, ILCombine, SHGetPathFromIDListW, ILFree) for every insert; all
// passed on.
LRESULT CALLBACK BareSubclass(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam) {
  if (msg == LVM_INSERTITEMW && lParam) {
    const LVITEMW* item = reinterpret_cast<const LVITEMW*>(lParam);
    wchar_t path[MAX_PATH];
    ItemPath(g_folder, item->lParam, path);
  }
  return CallWindowProcW(g_previous, hwnd, msg, wParam, lParam);
}

double PlainRefill(Environment& env) {
  const double start = Now();
  SendMessageW(env.host->ListView(), LVM_DELETEALLITEMS, 0, 0);
  env.host->Refresh();
  return Now() - start;
}

double WrapperRefill(Environment& env, const wchar_t* text, int* shown) {
  env.band->SetText(text);
  const double start = Now();
  env.band->RunFilter(env.host->ListView());
  const double elapsed = Now() - start;
  *shown = ItemCount(env.host->ListView());
  return elapsed;
}

}  // namespace

int main() {
  Environment env;
  if (!Open(env, kFiles)) {
    Close(env);
    return 1;
  }
  HWND list = env.host->ListView();
  g_folder = env.folderId.get();

  double plain = 1e9, bare = 1e9, all = 1e9, tenth = 1e9;
  int shownAll = 0, shownTenth = 0;
  for (int round = 0; round < kRounds; ++round) {
    plain = std::min(plain, PlainRefill(env));

    g_previous = reinterpret_cast<WNDPROC>(
        SetWindowLongPtrW(list, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(&BareSubclass)));
    bare = std::min(bare, PlainRefill(env));
    SetWindowLongPtrW(list, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(g_previous));

    all = std::min(all, WrapperRefill(env, L"file", &shownAll));
    tenth = std::min(tenth, WrapperRefill(env, L"file00|file01", &shownTenth));
    env.band->Wrapper().Detach();
    env.band->RemoveFilter(list);
  }
  std::printf("bench_filter: %d files, best of %d rounds (ms per refill)\n", kFiles, kRounds);
  std::printf("  plain refresh, nothing attached   %8.1f\n", plain * 1000.0);
  std::printf("  bare naming subclass (baseline)   %8.1f\n", bare * 1000.0);
  std::printf("  wrapper, query matching all (%d) %8.1f\n", shownAll, all * 1000.0);
  std::printf("  wrapper, query keeping %d        %8.1f\n", shownTenth, tenth * 1000.0);
  std::printf("  ratio wrapper/baseline %.3f (target <= 1.15)\n", all / bare);
  std::printf("  ratio tenth/baseline   %.3f, baseline/plain %.3f\n", tenth / bare, bare / plain);
  Close(env);
  return 0;
}
