#include "history/history_file.h"

#include <shlwapi.h>

#include <algorithm>
#include <cstring>
#include <cwchar>

#include "framework/data_files.h"
#include "framework/file_replace.h"
#include "framework/unique_handle.h"

namespace vantorel {
namespace {

constexpr wchar_t kHistoryFileName[] = L"history.txt";

bool IsSeparator(wchar_t c) { return c == L'\r' || c == L'\n'; }

// Calls take(start, length) for every entry of text, front to back: the pieces between runs
// of CR and LF; empty pieces are skipped.
template <class Take>
void ForEachEntry(const std::wstring& text, Take take) {
  size_t i = 0;
  const size_t end = text.size();
  while (i < end) {
    while (i < end && IsSeparator(text[i])) ++i;
    size_t start = i;
    while (i < end && !IsSeparator(text[i])) ++i;
    if (i > start) take(start, i - start);
  }
}

// Reads the file's bytes up to the first NUL and converts them from the thread's ANSI code
// page. False when the file is missing or cannot be opened; an unreadable size, a failed read
// or a failed conversion give an empty text.
bool ReadHistoryText(const wchar_t* path, std::wstring& text) {
  text.clear();
  if (!path || !*path || !PathFileExistsW(path)) return false;
  UniqueFile file(CreateFileW(path, GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL,
                              nullptr));
  if (!file) return false;
  // Only the low 32 bits of the size count.
  DWORD size = GetFileSize(file.get(), nullptr);
  if (size == INVALID_FILE_SIZE && GetLastError() != NO_ERROR) return true;
  std::string bytes(static_cast<size_t>(size) + 1, '\0');
  DWORD read = 0;
  if (!ReadFile(file.get(), &bytes[0], size, &read, nullptr)) read = 0;
  bytes.resize(std::min<size_t>(read, strlen(bytes.c_str())));  // the first NUL ends the text
  if (bytes.empty()) return true;
  int units = MultiByteToWideChar(CP_THREAD_ACP, 0, bytes.data(), static_cast<int>(bytes.size()), nullptr, 0);
  if (units <= 0) return true;
  text.resize(static_cast<size_t>(units));
  units = MultiByteToWideChar(CP_THREAD_ACP, 0, bytes.data(), static_cast<int>(bytes.size()), &text[0], units);
  text.resize(static_cast<size_t>(units > 0 ? units : 0));
  return true;
}

// Converts text (entries each followed by CR LF) to the thread's ANSI code page and puts it
// in place of the file. No default character is given: what the code page cannot show
// becomes its own default character.
bool WriteHistoryText(const wchar_t* path, const std::wstring& text) {
  if (text.empty() || text.size() > 0x7FFFFFFF) return false;
  const int units = static_cast<int>(text.size());
  int size = WideCharToMultiByte(CP_THREAD_ACP, 0, text.data(), units, nullptr, 0, nullptr, nullptr);
  if (size <= 0) return false;
  std::string bytes(static_cast<size_t>(size), '\0');
  size = WideCharToMultiByte(CP_THREAD_ACP, 0, text.data(), units, &bytes[0], size, nullptr, nullptr);
  if (size <= 0) return false;
  return ReplaceFileWith(path, bytes.data(), static_cast<DWORD>(size), L"his");
}

// Held for one load, save or addition. Every process that loads the module derives the same
// name from the file's full path, so additions from all Explorer windows queue up here. A
// holder that does not let go within kHistoryLockWaitMs is passed by: the addition then goes
// ahead unguarded (the file is still replaced whole), which loses at most the other one's
// change instead of the user's keyword or the calling window's responsiveness.
class HistoryFileLock {
 public:
  explicit HistoryFileLock(const wchar_t* path) noexcept {
    wchar_t name[64];
    if (!HistoryMutexName(path, name)) return;
    mutex_.reset(CreateMutexW(nullptr, FALSE, name));
    if (!mutex_) return;
    DWORD wait = WaitForSingleObject(mutex_.get(), kHistoryLockWaitMs);
    // An abandoned mutex is ours now; the file itself is never left half-written.
    owned_ = wait == WAIT_OBJECT_0 || wait == WAIT_ABANDONED;
  }
  ~HistoryFileLock() {
    if (owned_) ReleaseMutex(mutex_.get());
  }
  HistoryFileLock(const HistoryFileLock&) = delete;
  HistoryFileLock& operator=(const HistoryFileLock&) = delete;

