#pragma once
// The band's input box: the platform's edit control superclassed as "Vantorel Editbox".
#include <windows.h>

#include "framework/dpi.h"
#include "framework/unique_handle.h"
#include "framework/window.h"
#include "history/history_box.h"
#include "look/scheme_colors.h"
#include "view/band_view.h"

namespace vantorel {

// The box's glyph areas at 96 DPI: the mode glyph on the left, the clear button on the right.
// The band keeps typed text out of them with the formatting rectangle.
constexpr int kModeGlyphWidth = 25;
constexpr int kClearGlyphWidth = 16;
constexpr int kGlyphIconSize = 16;
// The most the box holds: the units of its text that a run reads.
constexpr int kMaxKeywordLength = MAX_PATH - 1;

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

  // Loads the five glyph icons from the module's resources, at 96 DPI.
  CEditWindow() noexcept;

  // Creates the box as a child of the band window, holding at most kMaxKeywordLength units:
  // typing and pasting stop there. Its name for screen readers is in language.
  HWND CreateBox(HWND parent, DWORD style, DWORD exStyle, const InputBoxMessages& messages,
                 LANGID language) noexcept;

  // InputBoxLink
  HWND InputWindow() const override { return hwnd(); }
  void SetRunState(DWORD runMode, DWORD noMatch) override;
  LANGID TextLanguage() const override { return language_; }

  // Takes the scale of dpi: glyph icons of the size it needs, the GUI font at that scale (set
  // on the box and on the drop-down), the glyph areas. The caller lays the box out again.
  void SetScale(UINT dpi) noexcept;
  UINT Dpi() const { return dpi_; }
  int ModeGlyphWidth() const { return ScaleForDpi(kModeGlyphWidth, dpi_); }
  int ClearGlyphWidth() const { return ScaleForDpi(kClearGlyphWidth, dpi_); }
  // The width in pixels of the mode glyph's icon as loaded; 0 without one.
  int LoadedGlyphSize() const;
  // Draws the box, its glyphs and its drop-down in the scheme's colours from the next paint on.
  // The caller repaints.
  void SetColorScheme(ColorScheme scheme) noexcept;

  DWORD RunMode() const { return runMode_; }
  DWORD NoMatch() const { return noMatch_; }
  void SelectText(int start, int end);
  // Creates the history drop-down when keep is set and there is none (sorted at creation
  // only), destroys it when keep is clear. History is on exactly while its window exists.
  void UpdateHistoryBox(bool keep, bool sorted);
  bool HistoryOn() const { return historyBox_.hwnd() != nullptr; }
  bool IsDropDownVisible() const { return historyBox_.IsVisible(); }
  CHistoryBox& HistoryBox() { return historyBox_; }
  // Records the whole text, untrimmed, as the newest history entry while history is on.
  void CommitToHistory();
  // Opens the drop-down under the text area with the entries that begin with the text.
  void DropDownHistory();
  // Enter: an entry highlighted in the open drop-down goes into the box (cut to what the box
  // holds), caret at its end, and the drop-down hides. False when none was highlighted.
  bool TakeHighlightedEntry();

  DWORD ClearGlyphState() const { return clearGlyph_; }
  bool FocusedAtPress() const { return focusedAtPress_; }

 protected:
  bool HandleMessage(UINT msg, WPARAM wParam, LPARAM lParam, LRESULT& result) override;
  // Focus loss, destruction, the wheel and the keys, as far as they concern the drop-down.
  bool HandleHistoryMessage(UINT msg, WPARAM wParam, LPARAM lParam, LRESULT& result);
  bool OnHistoryKey(UINT msg, WPARAM key);

 private:
  bool HasText() const;
  // The client rectangle less the mode glyph and, while the box holds text, the clear button.
  RECT TextArea() const;
  bool InModeArea(int x, int y) const;
  bool InClearArea(int x, int y) const;
  bool InHotArea(int x, int y) const;
  void SetClearGlyph(DWORD state, bool repaint);
  void LoadGlyphs(int size);
  void DrawGlyph(HDC dc, int x, int y, HICON glyph, const ColorPair& colors) const;

  bool OnPaint();
  bool OnPaintBorder();
  bool OnSetCursor(LPARAM lParam, LRESULT& result);
  void OnMouseMove(LPARAM lParam);
  bool OnButtonDown(WPARAM wParam, LPARAM lParam, LRESULT& result);
  bool OnButtonUp(LPARAM lParam, LRESULT& result);
  bool OnDoubleClick(WPARAM wParam, LPARAM lParam, LRESULT& result);

  InputBoxMessages messages_ = {};
  static constexpr int kAccessibleNameSize = 64;
  wchar_t accessibleName_[kAccessibleNameSize] = L"";
  DWORD runMode_ = 0;
  DWORD noMatch_ = 0;
  LANGID language_ = kJapaneseUi;  // of its texts
  DWORD clearGlyph_ = kClearNormal;
  bool focusedAtPress_ = false;
  UINT dpi_ = kDefaultDpi;
  int iconSize_ = 0;
  ColorScheme scheme_ = ColorScheme::Light;
  ScaledGuiFont font_;
  UniqueIcon selectIcon_;
  UniqueIcon filterIcon_;
  UniqueIcon clearIcon_;
  UniqueIcon clearPressedIcon_;
  UniqueIcon clearHotIcon_;
  CHistoryBox historyBox_;
};

}  // namespace vantorel
