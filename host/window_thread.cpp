#include "host/window_thread.h"

#include "host/scenario_output.h"

namespace vantorel::host {
namespace {

// The longest the window's start, one task or its closing may take. Beyond it the window's
// thread hangs, and nothing the caller could do would make it answer: the process ends at once,
// with exit code 1 and a line on standard error, instead of waiting for ever.
constexpr DWORD kAnswerBound = 120000;

void GiveUp(const char* what) {
  WriteLine(GetStdHandle(STD_ERROR_HANDLE), "window thread: no answer within " + std::to_string(kAnswerBound / 1000) +
                                                " s " + what + "; ending the process");
  TerminateProcess(GetCurrentProcess(), 1);
}

}  // namespace

std::unique_ptr<ExplorerWindowThread> ExplorerWindowThread::Start(const WindowThreadSetup& setup,
                                                                   std::wstring& error) {
  std::unique_ptr<ExplorerWindowThread> window(new ExplorerWindowThread());
  window->setup_ = setup;
  window->ready_.reset(CreateEventW(nullptr, TRUE, FALSE, nullptr));
  window->taskSet_.reset(CreateEventW(nullptr, FALSE, FALSE, nullptr));
  window->taskDone_.reset(CreateEventW(nullptr, FALSE, FALSE, nullptr));
  if (!window->ready_ || !window->taskSet_ || !window->taskDone_) {
    error = L"cannot create the window thread's events";
    return nullptr;
  }
  window->thread_.reset(CreateThread(nullptr, 0, &ThreadMain, window.get(), 0, &window->threadId_));
  if (!window->thread_) {
    error = L"cannot start the window thread";
    return nullptr;
  }
  if (!WaitPumping(window->ready_.get(), window->thread_.get(), kAnswerBound)) GiveUp("while the window opened");
  if (!window->started_) {
    error = window->startError_.empty() ? L"the window thread ended early" : window->startError_;
    window->WaitUntilEnded();
    return nullptr;
  }
  return window;
}

ExplorerWindowThread::~ExplorerWindowThread() {
  if (thread_) Close();
}

DWORD WINAPI ExplorerWindowThread::ThreadMain(void* self) {
  static_cast<ExplorerWindowThread*>(self)->Main();
  return 0;
}

void ExplorerWindowThread::Main() {
  if (FAILED(OleInitialize(nullptr))) {
    startError_ = L"OleInitialize failed on the window thread";
    SetEvent(ready_.get());
    return;
  }
  {
    HostOptions options = setup_.options;  // a new tab gets its band and toolbars as the first
    options.makeBand = setup_.makeBand;
    options.explorerToolbars = setup_.explorerToolbars;
    std::unique_ptr<ExplorerHost> host = ExplorerHost::Create(options);
    if (!host) {
      startError_ = L"cannot create the frame";
    } else {
      SetForegroundWindow(host->Frame());
      if (setup_.makeBand) {
        ComPtr<IUnknown> band;
        HRESULT hr = setup_.makeBand(band);
        if (SUCCEEDED(hr) && band) hr = host->AddBand(band.get());
        band.reset();  // the host holds it now
        if (FAILED(hr)) startError_ = L"the band could not be made or refused to be hosted";
      }
      if (setup_.explorerToolbars) host->LoadExplorerToolbars();
      // As in Explorer, the band is there before the first navigation completes, so it hears of it.
      if (startError_.empty() && !host->Navigate(setup_.folder.c_str())) {
        startError_ = L"cannot show the folder " + setup_.folder;
      }
      if (startError_.empty()) host->PumpMessages();
    }
    started_ = startError_.empty();
    SetEvent(ready_.get());

    bool quit = !started_;
    while (!quit && !host->IsClosed()) {
      HANDLE task = taskSet_.get();
      DWORD woken = MsgWaitForMultipleObjectsEx(1, &task, INFINITE, QS_ALLINPUT, MWMO_INPUTAVAILABLE);
      if (woken == WAIT_OBJECT_0) {
        RunPendingTask(*host);
        continue;
      }
      MSG msg;
      while (!quit && PeekMessageW(&msg, nullptr, 0, 0, PM_REMOVE)) {
        if (msg.message == WM_QUIT) {
          quit = true;
        } else if (!host->RouteKey(msg)) {
          TranslateMessage(&msg);
          DispatchMessageW(&msg);
        }
      }
    }
    if (host) host->Close();
    host.reset();
    // Work handed in while the window went away finds it gone.
    std::lock_guard<std::mutex> guard(lock_);
    if (task_) {
      task_ = nullptr;
      SetEvent(taskDone_.get());
    }
  }
  OleUninitialize();
}

void ExplorerWindowThread::RunPendingTask(ExplorerHost& host) {
  std::function<void(ExplorerHost&)> task;
  {
    std::lock_guard<std::mutex> guard(lock_);
    task = task_;
  }
  if (!task) return;
  try {
    task(host);
  } catch (...) {
    // A failed step reports itself through its own result; the window goes on.
  }
  std::lock_guard<std::mutex> guard(lock_);
  task_ = nullptr;
  taskRan_ = true;
  SetEvent(taskDone_.get());
}

bool ExplorerWindowThread::Call(const std::function<void(ExplorerHost&)>& task) {
  if (HasEnded()) return false;
  if (GetCurrentThreadId() == threadId_) return false;  // would wait for itself
  {
    std::lock_guard<std::mutex> guard(lock_);
    task_ = task;
    taskRan_ = false;
    ResetEvent(taskDone_.get());
  }
  SetEvent(taskSet_.get());
  if (!WaitPumping(taskDone_.get(), thread_.get(), kAnswerBound)) GiveUp("to a step");
  std::lock_guard<std::mutex> guard(lock_);
  task_ = nullptr;  // a thread that ended first never ran it
  return taskRan_;
}

void ExplorerWindowThread::Close() {
  if (!thread_) return;
  Call([](ExplorerHost& host) { host.Close(); });
  if (!WaitPumping(thread_.get(), nullptr, kAnswerBound)) GiveUp("while the window closed");
}

void ExplorerWindowThread::WaitUntilEnded() {
  if (!thread_) return;
  WaitPumping(thread_.get(), nullptr, INFINITE);
}

bool ExplorerWindowThread::HasEnded() const {
  return !thread_ || WaitForSingleObject(thread_.get(), 0) == WAIT_OBJECT_0;
}

// Waits for handle (or orThis) and meanwhile dispatches the calling thread's own messages, so
// that a window of this thread, or a broadcast sent to it, never holds up the other thread.
// False when bound (milliseconds, or INFINITE) ran out first.
bool ExplorerWindowThread::WaitPumping(HANDLE handle, HANDLE orThis, DWORD bound) {
  HANDLE handles[2] = {handle, orThis};
  DWORD count = orThis ? 2 : 1;
  bool quit = false;
  int quitCode = 0;
  bool answered = true;
  const ULONGLONG start = GetTickCount64();
  for (;;) {
    ULONGLONG spent = GetTickCount64() - start;
    DWORD left = bound == INFINITE ? INFINITE : spent >= bound ? 0 : static_cast<DWORD>(bound - spent);
    DWORD woken = MsgWaitForMultipleObjectsEx(count, handles, left, QS_ALLINPUT, MWMO_INPUTAVAILABLE);
    if (woken == WAIT_TIMEOUT) answered = false;
    if (woken != WAIT_OBJECT_0 + count) break;  // signalled, out of time, or a failed wait
    MSG msg;
    while (PeekMessageW(&msg, nullptr, 0, 0, PM_REMOVE)) {
      if (msg.message == WM_QUIT) {
        // Kept for the caller's own loop; the wait itself goes on.
        quit = true;
        quitCode = static_cast<int>(msg.wParam);
        continue;
      }
      TranslateMessage(&msg);
      DispatchMessageW(&msg);
    }
  }
  if (quit) PostQuitMessage(quitCode);
  return answered;
}

}  // namespace vantorel::host
