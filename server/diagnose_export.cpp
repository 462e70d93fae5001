// The diagnosis as a user runs it outside Explorer:
//   rundll32.exe "<folder>\Vantorel.dll",Diagnose [FILE]
// With FILE the report is written there (UTF-8 with a byte-order mark, CR LF) and nothing shows;
// without, it shows in the report window. rundll32 calls the wide form where there is one.
#include <windows.h>

#include <string>

#include "diagnosis/checks.h"
#include "diagnosis/diagnosis_ids.h"
#include "diagnosis/report.h"
#include "diagnosis/report_window.h"
#include "framework/ui_language.h"

namespace {

// The command line's one argument: spaces around it and the quotes that keep a path whole go.
std::wstring FileArgument(const wchar_t* line) {
  std::wstring file = line ? line : L"";
  const size_t first = file.find_first_not_of(L" \t");
  if (first == std::wstring::npos) return L"";
  file = file.substr(first, file.find_last_not_of(L" \t") - first + 1);
  if (file.size() >= 2 && file.front() == L'"' && file.back() == L'"') file = file.substr(1, file.size() - 2);
  return file;
}

void RunDiagnosis(const wchar_t* line) noexcept {
  try {
    const std::wstring file = FileArgument(line);
    const LANGID language = vantorel::PreferredUiLanguage();
    std::wstring text = vantorel::FormatReport(vantorel::RunChecks(language));
    if (!file.empty()) {
      if (vantorel::WriteReportFile(file.c_str(), text)) return;
      // The report is not lost: it shows, saying where it could not go.
      text = vantorel::Text(language, IDS_NO_FILE_WRITTEN, {file}) + L"\r\n\r\n" + text;
    }
    vantorel::ShowReportWindow(text, language);
  } catch (...) {
  }
}

}  // namespace

extern "C" void CALLBACK DiagnoseW(HWND, HINSTANCE, LPWSTR line, int) { RunDiagnosis(line); }

extern "C" void CALLBACK Diagnose(HWND, HINSTANCE, LPSTR line, int) {
  std::wstring wide;
  const int length = line ? MultiByteToWideChar(CP_ACP, 0, line, -1, nullptr, 0) : 0;
  if (length > 0) {
    wide.resize(static_cast<size_t>(length));
    MultiByteToWideChar(CP_ACP, 0, line, -1, &wide[0], length);
    wide.resize(static_cast<size_t>(length - 1));
  }
  RunDiagnosis(wide.c_str());
}
