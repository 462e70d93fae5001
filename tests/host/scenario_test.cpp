#include <windows.h>
#include <commctrl.h>
#include <gtest/gtest.h>

#include <algorithm>
#include <iterator>

#include "framework/module.h"
#include "framework/unique_handle.h"
#include "host/explorer_host.h"
#include "host/scenario_runner.h"
#include "tests/host/test_support.h"

using namespace vantorel;
using namespace vantorel::host;
using namespace vantorel::host::test;

namespace {

// What is left to read from a file or a pipe.
std::string ReadAll(HANDLE from) {
  std::string bytes;
  char buffer[4096];
  DWORD read = 0;
  while (ReadFile(from, buffer, sizeof buffer, &read, nullptr) && read) bytes.append(buffer, read);
  return bytes;
}

std::string FileBytes(const std::wstring& path) {
  UniqueFile file(CreateFileW(path.c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING, 0, nullptr));
  return file ? ReadAll(file.get()) : std::string();
}

struct ProgramResult {
  DWORD exitCode = 0xFFFFFFFF;
  std::string out;
  std::string err;
};

// Runs the stand-in program (built beside this test's folder) with its output on pipes.
constexpr DWORD kPipeBytes = 1 << 16;

ProgramResult RunProgram(const std::wstring& arguments) {
  ProgramResult result;
  wchar_t program[MAX_PATH];
  Module::PathBeside(L"..\\..\\host\\vantorel-host.exe", program);
  SECURITY_ATTRIBUTES inherit = {sizeof(inherit), nullptr, TRUE};
  HANDLE outRead, outWrite, errRead, errWrite;
  // The pipes are read one after the other: each holds all a run writes (the usage is several kB).
  CreatePipe(&outRead, &outWrite, &inherit, kPipeBytes);
  CreatePipe(&errRead, &errWrite, &inherit, kPipeBytes);
  SetHandleInformation(outRead, HANDLE_FLAG_INHERIT, 0);
  SetHandleInformation(errRead, HANDLE_FLAG_INHERIT, 0);
  STARTUPINFOW startup = {};
  startup.cb = sizeof(startup);
  startup.dwFlags = STARTF_USESTDHANDLES;
  startup.hStdOutput = outWrite;
  startup.hStdError = errWrite;
  startup.hStdInput = GetStdHandle(STD_INPUT_HANDLE);
  std::wstring command = L"\"" + std::wstring(program) + L"\" " + arguments;
  PROCESS_INFORMATION process = {};
  BOOL started = CreateProcessW(program, &command[0], nullptr, nullptr, TRUE, 0, nullptr, nullptr, &startup,
                                &process);
  CloseHandle(outWrite);
  CloseHandle(errWrite);
  if (started) {
    result.out = ReadAll(outRead);
    result.err = ReadAll(errRead);
    WaitForSingleObject(process.hProcess, INFINITE);
    GetExitCodeProcess(process.hProcess, &result.exitCode);
    CloseHandle(process.hProcess);
    CloseHandle(process.hThread);
  }
  CloseHandle(outRead);
  CloseHandle(errRead);
  return result;
}

// Counts WM_SYSCHAR "s" in the int that data points at.
LRESULT CALLBACK CountSysChars(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam, UINT_PTR, DWORD_PTR data) {
  if (msg == WM_SYSCHAR && wParam == 's') ++*reinterpret_cast<int*>(data);
  return DefSubclassProc(hwnd, msg, wParam, lParam);
}

}  // namespace

