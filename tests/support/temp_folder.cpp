#include "tests/support/temp_folder.h"

#include <commctrl.h>
#include <shlobj.h>
#include <shlwapi.h>

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

std::wstring ItemName(HWND listView, int index, PCIDLIST_ABSOLUTE folder) {
  wchar_t name[MAX_PATH];
  return ListItemName(listView, index, folder, name) ? name : L"";
}

// The names of the items for which keep(index) holds, in view order.
template <class Keep>
std::vector<std::wstring> NamesOf(HWND listView, const std::wstring& folder, Keep keep) {
  std::vector<std::wstring> names;
  PIDLIST_ABSOLUTE folderId = ILCreateFromPathW(folder.c_str());
  int count = static_cast<int>(SendMessageW(listView, LVM_GETITEMCOUNT, 0, 0));
  for (int i = 0; i < count; ++i) {
    if (keep(i)) names.push_back(ItemName(listView, i, folderId));
  }
  ILFree(folderId);
  return names;
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

std::wstring TempFolder::Add(const std::wstring& name) {
  std::wstring full = path_ + L"\\" + name;
  if (!name.empty() && name.back() == L'\\') {
    full.pop_back();
    CreateDirectoryW(full.c_str(), nullptr);
  } else {
    AddFile(name);
  }
  return full;
}

void TempFolder::AddAll(const std::vector<std::wstring>& names) {
  for (const auto& name : names) Add(name);
}

bool TempFolder::AddFile(const std::wstring& name) {
  std::wstring full = path_ + L"\\" + name;
  HANDLE file = CreateFileW(full.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr);
  if (file == INVALID_HANDLE_VALUE) return false;
  CloseHandle(file);
  return true;
}

bool TempFolder::AddFolder(const std::wstring& name) {
  return CreateDirectoryW((path_ + L"\\" + name).c_str(), nullptr) != 0;
}

PIDLIST_ABSOLUTE TempFolder::FolderIdList() const { return ILCreateFromPathW(path_.c_str()); }

PIDLIST_ABSOLUTE TempFolder::ItemIdList(const std::wstring& name) const {
  return ILCreateFromPathW((path_ + L"\\" + name).c_str());
}

std::vector<std::wstring> ItemNames(HWND listView, const std::wstring& folder) {
  return NamesOf(listView, folder, [](int) { return true; });
}

std::vector<std::wstring> ItemNames(HWND listView, PCIDLIST_ABSOLUTE folder) {
  std::vector<std::wstring> names;
  int count = static_cast<int>(SendMessageW(listView, LVM_GETITEMCOUNT, 0, 0));
  for (int i = 0; i < count; ++i) names.push_back(ItemName(listView, i, folder));
  return names;
}

std::vector<std::wstring> SelectedNames(HWND listView, const std::wstring& folder) {
  return NamesOf(listView, folder, [listView](int i) {
    return (SendMessageW(listView, LVM_GETITEMSTATE, i, LVIS_SELECTED) & LVIS_SELECTED) != 0;
  });
}

std::wstring FocusedName(HWND listView, const std::wstring& folder) {
  int index = static_cast<int>(SendMessageW(listView, LVM_GETNEXTITEM, static_cast<WPARAM>(-1), LVNI_FOCUSED));
  std::vector<std::wstring> names = NamesOf(listView, folder, [index](int i) { return i == index; });
  return names.empty() ? L"" : names[0];
}

}  // namespace vantorel::test
