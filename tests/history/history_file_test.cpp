#include <windows.h>
#include <gtest/gtest.h>

#include <string>
#include <thread>
#include <vector>

#include "history/history_file.h"
#include "tests/history/history_test_support.h"

using namespace vantorel;
using namespace vantorel::test;

namespace {

class HistoryFile : public ::testing::Test {
 protected:
  void SetUp() override { RemoveHistory(); }
  void TearDown() override {
    RemoveHistory();
    EXPECT_EQ(0, StrayTemporaryFiles());
  }
};

// Sets the calling thread's locale for one test and puts the old one back.
class ThreadLocale {
 public:
  explicit ThreadLocale(LCID lcid) : old_(GetThreadLocale()) { EXPECT_TRUE(SetThreadLocale(lcid)); }
  ~ThreadLocale() { SetThreadLocale(old_); }

 private:
  LCID old_;
};

struct LoadCase {
  const char* what;
  std::string bytes;
  HistoryList expected;
};

struct AddCase {
  const char* what;
  bool fileExists;
  std::string before;
  const wchar_t* text;
  std::string after;
};

}  // namespace

TEST_F(HistoryFile, LoadSplitsAtRunsOfLineBreaksAndStopsAtTheFirstNul) {
  const LoadCase cases[] = {
      {"CR LF after every entry", "x\r\nabc\r\ny\r\n", {L"x", L"abc", L"y"}},
      {"LF and CR alone, no final break", "a\n\n\rb", {L"a", L"b"}},
      {"separators only", "\r\n\n\r\r\n", {}},
      {"empty file", "", {}},
      {"spaces are kept", " a \r\nb  \r\n", {L" a ", L"b  "}},
      {"repeats stay", "d\r\ne\r\nd\r\n", {L"d", L"e", L"d"}},
      {"the first NUL ends the text", std::string("a\r\nb\0c\r\nd\r\n", 11), {L"a", L"b"}},
  };
  for (const LoadCase& c : cases) {
    SCOPED_TRACE(c.what);
    WriteHistoryBytes(c.bytes);
    HistoryList list = {L"left over"};
    EXPECT_TRUE(LoadHistory(list));
    EXPECT_EQ(c.expected, list);
  }
  RemoveHistory();
  HistoryList list = {L"left over"};
  EXPECT_FALSE(LoadHistory(list));
  EXPECT_TRUE(list.empty());
}

TEST_F(HistoryFile, AddMovesTheTextToTheNewestEndAndRewritesEveryLine) {
  const AddCase cases[] = {
      {"an entry moves to the end", true, "x\r\nabc\r\ny\r\n", L"abc", "x\r\ny\r\nabc\r\n"},
      {"letter case counts", true, "abc\r\n", L"ABC", "abc\r\nABC\r\n"},
      {"loose separators are rewritten", true, "a\n\n\rb", L"c", "a\r\nb\r\nc\r\n"},
      {"spaces must match too", true, " a \r\n", L"a", " a \r\na\r\n"},
      {"the same spaces match", true, " a \r\nb\r\n", L" a ", "b\r\n a \r\n"},
      {"only the older repeat goes", true, "d\r\ne\r\nd\r\n", L"d", "e\r\nd\r\nd\r\n"},
      {"a missing file is created", false, "", L"abc", "abc\r\n"},
      {"an empty file", true, "", L"abc", "abc\r\n"},
      {"a line break in the text is written as it is", true, "x\r\n", L"p\r\nq", "x\r\np\r\nq\r\n"},
  };
  for (const AddCase& c : cases) {
    SCOPED_TRACE(c.what);
    if (c.fileExists) {
      WriteHistoryBytes(c.before);
    } else {
      RemoveHistory();
    }
    EXPECT_TRUE(AddToHistory(c.text));
    EXPECT_EQ(c.after, ReadBytes());
  }
  // The pasted line break reads back as two entries.
  HistoryList list;
  LoadHistory(list);
  EXPECT_EQ((HistoryList{L"x", L"p", L"q"}), list);
}

TEST_F(HistoryFile, EmptyTextsAndEmptyListsWriteNothing) {
  WriteHistoryBytes("keep\r\n");
  EXPECT_FALSE(AddToHistory(L""));
  EXPECT_FALSE(AddToHistory(nullptr));
  EXPECT_TRUE(SaveHistory(HistoryList{}));
  EXPECT_EQ("keep\r\n", ReadBytes());
}

TEST_F(HistoryFile, TextGoesThroughTheThreadsAnsiCodePage) {
  struct Case {
    LCID locale;
    const wchar_t* text;
    std::string bytes;
    const wchar_t* readBack;
  };
  const Case cases[] = {
      {0x411, L"\x5199\x771F", "\x8E\xCA\x90\x5E\r\n", L"\x5199\x771F"},  // 写真 in code page 932
      {0x409, L"a\x5199", "a?\r\n", L"a?"},  // code page 1252 cannot show it: its default character
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.locale);
    ThreadLocale locale(c.locale);
    RemoveHistory();
    EXPECT_TRUE(AddToHistory(c.text));
    EXPECT_EQ(c.bytes, ReadBytes());
    HistoryList list;
    LoadHistory(list);
    EXPECT_EQ((HistoryList{c.readBack}), list);
  }
  // The stored text no longer equals what was typed, so adding it again adds a second line.
  ThreadLocale locale(0x409);
  EXPECT_TRUE(AddToHistory(L"a\x5199"));
  EXPECT_EQ("a?\r\na?\r\n", ReadBytes());
}