TEST(ScenarioArgs, StepsKeepTheirOrderAndOptionsGoAnywhere) {
  ScenarioArgs args;
  std::wstring error;
  ASSERT_TRUE(ParseScenarioArgs({L"--type", L"ab c", L"--folder", L"C:\\x", L"--settings", L"1,0x33", L"--tree",
                                 L"--key", L"ENTER", L"--print", L"selected", L"--navigate", L"C:\\y",
                                 L"--screenshot", L"s.png", L"--dll", L"C:\\v.dll"},
                                args, error))
      << error;
  EXPECT_EQ(L"C:\\x", args.folder);
  EXPECT_EQ(L"C:\\v.dll", args.dll);
  EXPECT_TRUE(args.tree);
  EXPECT_TRUE(args.hasSettings);
  EXPECT_EQ(1u, args.runMode);
  EXPECT_EQ(0x33u, args.options);
  using Kind = ScenarioStep::Kind;
  const Kind kinds[] = {Kind::Type, Kind::Key, Kind::Print, Kind::Navigate, Kind::Screenshot};
  ASSERT_EQ(std::size(kinds), args.steps.size());
  for (size_t i = 0; i < std::size(kinds); ++i) EXPECT_EQ(kinds[i], args.steps[i].kind) << "step " << i;
  EXPECT_EQ(L"ab c", args.steps[0].argument);
  EXPECT_EQ(L"enter", args.steps[1].argument);

  EXPECT_FALSE(ParseScenarioArgs({L"--print", L"shown"}, args, error));  // no folder
  EXPECT_FALSE(error.empty());
  EXPECT_FALSE(ParseScenarioArgs({L"--folder", L"x", L"--key", L"ctrl+q"}, args, error));
  EXPECT_FALSE(ParseScenarioArgs({L"--folder", L"x", L"--print", L"all"}, args, error));
  EXPECT_FALSE(ParseScenarioArgs({L"--folder", L"x", L"--settings", L"1"}, args, error));
  EXPECT_FALSE(ParseScenarioArgs({L"--folder", L"x", L"--settings", L"1,-3"}, args, error));
  EXPECT_FALSE(ParseScenarioArgs({L"--folder", L"x", L"--settings", L"1,0x1z"}, args, error));
  EXPECT_FALSE(ParseScenarioArgs({L"--folder", L"x", L"--type"}, args, error));
  EXPECT_FALSE(ParseScenarioArgs({L"--folder", L"x", L"--bogus"}, args, error));
  EXPECT_FALSE(ParseScenarioArgs({L"--folder", L"x", L"--history"}, args, error));

  ASSERT_TRUE(ParseScenarioArgs({L"--folder", L"x", L"--history", L"h.txt", L"--print", L"history", L"--print",
                                 L"dropdown"},
                                args, error))
      << error;
  EXPECT_EQ(L"h.txt", args.historyFile);
  ASSERT_EQ(2u, args.steps.size());
  EXPECT_EQ(L"history", args.steps[0].argument);
  EXPECT_EQ(L"dropdown", args.steps[1].argument);
}

TEST(ScenarioFiles, SettingsAndOutputAreByteExact) {
  TempFolder folder({}, L"files");
  std::wstring setting = folder.path() + L"\\setting";
  ASSERT_TRUE(WriteSettingsFile(setting, 1, 0x1B3));
  EXPECT_EQ(std::string("\x01\0\0\0\xB3\x01\0\0", 8), FileBytes(setting));
  uint32_t mode = 9, options = 9;
  ASSERT_TRUE(ReadSettingsFile(setting, mode, options));
  EXPECT_EQ(1u, mode);
  EXPECT_EQ(0x1B3u, options);
  EXPECT_FALSE(ReadSettingsFile(folder.path() + L"\\missing", mode, options));

  std::wstring outPath = folder.path() + L"\\out.txt";
  HANDLE out = CreateFileW(outPath.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, 0, nullptr);
  ASSERT_NE(INVALID_HANDLE_VALUE, out);
  WriteLine(out, "shown\t" + Utf8(L"\x30D5\x30A1\x30A4\x30EB\xFF11.txt"));
  CloseHandle(out);
  EXPECT_EQ("shown\t\xE3\x83\x95\xE3\x82\xA1\xE3\x82\xA4\xE3\x83\xAB\xEF\xBC\x91.txt\n", FileBytes(outPath));
}

