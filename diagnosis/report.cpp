#include "diagnosis/report.h"

#include <cstring>

#include "framework/ui_language.h"
#include "framework/unique_handle.h"

namespace vantorel {

std::wstring Text(LANGID language, UINT id, std::initializer_list<std::wstring> values) {
  wchar_t resource[2048];
  LoadStringIn(id, language, resource, ARRAYSIZE(resource));
  const std::wstring pattern = resource;
  std::wstring text;
  for (size_t at = 0; at < pattern.size(); ++at) {
    const wchar_t c = pattern[at];
    const size_t index = at + 1 < pattern.size() ? static_cast<size_t>(pattern[at + 1] - L'1') : values.size();
    if (c == L'%' && index < values.size()) {
      text += values.begin()[index];
      ++at;
    } else {
      text += c;
    }
  }
  return text;
}

const wchar_t* StateName(CheckState state) noexcept {
  switch (state) {
    case CheckState::Ok: return L"ok";
    case CheckState::Warn: return L"warn";
    case CheckState::Fail: return L"fail";
    case CheckState::Info: break;
  }
  return L"info";
}

std::wstring FormatReport(const Report& report) {
  std::wstring text;
  for (const CheckLine& line : report) {
    std::wstring found = line.text;
    for (wchar_t& c : found) {
      if (c == L'\t' || c == L'\r' || c == L'\n') c = L' ';
    }
    text += line.name + L"\t" + StateName(line.state) + L"\t" + found + L"\r\n";
  }
  return text;
}

bool WriteReportFile(const wchar_t* path, const std::wstring& text) noexcept {
  if (!path || !*path) return false;
  std::string bytes = "\xEF\xBB\xBF";
  const int size = static_cast<int>(text.size());
  const int length = WideCharToMultiByte(CP_UTF8, 0, text.data(), size, nullptr, 0, nullptr, nullptr);
  if (length < 0 || (size > 0 && length == 0)) return false;
  bytes.resize(3 + static_cast<size_t>(length));
  if (length) WideCharToMultiByte(CP_UTF8, 0, text.data(), size, &bytes[3], length, nullptr, nullptr);
  UniqueFile file(CreateFileW(path, GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr));
  if (!file) return false;
  DWORD written = 0;
  return WriteFile(file.get(), bytes.data(), static_cast<DWORD>(bytes.size()), &written, nullptr) &&
         written == bytes.size();
}

bool CopyToClipboard(HWND owner, const std::wstring& text) noexcept {
  const size_t bytes = (text.size() + 1) * sizeof(wchar_t);
  HGLOBAL memory = GlobalAlloc(GMEM_MOVEABLE, bytes);
  if (!memory) return false;
  if (void* at = GlobalLock(memory)) {
    std::memcpy(at, text.c_str(), bytes);
    GlobalUnlock(memory);
  } else {
    GlobalFree(memory);
    return false;
  }
  // Another program may hold the clipboard for a moment.
  bool opened = false;
  for (int attempt = 0; attempt < 10 && !(opened = OpenClipboard(owner) != FALSE); ++attempt) Sleep(20);
  if (!opened) {
    GlobalFree(memory);
    return false;
  }
  const bool copied = EmptyClipboard() && SetClipboardData(CF_UNICODETEXT, memory);
  CloseClipboard();
  if (!copied) GlobalFree(memory);
  return copied;
}

}  // namespace vantorel
