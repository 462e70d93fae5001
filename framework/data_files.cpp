#include "framework/data_files.h"

#include <shlobj.h>
#include <shlwapi.h>

#include "framework/module.h"
#include "framework/unique_handle.h"

namespace vantorel {
namespace {

constexpr wchar_t kUserFolderName[] = L"Vantorel";

// Whether a new file can be made in folder, found by making one: the only answer that holds
// for every way of granting access (ownership, groups, inherited rights, a read-only medium).
bool CanCreateFilesIn(const wchar_t* folder) noexcept {
  wchar_t probe[MAX_PATH];
  lstrcpynW(probe, folder, MAX_PATH);
  wchar_t name[32];
  wsprintfW(name, L"~vt%08lX.tmp", static_cast<unsigned long>(GetCurrentProcessId() ^ GetTickCount()));
  if (!PathAppendW(probe, name)) return false;
  UniqueFile file(CreateFileW(probe, GENERIC_WRITE, 0, nullptr, CREATE_NEW,
                              FILE_ATTRIBUTE_TEMPORARY | FILE_FLAG_DELETE_ON_CLOSE, nullptr));
  return static_cast<bool>(file);
}

struct Location {
  wchar_t moduleFolder[MAX_PATH] = {};
  wchar_t userFolder[MAX_PATH] = {};  // empty when the files stay beside the module
  bool valid = false;
};

const Location& TheLocation() noexcept {
  static const Location location = [] {
    Location l;
    if (!Module::PathBeside(L"", l.moduleFolder)) return l;
    PathRemoveBackslashW(l.moduleFolder);
    l.valid = true;
    if (CanCreateFilesIn(l.moduleFolder)) return l;
    PWSTR base = nullptr;
    if (SUCCEEDED(SHGetKnownFolderPath(FOLDERID_LocalAppData, KF_FLAG_DEFAULT, nullptr, &base)) && base &&
        lstrlenW(base) < MAX_PATH) {
      lstrcpynW(l.userFolder, base, MAX_PATH);
      if (!PathAppendW(l.userFolder, kUserFolderName)) l.valid = false;
    } else {
      l.valid = false;
    }
    CoTaskMemFree(base);
    return l;
  }();
  return location;
}

bool Join(const wchar_t* folder, const wchar_t* name, wchar_t (&path)[MAX_PATH]) noexcept {
  lstrcpynW(path, folder, MAX_PATH);
  if (PathAppendW(path, name)) return true;
  path[0] = L'\0';
  return false;
}

// Puts a copy of source at target unless target exists; the copy is complete before it
// appears under its name, and a copy made at the same moment by another process wins.
void CopyInOnce(const wchar_t* source, const wchar_t* target, const wchar_t* folder) noexcept {
  if (PathFileExistsW(target) || !PathFileExistsW(source)) return;
  wchar_t temporary[MAX_PATH];
  if (!GetTempFileNameW(folder, L"cpy", 0, temporary)) return;
  if (!CopyFileW(source, temporary, FALSE) || !MoveFileExW(temporary, target, MOVEFILE_WRITE_THROUGH)) {
    DeleteFileW(temporary);
  }
}

}  // namespace

bool DataFilePath(const wchar_t* name, DataFileUse use, wchar_t (&path)[MAX_PATH]) noexcept {
  path[0] = L'\0';
  const Location& l = TheLocation();
  if (!name || !l.valid) return false;
  if (!*l.userFolder) return Join(l.moduleFolder, name, path);
  wchar_t beside[MAX_PATH];
  if (!Join(l.userFolder, name, path) || !Join(l.moduleFolder, name, beside)) return false;
  if (use == DataFileUse::Read) {
    if (!PathFileExistsW(path) && PathFileExistsW(beside)) lstrcpynW(path, beside, MAX_PATH);
    return true;
  }
  const int made = SHCreateDirectoryExW(nullptr, l.userFolder, nullptr);
  if (made != ERROR_SUCCESS && made != ERROR_ALREADY_EXISTS && made != ERROR_FILE_EXISTS) {
    path[0] = L'\0';
    return false;
  }
  CopyInOnce(beside, path, l.userFolder);
  return true;
}

bool DataFolder(wchar_t (&folder)[MAX_PATH]) noexcept {
  const Location& l = TheLocation();
  folder[0] = L'\0';
  if (!l.valid) return false;
  lstrcpynW(folder, *l.userFolder ? l.userFolder : l.moduleFolder, MAX_PATH);
  return true;
}

}  // namespace vantorel
