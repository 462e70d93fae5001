#pragma once
// The keyword history: the file "history.txt" in the module's data folder
// (framework/data_files.h), one entry per line, oldest first, in the thread's ANSI code page
// with CR LF after every entry; a file that starts with the byte-order mark of UTF-8 or UTF-16
// little-endian keeps that encoding and its mark. No copy is kept in memory: every operation
// reads the file afresh, and every addition rewrites it whole.
#include <windows.h>

#include <string>
#include <vector>

namespace vantorel {

// Index 0 the oldest entry, the last index the newest. Entries are never empty and keep their
// text exactly, spaces included; repeats in the file stay repeats.
using HistoryList = std::vector<std::wstring>;

// Empties the list and fills it from the file. Any run of CR and LF separates two entries; NUL
// bytes are left out. True when the file could be read.
bool LoadHistory(HistoryList& list) noexcept;
// Writes the list in the ANSI code page, every entry followed by CR LF, to a new file that then
// takes the place of the old one; a failed save leaves the old file whole. An empty list
// writes nothing.
bool SaveHistory(const HistoryList& list) noexcept;
// Moves text (or adds it) to the newest end: the first equal entry (case-sensitive) is
// removed and text appended. Load, change and save are one step for every thread and process
// that adds to the same file. Nothing is added, and false returned, when the file is there but
// cannot be read, or when its encoding cannot store text as it is.
bool AddToHistory(const wchar_t* text) noexcept;

// The same operations on an explicit file; the band always uses the data folder's one.
bool LoadHistoryFrom(const wchar_t* path, HistoryList& list) noexcept;
bool SaveHistoryTo(const wchar_t* path, const HistoryList& list) noexcept;
bool AddToHistoryAt(const wchar_t* path, const wchar_t* text) noexcept;

// The "history.txt" that the band reads.
bool HistoryFilePath(wchar_t (&path)[MAX_PATH]) noexcept;
// The name of the mutex that makes an addition to the file at path one step: the same for
// every spelling of the same full path (letter case does not count).
bool HistoryMutexName(const wchar_t* path, wchar_t (&name)[64]) noexcept;
// How long an addition waits for another one to finish before it goes ahead anyway.
constexpr DWORD kHistoryLockWaitMs = 2000;

}  // namespace vantorel
