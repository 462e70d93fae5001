#pragma once
// Where the module under test keeps its settings file: beside the test program.
#include <windows.h>
#include <gtest/gtest.h>

#include <string>

#include "framework/module.h"

namespace vantorel::test {

inline std::wstring SettingPath() {
  wchar_t path[MAX_PATH];
  EXPECT_TRUE(Module::PathBeside(L"setting", path));
  return path;
}

}  // namespace vantorel::test
