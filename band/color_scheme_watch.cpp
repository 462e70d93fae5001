#include "band/color_scheme_watch.h"

#include <new>

#include "framework/color_scheme.h"
#include "framework/module.h"
#include "framework/window.h"

namespace vantorel {
namespace {

constexpr wchar_t kBandClass[] = L"Vantorel Toolbar";
constexpr wchar_t kBoxClass[] = L"Vantorel Box";  // passes the broadcasts to its band itself

const WindowClassSpec kWatchClass = {L"Vantorel Color Watch", nullptr, 0, nullptr, nullptr};

struct Notice {
  UINT msg;
  WPARAM wParam;
  LPARAM lParam;
};

bool HasClass(HWND window, const wchar_t* name) noexcept {
  wchar_t found[32] = {};
  return GetClassNameW(window, found, 32) && lstrcmpW(found, name) == 0;
}

BOOL CALLBACK TellBand(HWND window, LPARAM data) {
  const auto* notice = reinterpret_cast<const Notice*>(data);
  if (HasClass(window, kBandClass)) SendMessageW(window, notice->msg, notice->wParam, notice->lParam);
  return TRUE;
}

BOOL CALLBACK TellBandsIn(HWND top, LPARAM data) {
  if (!HasClass(top, kBoxClass)) EnumChildWindows(top, &TellBand, data);
  return TRUE;
}

class CColorSchemeWatch : public Window {
 protected:
  bool HandleMessage(UINT msg, WPARAM wParam, LPARAM lParam, LRESULT&) override {
    if (!IsColorSchemeNotice(msg, wParam, lParam)) return false;
    Notice notice = {msg, wParam, lParam};
    EnumThreadWindows(GetCurrentThreadId(), &TellBandsIn, reinterpret_cast<LPARAM>(&notice));
    return false;  // and on to the default procedure
  }
};

// Plain data: a thread may outlive the module.
struct ThreadWatch {
  CColorSchemeWatch* watch;
  int bands;
};
thread_local ThreadWatch t_watch = {};

}  // namespace

bool JoinColorSchemeWatch() noexcept {
  ThreadWatch& state = t_watch;
  if (!state.watch) {
    auto* watch = new (std::nothrow) CColorSchemeWatch();
    if (!watch) return false;
    // Top-level and never shown: a message-only window hears no broadcasts.
    if (!watch->Create(kWatchClass, nullptr, nullptr, WS_POPUP, WS_EX_TOOLWINDOW | WS_EX_NOACTIVATE, 0, 0, 0, 0,
                       nullptr)) {
      delete watch;
      return false;
    }
    state.watch = watch;
    Module::Lock();
  }
  ++state.bands;
  return true;
}

void LeaveColorSchemeWatch() noexcept {
  ThreadWatch& state = t_watch;
  if (state.bands == 0 || --state.bands > 0) return;
  delete state.watch;  // destroys its window
  state.watch = nullptr;
  Module::Unlock();
}

}  // namespace vantorel
