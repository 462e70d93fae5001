#pragma once
// The band's settings record: the run mode and the option bits.
#include <windows.h>

namespace vantorel {

constexpr DWORD kRunModeSelect = 0;
constexpr DWORD kRunModeFilter = 1;

constexpr DWORD kFoldCaseOption = 0x1;
constexpr DWORD kFoldDigitWidthOption = 0x2;
constexpr DWORD kRunOnInputOption = 0x10;
constexpr DWORD kKeepHistoryOption = 0x20;
constexpr DWORD kSortHistoryOption = 0x40;
constexpr DWORD kAutoFilterWithTreeOption = 0x80;
constexpr DWORD kDefaultAndOption = 0x100;

constexpr DWORD kDefaultOptions = 0x33;

struct Settings {
  DWORD RunMode = kRunModeSelect;
  DWORD Options = kDefaultOptions;
};

}  // namespace vantorel
