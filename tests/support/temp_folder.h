#pragma once
// A folder of real files in %TEMP% for one test, removed with everything in it afterwards.
#include <windows.h>

#include <string>
#include <vector>

namespace vantorel::test {

class TempFolder {
 public:
  explicit TempFolder(const wchar_t* tag);
  ~TempFolder();
  TempFolder(const TempFolder&) = delete;
  TempFolder& operator=(const TempFolder&) = delete;

  const std::wstring& path() const { return path_; }
  // Creates an empty file (or a folder when the name ends with a backslash).
  std::wstring Add(const std::wstring& name);
  void AddAll(const std::vector<std::wstring>& names);

 private:
  std::wstring path_;
};

// Names of the list view items, resolved through their identifier lists relative to folder.
std::vector<std::wstring> ItemNames(HWND listView, const std::wstring& folder);
// Names of the selected items, in view order.
std::vector<std::wstring> SelectedNames(HWND listView, const std::wstring& folder);
// Name of the item with the focus mark, or empty.
std::wstring FocusedName(HWND listView, const std::wstring& folder);

}  // namespace vantorel::test
