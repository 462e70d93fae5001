#include "host/scenario_windows.h"

#include <memory>
#include <vector>

namespace vantorel::host {
namespace {

// The open windows and a runner of steps for each, made on its window's thread at its first step.
class WindowSteps {
 public:
  WindowSteps(int count, const std::wstring& settingsPath, const ScenarioRunner::Output& output)
      : count_(count), settingsPath_(settingsPath), output_(output), runners_(static_cast<size_t>(count)) {}
  ~WindowSteps() {
    for (size_t i = 0; i < windows_.size(); ++i) {
      // The runner belongs to its window's thread and goes while that thread still runs.
      windows_[i]->Call([this, i](ExplorerHost&) { runners_[i].reset(); });
      windows_[i]->Close();
    }
  }

  // "window N: " before a reason when there are several windows.
  std::wstring Name(int number) const {
    return count_ > 1 ? L"window " + std::to_wstring(number) + L": " : std::wstring();
  }

  bool Open(const WindowThreadSetup& setup, std::wstring& error) {
    for (int number = 1; number <= count_; ++number) {
      std::wstring startError;
      auto window = ExplorerWindowThread::Start(setup, startError);
      if (!window) {
        error = Name(number) + startError;
        return false;
      }
      windows_.push_back(std::move(window));
    }
    return true;
  }

  void WaitUntilAllEnded() {
    for (auto& window : windows_) window->WaitUntilEnded();
  }

  // --in K chooses the window of the steps that follow; --close K closes one.
  bool Choose(const ScenarioStep& step) {
    if (step.kind != ScenarioStep::Kind::In && step.kind != ScenarioStep::Kind::Close) return false;
    int number = std::stoi(step.argument);
    if (step.kind == ScenarioStep::Kind::In) {
      current_ = number;
    } else {
      windows_[static_cast<size_t>(number - 1)]->Close();
    }
    return true;
  }

  // Runs one step in the chosen window, on its thread.
  bool Run(const ScenarioStep& step, std::wstring& error) {
    const int number = current_;
    std::unique_ptr<ScenarioRunner>& runner = runners_[static_cast<size_t>(number - 1)];
    bool stepOk = false;
    std::wstring stepError;
    bool ran = windows_[static_cast<size_t>(number - 1)]->Call([&](ExplorerHost& host) {
      if (!runner) runner = std::make_unique<ScenarioRunner>(host, Lines(number), settingsPath_);
      stepOk = runner->Run(step, stepError);
    });
    if (!ran || !stepOk) error = Name(number) + (ran ? stepError : L"the window is closed");
    return ran && stepOk;
  }

 private:
  ScenarioRunner::Output Lines(int number) const {
    if (count_ == 1) return output_;
    ScenarioRunner::Output output = output_;
    return [output, number](const std::string& line) { output(std::to_string(number) + "\t" + line); };
  }

  const int count_;
  const std::wstring settingsPath_;
  const ScenarioRunner::Output output_;
  int current_ = 1;
  std::vector<std::unique_ptr<ExplorerWindowThread>> windows_;
  std::vector<std::unique_ptr<ScenarioRunner>> runners_;
};

}  // namespace

bool RunScenarioWindows(const ScenarioArgs& args, const WindowThreadSetup& setup, const std::wstring& settingsPath,
                        const ScenarioRunner::Output& output, std::wstring& error) {
  WindowSteps windows(args.windows, settingsPath, output);
  if (!windows.Open(setup, error)) return false;
  if (args.steps.empty()) {
    windows.WaitUntilAllEnded();
    return true;
  }
  for (const ScenarioStep& step : args.steps) {
    if (!windows.Choose(step) && !windows.Run(step, error)) return false;
  }
  return true;
}

}  // namespace vantorel::host
