#pragma once
// The history file beside the test program, and waiting for windows without fixed sleeps.
#include <windows.h>
#include <gtest/gtest.h>

#include <functional>
#include <string>

#include "history/history_file.h"

namespace vantorel::test {

inline std::wstring HistoryPath() {
  wchar_t path[MAX_PATH];
  EXPECT_TRUE(HistoryFilePath(path));
  return path;
}

inline void RemoveHistory() {
  SetFileAttributesW(HistoryPath().c_str(), FILE_ATTRIBUTE_NORMAL);
  DeleteFileW(HistoryPath().c_str());
  RemoveDirectoryW(HistoryPath().c_str());
}

inline void WriteHistoryBytes(const std::string& bytes) {
  RemoveHistory();
  HANDLE file = CreateFileW(HistoryPath().c_str(), GENERIC_WRITE, 0, nullptr, CREATE_NEW, 0, nullptr);
  DWORD written = 0;
  EXPECT_TRUE(WriteFile(file, bytes.data(), static_cast<DWORD>(bytes.size()), &written, nullptr));
  CloseHandle(file);
}

inline std::string ReadHistoryBytes() {
  std::string bytes;
  HANDLE file = CreateFileW(HistoryPath().c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING, 0, nullptr);
  char buffer[4096];
  DWORD read = 0;
  while (file != INVALID_HANDLE_VALUE && ReadFile(file, buffer, sizeof(buffer), &read, nullptr) && read) {
    bytes.append(buffer, read);
  }
  if (file != INVALID_HANDLE_VALUE) CloseHandle(file);
  return bytes;
}

// New files of a save that were left beside the history.
inline int StrayTemporaryFiles() {
  std::wstring pattern = HistoryPath();
  pattern.replace(pattern.rfind(L'\\') + 1, std::wstring::npos, L"his*.tmp");
  WIN32_FIND_DATAW data;
  HANDLE find = FindFirstFileW(pattern.c_str(), &data);
  if (find == INVALID_HANDLE_VALUE) return 0;
  FindClose(find);
  return 1;
}

// Handles this thread's messages until done() holds, for at most about five seconds.
inline bool PumpUntil(const std::function<bool()>& done) {
  for (int round = 0; round < 500 && !done(); ++round) {
    MSG msg;
    while (PeekMessageW(&msg, nullptr, 0, 0, PM_REMOVE)) DispatchMessageW(&msg);
    if (!done()) MsgWaitForMultipleObjects(0, nullptr, FALSE, 10, QS_ALLINPUT);
  }
  return done();
}

}  // namespace vantorel::test
