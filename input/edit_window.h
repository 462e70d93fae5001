#pragma once
// The band's input box: the platform's edit control superclassed as "Vantorel Editbox".
#include <windows.h>

#include "framework/window.h"
#include "view/band_view_state.h"

namespace vantorel {

// The messages the box sends to its parent, the band window.
struct InputBoxMessages {
  UINT modeMenu;  // sent: left button down on the mode glyph (the press's wParam and lParam)
  UINT clear;     // sent: a click on the clear button completed (0, 0)
  UINT run;       // posted when the box receives it itself, from the history drop-down (0, 0)
};

class CEditWindow : public Window, public InputBoxLink {
 public:
  CEditWindow() = default;

  // Creates the box as a child of the band window.
  HWND CreateBox(HWND parent, DWORD style, DWORD exStyle, const InputBoxMessages& messages) noexcept;

  // InputBoxLink
  HWND InputWindow() const override { return hwnd(); }
  void SetRunState(DWORD runMode, DWORD noMatch) override;

  DWORD RunMode() const { return runMode_; }
  DWORD NoMatch() const { return noMatch_; }
  void SelectText(int start, int end);
  // Creates or destroys the history drop-down with the history option; the drop-down
  // (and with it the history) is not part of this build yet, so history stays off.
  void UpdateHistoryBox(bool keep, bool sorted);
  bool HistoryOn() const { return false; }
  // Records the text in the history while history is on.
  void CommitToHistory();
  // Shows the history entries that begin with the text while history is on.
  void DropDownHistory();

 protected:
  bool HandleMessage(UINT msg, WPARAM wParam, LPARAM lParam, LRESULT& result) override;

 private:
  InputBoxMessages messages_ = {};
  DWORD runMode_ = 0;
  DWORD noMatch_ = 0;
};

}  // namespace vantorel
