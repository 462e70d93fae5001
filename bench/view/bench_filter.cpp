// The filter refill of 2,000 and 10,000 files through the wrapper, against a plain refresh
// (Explorer's own share). The first refill (the first keystroke: the whole folder shown) and a
// repeated one (the view already filtered) name every inserted item through the folder bound
// once. The old way of naming, each item's whole path, is shown beside.
#include <windows.h>
#include <commctrl.h>
#include <shlobj.h>

#include <algorithm>
#include <cstdio>

#include "bench/view/bench_support.h"
#include "settings/settings.h"
#include "view/item_name.h"

using namespace vantorel;
using namespace vantorel::bench;

namespace {

WNDPROC g_previous = nullptr;
PCIDLIST_ABSOLUTE g_folder = nullptr;

// The item's path (ILFindLastID, ILCombine, SHGetPathFromIDListW, ILFree) for every insert; all
// passed on.
LRESULT CALLBACK PathSubclass(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam) {
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

// False when a target was missed or the folder could not be shown. The path naming grows with
// the square of the count under Wine: it is measured in the small folder only.
bool Measure(int files) {
  Environment env(files);
  if (!env.ok) return false;
  HWND list = env.host->ListView();
  g_folder = env.folderId.get();
  const bool small = files <= 2000;
  double plain = 1e9, path = 1e9, first = 1e9, repeated = 1e9, tenth = 1e9;
  int shownAll = 0, shownTenth = 0;
  for (int round = 0; round < kRounds; ++round) {
    plain = std::min(plain, PlainRefill(env));
    if (small && round == 0) {
      g_previous = reinterpret_cast<WNDPROC>(
          SetWindowLongPtrW(list, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(&PathSubclass)));
      path = PlainRefill(env);
      SetWindowLongPtrW(list, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(g_previous));
    }
    first = std::min(first, WrapperRefill(env, L"file", &shownAll));
    repeated = std::min(repeated, WrapperRefill(env, L"file", &shownAll));
    tenth = std::min(tenth, WrapperRefill(env, L"file00|file01", &shownTenth));
    env.band->Wrapper().Detach();
    env.band->RemoveFilter(list);
  }
  std::printf("bench_filter: %d files, best of %d rounds, ms per refill\n", files, kRounds);
  std::printf("  plain refresh, nothing attached   %8.1f\n", plain * 1000.0);
  if (small) std::printf("  path naming subclass (before)     %8.1f\n", path * 1000.0);
  std::printf("  first refill, query matching all (%d) %8.1f\n", shownAll, first * 1000.0);
  std::printf("  repeated refill, matching all     %8.1f\n", repeated * 1000.0);
  std::printf("  repeated refill, keeping %d      %8.1f\n", shownTenth, tenth * 1000.0);
  bool met = Verdict("first filter refill vs plain refresh", files, first / plain, 3.0);
  met = Verdict("repeated filter refill vs plain refresh", files, repeated / plain, 3.0) && met;
  if (files < 10000) return met;
  // The items view with the browser's filter site: a filter object and a refresh of the view.
  g_folder = nullptr;
  env.TakeDown();
  Environment items(files, ItemsViewOptions());
  if (!items.ok) return false;
  items.band->CurrentSettings().RunMode = kRunModeFilter;
  items.band->SetText(L"file");
  double sitePlain = 1e9, site = 1e9;
  for (int round = 0; round < kRounds; ++round) {
    double start = Now();
    items.host->Refresh();
    sitePlain = std::min(sitePlain, Now() - start);
    start = Now();
    items.band->RunCurrentMode(false);
    site = std::min(site, Now() - start);
    items.band->RemoveFilter(nullptr);
  }
  std::printf("  items view: plain refresh          %8.1f\n", sitePlain * 1000.0);
  std::printf("  items view: filter site, all (%d)  %8.1f\n", ItemCount(items.host->ListView()), site * 1000.0);
  return Verdict("filter through the filter site vs plain refresh", files, site / sitePlain, 3.0) && met;
}

}  // namespace

int main() { return MeasureFolderSizes(&Measure); }
