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
  wchar_t temporary[MAX_PATH];
  if (!GetTempFileNameW(folder, tempPrefix, 0, temporary)) return false;

  bool ok = false;
  {
    UniqueFile file(CreateFileW(temporary, GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr));
    if (file) {
      DWORD written = 0;
      ok = (size == 0 || (WriteFile(file.get(), bytes, size, &written, nullptr) && written == size)) &&
           FlushFileBuffers(file.get());
    }
  }
  if (ok) ok = MoveFileExW(temporary, path, MOVEFILE_REPLACE_EXISTING | MOVEFILE_WRITE_THROUGH) != FALSE;
  if (!ok) DeleteFileW(temporary);
  return ok;
}

}  // namespace vantorel
