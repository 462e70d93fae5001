// A history of 10,000 entries beside the program. Times, best of several rounds, each against
// a baseline measured in the same run, and prints the ratio ours / baseline:
//   ShowMatching with a one-letter prefix, against reading and converting the same file, adding
//   the same rows to a plain list box and showing it (target <= 1.2);
//   AddToHistory, against the same file work done by hand: read, convert, convert back, replace
//   the file safely (new file, flush, rename) (target <= 1.3); beside it, for information, the
//   ratio against a bare read and write of the same bytes;
//   a second keystroke over a drop-down on screen whose prefix matches all 10,000 entries (it
//   lists the newest kHistoryRowLimit), against the first keystroke that opened it (target <= 1.5);
//   a keystroke over a history of 1,000,000 entries, against the same keystroke over 10,000
//   (target <= 20; the file read once before, as after every change); beside it, for
//   information, a prefix that no entry begins with, which looks at every entry.
// A line with a target ends in "ok" or "MISSED"; the program exits 1 when a target was missed.
#include <windows.h>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <string>
#include <vector>

#include "framework/file_replace.h"
#include "framework/module.h"
#include "framework/unique_handle.h"
#include "history/history_box.h"
#include "history/history_file.h"

using namespace vantorel;

namespace {

constexpr int kEntries = 10000;
constexpr int kRounds = 30;
constexpr int kAddRounds = 100;  // the safe replacement's flush varies most
constexpr int kRefillRounds = 25;
constexpr int kManyEntries = 1000000;

double Now() {
  return std::chrono::duration<double>(std::chrono::steady_clock::now().time_since_epoch()).count();
}

std::vector<std::wstring> MakeEntries(int count = kEntries) {
  static const wchar_t* const kWords[] = {L"report", L"invoice", L"photo", L"draft", L"scan",
                                          L"budget", L"notes", L"minutes", L"plan", L"archive"};
  std::vector<std::wstring> entries;
  unsigned seed = 4711;
  auto next = [&seed]() {
    seed = seed * 1103515245u + 12345u;
    return (seed >> 16) & 0x7FFF;
  };
  for (int i = 0; i < count; ++i) {
    wchar_t buffer[96];
    wsprintfW(buffer, L"%s*%u %s|%04u", kWords[next() % 10], next() % 100, kWords[next() % 10], 2000 + i % 30);
    entries.push_back(buffer);
  }
  return entries;
}

std::string ReadAll(const wchar_t* path) {
  std::string bytes;
  UniqueFile file(CreateFileW(path, GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING, 0, nullptr));
  if (!file) return bytes;
  DWORD size = GetFileSize(file.get(), nullptr);
  bytes.resize(size);
  DWORD read = 0;
  if (size && !ReadFile(file.get(), &bytes[0], size, &read, nullptr)) read = 0;
  bytes.resize(read);
  return bytes;
}

bool WriteAll(const wchar_t* path, const std::string& bytes) {
  UniqueFile file(CreateFileW(path, GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, 0, nullptr));
  DWORD written = 0;
  return file && WriteFile(file.get(), bytes.data(), static_cast<DWORD>(bytes.size()), &written, nullptr);
}

std::wstring Convert(const std::string& bytes) {
  int units = MultiByteToWideChar(CP_THREAD_ACP, 0, bytes.data(), static_cast<int>(bytes.size()), nullptr, 0);
  std::wstring text(static_cast<size_t>(units > 0 ? units : 0), L'\0');
  if (units > 0) MultiByteToWideChar(CP_THREAD_ACP, 0, bytes.data(), static_cast<int>(bytes.size()), &text[0], units);
  return text;
}

std::string ToBytes(const std::wstring& text) {
  const int units = static_cast<int>(text.size());
  int size = WideCharToMultiByte(CP_THREAD_ACP, 0, text.data(), units, nullptr, 0, nullptr, nullptr);
  std::string bytes(static_cast<size_t>(size > 0 ? size : 0), '\0');
  if (size > 0) WideCharToMultiByte(CP_THREAD_ACP, 0, text.data(), units, &bytes[0], size, nullptr, nullptr);
  return bytes;
}

bool Report(const char* what, double ours, double base, double target) {
  const double ratio = ours / base;
  std::printf("%-38s ours %8.3f ms  baseline %8.3f ms  ratio %5.2f", what, ours * 1000.0, base * 1000.0, ratio);
  if (target <= 0) return std::printf("  (information)\n") > 0;
  std::printf("  target <= %.2f %s\n", target, ratio <= target ? "ok" : "MISSED");
  return ratio <= target;
}

// Says why the run cannot go on (with the path concerned, if any); the exit code for that.
int CannotRun(const char* why, const wchar_t* path = L"") {
  std::printf("bench_history: %s%ls\n", why, path);
  return 1;
}

// One keystroke's work on the drop-down: the refill, and the paint it leaves pending.
double TimeShow(CHistoryBox& box, const RECT& anchor, const wchar_t* prefix) {
  const double start = Now();
  box.ShowMatching(&anchor, prefix);
  UpdateWindow(box.hwnd());
  return Now() - start;
}

}  // namespace

