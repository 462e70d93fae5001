#pragma once
// A folder of real files in %TEMP% for one test, removed with everything in it afterwards.
#include <windows.h>
#include <commctrl.h>
#include <shlobj.h>

#include <algorithm>
#include <string>
#include <vector>

namespace vantorel::test {

class TempFolder {
 public:
  // The folder with the given (empty) files; tag goes into its name.
  explicit TempFolder(const std::vector<std::wstring>& files, const wchar_t* tag = L"test");
  ~TempFolder();
  TempFolder(const TempFolder&) = delete;
  TempFolder& operator=(const TempFolder&) = delete;

  const std::wstring& path() const { return path_; }
  // False when the folder or one of the first files could not be made.
  bool ok() const { return ok_; }
  // Creates an empty file in the folder.
  bool AddFile(const std::wstring& name);
  // Absolute identifier list of the folder or of one item in it; freed with ILFree.
  PIDLIST_ABSOLUTE FolderIdList() const;
  PIDLIST_ABSOLUTE ItemIdList(const std::wstring& name) const;

 private:
  std::wstring path_;
  bool ok_ = false;
};

// Names of the list view items, resolved through their identifier lists relative to folder (its
// path or its absolute identifier list); empty for an item that has none.
std::vector<std::wstring> ItemNames(HWND listView, const std::wstring& folder);
std::vector<std::wstring> ItemNames(HWND listView, PCIDLIST_ABSOLUTE folder);
// Names of the selected items, in view order; folder as for ItemNames.
template <class Folder>
std::vector<std::wstring> SelectedNames(HWND listView, const Folder& folder) {
  std::vector<std::wstring> all = ItemNames(listView, folder), selected;
  for (size_t i = 0; i < all.size(); ++i) {
    if (SendMessageW(listView, LVM_GETITEMSTATE, i, LVIS_SELECTED) & LVIS_SELECTED) selected.push_back(all[i]);
  }
  return selected;
}
// The names or lines in order, for comparing what a view shows whatever its order.
template <class Item = std::wstring>
std::vector<Item> Sorted(std::vector<Item> items) {
  std::sort(items.begin(), items.end());
  return items;
}
// Names "file0000.txt" ... for count files.
std::vector<std::wstring> NumberedNames(int count, const wchar_t* prefix = L"file",
                                        const wchar_t* extension = L".txt");

}  // namespace vantorel::test
