#include <windows.h>
#include <shlwapi.h>
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "framework/module.h"
#include "tests/settings/setting_path.h"
#include "settings/settings.h"

using namespace vantorel;
using vantorel::test::SettingPath;

namespace {

void RemoveSetting() {
  std::wstring path = SettingPath();
  SetFileAttributesW(path.c_str(), FILE_ATTRIBUTE_NORMAL);
  if (!DeleteFileW(path.c_str())) RemoveDirectoryW(path.c_str());
  ASSERT_FALSE(PathFileExistsW(path.c_str()));
}

void WriteBytes(const std::vector<BYTE>& bytes) {
  RemoveSetting();
  HANDLE file = CreateFileW(SettingPath().c_str(), GENERIC_WRITE, 0, nullptr, CREATE_NEW, 0, nullptr);
  ASSERT_NE(INVALID_HANDLE_VALUE, file);
  DWORD written = 0;
  if (!bytes.empty()) {
    ASSERT_TRUE(WriteFile(file, bytes.data(), static_cast<DWORD>(bytes.size()), &written, nullptr));
  }
  CloseHandle(file);
}

std::vector<BYTE> ReadBytes() {
  HANDLE file = CreateFileW(SettingPath().c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING, 0, nullptr);
  std::vector<BYTE> bytes(64);  // more than any file here holds
  DWORD read = 0;
  if (file == INVALID_HANDLE_VALUE || !ReadFile(file, bytes.data(), 64, &read, nullptr)) read = 0;
  CloseHandle(file);
  bytes.resize(read);
  return bytes;
}

// Whether a save left one of its temporary files ("set*.tmp") in the folder.
bool StrayTemporaryFile() {
  wchar_t pattern[MAX_PATH];
  EXPECT_TRUE(Module::PathBeside(L"set*.tmp", pattern));
  WIN32_FIND_DATAW data;
  HANDLE find = FindFirstFileW(pattern, &data);
  return find != INVALID_HANDLE_VALUE && FindClose(find);
}

class SettingsFile : public ::testing::Test {
 protected:
  void SetUp() override { RemoveSetting(); }
  void TearDown() override {
    RemoveSetting();
    EXPECT_FALSE(StrayTemporaryFile());
  }
};

}  // namespace

TEST_F(SettingsFile, MissingFileKeepsTheDefaults) {
  Settings settings;
  EXPECT_FALSE(LoadSettings(settings));
  EXPECT_EQ(0u, settings.RunMode);
  EXPECT_EQ(0x233u, settings.Options);
}

// A short file replaces the low-order bytes it holds, keeps the rest and is reported as a failure.
TEST_F(SettingsFile, ShortFilesFillOnlyTheBytesTheyHold) {
  const struct {
    std::vector<BYTE> bytes;
    DWORD runMode, options;                  // before the load
    DWORD expectedRunMode, expectedOptions;  // after it
  } cases[] = {
      {{1, 0, 0, 0}, 0, 0x33, 1, 0x33},
      {{0xAA}, 0x11223344, 0x33, 0x112233AA, 0x33},
      {{0xAA}, 0, 0x33, 0xAA, 0x33},
      {{0xAA, 0xBB}, 0x11223344, 0x33, 0x1122BBAA, 0x33},
      {{0xAA, 0xBB}, 0, 0x33, 0xBBAA, 0x33},
      {{0xAA, 0xBB, 0xCC}, 0x11223344, 0x33, 0x11CCBBAA, 0x33},
      {{0xAA, 0xBB, 0xCC}, 0, 0x33, 0xCCBBAA, 0x33},
      {{1, 0, 0, 0, 0x01, 0x02}, 0, 0xAABB0033, 1, 0xAABB0201},
      {{}, 0, 0x33, 0, 0x33},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(::testing::Message() << c.bytes.size() << " bytes, RunMode 0x" << std::hex << c.runMode);
    WriteBytes(c.bytes);
    Settings settings{c.runMode, c.options};
    EXPECT_FALSE(LoadSettings(settings));
    EXPECT_EQ(c.expectedRunMode, settings.RunMode);
    EXPECT_EQ(c.expectedOptions, settings.Options);
  }
}

