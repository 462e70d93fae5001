// The filter refill of 2,000 and 10,000 files through the wrapper. The first refill in a folder
// names every inserted item through the shell and is compared with a bare subclass that only
// names every item; the repeated refills (the keystrokes after it) take the names from the
// band's cache and are compared with the first. A plain refresh shows Explorer's own share.
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

// False when a target was missed or the folder could not be shown. The first refill is costly
// in a big folder: it is measured once there, and the bare naming only in the small.
bool Measure(int files) {
  Environment env(files);
  if (!env.ok) return false;
  HWND list = env.host->ListView();
  g_folder = env.folderId.get();
  const bool small = files <= 2000;
  const int firstRounds = small ? kRounds : 1;
  double plain = 1e9, bare = 1e9, first = 1e9, repeated = 1e9, tenth = 1e9;
  int shownAll = 0, shownTenth = 0;
  for (int round = 0; round < kRounds; ++round) {
    plain = std::min(plain, PlainRefill(env));
    if (round < firstRounds) {
      if (small) {
        g_previous = reinterpret_cast<WNDPROC>(
            SetWindowLongPtrW(list, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(&BareSubclass)));
        bare = std::min(bare, PlainRefill(env));
        SetWindowLongPtrW(list, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(g_previous));
      }
      env.band->ItemNames().Clear();
      first = std::min(first, WrapperRefill(env, L"file", &shownAll));
    }
    repeated = std::min(repeated, WrapperRefill(env, L"file", &shownAll));
    tenth = std::min(tenth, WrapperRefill(env, L"file00|file01", &shownTenth));
    env.band->Wrapper().Detach();
    env.band->RemoveFilter(list);
  }
  std::printf("bench_filter: %d files, best of %d rounds (%d for the first refill), ms per refill\n",
              files, kRounds, firstRounds);
  std::printf("  plain refresh, nothing attached   %8.1f\n", plain * 1000.0);
  if (small) std::printf("  bare naming subclass              %8.1f\n", bare * 1000.0);
  std::printf("  first refill, query matching all (%d) %8.1f\n", shownAll, first * 1000.0);
  std::printf("  repeated refill, matching all     %8.1f\n", repeated * 1000.0);
  std::printf("  repeated refill, keeping %d      %8.1f\n", shownTenth, tenth * 1000.0);
  bool met = true;
  if (small) met = Verdict("first filter refill vs bare naming", files, first / bare, 1.15) && met;
  met = Verdict("repeated filter refill vs first", files, repeated / first, 1.0 / 3.0) && met;
  return met;
}

}  // namespace

int main() { return MeasureFolderSizes(&Measure); }
