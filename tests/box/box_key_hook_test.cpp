// The boxes' key routing on one thread: every box, however many, gets the keys of its own
// windows through the thread's one hook.
#include <windows.h>
#include <gtest/gtest.h>

#include <memory>
#include <vector>

#include "box/box_key_hook.h"

using namespace vantorel;

namespace {

constexpr int kBoxes = 70;  // more tabs than a fixed table of boxes would hold

// A box stand-in: a popup with an edit control inside, taking every key it is handed.
class TestTarget final : public BoxKeyTarget {
 public:
  TestTarget() {
    popup_ = CreateWindowExW(0, L"STATIC", L"", WS_POPUP, 0, 0, 100, 30, nullptr, nullptr, nullptr, nullptr);
    edit_ = CreateWindowExW(0, L"EDIT", L"", WS_CHILD | WS_VISIBLE, 0, 0, 100, 30, popup_, nullptr, nullptr, nullptr);
  }
  ~TestTarget() { DestroyWindow(popup_); }
  bool HoldsWindow(HWND window) const noexcept override { return window == popup_ || window == edit_; }
  bool TranslateKey(MSG& msg) noexcept override {
    if (msg.message == WM_KEYDOWN) keys.push_back(static_cast<UINT>(msg.wParam));
    return true;
  }
  IUnknown* KeyTargetLifetime() noexcept override { return nullptr; }
  HWND edit() const { return edit_; }
  std::vector<UINT> keys;

 private:
  HWND popup_ = nullptr;
  HWND edit_ = nullptr;
};

void Pump() {
  MSG msg;
  while (PeekMessageW(&msg, nullptr, 0, 0, PM_REMOVE)) {
    TranslateMessage(&msg);
    DispatchMessageW(&msg);
  }
}

void PostKey(HWND window, UINT key) {
  PostMessageW(window, WM_KEYDOWN, key, 1);
  PostMessageW(window, WM_KEYUP, key, 0xC0000001);
}

}  // namespace

TEST(BoxKeyHook, EveryBoxOfTheThreadGetsItsOwnKeys) {
  std::vector<std::unique_ptr<TestTarget>> targets;
  for (int i = 0; i < kBoxes; ++i) {
    targets.push_back(std::make_unique<TestTarget>());
    ASSERT_TRUE(AddBoxKeyTarget(targets.back().get())) << "box " << i + 1;
  }
  for (int i = 0; i < kBoxes; ++i) PostKey(targets[static_cast<size_t>(i)]->edit(), i % 2 ? VK_TAB : VK_RETURN);
  Pump();
  for (int i = 0; i < kBoxes; ++i) {
    const UINT expected = i % 2 ? VK_TAB : VK_RETURN;
    EXPECT_EQ(std::vector<UINT>{expected}, targets[static_cast<size_t>(i)]->keys) << "box " << i + 1;
    EXPECT_EQ(0, GetWindowTextLengthW(targets[static_cast<size_t>(i)]->edit())) << "a taken key types nothing";
  }
  // Boxes leave in any order; the others keep their keys.
  for (int i = 0; i < kBoxes; i += 2) RemoveBoxKeyTarget(targets[static_cast<size_t>(i)].get());
  for (auto& target : targets) {
    target->keys.clear();
    PostKey(target->edit(), VK_DOWN);
  }
  Pump();
  for (int i = 0; i < kBoxes; ++i) {
    EXPECT_EQ(i % 2 ? std::vector<UINT>{VK_DOWN} : std::vector<UINT>{}, targets[static_cast<size_t>(i)]->keys)
        << "box " << i + 1;
  }
  for (int i = 1; i < kBoxes; i += 2) RemoveBoxKeyTarget(targets[static_cast<size_t>(i)].get());
}
