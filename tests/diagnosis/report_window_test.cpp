// The report window as a user meets it: the report whole and read-only, コピー puts it on the
// clipboard as shown, 閉じる ends the window and its message loop.
#include <windows.h>
#include <gtest/gtest.h>

#include <string>

#include "diagnosis/report_window.h"
#include "framework/ui_language.h"

using namespace vantorel;

namespace {

struct Seen {
  std::wstring shown, copied, copyCaption, closeCaption;
  bool readOnly = false;
} g_seen;

std::wstring TextOf(HWND window) {
  std::wstring text(static_cast<size_t>(GetWindowTextLengthW(window)) + 1, L'\0');
  text.resize(static_cast<size_t>(GetWindowTextW(window, &text[0], static_cast<int>(text.size()))));
  return text;
}

std::wstring ClipboardText() {
  std::wstring text;
  if (!OpenClipboard(nullptr)) return text;
  if (HANDLE data = GetClipboardData(CF_UNICODETEXT)) {
    if (const wchar_t* locked = static_cast<const wchar_t*>(GlobalLock(data))) text = locked;
    GlobalUnlock(data);
  }
  CloseClipboard();
  return text;
}

// Runs inside the window's own loop once the window is there: reads it, copies, closes.
void CALLBACK UseTheWindow(HWND, UINT, UINT_PTR timer, DWORD) {
  HWND report = FindWindowW(L"Vantorel Diagnosis", nullptr);
  if (!report) return;
  KillTimer(nullptr, timer);
  HWND edit = FindWindowExW(report, nullptr, L"EDIT", nullptr);
  HWND copy = FindWindowExW(report, nullptr, L"BUTTON", nullptr);
  HWND close = copy ? FindWindowExW(report, copy, L"BUTTON", nullptr) : nullptr;
  g_seen.shown = TextOf(edit);
  g_seen.readOnly = (GetWindowLongW(edit, GWL_STYLE) & ES_READONLY) != 0;
  g_seen.copyCaption = TextOf(copy);
  g_seen.closeCaption = TextOf(close);
  SendMessageW(copy, BM_CLICK, 0, 0);
  g_seen.copied = ClipboardText();
  if (close) {
    SendMessageW(close, BM_CLICK, 0, 0);
  } else {
    DestroyWindow(report);
  }
}

}  // namespace

TEST(ReportWindow, ShowsTheReportCopiesItAndCloses) {
  const std::wstring report =
      L"module\twarn\tC:\\Vantorel\\Vantorel.dll 2.1 x64\r\nextensions\tfail\t\u30b5\u30fc\u30c9\r\n";
  ASSERT_TRUE(OpenClipboard(nullptr));
  EmptyClipboard();
  CloseClipboard();
  g_seen = Seen();
  const UINT_PTR timer = SetTimer(nullptr, 0, 10, UseTheWindow);
  ASSERT_NE(0u, timer);
  ShowReportWindow(report, kJapaneseUi);
  KillTimer(nullptr, timer);
  EXPECT_EQ(report, g_seen.shown);
  EXPECT_TRUE(g_seen.readOnly);
  EXPECT_EQ(L"\u30b3\u30d4\u30fc", g_seen.copyCaption);   // コピー
  EXPECT_EQ(L"\u9589\u3058\u308b", g_seen.closeCaption);  // 閉じる
  EXPECT_EQ(report, g_seen.copied);
  EXPECT_EQ(nullptr, FindWindowW(L"Vantorel Diagnosis", nullptr));
}
