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

// How the file's text is stored. A file that starts with a byte-order mark is in that mark's
// encoding. A file without one is UTF-16 when its zero bytes and line breaks say so (see
// IsUtf16Without); else UTF-8 when it reads as UTF-8 but for a few stray bytes and one byte is
// above 127 (Notepad's default); any other is in the ANSI code page.
enum class Encoding { kAnsi, kUtf8, kUtf16, kUtf16BigEndian };
struct EncodingMark {
  Encoding encoding;
  const char* bytes;
};
constexpr EncodingMark kMarks[] = {
    {Encoding::kUtf8, "\xEF\xBB\xBF"}, {Encoding::kUtf16, "\xFF\xFE"}, {Encoding::kUtf16BigEndian, "\xFE\xFF"}};

bool IsUtf16(Encoding encoding) { return encoding == Encoding::kUtf16 || encoding == Encoding::kUtf16BigEndian; }

// At most one byte that is not UTF-8 for this many well-formed sequences of two to four bytes:
// a UTF-8 file with a damaged byte or two still reads as UTF-8, while text in an ANSI code page,
// which forms such sequences only by chance, does not.
constexpr size_t kUtf8SequencesPerStrayByte = 32;

// Untold: read, but which encoding the file is in cannot be told safely; its entries are
// offered as they read, and it is not rewritten.
enum class ReadResult { kMissing, kRead, kUntold, kUnreadable };

// The file's bytes as read, and how its text is stored in them: its mark, if any, takes the
// first textStart bytes.
struct HistoryBytes {
  std::string bytes;
  Encoding encoding = Encoding::kAnsi;
  UINT ansiCodePage = CP_ACP;
  size_t textStart = 0;
};

