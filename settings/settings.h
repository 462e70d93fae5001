#pragma once
// The band's settings record: the run mode and the option bits.
#include <windows.h>

#include "match/match_options.h"  // kFoldCase, kFoldDigitWidth, kDefaultAnd, kFoldWidthForms

namespace vantorel {

constexpr DWORD kRunModeSelect = 0;
constexpr DWORD kRunModeFilter = 1;

// With the matcher's four bits (0x1, 0x2, 0x100, 0x200):
constexpr DWORD kRunOnInputOption = 0x10;
constexpr DWORD kKeepHistoryOption = 0x20;
constexpr DWORD kSortHistoryOption = 0x40;
constexpr DWORD kAutoFilterWithTreeOption = 0x80;

// Of a band without a settings file; a file written before 0x200 had a meaning keeps it clear.
constexpr DWORD kDefaultOptions = 0x233;

struct Settings {
  DWORD RunMode = kRunModeSelect;
  DWORD Options = kDefaultOptions;
};

}  // namespace vantorel

namespace vantorel {

// The file "setting" (in the module's data folder, framework/data_files.h): RunMode then the
// options, each unsigned 32-bit little-endian, 8 bytes in all. Both return a success flag that
// callers may ignore.
//
// Load overwrites the record with what the file holds, word by word, and stops at the first
// word it cannot read whole; bytes already read stay in the record (a 6-byte file replaces
// RunMode and the two low-order bytes of the options). Values are taken unchecked.
bool LoadSettings(Settings& settings) noexcept;
// Save writes the record to a new file in the same folder and only then puts it in place of
// "setting", so a failed save leaves the previous file as it was.
bool SaveSettings(const Settings& settings) noexcept;

// The "setting" file that the band reads.
bool SettingsFilePath(wchar_t (&path)[MAX_PATH]) noexcept;

// The same two operations on an explicit path; the band always uses the data folder's file.
bool LoadSettingsFrom(const wchar_t* path, Settings& settings) noexcept;
bool SaveSettingsTo(const wchar_t* path, const Settings& settings) noexcept;

}  // namespace vantorel
