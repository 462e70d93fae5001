#include "history/history_file.h"

#include <algorithm>
#include <cstring>
#include <cwchar>

#include "framework/data_files.h"
#include "framework/file_replace.h"
#include "framework/unique_handle.h"

namespace vantorel {
namespace {

constexpr wchar_t kHistoryFileName[] = L"history.txt";

// How the file's text is stored: a file that starts with the byte-order mark of UTF-8 or of
// UTF-16 little-endian is read and written in that encoding, mark included; any other file is
// in the thread's ANSI code page.
enum class Encoding { kAnsi, kUtf8, kUtf16 };
constexpr char kUtf8Mark[] = "\xEF\xBB\xBF";
constexpr char kUtf16Mark[] = "\xFF\xFE";

enum class ReadResult { kMissing, kRead, kUnreadable };

// The file's entries, converted, with line breaks between them, and how the file stores them.
struct HistoryText {
  Encoding encoding = Encoding::kAnsi;
  std::wstring text;
};

template <class Unit>
bool IsSeparator(Unit c) {
  return c == '\r' || c == '\n';
}

// Calls take(start, length) for every entry between begin and end, front to back: the pieces
// between runs of CR and LF; empty pieces are skipped.
template <class Unit, class Take>
void ForEachEntry(const Unit* begin, const Unit* end, Take take) {
  const Unit* at = begin;
  while (at < end) {
    while (at < end && IsSeparator(*at)) ++at;
    const Unit* start = at;
    while (at < end && !IsSeparator(*at)) ++at;
    if (at > start) take(start, static_cast<size_t>(at - start));
  }
}

// Converts one line of the file, its NUL bytes left out, and appends it to text. No byte of an
// ANSI code page or of UTF-8 gives more than one UTF-16 unit, so the room is known beforehand.
bool AppendLine(UINT codePage, const char* line, size_t length, std::string& scratch, std::wstring& text) {
  if (std::memchr(line, '\0', length)) {
    scratch.assign(line, length);
    scratch.erase(std::remove(scratch.begin(), scratch.end(), '\0'), scratch.end());
    line = scratch.data();
    length = scratch.size();
  }
  if (length == 0) return true;
  if (length > 0x7FFFFFFF) return false;
  const size_t at = text.size();
  text.resize(at + length);
  const int size = static_cast<int>(length);
  const int units = MultiByteToWideChar(codePage, 0, line, size, &text[at], size);
  text.resize(at + static_cast<size_t>(units > 0 ? units : 0));
  return units > 0;
}

// The thread's ANSI code page by its number, looked up once rather than for every line.
UINT ThreadAnsiCodePage() {
  CPINFOEXW info;
  return GetCPInfoExW(CP_THREAD_ACP, 0, &info) ? info.CodePage : CP_THREAD_ACP;
}

// Whether converting the text whole reads every line as converting it on its own would: no NUL
// byte, and no line ends in a byte that can start a two-byte character (the conversion would
// take the line break after it for the second byte).
bool ConvertsWhole(UINT codePage, const char* begin, const char* end) {
  CPINFO info;
  if (std::memchr(begin, '\0', static_cast<size_t>(end - begin)) || !GetCPInfo(codePage, &info)) return false;
  if (info.LeadByte[0] == 0) return true;  // no two-byte characters
  bool lead[256] = {};
  for (int i = 0; i + 1 < MAX_LEADBYTES && info.LeadByte[i]; i += 2) {
    for (int byte = info.LeadByte[i]; byte <= info.LeadByte[i + 1]; ++byte) lead[byte] = true;
  }
  for (const char* at = begin + 1; at < end; ++at) {
    if (IsSeparator(*at) && lead[static_cast<unsigned char>(at[-1])]) return false;
  }
  return true;
}

// Converts the file's bytes. Where converting them whole could join or cut lines, they are
// split into lines on the bytes themselves and each line is converted on its own: a lead byte
// at the end of a line cannot take the line break for its trail byte (CR and LF are never trail
// bytes in the ANSI code pages). NUL bytes (NUL units in UTF-16) are left out. The text gets
// room for as many more units.
bool DecodeHistory(const std::string& bytes, size_t room, HistoryText& history) {
  const char* begin = bytes.data();
  const char* const end = begin + bytes.size();
  if (bytes.compare(0, 2, kUtf16Mark) == 0) {
    history.encoding = Encoding::kUtf16;
    history.text.resize((bytes.size() - 2) / sizeof(wchar_t));
    if (!history.text.empty()) std::memcpy(&history.text[0], begin + 2, history.text.size() * sizeof(wchar_t));
    history.text.erase(std::remove(history.text.begin(), history.text.end(), L'\0'), history.text.end());
    return true;
  }
  UINT codePage = ThreadAnsiCodePage();
  if (bytes.compare(0, 3, kUtf8Mark) == 0) {
    history.encoding = Encoding::kUtf8;
    codePage = CP_UTF8;
    begin += 3;
  }
  history.text.reserve(bytes.size() + 1 + room);
  std::string scratch;
  if (ConvertsWhole(codePage, begin, end)) {
    return AppendLine(codePage, begin, static_cast<size_t>(end - begin), scratch, history.text);
  }
  bool ok = true;
  ForEachEntry(begin, end, [&](const char* line, size_t length) {
    ok = ok && AppendLine(codePage, line, length, scratch, history.text);
    history.text += L"\r\n";
  });
  return ok;
}

// Reads and converts the whole file, with room for as many more units. Missing: there is no
// file. Unreadable: it is there but cannot be opened, its size or bytes cannot be read (4 GiB
// or more included), or a line does not convert; history then holds nothing.
ReadResult ReadHistoryText(const wchar_t* path, HistoryText& history, size_t room = 0) {
  history = HistoryText();
  if (!path || !*path) return ReadResult::kMissing;
  UniqueFile file(CreateFileW(path, GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL,
                              nullptr));
  if (!file) {
    const DWORD error = GetLastError();
    return error == ERROR_FILE_NOT_FOUND || error == ERROR_PATH_NOT_FOUND ? ReadResult::kMissing
                                                                            : ReadResult::kUnreadable;
  }
  DWORD high = 0;
  const DWORD size = GetFileSize(file.get(), &high);
  if ((size == INVALID_FILE_SIZE && GetLastError() != NO_ERROR) || high != 0) return ReadResult::kUnreadable;
  std::string bytes(size, '\0');
  DWORD read = 0;
  if (size && !ReadFile(file.get(), &bytes[0], size, &read, nullptr)) return ReadResult::kUnreadable;
  bytes.resize(read);
  if (DecodeHistory(bytes, room, history)) return ReadResult::kRead;
  history = HistoryText();
  return ReadResult::kUnreadable;
}

// Whether encoding stores text exactly, by the converter's own report: no default character
// and no look-alike stands in for any of it.
bool Holds(Encoding encoding, const wchar_t* text, int length) {
  if (encoding == Encoding::kUtf16) return true;
  if (encoding == Encoding::kUtf8) {
    return WideCharToMultiByte(CP_UTF8, WC_ERR_INVALID_CHARS, text, length, nullptr, 0, nullptr, nullptr) > 0;
  }
  BOOL usedDefault = FALSE;
  const int size =
      WideCharToMultiByte(CP_THREAD_ACP, WC_NO_BEST_FIT_CHARS, text, length, nullptr, 0, nullptr, &usedDefault);
  return size > 0 && !usedDefault;
}

// Converts text (entries each followed by CR LF) to encoding and puts it in place of the file.
// No default character is given: what the code page cannot show becomes its own default
// character.
bool WriteHistoryText(const wchar_t* path, Encoding encoding, const std::wstring& text) {
  if (text.empty() || text.size() > 0x3FFFFFFF) return false;
  std::string bytes;
  if (encoding == Encoding::kUtf16) {
    bytes.reserve(2 + text.size() * sizeof(wchar_t));
    bytes.assign(kUtf16Mark, 2);
    bytes.append(reinterpret_cast<const char*>(text.data()), text.size() * sizeof(wchar_t));
  } else {
    const UINT codePage = encoding == Encoding::kUtf8 ? CP_UTF8 : CP_THREAD_ACP;
    if (encoding == Encoding::kUtf8) bytes = kUtf8Mark;
    const size_t at = bytes.size();
    const int units = static_cast<int>(text.size());
    int size = WideCharToMultiByte(codePage, 0, text.data(), units, nullptr, 0, nullptr, nullptr);
    if (size <= 0) return false;
    bytes.resize(at + static_cast<size_t>(size));
    size = WideCharToMultiByte(codePage, 0, text.data(), units, &bytes[at], size, nullptr, nullptr);
    if (size <= 0) return false;
    bytes.resize(at + static_cast<size_t>(size));
  }
  return ReplaceFileWith(path, bytes.data(), static_cast<DWORD>(bytes.size()), L"his");
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
    HistoryText history;
    if (ReadHistoryText(path, history) != ReadResult::kRead) return false;
    const wchar_t* text = history.text.data();
    ForEachEntry(text, text + history.text.size(),
                 [&](const wchar_t* entry, size_t length) { list.emplace_back(entry, length); });
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
    return WriteHistoryText(path, Encoding::kAnsi, text);
  } catch (...) {
    return false;
  }
}

bool AddToHistoryAt(const wchar_t* path, const wchar_t* text) noexcept {
  if (!path || !text || !*text) return false;
  HistoryFileLock lock(path);
  try {
    // A file that is there but cannot be read is left as it is: rewritten, it would lose its
    // entries. A text that the file cannot store as typed is not kept either: it would read
    // back as another text.
    const size_t textLength = wcslen(text);
    HistoryText old;
    if (ReadHistoryText(path, old, textLength + 2) == ReadResult::kUnreadable) return false;
    if (textLength > 0x7FFFFFFF || !Holds(old.encoding, text, static_cast<int>(textLength))) return false;
    // Drop the first entry equal to text and append text, every entry followed by CR LF. A text
    // in that form already (as every save leaves it) is changed in place; any other is rebuilt.
    std::wstring& entries = old.text;
    const wchar_t *const begin = entries.data(), *const end = begin + entries.size();
    const wchar_t *found = nullptr, *tidyTo = begin;
    ForEachEntry(begin, end, [&](const wchar_t* entry, size_t length) {
      if (!found && length == textLength && wmemcmp(entry, text, length) == 0) found = entry;
      const wchar_t* after = entry + length;
      const bool crlf = end - after >= 2 && after[0] == L'\r' && after[1] == L'\n';
      tidyTo = entry == tidyTo && crlf ? after + 2 : nullptr;
    });
    if (tidyTo == end) {
      if (found) entries.erase(static_cast<size_t>(found - begin), textLength + 2);
    } else {
      std::wstring updated;
      updated.reserve(entries.size() + textLength + 2);
      ForEachEntry(begin, end, [&](const wchar_t* entry, size_t length) {
        if (entry != found) updated.append(entry, length).append(L"\r\n");
      });
      entries.swap(updated);
    }
    entries.append(text, textLength).append(L"\r\n");
    return WriteHistoryText(path, old.encoding, entries);
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