int main() {
  wchar_t path[MAX_PATH], copyPath[MAX_PATH];
  if (!HistoryFilePath(path) || !Module::PathBeside(L"history-baseline.txt", copyPath)) {
    return CannotRun("no path beside the program");
  }
  const std::vector<std::wstring> entries = MakeEntries();
  if (!SaveHistoryTo(path, entries)) return CannotRun("cannot write ", path);
  const std::wstring prefix = L"p";  // "photo" and "plan": about one entry in five
  std::vector<std::wstring> rows;
  for (auto entry = entries.rbegin(); entry != entries.rend(); ++entry) {
    if (entry->compare(0, prefix.size(), prefix) == 0 && rows.size() < kHistoryRowLimit) rows.push_back(*entry);
  }

  HWND owner = CreateWindowExW(0, L"EDIT", L"", WS_POPUP, 0, 0, 300, 22, nullptr, nullptr, nullptr, nullptr);
  CHistoryBox box;
  HWND plain = CreateWindowExW(WS_EX_TOOLWINDOW | WS_EX_TOPMOST, L"LISTBOX", L"",
                               WS_CHILD | WS_CLIPSIBLINGS | WS_BORDER | WS_VSCROLL | LBS_NOTIFY, 0, 0, 0, 0,
                               GetDesktopWindow(), nullptr, nullptr, nullptr);
  if (!owner || !plain || !box.CreateBox(owner, false, 0)) return CannotRun("cannot create the windows");
  SendMessageW(plain, WM_SETFONT, reinterpret_cast<WPARAM>(GetStockObject(DEFAULT_GUI_FONT)), TRUE);
  const RECT anchor = {100, 100, 400, 100};

  double showOurs = 1e9, showBase = 1e9;
  int shownRows = 0;
  for (int round = 0; round < kRounds; ++round) {
    box.HideBox();
    double start = Now();
    box.ShowMatching(&anchor, prefix.c_str());
    showOurs = std::min(showOurs, Now() - start);
    shownRows = static_cast<int>(SendMessageW(box.hwnd(), LB_GETCOUNT, 0, 0));
    box.HideBox();

    ShowWindow(plain, SW_HIDE);
    start = Now();
    std::wstring text = Convert(ReadAll(path));
    SendMessageW(plain, LB_RESETCONTENT, 0, 0);
    for (const std::wstring& row : rows) SendMessageW(plain, LB_ADDSTRING, 0, reinterpret_cast<LPARAM>(row.c_str()));
    LRESULT h = SendMessageW(plain, LB_GETITEMHEIGHT, 0, 0);
    SetWindowPos(plain, HWND_TOP, anchor.left, anchor.top, anchor.right - anchor.left, static_cast<int>(9 * h + 10),
                 SWP_SHOWWINDOW | SWP_NOACTIVATE);
    showBase = std::min(showBase, Now() - start);
    ShowWindow(plain, SW_HIDE);
    if (text.empty()) return 1;
  }

  // Each addition moves an entry from the middle to the end: the file keeps its size. The
  // addition and the same work done by hand replace the same file and take turns at going first.
  double addOurs = 1e9, addBase = 1e9, addSafe = 1e9;
  for (int round = 0; round < kAddRounds; ++round) {
    const std::wstring& text = entries[static_cast<size_t>(kEntries / 2 + round)];
    for (int turn = 0; turn < 2; ++turn) {
      const double start = Now();
      if ((round + turn) % 2 == 0) {
        AddToHistory(text.c_str());
        addOurs = std::min(addOurs, Now() - start);
      } else {
        // Read, both conversions, and the safe replacement (new file, flush, rename).
        const std::string bytes = ToBytes(Convert(ReadAll(path)));
        ReplaceFileWith(path, bytes.data(), static_cast<DWORD>(bytes.size()), L"his");
        addSafe = std::min(addSafe, Now() - start);
      }
    }
    const double start = Now();
    WriteAll(copyPath, ReadAll(path));
    addBase = std::min(addBase, Now() - start);
  }

  // Two keystrokes whose prefixes both match all 10,000 entries: the first opens the drop-down,
  // the second refills it while it is on screen.
  std::vector<std::wstring> matching;
  for (const std::wstring& entry : entries) matching.push_back(L"ab " + entry);
  if (!SaveHistoryTo(path, matching)) return CannotRun("cannot write ", path);
  double first = 1e9, second = 1e9;
  for (int round = 0; round < kRefillRounds; ++round) {
    box.HideBox();
    first = std::min(first, TimeShow(box, anchor, L"a"));
    second = std::min(second, TimeShow(box, anchor, L"ab"));
  }
  const LRESULT refilled = SendMessageW(box.hwnd(), LB_GETCOUNT, 0, 0);

  // One keystroke over 10,000 entries and over 1,000,000: the same kind of entries, the file
  // read by a first keystroke that is not timed.
  double small = 1e9, large = 1e9, smallMiss = 1e9, largeMiss = 1e9;
  for (int entryCount : {kEntries, kManyEntries}) {
    if (!SaveHistoryTo(path, MakeEntries(entryCount))) return CannotRun("cannot write ", path);
    box.HideBox();
    TimeShow(box, anchor, prefix.c_str());
    double& best = entryCount == kEntries ? small : large;
    double& miss = entryCount == kEntries ? smallMiss : largeMiss;
    for (int round = 0; round < kRefillRounds; ++round) {
      box.HideBox();
      best = std::min(best, TimeShow(box, anchor, prefix.c_str()));
      miss = std::min(miss, TimeShow(box, anchor, L"q"));
    }
  }

  std::printf("bench_history: %d entries, %zu rows for prefix \"%ls\" (%d shown), best of %d rounds (%d adding)\n",
              kEntries, rows.size(), prefix.c_str(), shownRows, kRounds, kAddRounds);
  bool allMet = Report("ShowMatching, one-letter prefix", showOurs, showBase, 1.2);
  allMet &= Report("AddToHistory / converted, safe write", addOurs, addSafe, 1.3);
  Report("AddToHistory / bare read and write", addOurs, addBase, 0);
  std::printf("drop-down on screen, %ld rows, best of %d rounds\n", static_cast<long>(refilled), kRefillRounds);
  allMet &= Report("second keystroke / first", second, first, 1.5) && static_cast<size_t>(refilled) == kHistoryRowLimit;
  std::printf("keystroke \"%ls\" over %d entries against %d entries\n", prefix.c_str(), kManyEntries, kEntries);
  allMet &= Report("1,000,000 entries / 10,000", large, small, 20);
  Report("no entry begins with it", largeMiss, smallMiss, 0);
  std::printf("%s\n", allMet ? "all targets met" : "some targets missed");

  box.DestroyBox();
  DestroyWindow(plain);
  DestroyWindow(owner);
  DeleteFileW(path);
  DeleteFileW(copyPath);
  return allMet ? 0 : 1;
}
