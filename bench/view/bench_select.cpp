// The select run over a real shell view of 2,000 files against the shell work per item that
// no select run can avoid.
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

// LVM_GETITEMW, the item's path (ILCombine, SHGetPathFromIDListW, ILFree), LVM_SETITEMSTATE for
// every item.
double Baseline(HWND list, PCIDLIST_ABSOLUTE folder, double* pathSeconds) {
  const double start = Now();
  double inPath = 0;
  const int count = ItemCount(list);
  for (int i = 0; i < count; ++i) {
    LVITEMW item = {};
    item.mask = LVIF_PARAM;
    item.iItem = i;
    if (!SendMessageW(list, LVM_GETITEMW, 0, reinterpret_cast<LPARAM>(&item))) continue;
    wchar_t path[MAX_PATH];
    const double before = Now();
    bool named = ItemPath(folder, item.lParam, path);
    inPath += Now() - before;
    if (!named) continue;
    LVITEMW state = {};
    state.state = state.stateMask = LVIS_SELECTED;
    SendMessageW(list, LVM_SETITEMSTATE, i, reinterpret_cast<LPARAM>(&state));
  }
  *pathSeconds = inPath;
  return Now() - start;
}

}  // namespace

int main() {
  Environment env;
  if (!Open(env, kFiles)) {
    Close(env);
    return 1;
  }
  HWND list = env.host->ListView();
  env.band->SetText(L"file");  // every item matches: the run selects all, like the baseline
  double bestRun = 1e9, bestBase = 1e9, bestClear = 1e9, pathShare = 0;
  for (int round = 0; round < kRounds; ++round) {
    // The baseline starts from no selection, as the run does after its deselect-all, so that
    // its LVM_SETITEMSTATE calls change the state (and notify the view) as the run's do.
    const double clearStart = Now();
    ClearStateOfAllItems(list, LVIS_SELECTED);
    bestClear = std::min(bestClear, Now() - clearStart);
    double pathSeconds = 0;
    double base = Baseline(list, env.folderId.get(), &pathSeconds);
    if (base < bestBase) {
      bestBase = base;
      pathShare = pathSeconds / base;
    }
    const double start = Now();
    env.band->RunSelect(list);
    bestRun = std::min(bestRun, Now() - start);
  }
  std::printf("bench_select: %d items, best of %d rounds\n", kFiles, kRounds);
  std::printf("  RunSelect         %8.2f ms per 1,000 items\n", bestRun * 1000.0 * 1000.0 / kFiles);
  std::printf("  baseline          %8.2f ms per 1,000 items (the item's path %.0f%% of it)\n",
              bestBase * 1000.0 * 1000.0 / kFiles, pathShare * 100.0);
  std::printf("  deselect-all alone %8.2f ms per 1,000 items (part of the run, not of the baseline)\n",
              bestClear * 1000.0 * 1000.0 / kFiles);
  std::printf("  ratio run/baseline %.3f (target <= 1.15)\n", bestRun / bestBase);
  Close(env);
  return 0;
}