TEST_F(HistoryFile, AFailedSaveLeavesTheOldFileWholeAndNoNewFile) {
  const std::wstring path = HistoryPath();
  struct Case {
    const char* what;
    std::function<void()> arrange;
    std::function<void()> undo;
  };
  HANDLE held = INVALID_HANDLE_VALUE;
  const Case cases[] = {
      {"read-only file", [&] { SetFileAttributesW(path.c_str(), FILE_ATTRIBUTE_READONLY); },
       [&] { SetFileAttributesW(path.c_str(), FILE_ATTRIBUTE_NORMAL); }},
      {"file held open by a reader that does not share deletion",
       [&] {
         held = CreateFileW(path.c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING, 0, nullptr);
         ASSERT_NE(INVALID_HANDLE_VALUE, held);
       },
       [&] { CloseHandle(held); }},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.what);
    WriteHistoryBytes("old\r\nlines\r\n");
    c.arrange();
    EXPECT_FALSE(AddToHistory(L"new"));
    EXPECT_EQ("old\r\nlines\r\n", ReadBytes());
    EXPECT_EQ(0, StrayTemporaryFiles());
    c.undo();
  }
  // A folder in the file's place stays a folder.
  RemoveHistory();
  ASSERT_TRUE(CreateDirectoryW(path.c_str(), nullptr));
  EXPECT_FALSE(AddToHistory(L"new"));
  EXPECT_NE(0u, GetFileAttributesW(path.c_str()) & FILE_ATTRIBUTE_DIRECTORY);
  EXPECT_EQ(0, StrayTemporaryFiles());
}

TEST_F(HistoryFile, AdditionsFromManyThreadsAreAllKept) {
  constexpr int kThreads = 4;
  constexpr int kEach = 25;
  WriteHistoryBytes("first\r\n");
  std::vector<std::thread> threads;
  for (int t = 0; t < kThreads; ++t) {
    threads.emplace_back([t] {
      for (int i = 0; i < kEach; ++i) AddToHistory((L"t" + std::to_wstring(t) + L"-" + std::to_wstring(i)).c_str());
    });
  }
  for (std::thread& thread : threads) thread.join();
  HistoryList list;
  LoadHistory(list);
  ASSERT_EQ(static_cast<size_t>(1 + kThreads * kEach), list.size());
  EXPECT_EQ(L"first", list.front());
  for (int t = 0; t < kThreads; ++t) {
    // Each thread's own additions keep their order.
    int next = 0;
    for (const std::wstring& entry : list) {
      if (entry == L"t" + std::to_wstring(t) + L"-" + std::to_wstring(next)) ++next;
    }
    EXPECT_EQ(kEach, next) << "thread " << t;
  }
}

TEST_F(HistoryFile, AnAdditionGetsPastAnAbandonedOrStuckHolder) {
  wchar_t name[64];
  ASSERT_TRUE(HistoryMutexName(HistoryPath().c_str(), name));
  WriteHistoryBytes("a\r\n");
  // A holder that ended without letting go.
  std::thread([&] { CreateMutexW(nullptr, TRUE, name); }).join();
  EXPECT_TRUE(AddToHistory(L"b"));
  EXPECT_EQ("a\r\nb\r\n", ReadBytes());

  // A holder that never lets go while the addition waits.
  HANDLE release = CreateEventW(nullptr, TRUE, FALSE, nullptr);
  HANDLE holding = CreateEventW(nullptr, TRUE, FALSE, nullptr);
  std::thread stuck([&] {
    HANDLE mutex = CreateMutexW(nullptr, FALSE, name);
    WaitForSingleObject(mutex, INFINITE);
    SetEvent(holding);
    WaitForSingleObject(release, INFINITE);
    ReleaseMutex(mutex);
    CloseHandle(mutex);
  });
  ASSERT_EQ(WAIT_OBJECT_0, WaitForSingleObject(holding, 10000));
  EXPECT_TRUE(AddToHistory(L"c"));
  EXPECT_EQ("a\r\nb\r\nc\r\n", ReadBytes());
  SetEvent(release);
  stuck.join();
  CloseHandle(release);
  CloseHandle(holding);
}

TEST(HistoryMutexName, SameForEverySpellingOfOnePathAndFreeOfBackslashes) {
  struct Case {
    const wchar_t* a;
    const wchar_t* b;
    bool same;
  };
  const Case cases[] = {
      {L"C:\\x\\history.txt", L"c:\\X\\HISTORY.TXT", true},
      {L"C:\\x\\history.txt", L"C:\\x\\y\\..\\.\\history.txt", true},
      {L"C:\\x\\history.txt", L"C:\\y\\history.txt", false},
  };
  for (const Case& c : cases) {
    wchar_t a[64], b[64];
    ASSERT_TRUE(HistoryMutexName(c.a, a));
    ASSERT_TRUE(HistoryMutexName(c.b, b));
    EXPECT_EQ(c.same, std::wstring(a) == b) << a << L" " << b;
    EXPECT_EQ(nullptr, wcschr(a + 6, L'\\'));  // only the one after "Local"
  }
}
