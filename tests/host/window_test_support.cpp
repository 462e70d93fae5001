#include "tests/host/window_test_support.h"

#include <gtest/gtest.h>

#include "framework/module.h"

namespace vantorel::host::test {
namespace {

constexpr UINT kModeMenuMessage = WM_APP + 4;  // a press on the mode glyph
constexpr int kInsideModeGlyph = 5;            // client point of the input box within the glyph

}  // namespace

ModuleCopy::ModuleCopy() : folder_({}, L"module") {
  wchar_t built[MAX_PATH];
  Module::PathBeside(L"Vantorel.dll", built);
  path_ = folder_.path() + L"\\Vantorel.dll";
  std::wstring error;
  if (!CopyFileW(built, path_.c_str(), FALSE) || !loaded_->LoadDirect(path_, error)) loaded_.reset();
}

ModuleCopy::~ModuleCopy() {
  loaded_.reset();
  DeleteFileW(SettingPath().c_str());
  DeleteFileW(HistoryPath().c_str());
}

HRESULT ModuleCopy::CanUnloadNow() const {
  HMODULE module = GetModuleHandleW(path_.c_str());
  using CanUnload = HRESULT(STDAPICALLTYPE*)();
  auto canUnload = module ? reinterpret_cast<CanUnload>(GetProcAddress(module, "DllCanUnloadNow")) : nullptr;
  return canUnload ? canUnload() : E_UNEXPECTED;
}

bool ModuleCopy::Unload() {
  loaded_.reset();  // frees the module only when DllCanUnloadNow says S_OK
  return GetModuleHandleW(path_.c_str()) == nullptr;
}

void ChooseFromModeMenu(ExplorerHost& host, ModeMenuItem item) {
  HWND band = host.BandWindow();
  HWND box = FindWindowExW(band, nullptr, L"Vantorel Editbox", nullptr);
  for (int i = 0; i < static_cast<int>(item); ++i) PostMessageW(box, WM_KEYDOWN, VK_DOWN, 1);
  PostMessageW(box, WM_KEYDOWN, VK_RETURN, 1);
  SendMessageW(band, kModeMenuMessage, 0, MAKELPARAM(kInsideModeGlyph, kInsideModeGlyph));
  host.PumpMessages();
}

WindowSet::WindowSet(ModuleCopy& module, const std::wstring& folder, HostOptions options) : module_(module) {
  setup_.options = options;
  setup_.folder = folder;
  ModuleCopy* copy = &module_;
  setup_.makeBand = [copy](ComPtr<IUnknown>& band) { return copy->band().NewBand(band); };
}

WindowSet::~WindowSet() {
  for (int number = 1; number <= static_cast<int>(windows_.size()); ++number) Close(number);
}

bool WindowSet::Open(int count) {
  for (int i = 0; i < count; ++i) {
    std::wstring error;
    auto window = ExplorerWindowThread::Start(setup_, error);
    if (!window) return false;
    windows_.push_back(std::move(window));
    runners_.emplace_back();
    lines_.emplace_back();
  }
  return true;
}

bool WindowSet::Run(int number, const std::wstring& commandLine) {
  if (!Has(number)) return false;
  size_t index = static_cast<size_t>(number - 1);
  for (const ScenarioStep& step : StepsOf(commandLine)) {
    bool ok = false;
    bool ran = window(number).Call([&](ExplorerHost& host) {
      if (!runners_[index]) {
        std::vector<std::string>* lines = &lines_[index];
        runners_[index] = std::make_unique<ScenarioRunner>(
            host, [lines](const std::string& line) { lines->push_back(line); }, module_.SettingPath());
      }
      std::wstring error;
      ok = runners_[index]->Run(step, error);
    });
    if (!ran || !ok) return false;
  }
  return true;
}

std::vector<std::string> WindowSet::Print(int number, const std::wstring& what) {
  Take(number);
  EXPECT_TRUE(Run(number, L"--print " + what)) << "window " << number << ": --print " << Utf8(what);
  return Take(number);
}

std::vector<std::string> WindowSet::Take(int number) {
  std::vector<std::string> lines;
  if (Has(number)) lines.swap(lines_[static_cast<size_t>(number - 1)]);
  return lines;
}

void WindowSet::Close(int number) {
  if (!Has(number)) return;
  size_t index = static_cast<size_t>(number - 1);
  window(number).Call([this, index](ExplorerHost&) { runners_[index].reset(); });
  window(number).Close();
}

}  // namespace vantorel::host::test
