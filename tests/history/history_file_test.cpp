#include <thread>
#include <vector>

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
      {std::string("a\r\nb\0c\r\n", 8), {L"a", L"b"}, L"z", "a\r\nb\r\nz\r\n"},
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
  EXPECT_EQ("a\r\nb\r\nz\r\n", ReadHistoryBytes());
}

TEST_F(HistoryFile, TextIsStoredInTheThreadsAnsiCodePage) {
  const LCID old = GetThreadLocale();
  struct Case {
    LCID locale;
    const wchar_t* text;
    std::string bytes;
    const wchar_t* readBack;
  } const cases[] = {
      {0x411, L"\x5199\x771F", "\x8E\xCA\x90\x5E\r\n", L"\x5199\x771F"},
      {0x409, L"a\x5199", "\x8E\xCA\x90\x5E\r\na?\r\n", L"a?"},  // what 1252 cannot show is its default char
      {0x409, L"a\x5199", "\x8E\xCA\x90\x5E\r\na?\r\na?\r\n", L"a?"},  // ... so typing it again adds it again
  };
  for (const Case& c : cases) {
    ASSERT_TRUE(SetThreadLocale(c.locale));
    EXPECT_TRUE(AddToHistory(c.text));
    EXPECT_EQ(c.bytes, ReadHistoryBytes());
    HistoryList list;
    LoadHistory(list);
    EXPECT_EQ(c.readBack, list.back());
  }
  SetThreadLocale(old);
}

TEST_F(HistoryFile, AFailedSaveLeavesTheOldFileWholeAndNoNewFile) {
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
