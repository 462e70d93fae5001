#include "box/tab_watch.h"

#include <exdisp.h>

#include <new>

#include "view/view_locator.h"

namespace vantorel {
namespace {

constexpr UINT_PTR kWatchTimer = 1;
constexpr UINT kLookInterval = 100;    // ms, while deciding
constexpr UINT kFollowInterval = 500;  // ms, while the box lives
constexpr ULONGLONG kShownBeforeBox = 2000;

const WindowClassSpec kWatchClass = {L"Vantorel Tab Watch", nullptr, 0, nullptr, nullptr};

bool StyledVisible(HWND window) noexcept {
  return window && (GetWindowLongPtrW(window, GWL_STYLE) & WS_VISIBLE) != 0;
}

// The tab's toolbar area, WorkerW > ReBarWindow32, there, not hidden and not laid out to nothing
// (whether the tab itself shows or not).
bool ToolbarAreaShown(HWND tab) noexcept {
  HWND worker = FindWindowExW(tab, nullptr, L"WorkerW", nullptr);
  HWND rebar = FindWindowExW(worker, nullptr, L"ReBarWindow32", nullptr);
  RECT area = {};
  return StyledVisible(worker) && StyledVisible(rebar) && GetWindowRect(rebar, &area) && area.bottom > area.top;
}

}  // namespace

CTabWatch::~CTabWatch() { Stop(); }

// The tab is the shell browser's window; only the tabbed Explorer's tab is watched.
std::unique_ptr<CTabWatch> CTabWatch::WatchSite(IUnknown* site, IUnknown* owner) noexcept {
  ComPtr<IServiceProvider> services;
  ComPtr<IWebBrowser2> browser;
  if (!site || FAILED(site->QueryInterface(IID_PPV_ARGS(services.put()))) || !services ||
      FAILED(site->QueryInterface(IID_PPV_ARGS(browser.put()))) || !browser) {
    return nullptr;
  }
  HWND tab = ViewRoot(browser.get());
  HWND frame = BrowserWindow(browser.get());
  if (!IsExplorerTab(tab) || !frame) return nullptr;
  std::unique_ptr<CTabWatch> watch(new (std::nothrow) CTabWatch());
  if (!watch) return nullptr;
  watch->SetLifetimeOwner(owner);
  if (!watch->Start(frame, tab, services.get())) return nullptr;
  return watch;
}

bool CTabWatch::Start(HWND frame, HWND tab, IServiceProvider* browser) noexcept {
  frame_ = frame;
  tab_ = tab;
  browser_ = ComPtr<IServiceProvider>(browser);
  if (!Create(kWatchClass, HWND_MESSAGE, nullptr, 0, 0, 0, 0, 0, 0, nullptr)) return false;
  looking_ = true;
  lastLook_ = GetTickCount64();
  return SetTimer(hwnd(), kWatchTimer, kLookInterval, nullptr) != 0;
}

void CTabWatch::Stop() noexcept {
  looking_ = false;
  if (hwnd()) KillTimer(hwnd(), kWatchTimer);
  if (ComPtr<CTabBox> box = std::move(box_)) box->Close();
  browser_.reset();
  DestroyOwnWindow();
}

bool CTabWatch::HandleMessage(UINT msg, WPARAM wParam, LPARAM, LRESULT& result) {
  if (msg != WM_TIMER || wParam != kWatchTimer) return false;
  OnTimer();
  result = 0;
  return true;
}

void CTabWatch::OnTimer() noexcept {
  if (box_ && box_->IsClosed()) {  // its tab or frame went before the helper was let go
    KillTimer(hwnd(), kWatchTimer);
    box_.reset();
    return;
  }
  if (looking_) {
    Look();
  } else if (box_) {
    KeepBox();
  }
}

void CTabWatch::Look() noexcept {
  const ULONGLONG now = GetTickCount64();
  if (!IsWindow(tab_) || ToolbarAreaShown(tab_)) {  // gone, or the toolbar's place: never a box here
    looking_ = false;
    KillTimer(hwnd(), kWatchTimer);
    return;
  }
  if (IsWindowVisible(tab_)) shownFor_ += now - lastLook_;
  lastLook_ = now;
  if (shownFor_ < kShownBeforeBox) return;
  looking_ = false;
  box_ = CTabBox::Open(frame_, tab_, browser_.get());
  if (box_) {
    SetTimer(hwnd(), kWatchTimer, kFollowInterval, nullptr);
  } else {
    KillTimer(hwnd(), kWatchTimer);
  }
}

void CTabWatch::KeepBox() noexcept {
  if (!ToolbarAreaShown(tab_)) {
    box_->Follow();
    return;
  }
  KillTimer(hwnd(), kWatchTimer);
  ComPtr<CTabBox> box = std::move(box_);
  box->Close();
}

}  // namespace vantorel
