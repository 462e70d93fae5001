#pragma once
// The history drop-down: the platform's list box superclassed as "Vantorel HistoryBox". It
// opens under the input box without taking the activation, lists the history entries that
// begin with the typed text, newest first, and puts a clicked entry into the input box.
#include <windows.h>

#include <climits>
#include <string>
#include <vector>

#include "look/scheme_colors.h"
#include "framework/window.h"
#include "history/history_file.h"

namespace vantorel {

// The most entries a drop-down lists: the newest that match. Five hundred rows are more than fifty
// pages of nine, past what anyone scrolls through rather than typing one more letter, and few
// enough that a keystroke refills the list at once whatever the size of the history.
constexpr size_t kHistoryRowLimit = 500;

class CHistoryBox : public Window {
 public:
  CHistoryBox() = default;
  ~CHistoryBox() override;

  // Creates the hidden, empty window (a child of the desktop window; sorted adds LBS_SORT).
  // After a pick the drop-down sends runMessage (0, 0) to owner. False when it could not be
  // created, or when it exists already.
  bool CreateBox(HWND owner, bool sorted, UINT runMessage) noexcept;
  // Destroys the window, if there is one.
  void DestroyBox() noexcept;

  // Fills the list from the history (the file, read again when it changed) with the newest
  // kHistoryRowLimit entries that begin with prefix (exact, case-sensitive), newest first, and shows it at anchor's
  // left, top and right (screen coordinates; bottom is not used), at most nine rows high.
  // Hides it when nothing matches.
  // False when there is no window or no anchor.
  bool ShowMatching(const RECT* anchor, const wchar_t* prefix) noexcept;
  void HideBox() noexcept;
  // The scale of the box it serves: the font (stays the caller's) and the padding under the rows.
  void SetScale(UINT dpi, HFONT font) noexcept;
  // The rows' colours from the next paint on: the list box's own where the scheme keeps them,
  // else the scheme's, drawn here.
  void SetColorScheme(ColorScheme scheme) noexcept;

  // The keyboard's highlight, the same as the pointer's: moves by rows (negative: up), from no
  // highlight down from before the first row, up from after the last, and stops at either end.
  void MoveHighlight(int rows) noexcept;
  // The rows that show at once.
  int PageRows() const noexcept;
  // The highlighted row's text; empty when none is highlighted.
  std::wstring HighlightedEntry() const;
  bool IsVisible() const noexcept { return hwnd() && IsWindowVisible(hwnd()); }
  HWND Owner() const noexcept { return owner_; }

 protected:
  bool HandleMessage(UINT msg, WPARAM wParam, LPARAM lParam, LRESULT& result) override;

 private:
  void Pick(LPARAM point);
  bool DrawsOwnRows() const noexcept { return !ColorsOf(scheme_).systemList; }
  void PaintRows();
  void InstallHook() noexcept;
  void RemoveHook(bool forget) noexcept;

  HWND owner_ = nullptr;
  UINT runMessage_ = 0;
  UINT dpi_ = USER_DEFAULT_SCREEN_DPI;
  HFONT font_ = nullptr;
  ColorScheme scheme_ = ColorScheme::Light;
  POINT restingPointer_ = {LONG_MIN, LONG_MIN};  // where the pointer was when the list came up
  HistoryCopy history_;
};

// The rows of a list box, top to bottom (the entries a drop-down offers).
std::vector<std::wstring> ListBoxRows(HWND box);

}  // namespace vantorel
