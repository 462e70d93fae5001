#include <windows.h>
#include <gtest/gtest.h>

#include <memory>
#include <optional>

#include "framework/dialog.h"
#include "framework/ui_language.h"
#include "framework/module.h"
#include "tests/support/ui_thread.h"

using namespace vantorel;

namespace {

constexpr WORD kTestDialog = 300;

class TestDialog : public ModelessDialog {
 protected:
  bool HandleDialogMessage(UINT msg, WPARAM, LPARAM, INT_PTR& result) override {
    if (msg == WM_INITDIALOG) result = TRUE;
    return msg == WM_INITDIALOG;
  }
};

TEST(ModelessDialog, ObjectGoneBeforeItsWindowKeepsTheModuleLockUntilTheWindowGoes) {
  const struct {
    const char* name;
    bool otherThread;  // the window belongs to another thread and cannot be destroyed from here
  } cases[] = {{"window of this thread", false}, {"window of another thread", true}};
  for (const auto& c : cases) {
    SCOPED_TRACE(c.name);
    const LONG before = Module::LockCount();
    std::unique_ptr<TestDialog> dialog = std::make_unique<TestDialog>();
    HWND window = nullptr;
    std::optional<test::UiThread> other;
    if (c.otherThread) {
      other.emplace([&] { window = dialog->Create(kTestDialog, nullptr, kEnglishUi); },
                    [&] { if (IsWindow(window)) DestroyWindow(window); });
    } else {
      window = dialog->Create(kTestDialog, nullptr, kEnglishUi);
    }
    ASSERT_NE(nullptr, window);
    EXPECT_EQ(before + 1, Module::LockCount()) << "the object's own lock";
    dialog.reset();
    EXPECT_EQ(c.otherThread, IsWindow(window) != FALSE);
    // The window still runs this module's dialog procedure: the module must stay loaded.
    EXPECT_EQ(before + (c.otherThread ? 1 : 0), Module::LockCount());
    if (c.otherThread) {
      // Messages still reach the window and are answered without the object.
      EXPECT_EQ(0, SendMessageW(window, WM_USER + 7, 0, 0));
      other->Stop();
      EXPECT_FALSE(IsWindow(window));
    }
    EXPECT_EQ(before, Module::LockCount()) << "given back with the window";
  }
}

}  // namespace
