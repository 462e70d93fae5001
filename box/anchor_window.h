#pragma once
// A window of Explorer's that a box follows (the frame, the tab): subclassed so that its moves,
// size changes, showing and hiding and display-scale changes reach the box as they happen. On
// the frame it also keeps the caption active while the activation goes to the box, as a
// floating tool palette keeps its owner's.
#include <windows.h>

#include "framework/window.h"

namespace vantorel {

// What the anchor needs of the box.
class AnchorOwner {
 public:
  // The anchor moved, changed size, was shown or hidden, activated, or took another display scale.
  virtual void OnAnchorChanged() noexcept = 0;
  // Whether window is the box (a deactivation of the frame in its favour keeps the caption).
  virtual bool IsBoxWindow(HWND window) const noexcept = 0;

 protected:
  ~AnchorOwner() = default;
};

class CAnchorWindow : public Window {
 public:
  explicit CAnchorWindow(AnchorOwner& owner) noexcept : owner_(owner) {}

  // keepsCaption: the frame, whose caption stays active while the box is active.
  bool Follow(HWND window, bool keepsCaption) noexcept;
  void Leave() noexcept { Unsubclass(); }

 protected:
  bool HandleMessage(UINT msg, WPARAM wParam, LPARAM lParam, LRESULT& result) override;

 private:
  AnchorOwner& owner_;
  bool keepsCaption_ = false;
};

}  // namespace vantorel
