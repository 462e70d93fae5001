#include <windows.h>
#include <gtest/gtest.h>

#include <memory>

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

// A thread with a dialog of its own: it makes the dialog, waits while the test works on it
// from the main thread, then destroys what is left of the window and ends.
struct DialogThread {
  std::unique_ptr<CountingDialog> dialog;
  HWND window = nullptr;
  HANDLE created = CreateEventW(nullptr, TRUE, FALSE, nullptr);
  HANDLE finish = CreateEventW(nullptr, TRUE, FALSE, nullptr);
  HANDLE thread = nullptr;

  static DWORD WINAPI Main(void* param) {
    DialogThread* self = static_cast<DialogThread*>(param);
    self->window = self->dialog->Create(kTestDialog, nullptr);
    SetEvent(self->created);
    // Pump while waiting, as a UI thread does, so that sent messages are answered.
    while (MsgWaitForMultipleObjects(1, &self->finish, FALSE, INFINITE, QS_ALLINPUT) != WAIT_OBJECT_0) {
      MSG msg;
      while (PeekMessageW(&msg, nullptr, 0, 0, PM_REMOVE)) DispatchMessageW(&msg);
    }
    if (IsWindow(self->window)) DestroyWindow(self->window);
    return 0;
  }
  bool Start() {
    dialog = std::make_unique<CountingDialog>();
    thread = CreateThread(nullptr, 0, &Main, this, 0, nullptr);
    return thread && WaitForSingleObject(created, 10000) == WAIT_OBJECT_0 && window;
  }
  void Finish() {
    SetEvent(finish);
    if (thread) WaitForSingleObject(thread, 10000);
  }
  ~DialogThread() {
    Finish();
    if (thread) CloseHandle(thread);
    CloseHandle(created);
    CloseHandle(finish);
  }
};

TEST(ModelessDialog, ObjectGoneBeforeItsWindowKeepsTheModuleLockUntilTheWindowGoes) {
  struct Case {
    const char* name;
    bool otherThread;  // the window belongs to another thread and cannot be destroyed from here
  };
  const Case cases[] = {{"window of this thread", false}, {"window of another thread", true}};
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    const LONG before = Module::LockCount();
    DialogThread other;
    std::unique_ptr<CountingDialog> dialog;
    HWND window = nullptr;
    if (c.otherThread) {
      ASSERT_TRUE(other.Start());
      dialog = std::move(other.dialog);
      window = other.window;
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
      other.Finish();
      EXPECT_FALSE(IsWindow(window));
    }
    EXPECT_EQ(before, Module::LockCount()) << "given back with the window";
  }
}

}  // namespace
