#pragma once
// The stand-in's command line: one table of its set-up options and steps, read by the parser,
// the usage text and the step dispatch alike.
#include <cstdint>
#include <string>
#include <vector>

namespace vantorel::host {

// Paths on the command line. Besides Windows paths it takes Linux ones, as a user of the stand-in
// under Wine types them: from "/" they are put under Z:, the drive under which Wine shows the
// Linux root; relative ones are taken from the current folder. A path reaches the shell only once
// it is full and names what it should.
enum class PathKind {
  None,
  Folder,  // an existing folder
  File,    // an existing file
  Output,  // a file to write, in an existing folder
};

// Makes value a full Windows path. False with a reason that names the path as given when it
// cannot be made full, or names nothing of its kind.
bool ResolvePath(PathKind kind, std::wstring& value, std::wstring& error);

class ScenarioRunner;

struct ScenarioStep {
  enum class Kind { Type, Key, Print, Navigate, Screenshot, Refresh, Click, Menu, MenuScreenshot, Hover, Dialog, In, Close,
                    Toolbar, Rescale, Theme, Tab, Frame };
  Kind kind;
  std::wstring argument;
};

struct ScenarioArgs {
  std::wstring folder;
  std::wstring dll;        // --dll: load this file directly instead of through registration
  bool tree = false;       // --tree
  bool directUi = false;   // --dui
  bool noBand = false;     // --no-band
  bool explorerToolbars = false;  // --explorer-toolbars: toolbars loaded as Explorer does
  bool explorer11 = false;         // --explorer-11: the tabbed frame of Windows 11
  bool toolbarAreaHidden = false;  // --toolbar-area hidden
  std::wstring folderView;         // --folder-view list or items; empty: items with --explorer-11
  bool filterSite = true;          // --filter-site yes or no
  bool help = false;       // --help
  bool fresh = false;      // --fresh: no setting or history.txt beside the module at the start
  bool hasSettings = false;
  uint32_t runMode = 0;
  uint32_t options = 0;
  int windows = 1;         // --windows N: Explorer windows, each on its own thread
  std::wstring historyFile;  // --history: copied over "history.txt" beside the module
  std::wstring theme;        // --theme before the first step: set before the windows open
  std::wstring uiLanguage;   // --ui-language: ja or en, set before the band is loaded
  std::wstring pathError;    // the first path that names nothing of its kind: nothing runs
  std::vector<ScenarioStep> steps;
};

// What a step does in the window it acts in.
using StepHandler = bool (*)(ScenarioRunner& runner, const std::wstring& value, std::wstring& error);

struct ScenarioOption;
// What an option does to the parsed command line with its value.
using ApplyOption = bool (*)(const ScenarioOption& option, const std::wstring& value, ScenarioArgs& out,
                             std::wstring& error);

// One value an option or step takes: its name, a note for the usage text, and for a step the
// handler of this value (else the step's own) and a number that handler reads.
struct ScenarioValue {
  const wchar_t* name;
  const char* note = nullptr;
  StepHandler run = nullptr;
  unsigned code = 0;
};

// One entry of the table. Built as Setup(...) or Step(...), then refined:
//   Step(L"--print", "WHAT", Kind::Print, nullptr, "{}").Values({...})
struct ScenarioOption {
  const wchar_t* name;
  const char* value = nullptr;  // the value's name in the usage; null when it takes none
  const char* help = "";        // the usage line; "{}" stands for the list of values
  bool step = false;
  ScenarioStep::Kind kind = ScenarioStep::Kind::Type;
  StepHandler run = nullptr;    // a step's handler (a value's own handler goes first)
  ApplyOption apply = nullptr;  // a set-up option's effect; a step is queued
  std::vector<ScenarioValue> values;  // the values it takes; empty: any
  bool anyCase = false;         // values compare without case and are kept in lower case
  bool (*check)(const std::wstring& value, std::wstring& error) = nullptr;  // a value's further test
  PathKind path = PathKind::None;  // a path, made full before the entry's effect

  ScenarioOption& Values(std::vector<ScenarioValue> list) { values = std::move(list); return *this; }
  ScenarioOption& AnyCase() { anyCase = true; return *this; }
  ScenarioOption& Check(bool (*test)(const std::wstring&, std::wstring&)) { check = test; return *this; }
  ScenarioOption& Apply(ApplyOption effect) { apply = effect; return *this; }
  ScenarioOption& Path(PathKind kind) { path = kind; return *this; }
  // The entry of values named value, or null.
  const ScenarioValue* Find(const std::wstring& value) const;
};

// The table, in the order of the usage text: set-up options, then steps.
const std::vector<ScenarioOption>& ScenarioOptions();
// The table's entry of a step, or null.
const ScenarioOption* FindStep(ScenarioStep::Kind kind);

// Parses the arguments after the program name. False with a one-line reason on a bad line.
// A path that names nothing of its kind is no bad line: it is kept in pathError.
// A --menu step is queued before the --click mode that opens the menu, since the menu is modal
// inside that click.
bool ParseScenarioArgs(const std::vector<std::wstring>& args, ScenarioArgs& out, std::wstring& error);
// The options, one per entry (long ones go on over indented lines).
std::string ScenarioUsage();

// Numbers as the entries read them: a 32-bit number (0x for hex); a count of up to four digits.
bool ParseNumber(const std::wstring& text, uint32_t& value);
bool ParseCount(const std::wstring& text, int& value);
// --tab K or close:K: the tab's number (from 1) and whether it closes.
bool ParseTabNumber(const std::wstring& action, int& number, bool& close);
// "new" (one tab) or "new:N" (N tabs, N from 1 up).
bool ParseNewTabs(const std::wstring& action, int& count);
// --frame move:X,Y or size:W,H: the two counts and whether it moves.
bool ParseFramePlace(const std::wstring& action, int& x, int& y, bool& move);

}  // namespace vantorel::host
