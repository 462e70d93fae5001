#pragma once
// A diagnosis report: one line per check, "name<TAB>state<TAB>what was found, and what to do",
// the advice in Japanese or English. The same text goes to a file, to the clipboard and to the report window.
#include <windows.h>

#include <initializer_list>
#include <string>
#include <vector>

namespace vantorel {

enum class CheckState { Ok, Warn, Fail, Info };

struct CheckLine {
  std::wstring name;
  CheckState state;
  std::wstring text;
};

using Report = std::vector<CheckLine>;

// The text of the module's string resource id in language (Japanese or English), with %1 to %9 replaced by values in their order.
std::wstring Text(LANGID language, UINT id, std::initializer_list<std::wstring> values = {});

const wchar_t* StateName(CheckState state) noexcept;
// The lines joined, each ended by CR LF; tabs and line breaks inside a text become spaces, so
// that every line keeps its three fields.
std::wstring FormatReport(const Report& report);
// Writes the text as UTF-8 with a byte-order mark, replacing the file. False when it cannot.
bool WriteReportFile(const wchar_t* path, const std::wstring& text) noexcept;
// Puts the text on the clipboard as Unicode text. False when the clipboard cannot be had.
bool CopyToClipboard(HWND owner, const std::wstring& text) noexcept;

}  // namespace vantorel
