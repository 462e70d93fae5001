#pragma once
// The report shown to the user: a small resizable window with the report in a read-only edit
// control and the buttons コピー / Copy (copy all to the clipboard) and 閉じる / Close, in the band's
// light, dark or contrast colours, following a change of them while it is open.
#include <windows.h>

#include <string>

namespace vantorel {

// Shows the text and runs the window's own message loop until the user closes it; for a
// process of its own (rundll32), never inside Explorer.
void ShowReportWindow(const std::wstring& text, LANGID language) noexcept;

}  // namespace vantorel
