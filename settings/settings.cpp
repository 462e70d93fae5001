#include "settings/settings.h"

#include <shlwapi.h>

#include "framework/module.h"

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

bool WriteWord(HANDLE file, DWORD word) noexcept {
  DWORD written = 0;
  return WriteFile(file, &word, sizeof(word), &written, nullptr) && written == sizeof(word);
}

}  // namespace

bool LoadSettingsFrom(const wchar_t* path, Settings& settings) noexcept {
  if (!path || !*path || !PathFileExistsW(path)) return false;
  HANDLE file = CreateFileW(path, GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING,
                            FILE_ATTRIBUTE_NORMAL, nullptr);
  if (file == INVALID_HANDLE_VALUE) return false;
  bool ok = ReadWord(file, settings.RunMode) && ReadWord(file, settings.Options);
  CloseHandle(file);
  return ok;
}

bool SaveSettingsTo(const wchar_t* path, const Settings& settings) noexcept {
  if (!path || !*path) return false;
  // A read-only file is not replaced (a rename alone would go past the attribute on some
  // systems), and neither is a folder of that name.
  DWORD attributes = GetFileAttributesW(path);
  if (attributes != INVALID_FILE_ATTRIBUTES &&
      (attributes & (FILE_ATTRIBUTE_READONLY | FILE_ATTRIBUTE_DIRECTORY)) != 0) {
    return false;
  }
  // The new file goes next to the old one, so that the final rename stays on one volume.
  wchar_t folder[MAX_PATH];
  if (lstrlenW(path) >= MAX_PATH) return false;
  lstrcpynW(folder, path, MAX_PATH);
  if (!PathRemoveFileSpecW(folder) || !*folder) return false;
  wchar_t temporary[MAX_PATH];
  if (!GetTempFileNameW(folder, L"set", 0, temporary)) return false;

  HANDLE file = CreateFileW(temporary, GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS,
                            FILE_ATTRIBUTE_NORMAL, nullptr);
  if (file == INVALID_HANDLE_VALUE) {
    DeleteFileW(temporary);
    return false;
  }
  bool ok = WriteWord(file, settings.RunMode) && WriteWord(file, settings.Options) &&
            FlushFileBuffers(file);
  CloseHandle(file);
  if (ok) ok = MoveFileExW(temporary, path, MOVEFILE_REPLACE_EXISTING | MOVEFILE_WRITE_THROUGH) != FALSE;
  if (!ok) DeleteFileW(temporary);
  return ok;
}

bool LoadSettings(Settings& settings) noexcept {
  wchar_t path[MAX_PATH];
  if (!Module::PathBeside(kSettingFileName, path)) return false;
  return LoadSettingsFrom(path, settings);
}

bool SaveSettings(const Settings& settings) noexcept {
  wchar_t path[MAX_PATH];
  if (!Module::PathBeside(kSettingFileName, path)) return false;
  return SaveSettingsTo(path, settings);
}

}  // namespace vantorel
