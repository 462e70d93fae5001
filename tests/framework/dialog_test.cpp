#include <windows.h>
#include <gtest/gtest.h>

#include <memory>
#include <optional>
#include <thread>

#include "framework/dialog.h"
#include "framework/module.h"

using namespace vantorel;

namespace {

constexpr WORD kTestDialog = 300;

class CountingDialog : public ModelessDialog {
 public:
  int handled = 0;

 protected:
  bool HandleDialogMessage(UINT msg, WPARAM, LPARAM, INT_PTR& result) override {
    ++handled;
    if (msg == WM_INITDIALOG) {
      result = TRUE;
      return true;
    }
    return false;
  }
};

// A thread with a dialog of its own: it makes the dialog, answers messages while the test works
// on it from the main thread, then destroys what is left of the window and ends.
struct DialogThread {
  std::unique_ptr<CountingDialog> dialog = std::make_unique<CountingDialog>();
  HWND window = nullptr;
  HANDLE created = CreateEventW(nullptr, TRUE, FALSE, nullptr), finish = CreateEventW(nullptr, TRUE, FALSE, nullptr);
  std::thread thread{[this] {
    window = dialog->Create(kTestDialog, nullptr);
    SetEvent(created);
    while (MsgWaitForMultipleObjects(1, &finish, FALSE, INFINITE, QS_ALLINPUT) != WAIT_OBJECT_0) {
      for (MSG msg; PeekMessageW(&msg, nullptr, 0, 0, PM_REMOVE);) DispatchMessageW(&msg);
    }
    if (IsWindow(window)) DestroyWindow(window);
  }};
  void Finish() {
    SetEvent(finish);
    if (thread.joinable()) thread.join();
  }
  ~DialogThread() {
    Finish();
    CloseHandle(created);
    CloseHandle(finish);
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
    std::optional<DialogThread> other;
    std::unique_ptr<CountingDialog> dialog;
    HWND window = nullptr;
    if (c.otherThread) {
      other.emplace();
      ASSERT_EQ(WAIT_OBJECT_0, WaitForSingleObject(other->created, 10000));
      ASSERT_NE(nullptr, window = other->window);
      dialog = std::move(other->dialog);
    } else {
      dialog = std::make_unique<CountingDialog>();
      window = dialog->Create(kTestDialog, nullptr);
      ASSERT_NE(nullptr, window);
    }
    EXPECT_EQ(before + 1, Module::LockCount()) << "the object's own lock";
    dialog.reset();
    EXPECT_EQ(c.otherThread, IsWindow(window) != FALSE);
    // The window still runs this module's dialog procedure: the module must stay loaded.
    EXPECT_EQ(before + (c.otherThread ? 1 : 0), Module::LockCount());
    if (c.otherThread) {
      // Messages still reach the window and are answered without the object.
      EXPECT_EQ(0, SendMessageW(window, WM_USER + 7, 0, 0));
      other->Finish();
      EXPECT_FALSE(IsWindow(window));
    }
    EXPECT_EQ(before, Module::LockCount()) << "given back with the window";
  }
}

}  // namespace
