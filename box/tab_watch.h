#pragma once
// Watches one tab of the tabbed Explorer for the helper object of that tab, on a timer of a
// message-only window of its own. Once the tab has shown for 2 s with its toolbar area hidden
// (or without one), the band is hosted in a box of its own (CTabBox); where the toolbar area
// shows there is never a box, and a box whose tab's toolbar area comes back is closed. While the
// box lives, a slow timer lets it follow what sends no message (the view's layout inside the tab);
// the box closes itself when its tab or frame goes.
#include <windows.h>
#include <servprov.h>

#include <memory>

#include "framework/com_ptr.h"
#include "framework/window.h"
#include "box/tab_box.h"

namespace vantorel {

class CTabWatch : public Window {
 public:
  ~CTabWatch() override;

  // The box's one entry: a watch of the tab that site (a browser helper object's site) is the
  // browser of, kept alive across its messages by owner; null where the site is no tab of the
  // tabbed Explorer or the watch cannot start.
  static std::unique_ptr<CTabWatch> WatchSite(IUnknown* site, IUnknown* owner) noexcept;

  // Starts watching tab of frame; browser answers the band's service requests.
  bool Start(HWND frame, HWND tab, IServiceProvider* browser) noexcept;
  // The timer stopped, the box closed, the window destroyed.
  void Stop() noexcept;

 protected:
  bool HandleMessage(UINT msg, WPARAM wParam, LPARAM lParam, LRESULT& result) override;

 private:
  void OnTimer() noexcept;
  void Look() noexcept;
  void KeepBox() noexcept;

  HWND frame_ = nullptr;
  HWND tab_ = nullptr;
  ComPtr<IServiceProvider> browser_;
  ComPtr<CTabBox> box_;
  ULONGLONG shownFor_ = 0;    // milliseconds the tab was seen shown while looking
  ULONGLONG lastLook_ = 0;    // GetTickCount64 of the last look
  bool looking_ = false;
};

}  // namespace vantorel
