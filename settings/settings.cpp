#include "settings/settings.h"

#include <shlwapi.h>

#include "framework/data_files.h"
#include "framework/file_replace.h"
#include "framework/unique_handle.h"

namespace vantorel {
namespace {

constexpr wchar_t kSettingFileName[] = L"setting";

static_assert(sizeof(DWORD) == 4, "the file holds 32-bit words");

// Reads exactly four bytes into word; a short read leaves the bytes it got in the low-order
// end of the word (little-endian) and reports failure.
bool ReadWord(HANDLE file, DWORD& word) noexcept {
  DWORD read = 0;
  return ReadFile(file, &word, sizeof(word), &read, nullptr) && read == sizeof(word);
}

}  // namespace

bool LoadSettingsFrom(const wchar_t* path, Settings& settings) noexcept {
  if (!path || !*path || !PathFileExistsW(path)) return false;
  UniqueFile file(CreateFileW(path, GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING,
                              FILE_ATTRIBUTE_NORMAL, nullptr));
  return file && ReadWord(file.get(), settings.RunMode) && ReadWord(file.get(), settings.Options);
}

bool SaveSettingsTo(const wchar_t* path, const Settings& settings) noexcept {
  // RunMode then the options, each little-endian.
  BYTE bytes[2 * sizeof(DWORD)];
  const DWORD words[2] = {settings.RunMode, settings.Options};
  for (int word = 0; word < 2; ++word) {
    for (int i = 0; i < 4; ++i) bytes[4 * word + i] = static_cast<BYTE>(words[word] >> (8 * i));
  }
  return ReplaceFileWith(path, bytes, sizeof(bytes), L"set");
}

bool SettingsFilePath(wchar_t (&path)[MAX_PATH]) noexcept {
  return DataFilePath(kSettingFileName, DataFileUse::Read, path);
}

bool LoadSettings(Settings& settings) noexcept {
  wchar_t path[MAX_PATH];
  if (!SettingsFilePath(path)) return false;
  return LoadSettingsFrom(path, settings);
}

bool SaveSettings(const Settings& settings) noexcept {
  wchar_t path[MAX_PATH];
  if (!DataFilePath(kSettingFileName, DataFileUse::Write, path)) return false;
  return SaveSettingsTo(path, settings);
}

}  // namespace vantorel