// The steps against a hosted band (the test band: an edit box as its window).
TEST(ScenarioRunner, StepsDriveTheBandAndReportTheView) {
  TempFolder folder({L"alpha.txt", L"beta.txt", L"gamma.txt", L"delta.txt"}, L"scenario");
  TempFolder other({L"one.txt"}, L"scenario-other");
  HostOptions options;
  options.visible = true;
  auto host = ExplorerHost::Create(options);
  ASSERT_TRUE(host && host->Navigate(folder.path().c_str()));
  SetForegroundWindow(host->Frame());
  BandLog log;
  ComPtr<TestBand> band = MakeComObject<TestBand>(&log);
  ASSERT_EQ(S_OK, host->AddBand(static_cast<IObjectWithSite*>(band.get())));
  std::vector<std::string> lines;
  std::wstring setting = folder.path() + L"\\setting";
  ASSERT_TRUE(WriteSettingsFile(setting, 1, 0x33));
  ScenarioRunner runner(*host, [&](const std::string& line) { lines.push_back(line); }, setting);
  std::wstring error;

  ASSERT_TRUE(runner.Run({ScenarioStep::Kind::Type, L"b*"}, error)) << error;
  wchar_t text[32] = L"";
  GetWindowTextW(band->window(), text, 32);
  EXPECT_STREQ(L"b*", text);
  EXPECT_EQ(band->window(), GetFocus());

  ASSERT_TRUE(runner.Run({ScenarioStep::Kind::Key, L"enter"}, error)) << error;
  EXPECT_EQ(1, band->enters);
  ASSERT_TRUE(runner.Run({ScenarioStep::Kind::Key, L"tab"}, error)) << error;
  HWND list = host->ListView();
  EXPECT_EQ(list, GetFocus());
  EXPECT_EQ(1, host->LastFocusReport());

  // Alt+S reaches the folder view as WM_SYSCHAR "s".
  int sysChars = 0;
  SetWindowSubclass(list, &CountSysChars, 1, reinterpret_cast<DWORD_PTR>(&sysChars));
  ASSERT_TRUE(runner.Run({ScenarioStep::Kind::Key, L"alt+s"}, error)) << error;
  RemoveWindowSubclass(list, &CountSysChars, 1);
  EXPECT_EQ(1, sysChars);

  // Select two items the way the selection run does, then report.
  std::vector<std::wstring> names = ItemNames(list, host->CurrentFolder());
  int beta = static_cast<int>(std::find(names.begin(), names.end(), L"beta.txt") - names.begin());
  int delta = static_cast<int>(std::find(names.begin(), names.end(), L"delta.txt") - names.begin());
  ASSERT_LT(beta, 4);
  ASSERT_LT(delta, 4);
  ListView_SetItemState(list, beta, LVIS_SELECTED | LVIS_FOCUSED, LVIS_SELECTED | LVIS_FOCUSED);
  ListView_SetItemState(list, delta, LVIS_SELECTED, LVIS_SELECTED);
  lines.clear();
  ASSERT_TRUE(runner.Run({ScenarioStep::Kind::Print, L"selected"}, error));
  ASSERT_TRUE(runner.Run({ScenarioStep::Kind::Print, L"state"}, error));
  ASSERT_TRUE(runner.Run({ScenarioStep::Kind::Print, L"shown"}, error));
  ASSERT_EQ(7u, lines.size());
  std::vector<std::string> selected(lines.begin(), lines.begin() + 2);
  std::vector<std::string> expectedSelected = beta < delta
      ? std::vector<std::string>{"selected\tbeta.txt", "selected\tdelta.txt"}
      : std::vector<std::string>{"selected\tdelta.txt", "selected\tbeta.txt"};
  EXPECT_EQ(expectedSelected, selected);
  EXPECT_EQ("state\tmode=1\toptions=0x33\tnomatch=0\tfocus=beta.txt\tfocuswindow=SysListView32\tview=list", lines[2]);
  for (int i = 0; i < 4; ++i) EXPECT_EQ("shown\t" + Utf8(names[i]), lines[3 + i]);

  std::wstring png = folder.path() + L"\\shot.png";
  ASSERT_TRUE(runner.Run({ScenarioStep::Kind::Screenshot, png}, error)) << error;
  std::string bytes = FileBytes(png);
  ASSERT_GT(bytes.size(), 8u);
  EXPECT_EQ("\x89PNG\r\n\x1a\n", bytes.substr(0, 8));
  DeleteFileW(png.c_str());

  ASSERT_TRUE(runner.Run({ScenarioStep::Kind::Navigate, other.path()}, error));
  lines.clear();
  ASSERT_TRUE(runner.Run({ScenarioStep::Kind::Print, L"shown"}, error));
  EXPECT_EQ(std::vector<std::string>{"shown\tone.txt"}, lines);
  EXPECT_FALSE(runner.Run({ScenarioStep::Kind::Navigate, L"C:\\no\\such\\place"}, error));
  EXPECT_FALSE(error.empty());

  host->RemoveBand();
  error.clear();
  EXPECT_FALSE(runner.Run({ScenarioStep::Kind::Type, L"x"}, error));
  EXPECT_FALSE(error.empty());
  host->Close();
}

