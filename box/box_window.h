#pragma once
// The box of a band that has no toolbar to sit in: a bordered popup of its own, owned by
// Explorer's frame and kept out of Alt+Tab and the task bar, with the drop shadow of Windows'
// flyouts. The band's window fills its client area. It passes the frame's own commands (Alt+F4,
// Alt+Space, Alt+letter) to the frame and the broadcasts of top-level windows to the band, keeps
// the frame's caption active while it is active, reports its focus to its owner and keeps itself
// hidden while its owner says so.
#include <windows.h>

#include "framework/window.h"

namespace vantorel {

// What the box window needs of the object it belongs to.
class BoxWindowOwner {
 public:
  virtual HWND OwnerFrame() const noexcept = 0;
  // Whether the box belongs on the screen now (its tab shown, the frame not minimised).
  virtual bool BoxBelongsShown() const noexcept = 0;
  // The keyboard focus came to the box itself: it goes on into the band.
  virtual void OnBoxFocused() noexcept = 0;
  // The client area changed size, or the display scale changed.
  virtual void OnBoxResized() noexcept = 0;
  virtual void OnBoxDpiChanged() noexcept = 0;
  // The window is being destroyed by somebody else (its frame went first).
  virtual void OnBoxDestroyed() noexcept = 0;

 protected:
  ~BoxWindowOwner() = default;
};

class CBoxWindow : public Window {
 public:
  explicit CBoxWindow(BoxWindowOwner& owner) noexcept : owner_(owner) {}

  // Created hidden, at no size; the owner places and shows it.
  bool CreateBox(HWND frame) noexcept;
  // The window's outer size for a client area of width x height.
  SIZE OuterSize(int width, int height) const noexcept;

 protected:
  bool HandleMessage(UINT msg, WPARAM wParam, LPARAM lParam, LRESULT& result) override;

 private:
  void KeepFrameCaption(bool boxActive, HWND other) noexcept;
  LRESULT OnMouseActivate() noexcept;
  void PassToBand(UINT msg, WPARAM wParam, LPARAM lParam) noexcept;

  BoxWindowOwner& owner_;
};

}  // namespace vantorel
