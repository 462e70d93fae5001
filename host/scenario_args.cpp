#include "host/scenario_args.h"

#include <windows.h>
#include <shlwapi.h>

#include <algorithm>
#include <cwchar>
#include <cwctype>

namespace vantorel::host {
namespace {

constexpr size_t kUsageIndent = 26;  // where the help column starts
constexpr size_t kUsageWidth = 100;

std::wstring Lower(std::wstring text) {
  for (wchar_t& c : text) c = static_cast<wchar_t>(std::towlower(c));
  return text;
}

std::string Narrow(const std::wstring& text) { return std::string(text.begin(), text.end()); }

// "a, b or c (note)" for the usage; "a, b, c" for an error.
std::string ValueList(const ScenarioOption& option, bool notes) {
  std::string list;
  for (size_t i = 0; i < option.values.size(); ++i) {
    const ScenarioValue& value = option.values[i];
    if (i > 0) list += notes && i + 1 == option.values.size() ? " or " : ", ";
    list += Narrow(value.name);
    if (notes && value.note) list += std::string(" (") + value.note + ")";
  }
  return list;
}

// The entry's value, checked against what it takes; lower case when any case is taken.
bool CheckValue(const ScenarioOption& option, std::wstring& value, std::wstring& error) {
  if (option.anyCase) value = Lower(value);
  if (!option.values.empty() && !option.Find(value)) {
    std::string list = ValueList(option, false);
    error = std::wstring(option.name) + L" knows " + std::wstring(list.begin(), list.end()) + L"; not " + value;
    return false;
  }
  return !option.check || option.check(value, error);
}

const ScenarioOption* FindOption(const std::wstring& name) {
  for (const ScenarioOption& option : ScenarioOptions()) {
    if (name == option.name) return &option;
  }
  return nullptr;
}

// Every --in and --close names one of the --windows windows.
bool CheckWindowNumbers(const ScenarioArgs& args, std::wstring& error) {
  for (const ScenarioStep& step : args.steps) {
    if (step.kind != ScenarioStep::Kind::In && step.kind != ScenarioStep::Kind::Close) continue;
    int number = 0;
    ParseCount(step.argument, number);
    if (number > args.windows) {
      error = (step.kind == ScenarioStep::Kind::In ? L"--in " : L"--close ") + step.argument +
              L": there are only " + std::to_wstring(args.windows) + L" windows (--windows N)";
      return false;
    }
  }
  return true;
}

// One usage entry: the name and value in a column, then the help, broken at spaces.
std::string UsageEntry(const ScenarioOption& option) {
  std::string text = "  " + Narrow(option.name) + (option.value ? std::string(" ") + option.value : "");
  std::string help = option.help;
  size_t slot = help.find("{}");
  if (slot != std::string::npos) help.replace(slot, 2, ValueList(option, true));
  size_t lineStart = 0;
  for (size_t start = 0, end = 0; start < help.size(); start = end + 1) {
    end = std::min(help.find(' ', start), help.size());
    if (start > 0 && text.size() - lineStart + end - start >= kUsageWidth) {
      lineStart = text.size() + 1;
      text += "\n";
    }
    text.resize(std::max(text.size() + 1, lineStart + kUsageIndent), ' ');
    text += help.substr(start, end - start);
  }
  return text + "\n";
}

}  // namespace

bool ResolvePath(PathKind kind, std::wstring& value, std::wstring& error) {
  if (kind == PathKind::None) return true;
  std::wstring path = !value.empty() && value[0] == L'/' ? L"Z:" + value : value;
  std::replace(path.begin(), path.end(), L'/', L'\\');
  wchar_t full[MAX_PATH];
  DWORD length = path.empty() ? 0 : GetFullPathNameW(path.c_str(), MAX_PATH, full, nullptr);
  if (length == 0 || length >= MAX_PATH) {
    error = L"not a usable path: \"" + value + L"\"";
    return false;
  }
  const std::wstring given = value == full ? value : value + L" (" + full + L")";
  DWORD attributes = GetFileAttributesW(full);
  bool exists = attributes != INVALID_FILE_ATTRIBUTES;
  bool folder = exists && (attributes & FILE_ATTRIBUTE_DIRECTORY);
  if (kind == PathKind::Output) {
    // The file is written later, into a folder that must be there before anything opens.
    wchar_t parent[MAX_PATH];
    lstrcpynW(parent, full, MAX_PATH);
    PathRemoveFileSpecW(parent);
    DWORD parentAttributes = GetFileAttributesW(parent);
    if (parentAttributes == INVALID_FILE_ATTRIBUTES || !(parentAttributes & FILE_ATTRIBUTE_DIRECTORY)) {
      error = L"no such folder: " + std::wstring(parent) + L" for " + given;
      return false;
    }
  } else if (!exists) {
    error = (kind == PathKind::Folder ? L"no such folder: " : L"no such file: ") + given;
    return false;
  }
  if (exists && folder != (kind == PathKind::Folder)) {
    error = given + (folder ? L" is a folder, not a file" : L" is not a folder");
    return false;
  }
  value = full;
  return true;
}

const ScenarioValue* ScenarioOption::Find(const std::wstring& value) const {
  for (const ScenarioValue& entry : values) {
    if (value == entry.name) return &entry;
  }
  return nullptr;
}

const ScenarioOption* FindStep(ScenarioStep::Kind kind) {
  for (const ScenarioOption& option : ScenarioOptions()) {
    if (option.step && option.kind == kind) return &option;
  }
  return nullptr;
}

bool ParseNumber(const std::wstring& text, uint32_t& value) {
  if (text.empty()) return false;
  wchar_t* end = nullptr;
  unsigned long long parsed = std::wcstoull(text.c_str(), &end, 0);
  if (!end || *end != L'\0' || parsed > 0xFFFFFFFFull || text[0] == L'-') return false;
  value = static_cast<uint32_t>(parsed);
  return true;
}

bool ParseCount(const std::wstring& text, int& value) {
  if (text.empty() || text.size() > 4) return false;
  value = 0;
  for (wchar_t c : text) {
    if (c < L'0' || c > L'9') return false;
    value = value * 10 + (c - L'0');
  }
  return true;
}

bool ParseTabNumber(const std::wstring& action, int& number, bool& close) {
  close = action.rfind(L"close:", 0) == 0;
  return ParseCount(close ? action.substr(6) : action, number) && number >= 1;
}

bool ParseNewTabs(const std::wstring& action, int& count) {
  count = 1;
  if (action == L"new") return true;
  return action.rfind(L"new:", 0) == 0 && ParseCount(action.substr(4), count) && count >= 1;
}

bool ParseFramePlace(const std::wstring& action, int& x, int& y, bool& move) {
  const size_t colon = action.find(L':'), comma = action.find(L',');
  const std::wstring verb = action.substr(0, colon);
  move = verb == L"move";
  return (move || verb == L"size") && comma != std::wstring::npos && comma > colon &&
         ParseCount(action.substr(colon + 1, comma - colon - 1), x) && ParseCount(action.substr(comma + 1), y);
}

bool ParseScenarioArgs(const std::vector<std::wstring>& args, ScenarioArgs& out, std::wstring& error) {
  out = ScenarioArgs();
  for (size_t i = 0; i < args.size(); ++i) {
    const ScenarioOption* option = FindOption(args[i]);
    if (!option) {
      error = L"unknown argument " + args[i];
      return false;
    }
    std::wstring value;
    if (option->value) {
      if (i + 1 >= args.size()) {
        error = args[i] + L" needs a value";
        return false;
      }
      value = args[++i];
    }
    if (!CheckValue(*option, value, error)) return false;
    std::wstring pathError;
    if (!ResolvePath(option->path, value, pathError) && out.pathError.empty()) {
      out.pathError = std::wstring(option->name) + L": " + pathError;
    }
    if (!option->apply(*option, value, out, error)) return false;
  }
  if (out.folder.empty() && !out.help) {
    error = L"--folder PATH is required";
    return false;
  }
  const bool tabSteps = std::any_of(out.steps.begin(), out.steps.end(),
                                    [](const ScenarioStep& step) { return step.kind == ScenarioStep::Kind::Tab; });
  if (!out.explorer11 && (tabSteps || out.toolbarAreaHidden)) {
    error = std::wstring(tabSteps ? L"--tab" : L"--toolbar-area") + L" wants --explorer-11";
    return false;
  }
  if (out.directUi && out.folderView == L"items") {
    error = L"--dui and --folder-view items do not go together: the items view has no list view";
    return false;
  }
  if (out.explorer11 && out.directUi) {
    error = L"--dui and --explorer-11 do not go together: the tabbed frame has a layout of its own";
    return false;
  }
  return CheckWindowNumbers(out, error);
}

std::string ScenarioUsage() {
  std::string setup, steps;
  for (const ScenarioOption& option : ScenarioOptions()) (option.step ? steps : setup) += UsageEntry(option);
  return "usage: vantorel-host --folder PATH [options] [steps]\n" + setup +
         "steps, run in order; without any the window stays open until closed:\n" + steps +
         "With --windows N above 1 every output line starts with the number of its window and a tab.\n"
         "Exit code 0: every step ran; 1: a step failed (the reason on standard error); 2: a bad command line.\n";
}

}  // namespace vantorel::host
