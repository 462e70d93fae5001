// The select run over a real shell view of 2,000 and 10,000 files, against the list view work
// that no run can avoid. The first run (the first keystroke: no item selected yet) names every
// item through the folder bound once and selects the matches; a repeated run names them again
// and finds them selected. The old way of naming, each item's whole path, is shown beside.
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

// LVM_GETITEMW for every item and LVM_SETITEMSTATE for the matches (here every item), from no
// selection: the floor of a first run.
double SelectEach(HWND list) {
  ClearStateOfAllItems(list, LVIS_SELECTED);
  const double start = Now();
  const int count = ItemCount(list);
  for (int i = 0; i < count; ++i) {
    LVITEMW item = {};
    item.mask = LVIF_PARAM;
    item.iItem = i;
    if (!SendMessageW(list, LVM_GETITEMW, 0, reinterpret_cast<LPARAM>(&item))) continue;
    LVITEMW state = {};
    state.state = state.stateMask = LVIS_SELECTED;
    SendMessageW(list, LVM_SETITEMSTATE, i, reinterpret_cast<LPARAM>(&state));
  }
  return Now() - start;
}

// Every item's path (ILCombine, SHGetPathFromIDListW, ILFree): the naming the runs used before.
double PathNaming(HWND list, PCIDLIST_ABSOLUTE folder) {
  const double start = Now();
  for (int i = 0, count = ItemCount(list); i < count; ++i) {
    wchar_t path[MAX_PATH];
    LVITEMW item = {};
    item.mask = LVIF_PARAM;
    item.iItem = i;
    if (SendMessageW(list, LVM_GETITEMW, 0, reinterpret_cast<LPARAM>(&item))) ItemPath(folder, item.lParam, path);
  }
  return Now() - start;
}

double TimedRun(Environment& env, bool fromNoSelection) {
  if (fromNoSelection) ClearStateOfAllItems(env.host->ListView(), LVIS_SELECTED);
  const double start = Now();
  env.band->RunSelect(env.host->ListView());
  return Now() - start;
}

// False when a target was missed or the folder could not be shown. The path naming grows with
// the square of the count under Wine: it is measured in the small folder only.
bool Measure(int files) {
  Environment env(files);
  if (!env.ok) return false;
  HWND list = env.host->ListView();
  env.band->SetText(L"file");  // every item matches: the runs select all, like the floor
  const bool small = files <= 2000;
  double first = 1e9, repeated = 1e9, floor = 1e9, path = 1e9;
  for (int round = 0; round < kRounds; ++round) {
    if (small && round == 0) path = PathNaming(list, env.folderId.get());
    first = std::min(first, TimedRun(env, true));
    repeated = std::min(repeated, TimedRun(env, false));
    floor = std::min(floor, SelectEach(list));
  }
  const double perThousand = 1000.0 * 1000.0 / files;
  std::printf("bench_select: %d items, best of %d rounds\n", files, kRounds);
  std::printf("  first run         %8.2f ms per 1,000 items\n", first * perThousand);
  std::printf("  repeated run      %8.2f ms per 1,000 items\n", repeated * perThousand);
  std::printf("  floor             %8.2f ms per 1,000 items\n", floor * perThousand);
  if (small) std::printf("  path naming       %8.2f ms per 1,000 items (the naming before)\n", path * perThousand);
  bool met = Verdict("first select run vs floor", files, first / floor, 2.0);
  met = Verdict("repeated select run vs floor", files, repeated / floor, 1.5) && met;
  if (files < 10000) return met;
  // The items view, whose items the run reaches only through the shell view's interfaces.
  env.TakeDown();
  Environment items(files, ItemsViewOptions());
  if (!items.ok) return false;
  items.band->SetText(L"file");
  // The floor again on the list view that holds the items view's items, round by round beside
  // the run, so that both meet the same load of the machine.
  double shellView = 1e9, itemsFloor = 1e9;
  for (int round = 0; round < kRounds; ++round) {
    ClearStateOfAllItems(items.host->ListView(), LVIS_SELECTED);
    const double start = Now();
    items.band->RunCurrentMode(false);
    shellView = std::min(shellView, Now() - start);
    itemsFloor = std::min(itemsFloor, SelectEach(items.host->ListView()));
  }
  std::printf("  items view run    %8.2f ms per 1,000 items\n", shellView * perThousand);
  std::printf("  its floor         %8.2f ms per 1,000 items\n", itemsFloor * perThousand);
  return Verdict("select run in the items view vs list view floor", files, shellView / itemsFloor, 2.0) && met;
}

}  // namespace

int main() { return MeasureFolderSizes(&Measure); }
