#include "host/scenario_windows.h"

#include <memory>
#include <vector>

namespace vantorel::host {

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