// The code page of a file stored in bytes: its ANSI code page, or UTF-8.
UINT ByteCodePage(const HistoryBytes& file) {
  return file.encoding == Encoding::kAnsi ? file.ansiCodePage : CP_UTF8;
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

// The UTF-16 unit at byte offset at.
unsigned UnitAt(const std::string& bytes, size_t at, bool bigEndian) {
  const unsigned first = static_cast<unsigned char>(bytes[at]), second = static_cast<unsigned char>(bytes[at + 1]);
  return bigEndian ? (first << 8) | second : first | (second << 8);
}

// Calls take(offset, size) for every line of the file, in bytes from the file's start: the
// pieces between runs of CR and LF (code units of the file's encoding); empty pieces are skipped.
// In the ANSI code pages CR and LF are never the trail byte of a character.
template <class Take>
void ForEachLine(const HistoryBytes& file, Take take) {
  const std::string& bytes = file.bytes;
  if (!IsUtf16(file.encoding)) {
    const char* const begin = bytes.data();
    ForEachEntry(begin + file.textStart, begin + bytes.size(),
                 [&](const char* line, size_t size) { take(static_cast<size_t>(line - begin), size); });
    return;
  }
  const bool bigEndian = file.encoding == Encoding::kUtf16BigEndian;
  const size_t end = bytes.size() - (bytes.size() - file.textStart) % 2;
  size_t at = file.textStart;
  while (at < end) {
    while (at < end && IsSeparator(UnitAt(bytes, at, bigEndian))) at += 2;
    const size_t start = at;
    while (at < end && !IsSeparator(UnitAt(bytes, at, bigEndian))) at += 2;
    if (at > start) take(start, at - start);
  }
}

// Whether bytes without a mark are UTF-16 in the given byte order: whole units, no NUL unit, no
// unpaired surrogate, and at least half the file's CR and LF bytes in units that are line
// breaks (in the other order, or in bytes of an ANSI code page, they rarely are).
bool IsUtf16Without(const std::string& bytes, bool bigEndian) {
  if (bytes.size() % 2) return false;
  size_t breakBytes = 0, breakUnits = 0;
  bool highSurrogate = false;
  for (size_t at = 0; at < bytes.size(); at += 2) {
    const unsigned unit = UnitAt(bytes, at, bigEndian);
    breakBytes += IsSeparator(bytes[at]) + IsSeparator(bytes[at + 1]);
    breakUnits += IsSeparator(unit);
    const bool low = unit >= 0xDC00 && unit <= 0xDFFF;
    if (unit == 0 || low != highSurrogate) return false;
    highSurrogate = unit >= 0xD800 && unit <= 0xDBFF;
  }
  return !highSurrogate && 2 * breakUnits >= breakBytes;
}

// The encoding of bytes without a mark, when they hold zero bytes and read as UTF-16 in one
// byte order: the order in which most zero bytes are the high byte of a unit (text below
// U+0100, line breaks included, puts them there).
bool TellUtf16(const std::string& bytes, Encoding& encoding) {
  size_t zerosFirst = 0, zerosSecond = 0;
  for (size_t at = 0; at + 1 < bytes.size(); at += 2) {
    zerosFirst += bytes[at] == '\0';
    zerosSecond += bytes[at + 1] == '\0';
  }
  if (zerosFirst == zerosSecond) return false;
  const bool bigEndian = zerosFirst > zerosSecond;
  if (!IsUtf16Without(bytes, bigEndian)) return false;
  encoding = bigEndian ? Encoding::kUtf16BigEndian : Encoding::kUtf16;
  return true;
}

// Counts the well-formed UTF-8 sequences of two to four bytes and the bytes that belong to none.
void CountUtf8(const unsigned char* at, const unsigned char* end, size_t& sequences, size_t& stray) {
  sequences = stray = 0;
  while (at < end) {
    const unsigned lead = *at;
    if (lead < 0x80) {
      ++at;
      continue;
    }
    // The length that the lead byte announces, and the range of the byte after it.
    size_t length = 0;
    unsigned low = 0x80, high = 0xBF;
    if (lead >= 0xC2 && lead <= 0xDF) {
      length = 2;
    } else if (lead >= 0xE0 && lead <= 0xEF) {
      length = 3;
      low = lead == 0xE0 ? 0xA0 : 0x80;   // no overlong form
      high = lead == 0xED ? 0x9F : 0xBF;  // no surrogate
    } else if (lead >= 0xF0 && lead <= 0xF4) {
      length = 4;
      low = lead == 0xF0 ? 0x90 : 0x80;
      high = lead == 0xF4 ? 0x8F : 0xBF;  // nothing above U+10FFFF
    }
    bool whole = length > 0 && static_cast<size_t>(end - at) >= length && at[1] >= low && at[1] <= high;
    for (size_t i = 2; whole && i < length; ++i) whole = at[i] >= 0x80 && at[i] <= 0xBF;
    if (whole) {
      ++sequences;
      at += length;
    } else {
      ++stray;
      ++at;
    }
  }
}

// Tells the encoding of the file's bytes. Untold when the bytes fit no encoding safely: bytes
// that neither UTF-8 nor the ANSI code page define, NUL bytes beside bytes above 127 that are not
// UTF-16, a UTF-8 mark before bytes that are mostly not UTF-8, an odd number of UTF-16 bytes.
ReadResult TellEncoding(HistoryBytes& file) {
  const std::string& bytes = file.bytes;
  for (const EncodingMark& mark : kMarks) {
    if (bytes.compare(0, std::strlen(mark.bytes), mark.bytes) == 0) {
      file.encoding = mark.encoding;
      file.textStart = std::strlen(mark.bytes);
      break;
    }
  }
  if (IsUtf16(file.encoding)) return (bytes.size() - file.textStart) % 2 ? ReadResult::kUntold : ReadResult::kRead;
  const char* const begin = bytes.data() + file.textStart;
  const size_t size = bytes.size() - file.textStart;
  const bool nul = std::memchr(begin, '\0', size) != nullptr;
  if (file.encoding == Encoding::kAnsi && nul && TellUtf16(bytes, file.encoding)) return ReadResult::kRead;
  const bool high = std::any_of(begin, begin + size, [](char byte) { return (byte & 0x80) != 0; });
  if (!high) return ReadResult::kRead;
  if (nul) return ReadResult::kUntold;
  size_t sequences = 0, stray = 0;
  CountUtf8(reinterpret_cast<const unsigned char*>(begin), reinterpret_cast<const unsigned char*>(begin) + size,
            sequences, stray);
  if (sequences > 0 && stray * kUtf8SequencesPerStrayByte <= sequences) {
    file.encoding = Encoding::kUtf8;
    return ReadResult::kRead;
  }
  if (file.encoding == Encoding::kUtf8) return ReadResult::kUntold;
  return size <= 0x7FFFFFFF && MultiByteToWideChar(file.ansiCodePage, MB_ERR_INVALID_CHARS, begin,
                                                   static_cast<int>(size), nullptr, 0) > 0
             ? ReadResult::kRead
             : ReadResult::kUntold;
}

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

// Appends size bytes in codePage to text, converted, NUL bytes left out; a byte sequence that
// the code page does not define becomes its stand-in (U+FFFD in UTF-8). No byte of an ANSI code
// page or of UTF-8 gives more than one UTF-16 unit.
void AppendConverted(UINT codePage, const char* bytes, size_t size, std::wstring& text) {
  std::string withoutNul;
  if (std::memchr(bytes, '\0', size)) {
    withoutNul.assign(bytes, size);
    withoutNul.erase(std::remove(withoutNul.begin(), withoutNul.end(), '\0'), withoutNul.end());
    bytes = withoutNul.data();
    size = withoutNul.size();
  }
  if (size == 0 || size > 0x7FFFFFFF) return;
  const size_t at = text.size();
  text.resize(at + size);
  const int units = MultiByteToWideChar(codePage, 0, bytes, static_cast<int>(size), &text[at], static_cast<int>(size));
  text.resize(at + static_cast<size_t>(units > 0 ? units : 0));
}

// The file's text as a user reads it: its lines converted, with line breaks between them, NUL
// units left out. Where converting the bytes whole could join or cut lines, each line is
// converted on its own: a lead byte at the end of a line cannot take the line break for its
// trail byte.
std::wstring DecodeHistory(const HistoryBytes& file) {
  std::wstring text;
  const std::string& bytes = file.bytes;
  if (IsUtf16(file.encoding)) {
    const bool bigEndian = file.encoding == Encoding::kUtf16BigEndian;
    text.reserve((bytes.size() - file.textStart) / 2);
    for (size_t at = file.textStart; at + 1 < bytes.size(); at += 2) {
      const unsigned unit = UnitAt(bytes, at, bigEndian);
      if (unit != 0) text.push_back(static_cast<wchar_t>(unit));
    }
    return text;
  }
  const char* const begin = bytes.data() + file.textStart;
  const char* const end = bytes.data() + bytes.size();
  const UINT codePage = ByteCodePage(file);
  text.reserve(static_cast<size_t>(end - begin) + 1);
  if (ConvertsWhole(codePage, begin, end)) {
    AppendConverted(codePage, begin, static_cast<size_t>(end - begin), text);
  } else {
    ForEachEntry(begin, end, [&](const char* line, size_t size) {
      AppendConverted(codePage, line, size, text);
      text += L"\r\n";
    });
  }
  return text;
}

// Reads the whole file and tells its encoding; a file without a mark may be in ansiCodePage (a
// number). Missing: there is no file. Unreadable: it is there but cannot be opened, or its size
// or bytes cannot be read (4 GiB or more included); file then holds nothing.
ReadResult ReadHistoryFile(const wchar_t* path, UINT ansiCodePage, HistoryBytes& file) {
  file = HistoryBytes();
  file.ansiCodePage = ansiCodePage;
  if (!path || !*path) return ReadResult::kMissing;
  UniqueFile handle(CreateFileW(path, GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL,
                                nullptr));
  if (!handle) {
    const DWORD error = GetLastError();
    return error == ERROR_FILE_NOT_FOUND || error == ERROR_PATH_NOT_FOUND ? ReadResult::kMissing
                                                                            : ReadResult::kUnreadable;
  }
  DWORD high = 0;
  const DWORD size = GetFileSize(handle.get(), &high);
  if ((size == INVALID_FILE_SIZE && GetLastError() != NO_ERROR) || high != 0) return ReadResult::kUnreadable;
  file.bytes.resize(size);
  DWORD read = 0;
  if (size && !ReadFile(handle.get(), &file.bytes[0], size, &read, nullptr)) {
    file.bytes.clear();
    return ReadResult::kUnreadable;
  }
  file.bytes.resize(read);
  return TellEncoding(file);
}

// The text in the file's encoding; empty when that encoding cannot store it exactly, by the
// converter's own report: no default character and no look-alike stands in for any of it.
// UTF-8 stores every text that is whole UTF-16 (no lone surrogate).
std::string Encode(const HistoryBytes& file, const wchar_t* text, size_t length) {
  std::string bytes;
  if (length == 0 || length > 0x3FFFFFFF) return bytes;
  if (IsUtf16(file.encoding)) {
    bytes.resize(2 * length);
    const bool bigEndian = file.encoding == Encoding::kUtf16BigEndian;
    for (size_t i = 0; i < length; ++i) {
      const unsigned unit = static_cast<unsigned short>(text[i]);
      bytes[2 * i + (bigEndian ? 1 : 0)] = static_cast<char>(unit & 0xFF);
      bytes[2 * i + (bigEndian ? 0 : 1)] = static_cast<char>(unit >> 8);
    }
    return bytes;
  }
  const UINT codePage = ByteCodePage(file);
  const int units = static_cast<int>(length);
  BOOL usedDefault = FALSE;
  BOOL* const usedDefaultReport = codePage == CP_UTF8 ? nullptr : &usedDefault;
  const DWORD flags = codePage == CP_UTF8 ? WC_ERR_INVALID_CHARS : WC_NO_BEST_FIT_CHARS;
  int size = WideCharToMultiByte(codePage, flags, text, units, nullptr, 0, nullptr, usedDefaultReport);
  if (size <= 0 || usedDefault) return bytes;
  bytes.resize(static_cast<size_t>(size));
  size = WideCharToMultiByte(codePage, flags, text, units, &bytes[0], size, nullptr, usedDefaultReport);
  if (size <= 0 || usedDefault) bytes.clear();
  return bytes;
}

// Whether the line of size bytes at offset holds text. Equal bytes are equal text; in a code
// page with two-byte characters, some characters have two byte forms of the same length, and a
// NUL byte (left out when read) makes a line longer: those lines are compared as read.
bool LineHolds(const HistoryBytes& file, size_t offset, size_t size, const std::string& encoded,
               const wchar_t* text, size_t length) {
  const char* const line = file.bytes.data() + offset;
  if (size == encoded.size() && std::memcmp(line, encoded.data(), size) == 0) return true;
  if (IsUtf16(file.encoding) || size < encoded.size()) return false;
  CPINFO info;
  const bool twoByte = GetCPInfo(ByteCodePage(file), &info) && info.MaxCharSize > 1 && size == encoded.size();
  if (!twoByte && !std::memchr(line, '\0', size)) return false;
  std::wstring read;
  AppendConverted(ByteCodePage(file), line, size, read);
  return read.size() == length && wmemcmp(read.data(), text, length) == 0;
}

// The path to write the history to: where a symbolic link (or another reparse point) leads,
// so that the link stays a link and its target gets the new content; else path itself.
std::wstring WritePath(const wchar_t* path) {
  UniqueFile file(CreateFileW(path, 0, FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE, nullptr,
                              OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr));
  wchar_t final[MAX_PATH + 8];
  const DWORD length =
      file ? GetFinalPathNameByHandleW(file.get(), final, MAX_PATH + 8, FILE_NAME_NORMALIZED | VOLUME_NAME_DOS) : 0;
  if (length == 0 || length >= MAX_PATH + 8) return path;
  std::wstring target(final, length);
  // "\\?\C:\..." and "\\?\UNC\server\..." back to the forms that the rest of the module takes.
  if (target.compare(0, 8, L"\\\\?\\UNC\\") == 0) {
    target.replace(0, 8, L"\\\\");
  } else if (target.compare(0, 4, L"\\\\?\\") == 0) {
    target.erase(0, 4);
  }
  return target.size() < MAX_PATH ? target : std::wstring(path);
}

// Puts bytes in place of the file at path, or of the file a link at path leads to.
bool WriteHistoryBytes(const wchar_t* path, const std::string& bytes) {
  if (bytes.empty() || bytes.size() > 0xFFFFFFFFu) return false;
  return ReplaceFileWith(WritePath(path).c_str(), bytes.data(), static_cast<DWORD>(bytes.size()), L"his");
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
    HistoryBytes file;
    const ReadResult read = ReadHistoryFile(path, AnsiCodePageNumber(CP_THREAD_ACP), file);
    if (read != ReadResult::kRead && read != ReadResult::kUntold) return false;
    const std::wstring text = DecodeHistory(file);
    ForEachEntry(text.data(), text.data() + text.size(),
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
    for (const std::wstring& entry : list) text.append(entry).append(L"\r\n");
    if (text.size() > 0x3FFFFFFF) return false;
    // What the code page cannot show becomes its default character.
    const UINT codePage = AnsiCodePageNumber(CP_THREAD_ACP);
    const int units = static_cast<int>(text.size());
    int size = WideCharToMultiByte(codePage, 0, text.data(), units, nullptr, 0, nullptr, nullptr);
    if (size <= 0) return false;
    std::string bytes(static_cast<size_t>(size), '\0');
    size = WideCharToMultiByte(codePage, 0, text.data(), units, &bytes[0], size, nullptr, nullptr);
    return size > 0 && WriteHistoryBytes(path, bytes);
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
    HistoryBytes file;
    const ReadResult read = ReadHistoryFile(path, AnsiCodePageNumber(ansiCodePage), file);
    if (read == ReadResult::kUnreadable || read == ReadResult::kUntold) return false;
    const size_t length = wcslen(text);
    const std::string entry = Encode(file, text, length), lineBreak = Encode(file, L"\r\n", 2);
    if (entry.empty() || lineBreak.empty()) return false;
    // Every line but the first that holds text goes back as the bytes it was, each followed by
    // a line break; text, in the file's encoding, comes last.
    std::string updated(file.bytes, 0, file.textStart);
    updated.reserve(file.bytes.size() + entry.size() + 2 * lineBreak.size());
    bool removed = false;
    ForEachLine(file, [&](size_t offset, size_t size) {
      if (!removed && LineHolds(file, offset, size, entry, text, length)) {
        removed = true;
      } else {
        updated.append(file.bytes, offset, size).append(lineBreak);
      }
    });
    updated.append(entry).append(lineBreak);
    return WriteHistoryBytes(path, updated);
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

void HistoryCopy::Refresh() noexcept {
  wchar_t path[MAX_PATH];
  if (!HistoryFilePath(path)) {
    Forget();
    return;
  }
  // Without a copy, waits for an addition in progress, so the file is never read while it is
  // being replaced; with one, a file that is being replaced is taken as unchanged.
  const bool samePath = wcscmp(path, path_) == 0;
  HistoryFileLock lock(path, made_ && samePath ? 0 : kHistoryLockWaitMs);
  if (made_ && samePath && lock.Busy()) return;
  // Taken before the read: a change in between is read at the next refresh.
  WIN32_FILE_ATTRIBUTE_DATA now = {};
  const bool there = GetFileAttributesExW(path, GetFileExInfoStandard, &now) != FALSE;
  if (made_ && samePath && now.nFileSizeHigh == stamp_.nFileSizeHigh && now.nFileSizeLow == stamp_.nFileSizeLow &&
      CompareFileTime(&now.ftLastWriteTime, &stamp_.ftLastWriteTime) == 0) {
    return;
  }
  // A file that cannot be read now is read again at the next refresh; the copy stays meanwhile.
  try {
    HistoryBytes file;
    const ReadResult read = ReadHistoryFile(path, AnsiCodePageNumber(CP_THREAD_ACP), file);
    if (read == ReadResult::kUnreadable || (read == ReadResult::kMissing && there)) return;
    std::wstring text = DecodeHistory(file);
    file.bytes = std::string();
    std::vector<unsigned> starts;
    // Each entry ends in NUL where its line break was; the text's own terminator ends the last.
    // The NUL is put in behind the reading position.
    size_t pendingEnd = std::wstring::npos;
    ForEachEntry(text.data(), text.data() + text.size(), [&](const wchar_t* entry, size_t length) {
      if (pendingEnd != std::wstring::npos) text[pendingEnd] = L'\0';
      starts.push_back(static_cast<unsigned>(entry - text.data()));
      pendingEnd = static_cast<size_t>(entry - text.data()) + length;
    });
    if (pendingEnd < text.size()) text[pendingEnd] = L'\0';
    text_.swap(text);
    starts_.swap(starts);
    made_ = true;
    lstrcpynW(path_, path, MAX_PATH);
    stamp_ = now;
  } catch (...) {
    Forget();
  }
}

void HistoryCopy::Forget() noexcept {
  text_ = std::wstring();
  starts_ = std::vector<unsigned>();
  made_ = false;
}

void HistoryCopy::NewestBeginningWith(const wchar_t* prefix, size_t limit, std::vector<const wchar_t*>& rows) const {
  rows.clear();
  const size_t length = prefix ? wcslen(prefix) : 0;
  for (size_t i = starts_.size(); i > 0 && rows.size() < limit; --i) {
    const wchar_t* entry = text_.c_str() + starts_[i - 1];
    if (length == 0 || wcsncmp(entry, prefix, length) == 0) rows.push_back(entry);
  }
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
    HistoryBytes file;
    using State = HistoryFileFacts::State;
    switch (ReadHistoryFile(path, AnsiCodePageNumber(CP_THREAD_ACP), file)) {
      case ReadResult::kMissing: return facts;
      case ReadResult::kUnreadable: facts.state = State::kUnreadable; return facts;
      case ReadResult::kUntold: facts.state = State::kUntold; break;
      case ReadResult::kRead: facts.state = State::kRead; break;
    }
    switch (file.encoding) {
      case Encoding::kAnsi: facts.encoding = L"ANSI " + std::to_wstring(file.ansiCodePage); break;
      case Encoding::kUtf8: facts.encoding = file.textStart ? L"UTF-8 BOM" : L"UTF-8"; break;
      case Encoding::kUtf16: facts.encoding = L"UTF-16 LE"; break;
      case Encoding::kUtf16BigEndian: facts.encoding = L"UTF-16 BE"; break;
    }
    const std::wstring text = DecodeHistory(file);
    ForEachEntry(text.data(), text.data() + text.size(), [&](const wchar_t*, size_t) { ++facts.entries; });
  } catch (...) {
    facts = HistoryFileFacts();
    facts.state = HistoryFileFacts::State::kUnreadable;
  }
  return facts;
}

}  // namespace vantorel
