#pragma once
// A name for screen readers on a window whose standard accessible object has none: the window
// answers WM_GETOBJECT for its client area with the standard object, its own name put in.
#include <windows.h>

namespace vantorel {

// The answer to WM_GETOBJECT (wParam, lParam) for window: for OBJID_CLIENT the standard object
// named name; false for other objects or when none could be made (then the window procedure
// underneath answers).
bool AnswerAccessibleName(HWND window, const wchar_t* name, WPARAM wParam, LPARAM lParam, LRESULT& result) noexcept;

}  // namespace vantorel
