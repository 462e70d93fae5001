#pragma once
// Pieces of the tests with several Explorer windows: the built module in a folder of its own,
// Explorer windows on threads of their own, each with the real band, driven by the scripted
// steps, and the band's mode menu chosen from with the keyboard.
#include <windows.h>

#include <memory>
#include <string>
#include <vector>

#include "host/band_loader.h"
#include "host/scenario_runner.h"
#include "host/window_thread.h"
#include "tests/host/test_support.h"

namespace vantorel::host::test {

using Lines = std::vector<std::string>;

// Vantorel.dll copied from beside the test program into a scratch folder, so that its "setting"
// and "history.txt" are this test's own; loaded with LoadLibrary and asked for bands through
// DllGetClassObject on each window's thread.
class ModuleCopy {
 public:
  ModuleCopy();
  ~ModuleCopy();
  ModuleCopy(const ModuleCopy&) = delete;
  ModuleCopy& operator=(const ModuleCopy&) = delete;

  bool loaded() const { return loaded_ && !loaded_->modulePath().empty(); }
  const std::wstring& path() const { return path_; }
  std::wstring SettingPath() const { return folder_.path() + L"\\setting"; }
  std::wstring HistoryPath() const { return folder_.path() + L"\\history.txt"; }
  HRESULT CanUnloadNow() const;
  // Frees the module when DllCanUnloadNow allows it; true when it is then gone from the process.
  bool Unload();
  const LoadedBand& band() const { return *loaded_; }

 private:
  TempFolder folder_;
  std::wstring path_;
  std::unique_ptr<LoadedBand> loaded_ = std::make_unique<LoadedBand>();
};

// Menu items of the band's mode menu, as steps down from the top.
enum class ModeMenuItem { Select = 1, Filter = 2, Settings = 3 };

// On the window's thread: opens the band's mode menu as a press on the mode glyph does and
// picks the item with the arrow keys and Enter, queued before the menu starts reading them.
void ChooseFromModeMenu(ExplorerHost& host, ModeMenuItem item);

// Explorer windows over one folder, each on its own thread with its own band from the module,
// and a runner of the scripted steps for each.
class WindowSet {
 public:
  WindowSet(ModuleCopy& module, const std::wstring& folder, HostOptions options = HostOptions());
  ~WindowSet();
  bool Open(int count);
  ExplorerWindowThread& window(int number) { return *windows_[static_cast<size_t>(number - 1)]; }
  // Runs the steps of a stand-in command line ("--type b* --key enter") in the window; false at
  // the first that fails, or when the window is gone.
  bool Run(int number, const std::wstring& commandLine);
  // The lines one --print step in the window prints.
  std::vector<std::string> Print(int number, const std::wstring& what);
  // The lines the window's steps printed since the last call.
  std::vector<std::string> Take(int number);
  bool Call(int number, const std::function<void(ExplorerHost&)>& task) {
    return Has(number) && window(number).Call(task);
  }
  void Close(int number);

 private:
  // Whether window number was opened (a failed Open leaves fewer or none).
  bool Has(int number) const { return number >= 1 && static_cast<size_t>(number) <= windows_.size() && windows_[static_cast<size_t>(number - 1)]; }
  ModuleCopy& module_;
  WindowThreadSetup setup_;
  std::vector<std::unique_ptr<ExplorerWindowThread>> windows_;
  std::vector<std::unique_ptr<ScenarioRunner>> runners_;
  std::vector<std::vector<std::string>> lines_;
};

}  // namespace vantorel::host::test
