#pragma once
// One Explorer window of the stand-in on a thread of its own, as Explorer runs each of its
// windows: the thread initialises OLE (apartment), creates the frame, hosts a band made on that
// thread and shows the folder, then runs its own message loop. Other threads hand it work with
// Call, which runs on the window's thread and returns when it is done.
#include <windows.h>

#include <functional>
#include <memory>
#include <mutex>
#include <string>

#include "framework/com_ptr.h"
#include "framework/unique_handle.h"
#include "host/explorer_host.h"

namespace vantorel::host {

struct WindowThreadSetup {
  HostOptions options;
  std::wstring folder;
  // Makes the band on the window's thread; empty for a window without a band.
  std::function<HRESULT(ComPtr<IUnknown>& band)> makeBand;
  // Loads toolbars as Explorer does (ExplorerHost::LoadExplorerToolbars), after makeBand.
  bool explorerToolbars = false;
};

class ExplorerWindowThread {
 public:
  // Starts the thread and returns once the window shows the folder, or null with a reason.
  static std::unique_ptr<ExplorerWindowThread> Start(const WindowThreadSetup& setup, std::wstring& error);
  // Closes the window (when it is still open) and waits for its thread.
  ~ExplorerWindowThread();
  ExplorerWindowThread(const ExplorerWindowThread&) = delete;
  ExplorerWindowThread& operator=(const ExplorerWindowThread&) = delete;

  // Runs task on the window's thread, between two of its messages, and waits for it while
  // the calling thread keeps its own messages moving. False when the window is already gone.
  // One calling thread at a time (the scenario's driver, a test's main thread).
  bool Call(const std::function<void(ExplorerHost&)>& task);
  // Closes the window like Explorer (quit event, band let go, frame destroyed) and waits until
  // its thread has ended. Nothing happens when it is already closed.
  void Close();
  // Waits until the window's thread has ended, for instance because the user closed the frame:
  // the one wait without a bound. Opening, a task and closing each end the process when the
  // window's thread gives no answer within two minutes.
  void WaitUntilEnded();
  bool HasEnded() const;
  DWORD ThreadId() const { return threadId_; }

 private:
  ExplorerWindowThread() = default;
  static DWORD WINAPI ThreadMain(void* self);
  void Main();
  void RunPendingTask(ExplorerHost& host);
  static bool WaitPumping(HANDLE handle, HANDLE orThis, DWORD bound);

  WindowThreadSetup setup_;
  UniqueKernelHandle thread_;
  DWORD threadId_ = 0;
  UniqueKernelHandle ready_;     // the window is up (or failed to come up)
  UniqueKernelHandle taskSet_;   // a task waits in task_
  UniqueKernelHandle taskDone_;  // the task in task_ has run
  std::mutex lock_;
  std::function<void(ExplorerHost&)> task_;
  bool taskRan_ = false;
  bool started_ = false;
  std::wstring startError_;
};

}  // namespace vantorel::host
