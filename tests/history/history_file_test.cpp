#include <thread>
#include <vector>

#include "framework/unique_handle.h"
#include "tests/history/history_test_support.h"

using namespace vantorel;
using namespace vantorel::test;

namespace {
struct HistoryFile : ::testing::Test {
  void SetUp() override { RemoveHistory(); }
  void TearDown() override {
    RemoveHistory();
    EXPECT_FALSE(StrayNewFile());
  }
};
const char kMissing[] = "<missing>";
}  // namespace

TEST_F(HistoryFile, LoadThenAddRewritesEveryEntryWithCrLf) {
  const std::string kWithNul("a\r\nb\0c\r\n\0\r\nd\r\nz\r\n", 17);  // lines kept as they were
  struct Case {
    std::string before;
    HistoryList loaded;
    const wchar_t* add;
    std::string after;
  } const cases[] = {
      {"x\r\nabc\r\ny\r\n", {L"x", L"abc", L"y"}, L"abc", "x\r\ny\r\nabc\r\n"},
      {"abc\r\n", {L"abc"}, L"ABC", "abc\r\nABC\r\n"},
      {"a\n\n\rb", {L"a", L"b"}, L"c", "a\r\nb\r\nc\r\n"},
      {" a \r\nb\r\n", {L" a ", L"b"}, L"a", " a \r\nb\r\na\r\n"},
      {" a \r\nb\r\n", {L" a ", L"b"}, L" a ", "b\r\n a \r\n"},
      {"d\r\ne\r\nd\r\n", {L"d", L"e", L"d"}, L"d", "e\r\nd\r\nd\r\n"},
      {"\r\n\n\r", {}, L"p\r\nq", "p\r\nq\r\n"},
      {"", {}, L"abc", "abc\r\n"},
      {kMissing, {}, L"abc", "abc\r\n"},
      {std::string("a\r\nb\0c\r\n\0\r\nd", 12), {L"a", L"bc", L"d"}, L"z", kWithNul},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.before);
    c.before == kMissing ? RemoveHistory() : WriteHistoryBytes(c.before);
    HistoryList list = {L"left over"};
    EXPECT_EQ(c.before != kMissing, LoadHistory(list));
    EXPECT_EQ(c.loaded, list);
    EXPECT_TRUE(AddToHistory(c.add));
    EXPECT_EQ(c.after, ReadHistoryBytes());
  }
  EXPECT_FALSE(AddToHistory(L""));  // nothing written for an empty text or list
  EXPECT_TRUE(SaveHistory({}));
  EXPECT_EQ(kWithNul, ReadHistoryBytes());
}