 private:
  UniqueKernelHandle mutex_;
  bool owned_ = false;
};

}  // namespace

bool HistoryMutexName(const wchar_t* path, wchar_t (&name)[64]) noexcept {
  name[0] = L'\0';
  if (!path || !*path) return false;
  wchar_t full[MAX_PATH];
  DWORD length = GetFullPathNameW(path, MAX_PATH, full, nullptr);
  if (length == 0 || length >= MAX_PATH) return false;
  CharUpperBuffW(full, length);
  // FNV-1a, 64 bits, over the UTF-16 code units: a backslash may not appear in the name.
  unsigned long long hash = 14695981039346656037ull;
  for (DWORD i = 0; i < length; ++i) {
    hash ^= static_cast<unsigned short>(full[i]);
    hash *= 1099511628211ull;
  }
  static const wchar_t kPrefix[] = L"Local\\Vantorel.History.";
  static const wchar_t kDigits[] = L"0123456789ABCDEF";
  size_t at = wcslen(kPrefix);
  wmemcpy(name, kPrefix, at);
  for (int shift = 60; shift >= 0; shift -= 4) name[at++] = kDigits[(hash >> shift) & 0xF];
  name[at] = L'\0';
  return true;
}

bool HistoryFilePath(wchar_t (&path)[MAX_PATH]) noexcept {
  return DataFilePath(kHistoryFileName, DataFileUse::Read, path);
}

bool LoadHistoryFrom(const wchar_t* path, HistoryList& list) noexcept {
  list.clear();
  try {
    std::wstring text;
    if (!ReadHistoryText(path, text)) return false;
    ForEachEntry(text, [&](size_t start, size_t length) { list.emplace_back(text, start, length); });
  } catch (...) {
    list.clear();
  }
  return true;
}

bool SaveHistoryTo(const wchar_t* path, const HistoryList& list) noexcept {
  if (list.empty()) return true;
  try {
    std::wstring text;
    for (const std::wstring& entry : list) {
      text += entry;
      text += L"\r\n";
    }
    return WriteHistoryText(path, text);
  } catch (...) {
    return false;
  }
}

bool AddToHistoryAt(const wchar_t* path, const wchar_t* text) noexcept {
  if (!path || !text || !*text) return false;
  HistoryFileLock lock(path);
  try {
    // Load, drop the first entry equal to text, append text, save: in one pass over the
    // converted file, without a string per entry.
    std::wstring old;
    ReadHistoryText(path, old);
    const size_t textLength = wcslen(text);
    std::wstring updated;
    updated.reserve(old.size() + textLength + 2);
    bool removed = false;
    ForEachEntry(old, [&](size_t start, size_t length) {
      if (!removed && length == textLength && old.compare(start, length, text) == 0) {
        removed = true;
        return;
      }
      updated.append(old, start, length);
      updated += L"\r\n";
    });
    updated += text;
    updated += L"\r\n";
    return WriteHistoryText(path, updated);
  } catch (...) {
    return false;
  }
}

bool LoadHistory(HistoryList& list) noexcept {
  wchar_t path[MAX_PATH];
  if (!HistoryFilePath(path)) {
    list.clear();
    return false;
  }
  // Waits for an addition in progress, so the file is never read while it is being replaced.
  HistoryFileLock lock(path);
  return LoadHistoryFrom(path, list);
}

bool SaveHistory(const HistoryList& list) noexcept {
  wchar_t path[MAX_PATH];
  if (!DataFilePath(kHistoryFileName, DataFileUse::Write, path)) return false;
  HistoryFileLock lock(path);
  return SaveHistoryTo(path, list);
}

bool AddToHistory(const wchar_t* text) noexcept {
  wchar_t path[MAX_PATH];
  if (!DataFilePath(kHistoryFileName, DataFileUse::Write, path)) return false;
  return AddToHistoryAt(path, text);
}

}  // namespace vantorel
