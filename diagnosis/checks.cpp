#include "diagnosis/checks.h"

#include <softpub.h>
#include <tlhelp32.h>
#include <wintrust.h>

#include "diagnosis/diagnosis_ids.h"
#include "framework/data_files.h"
#include "framework/module.h"
#include "framework/registration_places.h"
#include "framework/unique_handle.h"
#include "history/history_file.h"
#include "settings/settings.h"
#include "vantorel_h.h"

namespace vantorel {
namespace {

constexpr wchar_t kClassesKey[] = L"Software\\Classes\\CLSID\\";
constexpr wchar_t kMainKey[] = L"Software\\Microsoft\\Internet Explorer\\Main";
constexpr wchar_t kMainPolicyKey[] = L"Software\\Policies\\Microsoft\\Internet Explorer\\Main";
constexpr wchar_t kExtensionsValue[] = L"Enable Browser Extensions";
constexpr wchar_t kAddonSettingsKey[] = L"Software\\Microsoft\\Windows\\CurrentVersion\\Ext\\Settings\\";
constexpr wchar_t kAddonPolicyKey[] = L"Software\\Microsoft\\Windows\\CurrentVersion\\Policies\\Ext\\CLSID";
constexpr wchar_t kSmartAppControlKey[] = L"SYSTEM\\CurrentControlSet\\Control\\CI\\Policy";
constexpr wchar_t kAdvancedKey[] = L"Software\\Microsoft\\Windows\\CurrentVersion\\Explorer\\Advanced";
constexpr DWORD kFirstWindows11Build = 22000;
constexpr DWORD kFirstBuildWithoutToolbarArea = 26100;  // Windows 11 24H2

std::wstring GuidText(REFGUID guid) {
  wchar_t text[40] = L"";
  StringFromGUID2(guid, text, 40);
  return text;
}

// A 64-bit module reads the 64-bit view of the registry, the one Explorer reads; REG_EXPAND_SZ
// values come expanded.
bool ReadString(HKEY root, const std::wstring& key, const wchar_t* name, std::wstring& value) {
  wchar_t buffer[1024];
  DWORD bytes = sizeof(buffer);
  if (RegGetValueW(root, key.c_str(), name, RRF_RT_REG_SZ, nullptr,
                   buffer, &bytes) != ERROR_SUCCESS) {
    return false;
  }
  value = buffer;
  return true;
}

bool ReadDword(HKEY root, const std::wstring& key, const wchar_t* name, DWORD& value) {
  DWORD bytes = sizeof(value);
  return RegGetValueW(root, key.c_str(), name, RRF_RT_REG_DWORD, nullptr, &value, &bytes) ==
         ERROR_SUCCESS;
}

bool HasValue(HKEY root, const std::wstring& key, const wchar_t* name) {
  return RegGetValueW(root, key.c_str(), name, RRF_RT_ANY, nullptr, nullptr, nullptr) ==
         ERROR_SUCCESS;
}

bool HasKey(HKEY root, const std::wstring& key) {
  HKEY handle = nullptr;
  if (RegOpenKeyExW(root, key.c_str(), 0, KEY_READ | KEY_WOW64_64KEY, &handle) != ERROR_SUCCESS) return false;
  RegCloseKey(handle);
  return true;
}

std::wstring ModulePath() {
  wchar_t path[MAX_PATH] = L"";
  GetModuleFileNameW(Module::Instance(), path, MAX_PATH);
  return path;
}

bool SamePath(const std::wstring& a, const std::wstring& b) {
  wchar_t longA[MAX_PATH], longB[MAX_PATH];
  if (GetLongPathNameW(a.c_str(), longA, MAX_PATH) - 1u < MAX_PATH - 1u &&
      GetLongPathNameW(b.c_str(), longB, MAX_PATH) - 1u < MAX_PATH - 1u) {
    return lstrcmpiW(longA, longB) == 0;
  }
  return lstrcmpiW(a.c_str(), b.c_str()) == 0;
}

// The module's signature as WinVerifyTrust judges it: S_OK when signed and trusted.
LONG VerifySignature(const std::wstring& path) {
  WINTRUST_FILE_INFO file = {};
  file.cbStruct = sizeof(file);
  file.pcwszFilePath = path.c_str();
  WINTRUST_DATA data = {};
  data.cbStruct = sizeof(data);
  data.dwUIChoice = WTD_UI_NONE;
  data.fdwRevocationChecks = WTD_REVOKE_NONE;
  data.dwUnionChoice = WTD_CHOICE_FILE;
  data.pFile = &file;
  data.dwStateAction = WTD_STATEACTION_VERIFY;
  data.dwProvFlags = WTD_CACHE_ONLY_URL_RETRIEVAL;
  GUID action = WINTRUST_ACTION_GENERIC_VERIFY_V2;
  const LONG result = WinVerifyTrust(static_cast<HWND>(INVALID_HANDLE_VALUE), &action, &data);
  data.dwStateAction = WTD_STATEACTION_CLOSE;
  WinVerifyTrust(static_cast<HWND>(INVALID_HANDLE_VALUE), &action, &data);
  return result;
}

bool IsUnsigned(LONG verdict) {
  return verdict == TRUST_E_NOSIGNATURE || verdict == TRUST_E_SUBJECT_FORM_UNKNOWN ||
         verdict == TRUST_E_PROVIDER_UNKNOWN;
}

std::wstring Hex(LONG value) {
  wchar_t text[16];
  wsprintfW(text, L"0x%08lX", static_cast<unsigned long>(value));
  return text;
}

std::wstring ModuleVersion(const std::wstring& path) {
  DWORD ignored = 0;
  const DWORD size = GetFileVersionInfoSizeW(path.c_str(), &ignored);
  if (!size) return L"?";
  std::string block(size, '\0');
  VS_FIXEDFILEINFO* info = nullptr;
  UINT length = 0;
  if (!GetFileVersionInfoW(path.c_str(), 0, size, &block[0]) ||
      !VerQueryValueW(block.data(), L"\\", reinterpret_cast<void**>(&info), &length) || !info) {
    return L"?";
  }
  return std::to_wstring(HIWORD(info->dwFileVersionMS)) + L"." + std::to_wstring(LOWORD(info->dwFileVersionMS)) +
         L"." + std::to_wstring(HIWORD(info->dwFileVersionLS)) + L"." + std::to_wstring(LOWORD(info->dwFileVersionLS));
}

// The machine the module was built for, from its own image header.
std::wstring ModuleMachine() {
  const auto* base = reinterpret_cast<const BYTE*>(Module::Instance());
  const auto* dos = reinterpret_cast<const IMAGE_DOS_HEADER*>(base);
  const auto* nt = reinterpret_cast<const IMAGE_NT_HEADERS*>(base + dos->e_lfanew);
  switch (nt->FileHeader.Machine) {
    case IMAGE_FILE_MACHINE_AMD64: return L"x64";
    case IMAGE_FILE_MACHINE_I386: return L"x86";
    case IMAGE_FILE_MACHINE_ARM64: return L"ARM64";
    default: return Hex(nt->FileHeader.Machine);
  }
}

// Windows' own version, as the kernel tells it (GetVersionEx answers a program without a
// manifest with Windows 8's).
OSVERSIONINFOW WindowsVersion() {
  OSVERSIONINFOW version = {};
  version.dwOSVersionInfoSize = sizeof(version);
  using RtlGetVersionFn = LONG(WINAPI*)(OSVERSIONINFOW*);
  HMODULE ntdll = GetModuleHandleW(L"ntdll.dll");
  auto get = ntdll ? reinterpret_cast<RtlGetVersionFn>(reinterpret_cast<void*>(GetProcAddress(ntdll, "RtlGetVersion")))
                   : nullptr;
  if (get) get(&version);
  return version;
}

// Where the band's class is registered: this user's classes win over the machine's.
struct ClassRegistration {
  bool found = false;
  bool forUser = false;
  std::wstring server;
};

ClassRegistration FindClass(REFCLSID clsid) {
  ClassRegistration found;
  const std::wstring key = kClassesKey + GuidText(clsid) + L"\\InprocServer32";
  for (HKEY root : {HKEY_CURRENT_USER, HKEY_LOCAL_MACHINE}) {
    if (ReadString(root, key, nullptr, found.server)) {
      found.found = true;
      found.forUser = root == HKEY_CURRENT_USER;
      return found;
    }
  }
  return found;
}

std::wstring Where(const ClassRegistration& r, LANGID language) { return Text(language, r.forUser ? IDS_FOR_USER : IDS_FOR_MACHINE); }

// "yes", "no", or "-" when the value is not there.
std::wstring ExtensionsValue(HKEY root, const wchar_t* key) {
  std::wstring value;
  return ReadString(root, key, kExtensionsValue, value) ? value : L"-";
}

bool IsNo(const std::wstring& value) { return lstrcmpiW(value.c_str(), L"no") == 0; }

// Switched off in Manage add-ons (the user's or the machine's flags), or by the add-on policy list.
bool AddonSwitchedOff(REFCLSID clsid) {
  const std::wstring clsidText = GuidText(clsid);
  for (HKEY root : {HKEY_CURRENT_USER, HKEY_LOCAL_MACHINE}) {
    DWORD flags = 0;
    if (ReadDword(root, kAddonSettingsKey + clsidText, L"Flags", flags) && (flags & 1)) return true;
    std::wstring policy;
    if (ReadString(root, kAddonPolicyKey, clsidText.c_str(), policy) && policy == L"0") return true;
  }
  return false;
}

// Whether a file could be written, asked without writing: an existing file opened for writing
// and closed untouched, otherwise its folder (or the nearest folder that exists) opened for adding files.
bool CanWrite(const std::wstring& path) {
  const DWORD attributes = GetFileAttributesW(path.c_str());
  if (attributes != INVALID_FILE_ATTRIBUTES && !(attributes & FILE_ATTRIBUTE_DIRECTORY)) {
    if (attributes & FILE_ATTRIBUTE_READONLY) return false;
    UniqueFile file(CreateFileW(path.c_str(), GENERIC_WRITE, FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE,
                                nullptr, OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr));
    return static_cast<bool>(file);
  }
  if (attributes != INVALID_FILE_ATTRIBUTES) {
    UniqueFile folder(CreateFileW(path.c_str(), FILE_ADD_FILE, FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE,
                                  nullptr, OPEN_EXISTING, FILE_FLAG_BACKUP_SEMANTICS, nullptr));
    return static_cast<bool>(folder);
  }
  const size_t slash = path.find_last_of(L'\\');
  return slash != std::wstring::npos && slash > 2 && CanWrite(path.substr(0, slash));
}

// Whether a save of the file read from path can go to folder: the file itself when it lies there,
// else the folder (a file beside the module is only read until the user's own copy exists).
bool CanWriteInto(const std::wstring& folder, const std::wstring& path) {
  const size_t slash = path.find_last_of(L'\\');
  const bool there = slash != std::wstring::npos && lstrcmpiW(path.substr(0, slash).c_str(), folder.c_str()) == 0;
  return there ? CanWrite(path) : CanWrite(folder);
}

std::wstring FileSize(const std::wstring& path) {
  WIN32_FILE_ATTRIBUTE_DATA data;
  if (!GetFileAttributesExW(path.c_str(), GetFileExInfoStandard, &data)) return L"";
  return std::to_wstring(data.nFileSizeLow);
}

}  // namespace

Report RunChecks(LANGID language) {
  return {CheckModule(language),          CheckRegistration(language), CheckHelper(language),   CheckExtensions(language), CheckAddon(language),
          CheckSmartAppControl(language), CheckWindows(language),      CheckExplorer(language), CheckData(language)};
}

CheckLine CheckModule(LANGID language) {
  const std::wstring path = ModulePath();
  const std::wstring version = ModuleVersion(path);
  const std::wstring machine = ModuleMachine();
  const LONG verdict = VerifySignature(path);
  if (verdict == ERROR_SUCCESS) return {L"module", CheckState::Ok, Text(language, IDS_MODULE_SIGNED, {path, version, machine})};
  if (IsUnsigned(verdict)) return {L"module", CheckState::Warn, Text(language, IDS_MODULE_UNSIGNED, {path, version, machine})};
  return {L"module", CheckState::Fail, Text(language, IDS_MODULE_BAD_SIGNATURE, {path, version, machine, Hex(verdict)})};
}

CheckLine CheckRegistration(LANGID language) {
  const std::wstring path = ModulePath();
  const ClassRegistration band = FindClass(CLSID_SelectorCore);
  if (!band.found) return {L"registration", CheckState::Fail, Text(language, IDS_NOT_REGISTERED, {path})};
  if (!SamePath(band.server, path)) {
    return {L"registration", CheckState::Warn, Text(language, IDS_REGISTERED_ELSEWHERE, {Where(band, language), band.server, path})};
  }
  if (!HasValue(HKEY_LOCAL_MACHINE, kToolbarKey, GuidText(CLSID_SelectorCore).c_str())) {
    return {L"registration", CheckState::Fail, Text(language, IDS_NO_TOOLBAR_ENTRY, {Where(band, language), band.server, path})};
  }
  return {L"registration", CheckState::Ok, Text(language, IDS_REGISTERED, {Where(band, language), band.server})};
}

CheckLine CheckHelper(LANGID language) {
  const std::wstring path = ModulePath();
  const std::wstring key = kHelperObjectsKey + GuidText(CLSID_ShowToolbarHelper);
  const ClassRegistration helper = FindClass(CLSID_ShowToolbarHelper);
  if (!HasKey(HKEY_LOCAL_MACHINE, key) || !helper.found) {
    const bool needed = WindowsVersion().dwBuildNumber >= kFirstWindows11Build;
    return {L"helper", needed ? CheckState::Fail : CheckState::Warn,
            Text(language, needed ? IDS_HELPER_MISSING_11 : IDS_HELPER_MISSING, {path})};
  }
  if (HasValue(HKEY_LOCAL_MACHINE, key, L"NoExplorer")) {
    return {L"helper", CheckState::Fail, Text(language, IDS_HELPER_NO_EXPLORER, {path})};
  }
  return {L"helper", CheckState::Ok, Text(language, IDS_HELPER_PRESENT, {helper.server})};
}

// The policy wins over the user's choice, which wins over the machine's default.
CheckLine CheckExtensions(LANGID language) {
  std::wstring policy = ExtensionsValue(HKEY_CURRENT_USER, kMainPolicyKey);
  if (policy == L"-") policy = ExtensionsValue(HKEY_LOCAL_MACHINE, kMainPolicyKey);
  if (IsNo(policy)) return {L"extensions", CheckState::Fail, Text(language, IDS_EXTENSIONS_POLICY_OFF, {policy})};
  const std::wstring user = ExtensionsValue(HKEY_CURRENT_USER, kMainKey);
  const std::wstring machine = ExtensionsValue(HKEY_LOCAL_MACHINE, kMainKey);
  const bool off = policy == L"-" && (IsNo(user) || (user == L"-" && IsNo(machine)));
  if (off) return {L"extensions", CheckState::Fail, Text(language, IDS_EXTENSIONS_OFF, {user, machine})};
  return {L"extensions", CheckState::Ok, Text(language, IDS_EXTENSIONS_ON, {user, machine, policy})};
}

CheckLine CheckAddon(LANGID language) {
  std::wstring off;
  if (AddonSwitchedOff(CLSID_SelectorCore)) off = Text(language, IDS_ADDON_TOOLBAR);
  if (AddonSwitchedOff(CLSID_ShowToolbarHelper)) off += (off.empty() ? L"" : L", ") + Text(language, IDS_ADDON_HELPER);
  if (!off.empty()) return {L"addon", CheckState::Fail, Text(language, IDS_ADDON_OFF, {off})};
  return {L"addon", CheckState::Ok, Text(language, IDS_ADDON_ON)};
}

CheckLine CheckSmartAppControl(LANGID language) {
  DWORD state = 0;
  if (!ReadDword(HKEY_LOCAL_MACHINE, kSmartAppControlKey, L"VerifiedAndReputablePolicyState", state)) {
    return {L"smart-app-control", CheckState::Info, Text(language, IDS_SAC_NONE)};
  }
  switch (state) {
    case 0: return {L"smart-app-control", CheckState::Ok, Text(language, IDS_SAC_OFF)};
    case 1:
      if (VerifySignature(ModulePath()) == ERROR_SUCCESS) {
        return {L"smart-app-control", CheckState::Ok, Text(language, IDS_SAC_ON_SIGNED)};
      }
      return {L"smart-app-control", CheckState::Fail, Text(language, IDS_SAC_ON_UNSIGNED)};
    default: return {L"smart-app-control", CheckState::Warn, Text(language, IDS_SAC_EVALUATION)};
  }
}

CheckLine CheckWindows(LANGID language) {
  const OSVERSIONINFOW version = WindowsVersion();
  const std::wstring number = std::to_wstring(version.dwMajorVersion) + L"." + std::to_wstring(version.dwMinorVersion);
  const std::wstring build = std::to_wstring(version.dwBuildNumber);
  const UINT text = version.dwBuildNumber >= kFirstBuildWithoutToolbarArea ? IDS_WINDOWS_BOX
                    : version.dwBuildNumber >= kFirstWindows11Build       ? IDS_WINDOWS_11_TOOLBAR
                                                                          : IDS_WINDOWS_TOOLBAR;
  return {L"windows", CheckState::Info, Text(language, text, {number, build})};
}

CheckLine CheckExplorer(LANGID language) {
  DWORD separate = 0;
  const std::wstring separateText =
      Text(language, ReadDword(HKEY_CURRENT_USER, kAdvancedKey, L"SeparateProcess", separate) && separate ? IDS_SEPARATE_ON
                                                                                                 : IDS_SEPARATE_OFF);
  const std::wstring path = ModulePath();
  DWORD session = 0;
  ProcessIdToSessionId(GetCurrentProcessId(), &session);
  int explorers = 0;
  std::wstring loadedIn;
  int loaded = 0;
  UniqueFile processes(CreateToolhelp32Snapshot(TH32CS_SNAPPROCESS, 0));
  PROCESSENTRY32W process = {};
  process.dwSize = sizeof(process);
  for (bool more = processes && Process32FirstW(processes.get(), &process); more;
       more = Process32NextW(processes.get(), &process)) {
    DWORD processSession = 0;
    if (lstrcmpiW(process.szExeFile, L"explorer.exe") != 0 ||
        !ProcessIdToSessionId(process.th32ProcessID, &processSession) || processSession != session) {
      continue;
    }
    ++explorers;
    UniqueFile modules(CreateToolhelp32Snapshot(TH32CS_SNAPMODULE, process.th32ProcessID));
    MODULEENTRY32W module = {};
    module.dwSize = sizeof(module);
    for (bool next = modules && Module32FirstW(modules.get(), &module); next;
         next = Module32NextW(modules.get(), &module)) {
      if (SamePath(module.szExePath, path)) {
        loadedIn += (loaded++ ? L", " : L"") + std::to_wstring(process.th32ProcessID);
        break;
      }
    }
  }
  if (explorers == 0) return {L"explorer", CheckState::Info, Text(language, IDS_EXPLORER_NONE, {separateText})};
  if (loaded == 0) {
    return {L"explorer", CheckState::Info, Text(language, IDS_EXPLORER_NOT_LOADED, {std::to_wstring(explorers), separateText})};
  }
  return {L"explorer", CheckState::Ok,
          Text(language, IDS_EXPLORER_LOADED, {std::to_wstring(explorers), std::to_wstring(loaded), loadedIn, separateText})};
}

CheckLine CheckData(LANGID language) {
  wchar_t folder[MAX_PATH], settingPath[MAX_PATH], historyPath[MAX_PATH];
  if (!DataFolder(folder) || !SettingsFilePath(settingPath) || !HistoryFilePath(historyPath)) {
    return {L"data", CheckState::Fail, Text(language, IDS_DATA_NOT_WRITABLE, {L"-", L"-", folder})};
  }
  const std::wstring size = FileSize(settingPath);
  const std::wstring setting = size.empty() ? Text(language, IDS_DATA_NO_FILE, {settingPath}) : Text(language, IDS_DATA_SETTING, {settingPath, size});
  const HistoryFileFacts facts = InspectHistoryFile(historyPath);
  using State = HistoryFileFacts::State;
  const std::wstring history = facts.state == State::kMissing ? Text(language, IDS_DATA_NO_FILE, {historyPath})
                               : Text(language, IDS_DATA_HISTORY, {historyPath, facts.encoding, std::to_wstring(facts.entries)});
  const bool writable = CanWriteInto(folder, settingPath) && CanWriteInto(folder, historyPath);
  if (facts.state == State::kUnreadable) {
    return {L"data", CheckState::Warn, Text(language, IDS_DATA_UNREADABLE, {setting, history, folder})};
  }
  if (!writable) return {L"data", CheckState::Warn, Text(language, IDS_DATA_NOT_WRITABLE, {setting, history, folder})};
  if (facts.state == State::kUntold) return {L"data", CheckState::Warn, Text(language, IDS_DATA_UNTOLD, {setting, history, folder})};
  return {L"data", CheckState::Ok, Text(language, IDS_DATA_OK, {setting, history, folder})};
}

}  // namespace vantorel
