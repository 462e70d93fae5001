// vantorel-host: the Explorer stand-in as a program. Opens a frame over a folder, hosts the
// band in it like Explorer, and either runs a message loop until the window is closed or runs
// the steps given on the command line against the live band, printing one line per result.
#include <windows.h>
#include <shellapi.h>
#include <shlobj.h>
#include <shlwapi.h>

#include <string>
#include <vector>

#include "host/band_loader.h"
#include "host/color_scheme_switch.h"
#include "host/display_language.h"
#include "host/explorer_toolbars.h"
#include "host/scenario_args.h"
#include "host/scenario_output.h"
#include "host/scenario_windows.h"
#include "vantorel_h.h"

using namespace vantorel::host;
using vantorel::ComPtr;

namespace {

std::wstring DirectoryOf(const std::wstring& file) {
  wchar_t path[MAX_PATH];
  if (!GetFullPathNameW(file.c_str(), MAX_PATH, path, nullptr)) return L".";
  PathRemoveFileSpecW(path);
  return path;
}

std::wstring ModuleDirectory() {
  wchar_t path[MAX_PATH];
  DWORD n = GetModuleFileNameW(nullptr, path, MAX_PATH);
  return n == 0 || n >= MAX_PATH ? L"." : DirectoryOf(path);
}

std::wstring RegisteredCopyDirectory() {
  wchar_t base[MAX_PATH];
  if (FAILED(SHGetFolderPathW(nullptr, CSIDL_LOCAL_APPDATA, nullptr, SHGFP_TYPE_CURRENT, base))) {
    return ModuleDirectory() + L"\\registered";
  }
  return std::wstring(base) + L"\\Vantorel Host";
}

// The folder of the module registered for the band, as Explorer would load it.
std::wstring RegisteredModuleDirectory() {
  wchar_t path[MAX_PATH] = {};
  DWORD bytes = sizeof(path);
  const std::wstring key = L"CLSID\\" + ClsidText(CLSID_SelectorCore) + L"\\InprocServer32";
  LSTATUS status = RegGetValueW(HKEY_CLASSES_ROOT, key.c_str(), nullptr, RRF_RT_REG_SZ, nullptr, path, &bytes);
  return status == ERROR_SUCCESS ? DirectoryOf(path) : L".";
}

int Fail(const std::wstring& reason) {
  WriteLine(GetStdHandle(STD_ERROR_HANDLE), "vantorel-host: " + Utf8(reason));
  return 1;
}

int Run(const ScenarioArgs& args) {
  WindowThreadSetup setup;
  setup.options.visible = true;
  setup.options.folderTree = args.tree;
  setup.options.directUiLayout = args.directUi;
  setup.options.explorer11 = args.explorer11;
  setup.options.toolbarAreaHidden = args.toolbarAreaHidden;
  const bool items = args.folderView.empty() ? args.explorer11 : args.folderView == L"items";
  setup.options.folderView = items ? FolderViewKind::Items : FolderViewKind::List;
  setup.options.filterSite = args.filterSite;
  setup.options.width = 900;
  setup.options.height = 640;
  setup.folder = args.folder;
  setup.explorerToolbars = args.explorerToolbars;

  LoadedBand loaded;
  std::wstring settingsPath, error;
  if (!args.uiLanguage.empty() &&
      !SetDisplayLanguage(args.uiLanguage == L"ja" ? MAKELANGID(LANG_JAPANESE, SUBLANG_JAPANESE_JAPAN)
                                                   : MAKELANGID(LANG_ENGLISH, SUBLANG_ENGLISH_US),
                          error)) {
    return Fail(error);
  }
  if (!args.noBand) {
    std::wstring dir = args.explorerToolbars ? RegisteredModuleDirectory()
                       : args.dll.empty()    ? RegisteredCopyDirectory()
                                             : DirectoryOf(args.dll);
    settingsPath = dir + L"\\setting";
    const std::wstring historyPath = dir + L"\\history.txt";
    for (const std::wstring& file : {settingsPath, historyPath}) {
      if (args.fresh && !DeleteFileW(file.c_str()) && GetLastError() != ERROR_FILE_NOT_FOUND &&
          GetLastError() != ERROR_PATH_NOT_FOUND) {
        return Fail(L"--fresh: cannot remove " + file);
      }
    }
    if (args.hasSettings || !args.historyFile.empty()) SHCreateDirectoryExW(nullptr, dir.c_str(), nullptr);
    if (args.hasSettings && !WriteSettingsFile(settingsPath, args.runMode, args.options)) {
      return Fail(L"cannot write " + settingsPath);
    }
    if (!args.historyFile.empty() && !CopyFileW(args.historyFile.c_str(), historyPath.c_str(), FALSE)) {
      return Fail(L"cannot copy " + args.historyFile + L" to " + dir);
    }
    // With Explorer's way of loading toolbars the registry and the helper objects decide.
    bool ok = args.explorerToolbars ||
              (args.dll.empty() ? loaded.LoadRegistered(ModuleDirectory() + L"\\Vantorel.dll", dir, error)
                                : loaded.LoadDirect(args.dll, error));
    if (!ok && !args.steps.empty()) return Fail(error);
    if (!ok) Fail(error + L"; showing the folder without the band");
    if (ok && !args.explorerToolbars) {
      // Each window makes its own band on its own thread, as Explorer does.
      setup.makeBand = [&loaded](ComPtr<IUnknown>& band) { return loaded.NewBand(band); };
    }
  }

  if (!args.theme.empty()) {
    // The module that Explorer's way of loading toolbars will load, loaded now, so that it is
    // answered as Windows would answer it from the start.
    if (args.explorerToolbars) LoadLibraryW((RegisteredModuleDirectory() + L"\\Vantorel.dll").c_str());
    if (!SwitchColorScheme(args.theme, error)) return Fail(error);
  }
  HANDLE out = GetStdHandle(STD_OUTPUT_HANDLE);
  auto print = [out](const std::string& line) { WriteLine(out, line); };
  const bool ran = RunScenarioWindows(args, setup, settingsPath, print, error);
  RestoreColorScheme();
  return ran ? 0 : Fail(error);
}

}  // namespace

int main() {
  int argc = 0;
  LPWSTR* argv = CommandLineToArgvW(GetCommandLineW(), &argc);
  if (!argv) return Fail(L"cannot read the command line");
  std::vector<std::wstring> args;
  for (int i = 1; i < argc; ++i) args.push_back(argv[i]);
  LocalFree(argv);
  ScenarioArgs parsed;
  std::wstring error;
  if (!ParseScenarioArgs(args, parsed, error)) {
    Fail(error + L" (see --help)");
    return 2;
  }
  if (parsed.help) {
    WriteLine(GetStdHandle(STD_OUTPUT_HANDLE), ScenarioUsage());
    return 0;
  }
  if (!parsed.pathError.empty()) return Fail(parsed.pathError);
  if (FAILED(OleInitialize(nullptr))) return Fail(L"OleInitialize failed");
  int status = Run(parsed);
  OleUninitialize();
  return status;
}
