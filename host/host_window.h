#pragma once
// A window of the stand-in whose messages go to a function of its owner; with no function, or
// for what the function leaves, it keeps its first child filling its client area.
#include <windows.h>

#include <functional>
#include <memory>

#include "framework/window.h"

namespace vantorel::host {

using Handler = std::function<bool(UINT, WPARAM, LPARAM, LRESULT&)>;

// The style of the stand-in's child windows, and the background of its frame and toolbar windows.
constexpr DWORD kChild = WS_CHILD | WS_VISIBLE | WS_CLIPCHILDREN | WS_CLIPSIBLINGS;
inline const HBRUSH kFace = reinterpret_cast<HBRUSH>(COLOR_BTNFACE + 1);

class HostWindow : public Window {
 public:
  explicit HostWindow(Handler handler = nullptr) : handler_(std::move(handler)) {}

 protected:
  bool HandleMessage(UINT msg, WPARAM wParam, LPARAM lParam, LRESULT& result) override {
    if (handler_ && handler_(msg, wParam, lParam, result)) return true;
    if (msg == WM_SIZE) {
      HWND child = ::GetWindow(hwnd(), GW_CHILD);
      if (child) MoveWindow(child, 0, 0, LOWORD(lParam), HIWORD(lParam), TRUE);
    }
    return false;
  }

 private:
  Handler handler_;
};

// A window that the host places itself: its own WM_SIZE does nothing.
inline std::unique_ptr<HostWindow> PlacedWindow() {
  return std::make_unique<HostWindow>([](UINT msg, WPARAM, LPARAM, LRESULT&) { return msg == WM_SIZE; });
}

inline void DestroyIfAlive(std::unique_ptr<HostWindow>& window) {
  if (window) window->DestroyOwnWindow();
  window.reset();
}

}  // namespace vantorel::host
