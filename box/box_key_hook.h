#pragma once
// Key routing for the boxes of one thread, as Explorer routes keys to a toolbar that has the
// focus: a WH_GETMESSAGE hook of the thread, live while a box lives on it, hands every key
// message taken from the queue for a box's window (or one inside it) to that box first. A
// message the box took is turned into WM_NULL, so the thread's loop does nothing more with it.
#include <windows.h>
#include <unknwn.h>

namespace vantorel {

// What the hook needs of a box.
class BoxKeyTarget {
 public:
  // The box's window, or a window inside it.
  virtual bool HoldsWindow(HWND window) const noexcept = 0;
  // The band's turn at the key; true when it took it.
  virtual bool TranslateKey(MSG& msg) noexcept = 0;
  // Kept alive across TranslateKey: the key may close the box.
  virtual IUnknown* KeyTargetLifetime() noexcept = 0;

 protected:
  ~BoxKeyTarget() = default;

 private:
  friend bool AddBoxKeyTarget(BoxKeyTarget* target) noexcept;
  friend void RemoveBoxKeyTarget(BoxKeyTarget* target) noexcept;
  friend struct ThreadKeyHook;
  BoxKeyTarget* nextKeyTarget_ = nullptr;  // the thread's targets, newest first
};

// The first target of a thread sets its hook, the last one removed takes it away; a thread has
// room for any number of targets. False when the hook could not be set.
bool AddBoxKeyTarget(BoxKeyTarget* target) noexcept;
void RemoveBoxKeyTarget(BoxKeyTarget* target) noexcept;

}  // namespace vantorel
