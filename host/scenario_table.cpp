// The vocabulary of the stand-in's command line. A new option or step is one entry here (and a
// row of the README's tables, which a test holds against the usage text made from this).
#include <windows.h>

#include "host/scenario_args.h"
#include "host/scenario_runner.h"

namespace vantorel::host {
namespace {

using Kind = ScenarioStep::Kind;

constexpr int kMostWindows = 16;

template <bool (ScenarioRunner::*Member)(const std::wstring&, std::wstring&)>
bool Handler(ScenarioRunner& runner, const std::wstring& value, std::wstring& error) {
  return (runner.*Member)(value, error);
}

template <std::wstring ScenarioArgs::*Field>
bool SetText(const ScenarioOption&, const std::wstring& value, ScenarioArgs& out, std::wstring&) {
  out.*Field = value;
  return true;
}

template <bool ScenarioArgs::*Field>
bool SetFlag(const ScenarioOption&, const std::wstring&, ScenarioArgs& out, std::wstring&) {
  out.*Field = true;
  return true;
}

bool QueueStep(const ScenarioOption& option, const std::wstring& value, ScenarioArgs& out, std::wstring&) {
  out.steps.push_back({option.kind, value});
  return true;
}

ScenarioOption Setup(const wchar_t* name, const char* value, ApplyOption apply, const char* help) {
  return {name, value, help, false, Kind::Type, nullptr, apply, {}, false, nullptr};
}

ScenarioOption Step(const wchar_t* name, const char* value, Kind kind, StepHandler run, const char* help) {
  return {name, value, help, true, kind, run, &QueueStep, {}, false, nullptr};
}

bool SetSettings(const ScenarioOption&, const std::wstring& value, ScenarioArgs& out, std::wstring& error) {
  size_t comma = value.find(L',');
  if (comma == std::wstring::npos || !ParseNumber(value.substr(0, comma), out.runMode) ||
      !ParseNumber(value.substr(comma + 1), out.options)) {
    error = L"--settings wants MODE,OPTIONS (numbers, 0x for hex): " + value;
    return false;
  }
  out.hasSettings = true;
  return true;
}

bool SetWindows(const ScenarioOption&, const std::wstring& value, ScenarioArgs& out, std::wstring& error) {
  if (!ParseCount(value, out.windows) || out.windows < 1 || out.windows > kMostWindows) {
    error = L"--windows wants a number from 1 to 16, not " + value;
    return false;
  }
  return true;
}

// --in K, --close K: a window number (whether there are that many is checked at the end).
bool QueueWindowStep(const ScenarioOption& option, const std::wstring& value, ScenarioArgs& out,
                     std::wstring& error) {
  int number = 0;
  if (!ParseCount(value, number) || number < 1) {
    error = std::wstring(option.name) + L" wants a window number from 1 up, not " + value;
    return false;
  }
  return QueueStep(option, value, out, error);
}

// --theme: before the first step the windows open in it; later it is a step.
bool SetUpOrQueueTheme(const ScenarioOption& option, const std::wstring& value, ScenarioArgs& out,
                       std::wstring& error) {
  if (!out.steps.empty()) return QueueStep(option, value, out, error);
  out.theme = value;
  return true;
}

// --menu, --menu-screenshot, --print menu: queued before the --click mode that opens the menu.
bool QueueBeforeMenuClick(const ScenarioOption& option, const std::wstring& value, ScenarioArgs& out,
                          std::wstring& error) {
  if (out.steps.empty() || out.steps.back().kind != Kind::Click || out.steps.back().argument != L"mode") {
    error = std::wstring(option.name) + (option.kind == Kind::Print ? L" " + value : L"") +
            L" follows the --click mode that opens the menu";
    return false;
  }
  out.steps.insert(out.steps.end() - 1, {option.kind, value});
  return true;
}

bool QueuePrint(const ScenarioOption& option, const std::wstring& value, ScenarioArgs& out, std::wstring& error) {
  return value == L"menu" ? QueueBeforeMenuClick(option, value, out, error) : QueueStep(option, value, out, error);
}

// --toolbar-area hidden takes Explorer's way of loading toolbars, as the only way a band comes.
bool SetToolbarArea(const ScenarioOption&, const std::wstring& value, ScenarioArgs& out, std::wstring&) {
  out.toolbarAreaHidden = value == L"hidden";
  out.explorerToolbars = out.explorerToolbars || out.toolbarAreaHidden;
  return true;
}

bool SetFilterSite(const ScenarioOption&, const std::wstring& value, ScenarioArgs& out, std::wstring&) {
  out.filterSite = value == L"yes";
  return true;
}

// --tab new, new:N, K, close:K and --frame move:X,Y, size:W,H: the numbers are there.
bool CheckTabAction(const std::wstring& action, std::wstring& error) {
  int number = 0;
  bool close = false;
  if (ParseNewTabs(action, number) || ParseTabNumber(action, number, close)) return true;
  error = L"--tab wants new, new:N, a tab number from 1 up or close:K, not " + action;
  return false;
}

bool CheckFrameAction(const std::wstring& action, std::wstring& error) {
  int x = 0, y = 0;
  bool move = false;
  if (action == L"minimize" || action == L"restore" || ParseFramePlace(action, x, y, move)) return true;
  error = L"--frame wants minimize, restore, move:X,Y or size:W,H, not " + action;
  return false;
}

ScenarioValue Key(const wchar_t* name, unsigned code) { return {name, nullptr, nullptr, code}; }

using R = ScenarioRunner;
using A = ScenarioArgs;

const std::vector<ScenarioValue> kKeys = {
    Key(L"enter", VK_RETURN), Key(L"tab", VK_TAB), Key(L"escape", VK_ESCAPE), Key(L"alt+s", 'S' | kAltKey),
    Key(L"alt+f", 'F' | kAltKey), Key(L"down", VK_DOWN), Key(L"up", VK_UP), Key(L"pagedown", VK_NEXT),
    Key(L"pageup", VK_PRIOR), Key(L"f4", VK_F4), Key(L"alt+down", VK_DOWN | kAltKey),
    Key(L"alt+f4", VK_F4 | kAltKey | kRealKey), Key(L"alt+space", VK_SPACE | kAltKey | kRealKey),
    Key(L"win+left", VK_LEFT | kWinKey), Key(L"win+right", VK_RIGHT | kWinKey), Key(L"win+up", VK_UP | kWinKey),
    Key(L"win+down", VK_DOWN | kWinKey), Key(L"win+shift+up", VK_UP | kWinKey | kShiftKey)};

const std::vector<ScenarioValue> kBoxPlaces = {{L"mode"}, {L"clear"}, {L"text"}};

// What --print shows: each value has a handler of its own.
const std::vector<ScenarioValue> kPrinted = {
    {L"selected", "noselection when nothing is", Handler<&R::PrintItems>},
    {L"shown", "noitems when the view shows none", Handler<&R::PrintItems>},
    {L"state", nullptr, Handler<&R::PrintState>},
    {L"box", nullptr, Handler<&R::PrintBox>},
    {L"history", "the file, oldest first; nohistory when it holds none", Handler<&R::PrintHistory>},
    {L"dropdown",
     "the rows of the visible history drop-down, the highlighted one marked; nodropdown when none is dropped down",
     Handler<&R::PrintDropDown>},
    {L"setting", "the file as it is now", Handler<&R::PrintSettingFile>},
    {L"dialog", "visible=0 or 1 first, then the checked controls (of the shown one where tabs have one each)", Handler<&R::PrintDialog>},
    {L"menu", "after --click mode: the open menu's items, menuitem<TAB>TEXT each, then it is dismissed",
     Handler<&R::PrintMenu>},
    {L"placement", "whether the shown dialog is centred over the window, over the work area",
     Handler<&R::PrintPlacement>},
    {L"clipboard", "each line of the clipboard's text, as a user would paste it; noclipboard when it holds none",
     Handler<&R::PrintClipboard>},
    {L"layout",
     "the band's DPI, its minimum size from GetBandInfo, the box's height, the mode and clear areas' widths, the "
     "glyph icons' size, the font's height, the drop-down's row height",
     Handler<&R::PrintLayout>},
    {L"toolbars",
     "toolbar and the CLSID of each band loaded into the toolbar strip as Explorer loads them (with "
     "--explorer-toolbars; the stand-in's own band is not one), box and the CLSID of a band in a box of its own; "
     "notoolbar when none",
     Handler<&R::PrintToolbars>},
    {L"tabs", "tab, its number, active=0 or 1 and folder=PATH of each tab", Handler<&R::PrintTabs>},
    {L"frame", "frame, normal, maximized or minimized, and x=, y=, w=, h= of the frame on the screen",
     Handler<&R::PrintFrame>},
    {L"colors",
     "band=, box=, text= as #RRGGBB and contrast= of the last two, read from the band's pixels: its background "
     "beside the box (given the toolbar row's whole height meanwhile), the box's empty text area, the typed text's "
     "pixel farthest from the box's",
     Handler<&R::PrintColors>}};

std::vector<ScenarioOption> MakeTable() {
  return {
      Setup(L"--folder", "PATH", SetText<&A::folder>, "the folder to show (required)").Path(PathKind::Folder),
      Setup(L"--dll", "FILE", SetText<&A::dll>, "load this module directly instead of registering a copy")
          .Path(PathKind::File),
      Setup(L"--fresh", nullptr, SetFlag<&A::fresh>,
            "remove the setting and history.txt files beside the module first, so that the band starts with "
            "its defaults and no history"),
      Setup(L"--settings", "M,OPTS", SetSettings, "write the setting file first (numbers, 0x for hex)"),
      Setup(L"--tree", nullptr, SetFlag<&A::tree>, "show the folder tree pane"),
      Setup(L"--dui", nullptr, SetFlag<&A::directUi>, "put the list view on the DirectUI path"),
      Setup(L"--no-band", nullptr, SetFlag<&A::noBand>, "show the folder without the band"),
      Setup(L"--explorer-toolbars", nullptr, SetFlag<&A::explorerToolbars>,
            "no band of its own: load the registered browser helper objects and show the toolbars they ask "
            "for, or this user showed before, as Explorer does"),
      Setup(L"--explorer-11", nullptr, SetFlag<&A::explorer11>,
            "the window as Windows 11's Explorer: a CabinetWClass frame around ShellTabWindowClass tabs, each its "
            "own browser with its own toolbar strip, view and band; --print state adds frameactive= and --print box "
            "the box of its own first"),
      Setup(L"--toolbar-area", "STATE", SetToolbarArea, "with --explorer-11: {}")
          .Values({{L"shown"},
                   {L"hidden",
                    "every tab's toolbar area stays hidden whatever ShowBrowserBar asks, as on Windows 11 24H2 and "
                    "later; implies --explorer-toolbars"}}),
      Setup(L"--folder-view", "VIEW", SetText<&A::folderView>, "{}; --print state says view=list or items")
          .Values({{L"list",
                    "the list view of Windows Vista, a SysListView32 in the folder view (the default in the classic "
                    "window)"},
                   {L"items",
                    "the items view of Windows 7 to 11, a DirectUIHWND that draws the items, no SysListView32 (the "
                    "default with --explorer-11)"}}),
      Setup(L"--filter-site", "ANSWER", SetFilterSite,
            "{}: whether the browser answers IFolderFilterSite and ICommDlgBrowser::IncludeObject, as the Explorer "
            "Browser does")
          .Values({{L"yes", "the default"}, {L"no"}}),
      Setup(L"--history", "FILE", SetText<&A::historyFile>, "copy FILE over history.txt beside the module first")
          .Path(PathKind::File),
      Setup(L"--ui-language", "LANG", SetText<&A::uiLanguage>,
            "the user's display language (the first preferred UI language), thread locale and code page left "
            "as they are: {}")
          .Values({{L"ja", "Japanese"}, {L"en", "English"}}),
      Setup(L"--windows", "N", SetWindows,
            "open N Explorer windows (1 to 16), each on its own thread with its own band"),
      Setup(L"--help", nullptr, SetFlag<&A::help>, "print the options"),

      Step(L"--type", "TEXT", Kind::Type, Handler<&R::Type>, "type into the input box"),
      Step(L"--key", "NAME", Kind::Key, Handler<&R::Key>, "{} to the focused window (into the input box when no control of the window has the focus); "
           "alt+f4, alt+space and the win+ keys as real input; the system menu that alt+space opens is printed as "
           "sysmenu<TAB>CLASS of the window it belongs to and dismissed (nosysmenu when none opens)").Values(kKeys).AnyCase(),
      Step(L"--click", "WHERE", Kind::Click, Handler<&R::Click>, "a real left click on the input box: {}")
          .Values(kBoxPlaces),
      Step(L"--menu", "ITEM", Kind::Menu, Handler<&R::ChooseFromMenu>,
           "after --click mode: {}; fails when the click opens no menu within 5 s")
          .Values({{L"select"}, {L"filter"}, {L"settings"}, {L"keys", "Down then Enter, the first item from the keyboard"},
                   {L"dismiss", "Escape, also what happens to a menu without --menu"}})
          .Apply(QueueBeforeMenuClick),
      Step(L"--menu-screenshot", "FILE", Kind::MenuScreenshot, Handler<&R::ShootMenu>,
           "after --click mode: save the frame as PNG while the menu is open")
          .Apply(QueueBeforeMenuClick)
          .Path(PathKind::Output),
      Step(L"--hover", "WHERE", Kind::Hover, Handler<&R::Hover>, "move the pointer over the input box: {}")
          .Values(kBoxPlaces),
      Step(L"--print", "WHAT", Kind::Print, nullptr, "{}").Values(kPrinted).Apply(QueuePrint),
      Step(L"--dialog", "ACTION", Kind::Dialog, Handler<&R::Dialog>,
           "a real click on the shown settings dialog: check:ID, uncheck:ID (201 202 203 205 206 207; radio buttons "
           "209 210 are only checked), click:ID (a push button: 211 copies the diagnosis), ok, cancel, close (the "
           "close box); fails when no dialog shows within 5 s")
          .Check(CheckDialogAction),
      Step(L"--toolbar", "ACTION", Kind::Toolbar, Handler<&R::Toolbar>,
           "with --explorer-toolbars: {} the band as the user does from the View menu (hide fails when it is "
           "not shown)")
          .Values({{L"hide"}, {L"show"}}),
      Step(L"--tab", "TAB", Kind::Tab, Handler<&R::Tab>,
           "with --explorer-11: new (a tab over the active tab's folder, made active), new:N (N such tabs one after "
           "the other, the last made active), K (tab K made active, the others hidden) or close:K")
          .Check(CheckTabAction),
      Step(L"--frame", "ACTION", Kind::Frame, Handler<&R::FrameStep>,
           "minimize, restore, move:X,Y or size:W,H the window's frame")
          .Check(CheckFrameAction),
      Step(L"--navigate", "PATH", Kind::Navigate, Handler<&R::Navigate>, "browse to another folder")
          .Path(PathKind::Folder),
      Step(L"--refresh", nullptr, Kind::Refresh, Handler<&R::Refresh>, "refresh the view"),
      Step(L"--rescale", nullptr, Kind::Rescale, Handler<&R::Rescale>,
           "move the band window into a window at 96 DPI, or back into the toolbar strip, and tell it as Windows "
           "tells the children of a window whose DPI changed"),
      Step(L"--theme", "SCHEME", Kind::Theme, Handler<&R::Theme>,
           "the colours the user chose, switched and told as Windows does (settings and system colours to "
           "top-level windows only, a theme change to every window): {}; before the first step the windows open "
           "in it; the stand-in puts the choice back when it ends")
          .Values({{L"light"},
                   {L"dark", "apps in the dark theme"},
                   {L"contrast", "high contrast, black on yellow-white with a blue highlight"}})
          .Apply(SetUpOrQueueTheme),
      Step(L"--screenshot", "FILE", Kind::Screenshot, Handler<&R::Screenshot>, "save the frame as PNG")
          .Path(PathKind::Output),
      // Window choices: the driver of the windows acts on them, not a window's runner.
      Step(L"--in", "K", Kind::In, nullptr,
           "the following steps act in window K until the next --in, each bringing it to the front first")
          .Apply(QueueWindowStep),
      Step(L"--close", "K", Kind::Close, nullptr,
           "close window K as Explorer does, its open menu or dialog first; the others go on")
          .Apply(QueueWindowStep),
  };
}

}  // namespace

const std::vector<ScenarioOption>& ScenarioOptions() {
  static const std::vector<ScenarioOption> table = MakeTable();
  return table;
}

}  // namespace vantorel::host