// Lines are split on the file's bytes; a byte-order mark keeps its encoding; a text that the
// encoding cannot store as typed is not added.
TEST_F(HistoryFile, EveryLineKeepsItsEntryAndTheFileItsEncodingUnderBothCodePages) {
  const LCID old = GetThreadLocale();
  auto utf16 = [](const std::wstring& text) {
    return "\xFF\xFE" + std::string(reinterpret_cast<const char*>(&text[0]), 2 * text.size());
  };
  auto utf16be = [&](const std::wstring& text) {
    std::string bytes = utf16(text);
    for (size_t at = 0; at < bytes.size(); at += 2) std::swap(bytes[at], bytes[at + 1]);
    return bytes;
  };
  auto utf8 = [](const std::wstring& text) {
    std::string bytes(3 * text.size(), '\0');
    bytes.resize(WideCharToMultiByte(CP_UTF8, 0, text.data(), int(text.size()), &bytes[0], int(bytes.size()), 0, 0));
    return bytes;
  };
  const std::string kana = utf8(L"\x3042\x3044\x3046\x3048\x304A\r\n\x65E5\x672C\x8A9E\x30C6\x30B9\x30C8\r\n");
  std::string stray = "x\xFF\r\n";
  for (int i = 0; i < 3; ++i) stray += kana;
  auto le = [&](const std::wstring& text) { return utf16(text).substr(2); };
  auto be = [&](const std::wstring& text) { return utf16be(text).substr(2); };
  const std::wstring kBelow80 = L"\x3042\x3044\x3046\r\n\x0141\x0104\r\nit\x2019s\r\n";  // no byte above 127
  const std::string damaged = "one\nalpha\x81\nbeta\nx\x9f\ngamma\n", nul("before\r\nmid\0dle\r\nafter\r\n", 24);
  struct Case {
    LCID locale;
    std::string before;
    const wchar_t* add;
    std::string after;
    UINT ansiCodePage = CP_THREAD_ACP;
  } const cases[] = {
      {0x411, "", L"\x5199\x771F", "\x8E\xCA\x90\x5E\r\n"},
      {0x411, "\x93\xFA\x96\x7B\r\n", L"\x5199", "\x93\xFA\x96\x7B\r\n\x8E\xCA\r\n"},
      {0x409, "caf\xE9\r\n", L"\xD0", "caf\xE9\r\n\xD0\r\n"},
      {0x411, kana, L"\x5199\x771F", kana + utf8(L"\x5199\x771F\r\n")},  // UTF-8 without a mark
      {0x409, kana, L"caf\xE9", kana + "caf\xC3\xA9\r\n"},
      {0x411, "\xC3\x90\r\n", L"\xE9", "\xC3\x90\r\n\xC3\xA9\r\n"},
      {0x409, "\xC3\x90\r\n", L"\xE9", "\xC3\x90\r\n\xC3\xA9\r\n"},
      {0x411, utf16be(L"one\r\n\x65E5\r\n"), L"\x5199", utf16be(L"one\r\n\x65E5\r\n\x5199\r\n")},
      {0x409, utf16be(L"one\r\n\x65E5\r\n"), L"\xD83D\xDE00", utf16be(L"one\r\n\x65E5\r\n\xD83D\xDE00\r\n")},
      {0x411, "x\r\n", L"\x65E5\x672C", "x\r\n" + utf8(L"\x65E5\x672C\r\n"), CP_UTF8},  // the UTF-8 system code page
      {0x409, "x\r\n", L"\x65E5\x672C", "x\r\n" + utf8(L"\x65E5\x672C\r\n"), CP_UTF8},
      // Which encoding these are in cannot be told: left alone.
      {0x411, "\x93\xFA\x96\x7B\r\n", L"\x65E5", "\x93\xFA\x96\x7B\r\n", CP_UTF8},
      {0x411, damaged, L"zq", damaged},
      {0x409, "\xEF\xBB\xBF\xE9\r\n", L"zq", "\xEF\xBB\xBF\xE9\r\n"},

      {0x409, damaged, L"zq", "one\r\nalpha\x81\r\nbeta\r\nx\x9f\r\ngamma\r\nzq\r\n"},
      {0x411, nul, L"zq", nul + "zq\r\n"},
      {0x411, "x\r\n", L"\xD83D\xDE00", "x\r\n"},  // an emoji, and what 1252 cannot show
      {0x409, "x\r\n", L"a\x5199", "x\r\n"},
      {0x409, "x\r\n", L"e\x0301", "x\r\n"},
      {0x411, "\xEF\xBB\xBFone\r\n\xE5\x86\x99\r\n", L"\xD83D\xDE00",
       "\xEF\xBB\xBFone\r\n\xE5\x86\x99\r\n\xF0\x9F\x98\x80\r\n"},
      {0x409, "\xEF\xBB\xBF\xE5\x86\x99\r\n", L"\x771F", "\xEF\xBB\xBF\xE5\x86\x99\r\n\xE7\x9C\x9F\r\n"},
      {0x409, utf16(L"one\n\x5199"), L"\xD83D\xDE00", utf16(L"one\r\n\x5199\r\n\xD83D\xDE00\r\n")},
      // UTF-16 without a mark, told by its zero bytes; every line kept byte for byte.
      {0x409, std::string("\xE9\0\r\0\n\0", 6), L"zq", std::string("\xE9\0\r\0\n\0z\0q\0\r\0\n\0", 14)},
      {0x409, le(L"one\r\ntwo\r\n"), L"one", le(L"two\r\none\r\n")},
      {0x411, be(L"one\r\ntwo\r\n"), L"z", be(L"one\r\ntwo\r\nz\r\n")},
      {0x409, le(kBelow80), L"\x5199", le(kBelow80 + L"\x5199\r\n")},
      {0x411, le(kBelow80), L"\x0141\x0104", le(L"\x3042\x3044\x3046\r\nit\x2019s\r\n\x0141\x0104\r\n")},
      {0x409, be(kBelow80), L"\x3042\x3044\x3046", be(L"\x0141\x0104\r\nit\x2019s\r\n\x3042\x3044\x3046\r\n")},
      {0x411, be(kBelow80), L"\x5199", be(kBelow80 + L"\x5199\r\n")},
      // UTF-8 with a stray byte among many whole sequences: its lines kept, the text in UTF-8.
      {0x411, stray, L"\x5199\x771F", stray + utf8(L"\x5199\x771F\r\n")},
      {0x409, stray, L"\x3042\x3044\x3046\x3048\x304A",
       "x\xFF\r\n" + kana.substr(17) + kana + kana + kana.substr(0, 17)},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.before);
    ASSERT_TRUE(SetThreadLocale(c.locale));
    WriteHistoryBytes(c.before);
    EXPECT_EQ(c.after != c.before, AddToHistoryAt(HistoryPath().c_str(), c.add, c.ansiCodePage));
    EXPECT_EQ(c.after, ReadHistoryBytes());
  }
  SetThreadLocale(old);
}

