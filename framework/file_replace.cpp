#include "framework/file_replace.h"

#include <shlwapi.h>

#include "framework/unique_handle.h"

namespace vantorel {

bool ReplaceFileWith(const wchar_t* path, const void* bytes, DWORD size, const wchar_t* tempPrefix) noexcept {
  if (!path || !*path || (size > 0 && !bytes)) return false;
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
  // A name of its own for the new file, made here rather than by GetTempFileNameW, which would
  // create and close an empty file first: prefix, then eight hex digits from the process,
  // the thread and a counter, then ".tmp".
  static volatile LONG counter = 0;
  wchar_t temporary[MAX_PATH];
  UniqueFile file;
  for (int attempt = 0; attempt < 16 && !file; ++attempt) {
    const DWORD unique = (GetCurrentProcessId() << 20) ^ (GetCurrentThreadId() << 8) ^
                         static_cast<DWORD>(InterlockedIncrement(&counter));
    wchar_t name[16];
    wsprintfW(name, L"%.3s%08lX.tmp", tempPrefix ? tempPrefix : L"", static_cast<unsigned long>(unique));
    lstrcpynW(temporary, folder, MAX_PATH);
    if (!PathAppendW(temporary, name)) return false;
    file.reset(CreateFileW(temporary, GENERIC_WRITE, 0, nullptr, CREATE_NEW, FILE_ATTRIBUTE_NORMAL, nullptr));
    if (!file && GetLastError() != ERROR_FILE_EXISTS && GetLastError() != ERROR_ALREADY_EXISTS) return false;
  }
  if (!file) return false;

  DWORD written = 0;
  bool ok = (size == 0 || (WriteFile(file.get(), bytes, size, &written, nullptr) && written == size)) &&
            FlushFileBuffers(file.get());
  file.reset();
  if (ok) ok = MoveFileExW(temporary, path, MOVEFILE_REPLACE_EXISTING | MOVEFILE_WRITE_THROUGH) != FALSE;
  if (!ok) DeleteFileW(temporary);
  return ok;
}

}  // namespace vantorel
