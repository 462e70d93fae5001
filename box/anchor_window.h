#pragma once
// A window of Explorer's that a box follows (the frame, the tab): subclassed so that its moves,
// size changes, showing and hiding and display-scale changes reach the box as they happen, and
// so that its end closes the box at once.
#include <windows.h>

#include "framework/window.h"

namespace vantorel {

// What the anchor needs of the box.
class AnchorOwner {
 public:
  // The anchor moved, changed size, was shown or hidden, activated, or took another display scale.
  virtual void OnAnchorChanged() noexcept = 0;
  // The anchor is being destroyed (its last message went through).
  virtual void OnAnchorGone() noexcept = 0;

 protected:
  ~AnchorOwner() = default;
};

class CAnchorWindow : public Window {
 public:
  explicit CAnchorWindow(AnchorOwner& owner) noexcept : owner_(owner) {}

  bool Follow(HWND window) noexcept { return Subclass(window); }
  void Leave() noexcept { Unsubclass(); }

 protected:
  bool HandleMessage(UINT msg, WPARAM wParam, LPARAM lParam, LRESULT& result) override;
  void OnFinalMessage(HWND) override { owner_.OnAnchorGone(); }

 private:
  AnchorOwner& owner_;
};

}  // namespace vantorel