TEST_F(HistoryFile, AFailedSaveOrAFileTooLargeToReadLeavesTheOldFileWholeAndNoNewFile) {
  const std::wstring path = HistoryPath();
  HANDLE reader = INVALID_HANDLE_VALUE;
  const std::function<void()> failures[] = {
      [&] { SetFileAttributesW(path.c_str(), FILE_ATTRIBUTE_READONLY); },
      // a reader that does not share deletion keeps the file from being replaced
      [&] { reader = CreateFileW(path.c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING, 0, nullptr); },
      [&] { RemoveHistory(); CreateDirectoryW(path.c_str(), nullptr); }};
  for (const auto& failure : failures) {
    WriteHistoryBytes("old\r\n");
    failure();
    EXPECT_FALSE(AddToHistory(L"new"));
    EXPECT_FALSE(StrayNewFile());
    if (reader != INVALID_HANDLE_VALUE) CloseHandle(reader);
    reader = INVALID_HANDLE_VALUE;
    EXPECT_EQ(GetFileAttributesW(path.c_str()) & FILE_ATTRIBUTE_DIRECTORY ? "" : "old\r\n", ReadHistoryBytes());
  }
  // A file of 4 GiB or more cannot be read whole: it is left alone.
  WriteHistoryBytes("old\r\n");
  UniqueFile big(CreateFileW(path.c_str(), GENERIC_WRITE, 0, nullptr, OPEN_EXISTING, 0, nullptr));
  LARGE_INTEGER size = {};
  size.QuadPart = 1LL << 32;
  ASSERT_TRUE(SetFilePointerEx(big.get(), size, nullptr, FILE_BEGIN) && SetEndOfFile(big.get()));
  big.reset();
  EXPECT_FALSE(AddToHistory(L"new"));
  EXPECT_EQ(0, ReadHistoryBytes().compare(0, 6, std::string("old\r\n\0", 6)));
}

TEST_F(HistoryFile, AdditionsAreOneStepAcrossThreadsAndPastStuckOrDeadHolders) {
  std::vector<std::thread> threads;
  for (int t = 0; t < 4; ++t) {
    threads.emplace_back([t] {
      for (int i = 0; i < 25; ++i) AddToHistory((std::to_wstring(t) + L"-" + std::to_wstring(i)).c_str());
    });
  }
  for (std::thread& thread : threads) thread.join();
  HistoryList list;
  LoadHistory(list);
  EXPECT_EQ(100u, list.size());

  // A holder that ends without letting go, and one that does not let go while we wait.
  wchar_t name[64];
  ASSERT_TRUE(HistoryMutexName(HistoryPath().c_str(), name));
  auto take = [&] {
    HANDLE mutex = CreateMutexW(nullptr, FALSE, name);
    WaitForSingleObject(mutex, INFINITE);
    return mutex;
  };
  std::thread([&] { take(); }).join();
  EXPECT_TRUE(AddToHistory(L"after a dead holder"));
  HANDLE held = CreateEventW(nullptr, TRUE, FALSE, nullptr), release = CreateEventW(nullptr, TRUE, FALSE, nullptr);
  std::thread stuck([&] {
    HANDLE mutex = take();
    SetEvent(held);
    WaitForSingleObject(release, INFINITE);
    ReleaseMutex(mutex);
  });
  WaitForSingleObject(held, INFINITE);
  EXPECT_TRUE(AddToHistory(L"past a stuck holder"));
  SetEvent(release);
  stuck.join();
  LoadHistory(list);
  EXPECT_EQ((HistoryList{L"after a dead holder", L"past a stuck holder"}), HistoryList(list.end() - 2, list.end()));
}