// The program itself: UTF-8 lines on a pipe, exit codes, one-line reasons.
TEST(HostProgram, PrintsUtf8LinesAndReportsFailures) {
  TempFolder folder({L"\x5831\x544A\xFF11.txt", L"Readme.MD"}, L"program");
  ProgramResult shown = RunProgram(L"--folder \"" + folder.path() + L"\" --no-band --print shown --print state");
  EXPECT_EQ(0u, shown.exitCode) << shown.err;
  // Both items, in the view's own order, then the state line.
  const std::string japanese = "shown\t\xE5\xA0\xB1\xE5\x91\x8A\xEF\xBC\x91.txt\n";
  const std::string latin = "shown\tReadme.MD\n";
  const std::string state = "state\tmode=0\toptions=0x0\tnomatch=0\tfocus=-\tfocuswindow=Vantorel Host Frame\tview=list\n";
  EXPECT_TRUE(shown.out == japanese + latin + state || shown.out == latin + japanese + state) << shown.out;

  ProgramResult bad = RunProgram(L"--folder \"" + folder.path() + L"\" --key ctrl+q");
  EXPECT_EQ(2u, bad.exitCode);
  // One line: the reason, and where the usage is.
  EXPECT_EQ(bad.err.size() - 1, bad.err.find('\n')) << bad.err;
  EXPECT_NE(std::string::npos, bad.err.find("ctrl+q"));
  EXPECT_NE(std::string::npos, bad.err.find("see --help"));
  ProgramResult help = RunProgram(L"--help");
  EXPECT_EQ(0u, help.exitCode);
  EXPECT_EQ(0u, help.out.find("usage: vantorel-host"));
  ProgramResult unknown = RunProgram(L"--folder \"" + folder.path() + L"\" --frobnicate");
  EXPECT_EQ(2u, unknown.exitCode);
  EXPECT_EQ(std::string::npos, unknown.err.find("usage: vantorel-host"));

  ProgramResult failing = RunProgram(L"--folder \"" + folder.path() +
                                     L"\" --no-band --print shown --type x --print shown");
  EXPECT_EQ(1u, failing.exitCode);
  EXPECT_EQ(2u, static_cast<size_t>(std::count(failing.out.begin(), failing.out.end(), '\n')));  // stopped there
  EXPECT_NE(std::string::npos, failing.err.find("--type"));

  // A step that needs the band, with a module that is not there.
  ProgramResult noModule = RunProgram(L"--folder \"" + folder.path() + L"\" --dll C:\\no\\Vantorel.dll --type x");
  EXPECT_EQ(1u, noModule.exitCode);
  EXPECT_TRUE(noModule.out.empty());
}
