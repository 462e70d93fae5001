#include "tests/support/temp_folder.h"

#include <commctrl.h>
#include <shlobj.h>

#include <cwchar>

#include "view/item_name.h"

namespace vantorel::test {
namespace {

void RemoveTree(const std::wstring& path) {
  WIN32_FIND_DATAW data;
  HANDLE find = FindFirstFileW((path + L"\\*").c_str(), &data);
  if (find != INVALID_HANDLE_VALUE) {
    do {
      std::wstring name = data.cFileName;
      if (name == L"." || name == L"..") continue;
      std::wstring child = path + L"\\" + name;
      if (data.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) {
        RemoveTree(child);
      } else {
        SetFileAttributesW(child.c_str(), FILE_ATTRIBUTE_NORMAL);
        DeleteFileW(child.c_str());
      }
    } while (FindNextFileW(find, &data));
    FindClose(find);
  }
  RemoveDirectoryW(path.c_str());
}

}  // namespace

TempFolder::TempFolder(const std::vector<std::wstring>& files, const wchar_t* tag) {
  wchar_t temp[MAX_PATH];
  DWORD length = GetTempPathW(MAX_PATH, temp);
  if (length == 0 || length >= MAX_PATH) return;
  // Unique within the process too: several folders may be made within one tick.
  static LONG serial = 0;
  wchar_t unique[48];
  wsprintfW(unique, L"%lu-%lu-%ld", GetCurrentProcessId(), GetTickCount(), InterlockedIncrement(&serial));
  path_ = std::wstring(temp) + L"vantorel-" + tag + L"-" + unique;
  if (!CreateDirectoryW(path_.c_str(), nullptr)) return;
  ok_ = true;
  for (const std::wstring& file : files) ok_ = AddFile(file) && ok_;
}

TempFolder::~TempFolder() {
  if (!path_.empty()) RemoveTree(path_);
}

bool TempFolder::AddFile(const std::wstring& name) {
  std::wstring full = path_ + L"\\" + name;
  HANDLE file = CreateFileW(full.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr);
  if (file == INVALID_HANDLE_VALUE) return false;
  CloseHandle(file);
  return true;
}

PIDLIST_ABSOLUTE TempFolder::FolderIdList() const { return ILCreateFromPathW(path_.c_str()); }

PIDLIST_ABSOLUTE TempFolder::ItemIdList(const std::wstring& name) const {
  return ILCreateFromPathW((path_ + L"\\" + name).c_str());
}

std::vector<std::wstring> ItemNames(HWND listView, const std::wstring& folder) {
  PIDLIST_ABSOLUTE folderId = ILCreateFromPathW(folder.c_str());
  std::vector<std::wstring> names = ItemNames(listView, folderId);
  ILFree(folderId);
  return names;
}

std::vector<std::wstring> ItemNames(HWND listView, PCIDLIST_ABSOLUTE folder) {
  std::vector<std::wstring> names;
  int count = static_cast<int>(SendMessageW(listView, LVM_GETITEMCOUNT, 0, 0));
  for (int i = 0; i < count; ++i) {
    wchar_t name[MAX_PATH];
    names.push_back(ListItemName(listView, i, folder, name) ? name : L"");
  }
  return names;
}

std::vector<std::wstring> NumberedNames(int count, const wchar_t* prefix, const wchar_t* extension) {
  std::vector<std::wstring> names;
  for (int i = 0; i < count; ++i) {
    wchar_t name[64];
    swprintf(name, 64, L"%ls%04d%ls", prefix, i, extension);
    names.push_back(name);
  }
  return names;
}

}  // namespace vantorel::test