// Runs a program of the host system with the host's names of the given files (under Wine, where
// Z: is the host's root); false elsewhere. Returns once check() holds, for at most five seconds.
bool RunOnHost(const char* program, const char* options, const std::wstring& first, const std::wstring& second,
               const std::function<bool()>& check) {
  using UnixName = char*(CDECL*)(const wchar_t*);
  const auto unixName = reinterpret_cast<UnixName>(
      reinterpret_cast<void*>(GetProcAddress(GetModuleHandleW(L"kernel32"), "wine_get_unix_file_name")));
  if (!unixName) return false;
  std::string command = std::string(program) + " " + options;
  for (const std::wstring* name : {&first, &second}) {
    if (name->empty()) continue;
    char* const unix = unixName(name->c_str());
    command.append(" \"").append(unix ? unix : "").append("\"");
    HeapFree(GetProcessHeap(), 0, unix);
  }
  STARTUPINFOA startup = {};
  startup.cb = sizeof(startup);
  PROCESS_INFORMATION process = {};
  if (!CreateProcessA(nullptr, &command[0], nullptr, nullptr, FALSE, 0, nullptr, nullptr, &startup, &process)) {
    return false;
  }
  CloseHandle(process.hThread);
  CloseHandle(process.hProcess);
  return PumpUntil(check);
}

// A history that is a symbolic link keeps its link: the file it leads to gets the new content.
// Wine 8's CreateSymbolicLinkW reports success and makes nothing, and its DeleteFileW deletes
// what a link leads to: there the link is the host system's own, which Wine follows as Windows
// follows its links, made and removed by the host's programs.
TEST_F(HistoryFile, ASymbolicLinkStaysALinkAndItsTargetGetsTheEntry) {
  const std::wstring link = HistoryPath(), target = link.substr(0, link.rfind(L'\\') + 1) + L"linked history.txt";
  DeleteFileW(target.c_str());
  UniqueFile made(CreateFileW(target.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_NEW, 0, nullptr));
  DWORD written = 0;
  ASSERT_TRUE(made && WriteFile(made.get(), "old\r\n", 5, &written, nullptr));
  made.reset();
  auto linked = [&] { return GetFileAttributesW(link.c_str()) != INVALID_FILE_ATTRIBUTES; };
  CreateSymbolicLinkW(link.c_str(), target.c_str(), SYMBOLIC_LINK_FLAG_ALLOW_UNPRIVILEGED_CREATE);
  const bool onHost = !linked() && RunOnHost("Z:\\bin\\ln", "-sf", target, link, linked);
  ASSERT_EQ("old\r\n", ReadHistoryBytes()) << "no link to the history could be made";
  EXPECT_TRUE(AddToHistory(L"new"));
  UniqueFile read(CreateFileW(target.c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING, 0, nullptr));
  char bytes[32] = {};
  DWORD got = 0;
  ASSERT_TRUE(read && ReadFile(read.get(), bytes, sizeof(bytes), &got, nullptr));
  read.reset();
  EXPECT_EQ("old\r\nnew\r\n", std::string(bytes, got));
  EXPECT_EQ("old\r\nnew\r\n", ReadHistoryBytes());  // through the link
  if (onHost) {
    EXPECT_TRUE(RunOnHost("Z:\\bin\\rm", "-f", link, L"", [&] { return !linked(); }));
  } else {
    DeleteFileW(link.c_str());
  }
  DeleteFileW(target.c_str());
}
