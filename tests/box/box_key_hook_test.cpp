// The boxes' key routing on one thread: every box, however many, gets the keys of its own
// windows through the thread's one hook, and keeps them while others leave in any order.
#include <windows.h>
#include <gtest/gtest.h>

#include <memory>
#include <vector>

#include "box/box_key_hook.h"

using namespace vantorel;

namespace {

// A box stand-in: a popup with an edit control inside, taking every key it is handed.
struct TestTarget final : BoxKeyTarget {
  HWND popup = CreateWindowExW(0, L"STATIC", L"", WS_POPUP, 0, 0, 100, 30, nullptr, nullptr, nullptr, nullptr);
  HWND edit = CreateWindowExW(0, L"EDIT", L"", WS_CHILD, 0, 0, 100, 30, popup, nullptr, nullptr, nullptr);
  std::vector<WPARAM> keys;
  ~TestTarget() { DestroyWindow(popup); }
  bool HoldsWindow(HWND window) const noexcept override { return window == popup || window == edit; }
  bool TranslateKey(MSG& msg) noexcept override {
    if (msg.message == WM_KEYDOWN) keys.push_back(msg.wParam);
    return true;
  }
  IUnknown* KeyTargetLifetime() noexcept override { return nullptr; }
};

}  // namespace

TEST(BoxKeyHook, EveryBoxOfTheThreadGetsItsOwnKeys) {
  constexpr size_t kBoxes = 70;  // more tabs than a fixed table of boxes would hold
  std::vector<std::unique_ptr<TestTarget>> targets;
  for (size_t i = 0; i < kBoxes; ++i) {
    targets.push_back(std::make_unique<TestTarget>());
    ASSERT_TRUE(AddBoxKeyTarget(targets.back().get())) << "box " << i + 1;
  }
  // Round 1: every box; round 2: after every other box left.
  for (int round = 1; round <= 2; ++round) {
    for (size_t i = 0; i < kBoxes; ++i) {
      targets[i]->keys.clear();
      PostMessageW(targets[i]->edit, WM_KEYDOWN, 'A' + i % 26, 1);
      PostMessageW(targets[i]->edit, WM_CHAR, 'A' + i % 26, 1);
    }
    for (MSG msg; PeekMessageW(&msg, nullptr, 0, 0, PM_REMOVE);) DispatchMessageW(&msg);
    for (size_t i = 0; i < kBoxes; ++i) {
      const bool routed = round == 1 || i % 2;
      EXPECT_EQ(routed ? std::vector<WPARAM>{'A' + i % 26} : std::vector<WPARAM>{}, targets[i]->keys) << "box " << i + 1;
      EXPECT_EQ(routed ? 0 : 1, GetWindowTextLengthW(targets[i]->edit)) << "a taken key types nothing";
    }
    for (size_t i = 0; i < kBoxes; i += 2) RemoveBoxKeyTarget(targets[i].get());
  }
  for (size_t i = 1; i < kBoxes; i += 2) RemoveBoxKeyTarget(targets[i].get());
}
