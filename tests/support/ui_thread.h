#pragma once
// A thread with windows of its own: it sets them up, answers their messages until it is told to
// stop, then takes them down itself (a window can be destroyed only by its own thread).
#include <windows.h>

#include <functional>
#include <thread>

namespace vantorel::test {

class UiThread {
 public:
  // Returns once start has run on the new thread; end runs there after Stop().
  UiThread(std::function<void()> start, std::function<void()> end) : thread_([this, start, end] {
    start();
    SetEvent(started_);
    while (MsgWaitForMultipleObjects(1, &stop_, FALSE, INFINITE, QS_ALLINPUT) != WAIT_OBJECT_0) {
      for (MSG msg; PeekMessageW(&msg, nullptr, 0, 0, PM_REMOVE);) DispatchMessageW(&msg);
    }
    end();
  }) {
    WaitForSingleObject(started_, INFINITE);
  }
  ~UiThread() {
    Stop();
    CloseHandle(started_);
    CloseHandle(stop_);
  }
  void Stop() {
    SetEvent(stop_);
    if (thread_.joinable()) thread_.join();
  }

 private:
  HANDLE started_ = CreateEventW(nullptr, TRUE, FALSE, nullptr), stop_ = CreateEventW(nullptr, TRUE, FALSE, nullptr);
  std::thread thread_;
};

}  // namespace vantorel::test
