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
  if (!DeleteFileW(HistoryPath().c_str())) RemoveDirectoryW(HistoryPath().c_str());
}

inline void WriteHistoryBytes(const std::string& bytes) {
  RemoveHistory();
  HANDLE file = CreateFileW(HistoryPath().c_str(), GENERIC_WRITE, 0, nullptr, CREATE_NEW, 0, nullptr);
  DWORD written = 0;
  EXPECT_TRUE(WriteFile(file, bytes.data(), static_cast<DWORD>(bytes.size()), &written, nullptr));
  CloseHandle(file);
}

inline std::string ReadHistoryBytes() {
  HANDLE file = CreateFileW(HistoryPath().c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING, 0, nullptr);
  std::string bytes(1 << 16, '\0');
  DWORD read = 0;
  if (file == INVALID_HANDLE_VALUE || !ReadFile(file, &bytes[0], 1 << 16, &read, nullptr)) read = 0;
  CloseHandle(file);
  return bytes.substr(0, read);
}

// Whether a save left one of its new files ("his*.tmp") beside the history.
inline bool StrayNewFile() {
  std::wstring pattern = HistoryPath();
  WIN32_FIND_DATAW data;
  HANDLE find = FindFirstFileW(pattern.replace(pattern.rfind(L'\\') + 1, 99, L"his*.tmp").c_str(), &data);
  return find != INVALID_HANDLE_VALUE && FindClose(find);
}

// Handles this thread's messages until done() holds, for at most about five seconds.
inline bool PumpUntil(const std::function<bool()>& done) {
  for (int round = 0; round < 500 && !done(); ++round) {
    for (MSG msg; PeekMessageW(&msg, nullptr, 0, 0, PM_REMOVE);) DispatchMessageW(&msg);
    if (!done()) MsgWaitForMultipleObjects(0, nullptr, FALSE, 10, QS_ALLINPUT);
  }
  return done();
}

}  // namespace vantorel::test
