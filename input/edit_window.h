#pragma once
// The band's input box: the platform's edit control superclassed as "Vantorel Editbox".
#include <windows.h>

#include "framework/unique_handle.h"
#include "framework/window.h"
#include "view/band_view_state.h"

namespace vantorel {

// The box's glyph areas: the mode glyph on the left, the clear button on the right. The band
// keeps typed text out of them with the formatting rectangle.
constexpr int kModeGlyphWidth = 25;
constexpr int kClearGlyphWidth = 16;
// The background while the last run matched nothing, and otherwise.
constexpr COLORREF kNoMatchBackground = RGB(255, 102, 102);
constexpr COLORREF kMatchBackground = RGB(255, 255, 255);

// The messages the box sends to its parent, the band window.
struct InputBoxMessages {
  UINT modeMenu;  // sent: left button down on the mode glyph (the press's wParam and lParam)
  UINT clear;     // sent: a click on the clear button completed (0, 0)
  UINT run;       // posted when the box receives it itself, from the history drop-down (0, 0)
};

class CEditWindow : public Window, public InputBoxLink {
 public:
  // The picture of the clear button.
  enum ClearGlyph : DWORD { kClearNormal = 0, kClearHot = 1, kClearPressed = 2 };

  // Loads the five glyph icons from the module's resources.
  CEditWindow() noexcept;

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
  // Whether the history drop-down is on the screen, and hiding it.
  bool DropDownVisible() const { return false; }
  void HideDropDown() {}

  DWORD ClearGlyphState() const { return clearGlyph_; }
  bool FocusedAtPress() const { return focusedAtPress_; }

 protected:
  bool HandleMessage(UINT msg, WPARAM wParam, LPARAM lParam, LRESULT& result) override;

 private:
  bool HasText() const;
  // The client rectangle less the mode glyph and, while the box holds text, the clear button.
  RECT TextArea() const;
  bool InClearArea(int x, int y) const;
  bool InHotArea(int x, int y) const;
  void SetClearGlyph(DWORD state, bool repaint);

  bool OnPaint();
  bool OnSetCursor(LPARAM lParam, LRESULT& result);
  void OnMouseMove(LPARAM lParam);
  bool OnButtonDown(WPARAM wParam, LPARAM lParam, LRESULT& result);
  bool OnButtonUp(LPARAM lParam, LRESULT& result);
  bool OnDoubleClick(WPARAM wParam, LPARAM lParam, LRESULT& result);

  InputBoxMessages messages_ = {};
  DWORD runMode_ = 0;
  DWORD noMatch_ = 0;
  DWORD clearGlyph_ = kClearNormal;
  bool focusedAtPress_ = false;
  UniqueIcon selectIcon_;
  UniqueIcon filterIcon_;
  UniqueIcon clearIcon_;
  UniqueIcon clearPressedIcon_;
  UniqueIcon clearHotIcon_;
};

}  // namespace vantorel
