#include "host/scenario_paths.h"

#include <windows.h>

namespace vantorel::host {

bool ResolvePath(PathKind kind, std::wstring& value, std::wstring& error) {
  if (kind == PathKind::None) return true;
  std::wstring path = !value.empty() && value[0] == L'/' ? L"Z:" + value : value;
  for (wchar_t& c : path) {
    if (c == L'/') c = L'\\';
  }
  wchar_t full[MAX_PATH];
  DWORD length = path.empty() ? 0 : GetFullPathNameW(path.c_str(), MAX_PATH, full, nullptr);
  if (length == 0 || length >= MAX_PATH) {
    error = L"not a usable path: \"" + value + L"\"";
    return false;
  }
  const std::wstring given = value == full ? value : value + L" (" + full + L")";
  if (kind != PathKind::Output) {
    DWORD attributes = GetFileAttributesW(full);
    bool folder = attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_DIRECTORY);
    if (attributes == INVALID_FILE_ATTRIBUTES) {
      error = (kind == PathKind::Folder ? L"no such folder: " : L"no such file: ") + given;
      return false;
    }
    if (folder != (kind == PathKind::Folder)) {
      error = given + (folder ? L" is a folder, not a file" : L" is not a folder");
      return false;
    }
  }
  value = full;
  return true;
}

}  // namespace vantorel::host
