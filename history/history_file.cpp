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

// How the file's text is stored. A file that starts with a byte-order mark is read and written
// in that mark's encoding, mark included. A file without one is UTF-8 when all its bytes read
// as UTF-8 and one of them is above 127 (Notepad's default); any other is in the ANSI code page.
enum class Encoding { kAnsi, kUtf8, kUtf8Marked, kUtf16, kUtf16BigEndian };
struct EncodingMark {
  Encoding encoding;
  const char* bytes;
};
constexpr EncodingMark kMarks[] = {{Encoding::kUtf8Marked, "\xEF\xBB\xBF"},
                                   {Encoding::kUtf16, "\xFF\xFE"},
                                   {Encoding::kUtf16BigEndian, "\xFE\xFF"}};

const char* MarkOf(Encoding encoding) {
  for (const EncodingMark& mark : kMarks) {
    if (mark.encoding == encoding) return mark.bytes;
  }
  return "";
}

bool IsUtf16(Encoding encoding) { return encoding == Encoding::kUtf16 || encoding == Encoding::kUtf16BigEndian; }

// Untold: read, but which encoding the file is in cannot be told safely; its entries are
// offered as they read, and it is not rewritten.
enum class ReadResult { kMissing, kRead, kUntold, kUnreadable };

// The file's entries, converted, with line breaks between them, and how the file stores them.
struct HistoryText {
  Encoding encoding = Encoding::kAnsi;
  UINT ansiCodePage = CP_ACP;
  std::wstring text;
};

// The code page of a file stored in bytes: its ANSI code page, or UTF-8.
UINT ByteCodePage(const HistoryText& history) {
  return history.encoding == Encoding::kAnsi ? history.ansiCodePage : CP_UTF8;
}

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

// Converts lines of the file from codePage and appends them to a text, their NUL bytes left
// out. A line holding a byte sequence that the code page does not define clears exact; it then
// fails, or, when lenient, is converted with the code page's stand-ins. Lines known to be exact
// (bytes below 128 only) are not checked. No byte of an ANSI code page or of UTF-8 gives more
// than one UTF-16 unit, so the room is known beforehand.
struct LineConverter {
  LineConverter(UINT from, bool withStandIns, bool check) : codePage(from), lenient(withStandIns), checked(check) {}
  const UINT codePage;
  const bool lenient;
  const bool checked;
  bool exact = true;
  std::string scratch;

  bool Append(const char* line, size_t length, std::wstring& text) {
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
    int units = MultiByteToWideChar(codePage, checked ? MB_ERR_INVALID_CHARS : 0, line, size, &text[at], size);
    if (units <= 0 && checked) {
      exact = false;
      units = lenient ? MultiByteToWideChar(codePage, 0, line, size, &text[at], size) : 0;
    }
    text.resize(at + static_cast<size_t>(units > 0 ? units : 0));
    return units > 0;
  }
};

