#pragma once
// Replacing a small file whole: the new bytes go to a fresh file in the same folder, and that
// file takes the place of the old one only after every byte reached it.
#include <windows.h>

namespace vantorel {

// Writes size bytes to a new file beside path and then moves it over path. On any failure the
// file at path stays as it was and no new file is left behind. A read-only file or a folder
// at path is not replaced. tempPrefix: the first three characters name the new file
// (GetTempFileNameW), so that a leftover of a crash can be recognised.
bool ReplaceFileWith(const wchar_t* path, const void* bytes, DWORD size, const wchar_t* tempPrefix) noexcept;

}  // namespace vantorel