TEST_F(SettingsFile, LongerFilesUseTheFirstEightBytesAndValuesAreUnchecked) {
  WriteBytes({2, 0, 0, 0, 0x40, 0x02, 0, 0, 9, 9, 9, 9});
  Settings settings;
  EXPECT_TRUE(LoadSettings(settings));
  EXPECT_EQ(2u, settings.RunMode);  // not clamped to a known mode
  EXPECT_EQ(0x240u, settings.Options);  // 0x200 without the bits it comes with by default

  WriteBytes({0xFF, 0xFF, 0xFF, 0xFF, 0xFF, 0xFF, 0xFF, 0xFF});
  EXPECT_TRUE(LoadSettings(settings));
  EXPECT_EQ(0xFFFFFFFFu, settings.RunMode);
  EXPECT_EQ(0xFFFFFFFFu, settings.Options);
}

TEST_F(SettingsFile, SaveWritesEightLittleEndianBytesThatLoadReadsBack) {
  Settings saved{1, 0x12345};
  ASSERT_TRUE(SaveSettings(saved));
  EXPECT_EQ((std::vector<BYTE>{1, 0, 0, 0, 0x45, 0x23, 0x01, 0}), ReadBytes());
  Settings loaded;
  EXPECT_TRUE(LoadSettings(loaded));
  EXPECT_EQ(1u, loaded.RunMode);
  EXPECT_EQ(0x12345u, loaded.Options);

  // Saving over a longer file leaves exactly eight bytes.
  WriteBytes(std::vector<BYTE>(40, 7));
  saved = {0, 0x33};
  ASSERT_TRUE(SaveSettings(saved));
  EXPECT_EQ((std::vector<BYTE>{0, 0, 0, 0, 0x33, 0, 0, 0}), ReadBytes());
  EXPECT_FALSE(StrayTemporaryFile());
}

TEST_F(SettingsFile, FailedSavesLeaveThePreviousFileIntact) {
  const std::vector<BYTE> old = {1, 0, 0, 0, 0x73, 0, 0, 0};
  const Settings changed{0, 0x1F3};

  // A read-only file cannot be replaced.
  WriteBytes(old);
  ASSERT_TRUE(SetFileAttributesW(SettingPath().c_str(), FILE_ATTRIBUTE_READONLY));
  EXPECT_FALSE(SaveSettings(changed));
  EXPECT_EQ(old, ReadBytes());
  EXPECT_FALSE(StrayTemporaryFile());
  SetFileAttributesW(SettingPath().c_str(), FILE_ATTRIBUTE_NORMAL);

  // A file held open by somebody who shares nothing cannot be replaced either.
  WriteBytes(old);
  HANDLE held = CreateFileW(SettingPath().c_str(), GENERIC_READ, 0, nullptr, OPEN_EXISTING, 0, nullptr);
  ASSERT_NE(INVALID_HANDLE_VALUE, held);
  EXPECT_FALSE(SaveSettings(changed));
  CloseHandle(held);
  EXPECT_EQ(old, ReadBytes());
  EXPECT_FALSE(StrayTemporaryFile());

  // A folder in the file's place stays a folder, with its contents.
  RemoveSetting();
  ASSERT_TRUE(CreateDirectoryW(SettingPath().c_str(), nullptr));
  std::wstring inner = SettingPath() + L"\\keep";
  HANDLE file = CreateFileW(inner.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_NEW, FILE_ATTRIBUTE_NORMAL, nullptr);
  ASSERT_NE(INVALID_HANDLE_VALUE, file);
  CloseHandle(file);
  EXPECT_FALSE(SaveSettings(changed));
  EXPECT_TRUE(PathIsDirectoryW(SettingPath().c_str()));
  EXPECT_TRUE(PathFileExistsW(inner.c_str()));
  EXPECT_FALSE(StrayTemporaryFile());
  Settings loaded{0, 0x33};
  EXPECT_FALSE(LoadSettings(loaded));
  EXPECT_EQ(0x33u, loaded.Options);
  DeleteFileW(inner.c_str());

  // After the obstacle is gone the next save works again.
  RemoveSetting();
  EXPECT_TRUE(SaveSettings(changed));
  EXPECT_TRUE(LoadSettings(loaded));
  EXPECT_EQ(0x1F3u, loaded.Options);
}

TEST_F(SettingsFile, LoadFailsWhileAWriterSharesNothing) {
  WriteBytes({1, 0, 0, 0, 0x33, 0, 0, 0});
  HANDLE held = CreateFileW(SettingPath().c_str(), GENERIC_WRITE, 0, nullptr, OPEN_EXISTING, 0, nullptr);
  ASSERT_NE(INVALID_HANDLE_VALUE, held);
  Settings settings;
  EXPECT_FALSE(LoadSettings(settings));
  EXPECT_EQ(0u, settings.RunMode);
  CloseHandle(held);
  EXPECT_TRUE(LoadSettings(settings));
  EXPECT_EQ(1u, settings.RunMode);
}