// The ANSI code page by its number (that of the thread for CP_THREAD_ACP), looked up once
// rather than for every line.
UINT AnsiCodePageNumber(UINT codePage) {
  CPINFOEXW info;
  return GetCPInfoExW(codePage, 0, &info) ? info.CodePage : codePage;
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

// Converts the file's bytes, after a byte-order mark, in the encoding that the mark or the
// bytes tell. Where converting them whole could join or cut lines, they are split into lines
// on the bytes themselves and each line is converted on its own: a lead byte at the end of a
// line cannot take the line break for its trail byte (CR and LF are never trail bytes in the
// ANSI code pages). NUL bytes (NUL units in UTF-16) are left out. The text gets room for as many
// more units.
ReadResult DecodeHistory(const std::string& bytes, size_t room, HistoryText& history) {
  const char* begin = bytes.data();
  const char* const end = begin + bytes.size();
  for (const EncodingMark& mark : kMarks) {
    if (bytes.compare(0, std::strlen(mark.bytes), mark.bytes) == 0) {
      history.encoding = mark.encoding;
      begin += std::strlen(mark.bytes);
      break;
    }
  }
  const size_t size = static_cast<size_t>(end - begin);
  if (IsUtf16(history.encoding)) {
    history.text.resize(size / sizeof(wchar_t));
    if (!history.text.empty()) std::memcpy(&history.text[0], begin, history.text.size() * sizeof(wchar_t));
    if (history.encoding == Encoding::kUtf16BigEndian) {
      for (wchar_t& unit : history.text) unit = static_cast<wchar_t>(((unit & 0xFF) << 8) | ((unit >> 8) & 0xFF));
    }
    history.text.erase(std::remove(history.text.begin(), history.text.end(), L'\0'), history.text.end());
    return size % 2 ? ReadResult::kUntold : ReadResult::kRead;  // a byte of half a unit at the end
  }
  const bool high = std::any_of(begin, end, [](char byte) { return (byte & 0x80) != 0; });
  const bool nul = std::memchr(begin, '\0', size) != nullptr;
  history.text.reserve(size + 1 + room);
  if (history.encoding == Encoding::kAnsi && high && !nul) {
    if (LineConverter{CP_UTF8, false, true}.Append(begin, size, history.text)) {
      history.encoding = Encoding::kUtf8;
      return ReadResult::kRead;
    }
    history.text.clear();
  }
  LineConverter convert{ByteCodePage(history), true, high};
  bool ok = true;
  if (ConvertsWhole(convert.codePage, begin, end)) {
    ok = convert.Append(begin, size, history.text);
  } else {
    ForEachEntry(begin, end, [&](const char* line, size_t length) {
      ok = ok && convert.Append(line, length, history.text);
      history.text += L"\r\n";
    });
  }
  if (!ok) return ReadResult::kUnreadable;
  // NUL bytes beside bytes above 127 without a mark may be UTF-16 without one.
  return convert.exact && !(history.encoding == Encoding::kAnsi && nul && high) ? ReadResult::kRead
                                                                               : ReadResult::kUntold;
}

// Reads and converts the whole file, with room for as many more units; a file without a mark
// may be in ansiCodePage (a number). Missing: there is no file. Unreadable: it is there but
// cannot be opened, its size or bytes cannot be read (4 GiB or more included), or a line does
// not convert; history then holds nothing.
ReadResult ReadHistoryText(const wchar_t* path, UINT ansiCodePage, HistoryText& history, size_t room = 0) {
  history = HistoryText();
  history.ansiCodePage = ansiCodePage;
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
  const ReadResult result = DecodeHistory(bytes, room, history);
  if (result == ReadResult::kUnreadable) history.text.clear();
  return result;
}

// Whether the file's encoding stores text exactly, by the converter's own report: no default
// character and no look-alike stands in for any of it. UTF-8, which gives no such report,
// stores every text that is whole UTF-16 (no lone surrogate).
bool Holds(const HistoryText& history, const wchar_t* text, int length) {
  if (IsUtf16(history.encoding)) return true;
  const UINT codePage = ByteCodePage(history);
  if (codePage == CP_UTF8) {
    return WideCharToMultiByte(CP_UTF8, WC_ERR_INVALID_CHARS, text, length, nullptr, 0, nullptr, nullptr) > 0;
  }
  BOOL usedDefault = FALSE;
  const int size = WideCharToMultiByte(codePage, WC_NO_BEST_FIT_CHARS, text, length, nullptr, 0, nullptr, &usedDefault);
  return size > 0 && !usedDefault;
}

// Converts the text (entries each followed by CR LF) to the file's encoding and puts it, after
// the encoding's mark, in place of the file. No default character is given: what the code page
// cannot show becomes its own default character.
bool WriteHistoryText(const wchar_t* path, const HistoryText& history) {
  const std::wstring& text = history.text;
  if (text.empty() || text.size() > 0x3FFFFFFF) return false;
  std::string bytes = MarkOf(history.encoding);
  const size_t at = bytes.size();
  if (IsUtf16(history.encoding)) {
    bytes.resize(at + text.size() * sizeof(wchar_t));
    std::memcpy(&bytes[at], text.data(), text.size() * sizeof(wchar_t));
    if (history.encoding == Encoding::kUtf16BigEndian) {
      for (size_t byte = at; byte < bytes.size(); byte += 2) std::swap(bytes[byte], bytes[byte + 1]);
    }
  } else {
    const UINT codePage = ByteCodePage(history);
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
  explicit HistoryFileLock(const wchar_t* path, DWORD waitMs = kHistoryLockWaitMs) noexcept {
    wchar_t name[64];
    if (!HistoryMutexName(path, name)) return;
    mutex_.reset(CreateMutexW(nullptr, FALSE, name));
    if (!mutex_) return;
    DWORD wait = WaitForSingleObject(mutex_.get(), waitMs);
    // An abandoned mutex is ours now; the file itself is never left half-written.
    owned_ = wait == WAIT_OBJECT_0 || wait == WAIT_ABANDONED;
  }
  ~HistoryFileLock() {
    if (owned_) ReleaseMutex(mutex_.get());
  }
  // Another holder kept the lock for the whole wait.
  bool Busy() const { return mutex_ && !owned_; }
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
    const ReadResult read = ReadHistoryText(path, AnsiCodePageNumber(CP_THREAD_ACP), history);
    if (read != ReadResult::kRead && read != ReadResult::kUntold) return false;
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
    HistoryText history;
    history.ansiCodePage = AnsiCodePageNumber(CP_THREAD_ACP);
    for (const std::wstring& entry : list) history.text.append(entry).append(L"\r\n");
    return WriteHistoryText(path, history);
  } catch (...) {
    return false;
  }
}

bool AddToHistoryAt(const wchar_t* path, const wchar_t* text, UINT ansiCodePage) noexcept {
  if (!path || !text || !*text) return false;
  HistoryFileLock lock(path);
  try {
    // A file that is there but cannot be read, or whose encoding cannot be told, is left as it
    // is: rewritten, it would lose its entries. A text that the file cannot store as typed is
    // not kept either: it would read back as another text.
    const size_t textLength = wcslen(text);
    HistoryText old;
    const ReadResult read = ReadHistoryText(path, AnsiCodePageNumber(ansiCodePage), old, textLength + 2);
    if (read == ReadResult::kUnreadable || read == ReadResult::kUntold) return false;
    if (textLength > 0x7FFFFFFF || !Holds(old, text, static_cast<int>(textLength))) return false;
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
    return WriteHistoryText(path, old);
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

const HistoryList& HistoryCopy::Refresh() noexcept {
  wchar_t path[MAX_PATH];
  if (!HistoryFilePath(path)) {
    list_.clear();
    made_ = false;
    return list_;
  }
  // Without a copy, waits for an addition in progress, so the file is never read while it is
  // being replaced; with one, a file that is being replaced is taken as unchanged.
  const bool samePath = wcscmp(path, path_) == 0;
  HistoryFileLock lock(path, made_ && samePath ? 0 : kHistoryLockWaitMs);
  if (made_ && samePath && lock.Busy()) return list_;
  // Taken before the read: a change in between is read at the next refresh.
  WIN32_FILE_ATTRIBUTE_DATA now = {};
  const bool there = GetFileAttributesExW(path, GetFileExInfoStandard, &now) != FALSE;
  if (made_ && samePath && now.nFileSizeHigh == stamp_.nFileSizeHigh && now.nFileSizeLow == stamp_.nFileSizeLow &&
      CompareFileTime(&now.ftLastWriteTime, &stamp_.ftLastWriteTime) == 0) {
    return list_;
  }
  // A file that cannot be read now is read again at the next refresh; the copy stays meanwhile.
  HistoryList fresh;
  if (LoadHistoryFrom(path, fresh) || !there) {
    list_.swap(fresh);
    made_ = true;
    lstrcpynW(path_, path, MAX_PATH);
    stamp_ = now;
  }
  return list_;
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

HistoryFileFacts InspectHistoryFile(const wchar_t* path) noexcept {
  HistoryFileFacts facts;
  try {
    HistoryText history;
    using State = HistoryFileFacts::State;
    switch (ReadHistoryText(path, AnsiCodePageNumber(CP_THREAD_ACP), history)) {
      case ReadResult::kMissing: return facts;
      case ReadResult::kUnreadable: facts.state = State::kUnreadable; return facts;
      case ReadResult::kUntold: facts.state = State::kUntold; break;
      case ReadResult::kRead: facts.state = State::kRead; break;
    }
    switch (history.encoding) {
      case Encoding::kAnsi: facts.encoding = L"ANSI " + std::to_wstring(history.ansiCodePage); break;
      case Encoding::kUtf8: facts.encoding = L"UTF-8"; break;
      case Encoding::kUtf8Marked: facts.encoding = L"UTF-8 BOM"; break;
      case Encoding::kUtf16: facts.encoding = L"UTF-16 LE"; break;
      case Encoding::kUtf16BigEndian: facts.encoding = L"UTF-16 BE"; break;
    }
    const wchar_t* text = history.text.data();
    ForEachEntry(text, text + history.text.size(), [&](const wchar_t*, size_t) { ++facts.entries; });
  } catch (...) {
    facts = HistoryFileFacts();
    facts.state = HistoryFileFacts::State::kUnreadable;
  }
  return facts;
}

}  // namespace vantorel
