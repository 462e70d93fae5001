#pragma once
// The keyword history: the file "history.txt" in the module's data folder
// (framework/data_files.h), one entry per line, oldest first, with CR LF after every entry. A
// file keeps its encoding: the byte-order mark of UTF-8, UTF-16 little-endian or big-endian and
// that encoding; UTF-16 without a mark (told by its zero bytes and line breaks); UTF-8 without a
// mark (bytes that read as UTF-8 but for a few stray ones, one of them above 127); or else the
// thread's ANSI code page. Every addition reads the file afresh and rewrites it whole, every
// line it does not move as the bytes it was; only a drop-down keeps a copy (HistoryCopy), read
// again when the file changed. A file that is a symbolic link stays one: the file it leads to
// is replaced.
#include <windows.h>

#include <string>
#include <vector>

namespace vantorel {

// Index 0 the oldest entry, the last index the newest. Entries are never empty and keep their
// text exactly, spaces included; repeats in the file stay repeats.
using HistoryList = std::vector<std::wstring>;

// Empties the list and fills it from the file. Any run of CR and LF separates two entries; NUL
// bytes are left out, and bytes that the encoding does not define read as its stand-in (U+FFFD
// in UTF-8). True when the file could be read.
bool LoadHistory(HistoryList& list) noexcept;
// Writes the list in the ANSI code page, every entry followed by CR LF, to a new file that then
// takes the place of the old one; a failed save leaves the old file whole. An empty list
// writes nothing.
bool SaveHistory(const HistoryList& list) noexcept;
// Moves text (or adds it) to the newest end: the first line that reads as text (case-sensitive)
// is removed and text appended in the file's encoding; every other line keeps its bytes, and
// every line is followed by CR LF. Load, change and save are one step for every thread and
// process that adds to the same file. Nothing is added, and false returned, when the file is
// there but cannot be read, when which encoding it is in cannot be told safely (bytes that
// neither UTF-8 nor the ANSI code page define, NUL bytes beside bytes above 127 that are not
// UTF-16, a UTF-8 mark before bytes that are mostly not UTF-8, an odd number of UTF-16 bytes),
// or when its encoding cannot store text as it is. Any of these leaves the file as it is.
bool AddToHistory(const wchar_t* text) noexcept;

// The same operations on an explicit file; the band always uses the data folder's one. The
// addition reads and writes a file without a mark in ansiCodePage (with the "UTF-8" system
// code page of Windows, the thread's is 65001).
bool LoadHistoryFrom(const wchar_t* path, HistoryList& list) noexcept;
bool SaveHistoryTo(const wchar_t* path, const HistoryList& list) noexcept;
bool AddToHistoryAt(const wchar_t* path, const wchar_t* text, UINT ansiCodePage = CP_THREAD_ACP) noexcept;

// A drop-down's copy of the data folder's history: the file's text as read, each entry ended by a
// NUL in place of its line break, and where every entry starts (four bytes an entry beside the
// text). Refresh reads the file only when its path, size or last-write time changed since the
// copy was made, and, once there is a copy, does not wait while another window holds the file's
// lock: a keystroke then uses the copy it has.
class HistoryCopy {
 public:
  void Refresh() noexcept;
  // Puts into rows at most limit entries that begin with prefix (exact, case-sensitive; null or
  // empty: every entry), newest first, without copying them: the rows stay valid until the
  // next Refresh.
  void NewestBeginningWith(const wchar_t* prefix, size_t limit, std::vector<const wchar_t*>& rows) const;
  size_t Count() const noexcept { return starts_.size(); }

 private:
  void Forget() noexcept;

  std::wstring text_;
  std::vector<unsigned> starts_;
  bool made_ = false;
  wchar_t path_[MAX_PATH] = L"";
  WIN32_FILE_ATTRIBUTE_DATA stamp_ = {};
};

// The "history.txt" that the band reads.
bool HistoryFilePath(wchar_t (&path)[MAX_PATH]) noexcept;
// The name of the mutex that makes an addition to the file at path one step: the same for
// every spelling of the same full path (letter case does not count).
bool HistoryMutexName(const wchar_t* path, wchar_t (&name)[64]) noexcept;
// How long an addition waits for another one to finish before it goes ahead anyway.
constexpr DWORD kHistoryLockWaitMs = 2000;

}  // namespace vantorel
