#pragma once
// The stand-in program's scripted mode: command-line parsing, loading the band, the steps
// that run against the live band, and their line-oriented output.
#include <windows.h>

#include <cstdint>
#include <functional>
#include <string>
#include <vector>

#include "framework/com_ptr.h"
#include "host/explorer_host.h"

namespace vantorel::host {

// The background the band gives its input box while the last run matched nothing.
constexpr COLORREF kNoMatchBackground = RGB(255, 102, 102);

struct ScenarioStep {
  enum class Kind { Type, Key, Print, Navigate, Screenshot, Refresh, Click, Menu, MenuScreenshot, Hover, Dialog, In, Close };
  Kind kind;
  std::wstring argument;
};

struct ScenarioArgs {
  std::wstring folder;
  std::wstring dll;        // --dll: load this file directly instead of through registration
  bool tree = false;       // --tree
  bool directUi = false;   // --dui
  bool noBand = false;     // --no-band
  bool help = false;       // --help
  bool hasSettings = false;
  uint32_t runMode = 0;
  uint32_t options = 0;
  int windows = 1;         // --windows N: Explorer windows, each on its own thread
  std::wstring historyFile;  // --history: copied over "history.txt" beside the module
  std::vector<ScenarioStep> steps;
};

// Parses the arguments after the program name. False with a one-line reason on a bad line.
// A --menu step is queued before the --click mode that opens the menu, since the menu is modal
// inside that click.
bool ParseScenarioArgs(const std::vector<std::wstring>& args, ScenarioArgs& out, std::wstring& error);
// The options, one per line.
std::string ScenarioUsage();

std::string Utf8(const std::wstring& text);
// One line, UTF-8, LF, to the handle (console, pipe or file alike).
void WriteLine(HANDLE out, const std::string& line);

// The 8-byte "setting" file: RunMode then the option bits, unsigned 32-bit little-endian.
bool WriteSettingsFile(const std::wstring& path, uint32_t runMode, uint32_t options);
bool ReadSettingsFile(const std::wstring& path, uint32_t& runMode, uint32_t& options);

// Saves the frame as it is on the screen as a PNG file (WIC encoder).
bool SaveWindowPng(HWND window, const std::wstring& path, std::wstring& error);

// The band module, loaded once per process and kept loaded while this lives (and after, while
// it still has live objects); every Explorer window makes its own band object from it.
class LoadedBand {
 public:
  LoadedBand() = default;
  ~LoadedBand();
  LoadedBand(const LoadedBand&) = delete;
  LoadedBand& operator=(const LoadedBand&) = delete;

  // --dll: LoadLibrary on the file itself; bands come from its DllGetClassObject.
  bool LoadDirect(const std::wstring& dllPath, std::wstring& error);
  // Copies the module to targetDir and registers the copy (DllRegisterServer); bands come from
  // CoCreateInstance.
  bool LoadRegistered(const std::wstring& sourceDll, const std::wstring& targetDir, std::wstring& error);
  // A new band object, made on (and belonging to) the calling thread's apartment.
  HRESULT NewBand(ComPtr<IUnknown>& band) const;
  const std::wstring& modulePath() const { return modulePath_; }

 private:
  HMODULE module_ = nullptr;
  bool registered_ = false;
  std::wstring modulePath_;
};

// Runs the steps against a host with a hosted band.
class ScenarioRunner {
 public:
  using Output = std::function<void(const std::string&)>;
  ScenarioRunner(ExplorerHost& host, Output output, std::wstring settingsPath)
      : host_(host), output_(std::move(output)), settingsPath_(std::move(settingsPath)) {}

  bool Run(const ScenarioStep& step, std::wstring& error);

 private:
  bool Type(const std::wstring& text, std::wstring& error);
  bool Key(const std::wstring& name, std::wstring& error);
  bool Print(const std::wstring& what, std::wstring& error);
  bool Dialog(const std::wstring& action, std::wstring& error);
  bool PrintDialog();
  HWND SettingDialog() const;
  void PrintHistory(bool dropDown);
  bool Click(const std::wstring& where, std::wstring& error);
  // A real left click at a screen point that must lie on target (a control, or a window's
  // caption button); false with a reason when something else is in the way.
  bool ClickAt(POINT point, HWND target, std::wstring& error);
  bool PrintPlacement();
  void PrintSettingFile();
  bool Hover(const std::wstring& where, std::wstring& error);
  bool BoxPoint(const std::wstring& where, POINT& point, std::wstring& error) const;
  bool PrintBox(std::wstring& error);
  void PrintState();
  HWND InputBox() const;
  std::wstring ItemName(HWND list, int index) const;

  ExplorerHost& host_;
  Output output_;
  std::wstring settingsPath_;
  std::wstring pendingMenu_;      // what the next --click mode does with the menu it opens
  std::wstring pendingMenuShot_;  // and where it saves the frame with the menu open
};

}  // namespace vantorel::host
