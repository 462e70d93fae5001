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

struct ScenarioStep {
  enum class Kind { Type, Key, Print, Navigate, Screenshot, Refresh, Click, Menu, MenuScreenshot, Hover };
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
  std::vector<ScenarioStep> steps;
};

// Parses the arguments after the program name. False with a one-line reason on a bad line.
// A --menu step is queued before the --click mode that opens the menu, since the menu is modal
// inside that click.
bool ParseScenarioArgs(const std::vector<std::wstring>& args, ScenarioArgs& out, std::wstring& error);
// The options, one per line.
const char* ScenarioUsage();

std::string Utf8(const std::wstring& text);
// One line, UTF-8, LF, to the handle (console, pipe or file alike).
void WriteLine(HANDLE out, const std::string& line);

// The 8-byte "setting" file: RunMode then the option bits, unsigned 32-bit little-endian.
bool WriteSettingsFile(const std::wstring& path, uint32_t runMode, uint32_t options);
bool ReadSettingsFile(const std::wstring& path, uint32_t& runMode, uint32_t& options);

// Saves the frame as it is on the screen as a PNG file (WIC encoder).
bool SaveWindowPng(HWND window, const std::wstring& path, std::wstring& error);

// A band object made from the module, and the module, which stays loaded while this lives.
class LoadedBand {
 public:
  LoadedBand() = default;
  ~LoadedBand();
  LoadedBand(const LoadedBand&) = delete;
  LoadedBand& operator=(const LoadedBand&) = delete;

  // --dll: LoadLibrary and DllGetClassObject on the file itself.
  bool LoadDirect(const std::wstring& dllPath, std::wstring& error);
  // Copies the module to targetDir, registers the copy (DllRegisterServer) and creates the band
  // with CoCreateInstance.
  bool LoadRegistered(const std::wstring& sourceDll, const std::wstring& targetDir, std::wstring& error);
  IUnknown* band() const { return band_.get(); }
  const std::wstring& modulePath() const { return modulePath_; }
  // Drops the band reference (the module stays loaded until destruction).
  void ReleaseBand() { band_.reset(); }

 private:
  ComPtr<IUnknown> band_;
  HMODULE module_ = nullptr;
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
  bool Click(const std::wstring& where, std::wstring& error);
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
