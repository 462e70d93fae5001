#include "host/scenario_windows.h"

#include <memory>
#include <vector>

namespace vantorel::host {
namespace {

// What a user closes before closing an Explorer window: an open menu of its thread (Escape) and
// its shown dialogs (as their close box does). Each runs a loop of its own on the thread, where
// the work of closing the window would wait until it ends.
void CloseMenusAndDialogs(const ExplorerWindowThread& window) {
  auto close = [](HWND shown, LPARAM) -> BOOL {
    wchar_t name[16] = L"";
    if (!IsWindowVisible(shown) || !GetClassNameW(shown, name, 16)) return TRUE;
    if (lstrcmpW(name, L"#32768") == 0) PostMessageW(shown, WM_KEYDOWN, VK_ESCAPE, 0);
    if (lstrcmpW(name, L"#32770") == 0) PostMessageW(shown, WM_CLOSE, 0, 0);
    return TRUE;
  };
  EnumThreadWindows(window.ThreadId(), close, 0);
}

// Several windows share the work area as tiles, rows of them over columns, so that no window
// lies over any part of another: a click meant for one window's band lands there whatever order
// the windows are stacked in (under Wine the stacking of windows of different threads follows
// the X server a moment late). A single window stays where and as large as it opened.
void Tile(ExplorerWindowThread& window, int index, int count) {
  if (count < 2) return;
  window.Call([index, count](ExplorerHost& host) {
    RECT work;
    if (!SystemParametersInfoW(SPI_GETWORKAREA, 0, &work, 0)) return;
    int rows = 1;
    while (rows * rows < count) ++rows;
    const int columns = (count + rows - 1) / rows;
    const int width = (work.right - work.left) / columns, height = (work.bottom - work.top) / rows;
    SetWindowPos(host.Frame(), nullptr, work.left + index % columns * width, work.top + index / columns * height,
                 width, height, SWP_NOZORDER | SWP_NOACTIVATE);
    host.PumpMessages();
  });
}

}  // namespace

bool RunScenarioWindows(const ScenarioArgs& args, const WindowThreadSetup& setup, const std::wstring& settingsPath,
                        const ScenarioRunner::Output& output, std::wstring& error) {
  const int count = args.windows;
  auto name = [count](int number) { return count > 1 ? L"window " + std::to_wstring(number) + L": " : std::wstring(); };
  std::vector<std::unique_ptr<ExplorerWindowThread>> windows;
  std::vector<std::unique_ptr<ScenarioRunner>> runners(static_cast<size_t>(count));
  // What is still open at the end, on every path out, closes from window 1 up; a runner belongs
  // to its window's thread and goes while that thread still runs.
  struct CloseAll {
    std::vector<std::unique_ptr<ExplorerWindowThread>>& windows;
    std::vector<std::unique_ptr<ScenarioRunner>>& runners;
    ~CloseAll() {
      for (size_t i = 0; i < windows.size(); ++i) {
        CloseMenusAndDialogs(*windows[i]);
        windows[i]->Call([this, i](ExplorerHost&) { runners[i].reset(); });
        windows[i]->Close();
      }
    }
  } closeAll{windows, runners};
  for (int number = 1; number <= count; ++number) {
    windows.push_back(ExplorerWindowThread::Start(setup, error));
    if (!windows.back()) {
      windows.pop_back();
      error = name(number) + error;
      return false;
    }
    Tile(*windows.back(), number - 1, count);
  }
  if (args.steps.empty()) {
    for (auto& window : windows) window->WaitUntilEnded();
    return true;
  }
  int current = 1;
  for (const ScenarioStep& step : args.steps) {
    // --in K chooses the window of the steps that follow; --close K closes one.
    if (step.kind == ScenarioStep::Kind::In || step.kind == ScenarioStep::Kind::Close) {
      int number = std::stoi(step.argument);
      if (step.kind == ScenarioStep::Kind::In) {
        current = number;
      } else {
        CloseMenusAndDialogs(*windows[static_cast<size_t>(number - 1)]);
        windows[static_cast<size_t>(number - 1)]->Close();
      }
      continue;
    }
    const int number = current;
    std::unique_ptr<ScenarioRunner>& runner = runners[static_cast<size_t>(number - 1)];
    bool stepOk = false;
    bool ran = windows[static_cast<size_t>(number - 1)]->Call([&](ExplorerHost& host) {
      ScenarioRunner::Output lines = output;
      auto numbered = [output, number](const std::string& line) { output(std::to_string(number) + '\t' + line); };
      if (count > 1) lines = numbered;
      if (!runner) runner = std::make_unique<ScenarioRunner>(host, lines, settingsPath);
      stepOk = runner->Run(step, error);
    });
    if (!ran || !stepOk) {
      error = name(number) + (ran ? error : L"the window is closed");
      return false;
    }
  }
  return true;
}

}  // namespace vantorel::host
