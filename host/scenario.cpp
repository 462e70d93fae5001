#include "host/scenario.h"

#include <commctrl.h>
#include <shlobj.h>
#include <shlwapi.h>
#include <wincodec.h>

#include <cwchar>
#include <cwctype>

#include "band/band_messages.h"
#include "framework/unique_handle.h"
#include "framework/unique_pidl.h"
#include "host/scenario_windows.h"
#include "history/history_box.h"
#include "history/history_file.h"
#include "vantorel_h.h"

namespace vantorel::host {
namespace {


std::wstring Lower(std::wstring text) {
  for (wchar_t& c : text) c = static_cast<wchar_t>(std::towlower(c));
  return text;
}

bool ParseNumber(const std::wstring& text, uint32_t& value) {
  if (text.empty()) return false;
  wchar_t* end = nullptr;
  unsigned long long parsed = std::wcstoull(text.c_str(), &end, 0);
  if (!end || *end != L'\0' || parsed > 0xFFFFFFFFull || text[0] == L'-') return false;
  value = static_cast<uint32_t>(parsed);
  return true;
}

bool IsKeyName(const std::wstring& name) {
  return name == L"enter" || name == L"tab" || name == L"escape" || name == L"alt+s" || name == L"alt+f";
}

std::wstring ClassName(HWND window) {
  wchar_t name[256] = L"";
  if (!window || !GetClassNameW(window, name, 256)) return L"-";
  return name;
}

LPARAM KeyData(WPARAM vk, bool up, bool alt) {
  UINT scan = MapVirtualKeyW(static_cast<UINT>(vk), MAPVK_VK_TO_VSC);
  LPARAM data = 1 | (static_cast<LPARAM>(scan & 0xFF) << 16);
  if (alt) data |= 1 << 29;
  if (up) data |= (static_cast<LPARAM>(1) << 30) | (static_cast<LPARAM>(1) << 31);
  return data;
}

}  // namespace

bool ParseScenarioArgs(const std::vector<std::wstring>& args, ScenarioArgs& out, std::wstring& error) {
  out = ScenarioArgs();
  auto value = [&](size_t& i, const std::wstring& name, std::wstring& into) {
    if (i + 1 >= args.size()) {
      error = name + L" needs a value";
      return false;
    }
    into = args[++i];
    return true;
  };
  for (size_t i = 0; i < args.size(); ++i) {
    const std::wstring& arg = args[i];
    std::wstring v;
    if (arg == L"--folder") {
      if (!value(i, arg, out.folder)) return false;
    } else if (arg == L"--dll") {
      if (!value(i, arg, out.dll)) return false;
    } else if (arg == L"--tree") {
      out.tree = true;
    } else if (arg == L"--dui") {
      out.directUi = true;
    } else if (arg == L"--no-band") {
      out.noBand = true;
    } else if (arg == L"--settings") {
      if (!value(i, arg, v)) return false;
      size_t comma = v.find(L',');
      if (comma == std::wstring::npos || !ParseNumber(v.substr(0, comma), out.runMode) ||
          !ParseNumber(v.substr(comma + 1), out.options)) {
        error = L"--settings wants MODE,OPTIONS (numbers, 0x for hex): " + v;
        return false;
      }
      out.hasSettings = true;
    } else if (arg == L"--history") {
      if (!value(i, arg, out.historyFile)) return false;
    } else if (arg == L"--type") {
      if (!value(i, arg, v)) return false;
      out.steps.push_back({ScenarioStep::Kind::Type, v});
    } else if (arg == L"--key") {
      if (!value(i, arg, v)) return false;
      v = Lower(v);
      if (!IsKeyName(v)) {
        error = L"--key knows enter, tab, escape, alt+s, alt+f; not " + v;
        return false;
      }
      out.steps.push_back({ScenarioStep::Kind::Key, v});
    } else if (arg == L"--help") {
      out.help = true;
    } else if (arg == L"--click" || arg == L"--hover") {
      if (!value(i, arg, v)) return false;
      if (v != L"mode" && v != L"clear" && v != L"text") {
        error = arg + L" knows mode, clear, text; not " + v;
        return false;
      }
      out.steps.push_back({arg == L"--click" ? ScenarioStep::Kind::Click : ScenarioStep::Kind::Hover, v});
    } else if (arg == L"--menu" || arg == L"--menu-screenshot") {
      if (!value(i, arg, v)) return false;
      bool menu = arg == L"--menu";
      if (menu && v != L"select" && v != L"filter" && v != L"settings" && v != L"dismiss") {
        error = L"--menu knows select, filter, settings, dismiss; not " + v;
        return false;
      }
      if (out.steps.empty() || out.steps.back().kind != ScenarioStep::Kind::Click ||
          out.steps.back().argument != L"mode") {
        error = arg + L" follows the --click mode that opens the menu";
        return false;
      }
      out.steps.insert(out.steps.end() - 1,
                       {menu ? ScenarioStep::Kind::Menu : ScenarioStep::Kind::MenuScreenshot, v});
    } else if (arg == L"--print") {
      if (!value(i, arg, v)) return false;
      if (v != L"selected" && v != L"shown" && v != L"state" && v != L"box" && v != L"dialog" &&
          v != L"history" && v != L"dropdown" && v != L"placement" && v != L"setting") {
        error = L"--print knows selected, shown, state, box, dialog, placement, setting, history, dropdown; not " + v;
        return false;
      }
      out.steps.push_back({ScenarioStep::Kind::Print, v});
    } else if (arg == L"--navigate") {
      if (!value(i, arg, v)) return false;
      out.steps.push_back({ScenarioStep::Kind::Navigate, v});
    } else if (arg == L"--screenshot") {
      if (!value(i, arg, v)) return false;
      out.steps.push_back({ScenarioStep::Kind::Screenshot, v});
    } else if (arg == L"--refresh") {
      out.steps.push_back({ScenarioStep::Kind::Refresh, L""});
    } else if (arg == L"--windows" || arg == L"--in" || arg == L"--close" || arg == L"--dialog") {
      if (!value(i, arg, v) || !ParseWindowArgument(arg, v, out, error)) return false;
    } else {
      error = L"unknown argument " + arg;
      return false;
    }
  }
  if (out.folder.empty() && !out.help) {
    error = L"--folder PATH is required";
    return false;
  }
  return CheckWindowNumbers(out, error);
}

std::string ScenarioUsage() {
  return std::string("usage: vantorel-host --folder PATH [options] [steps]\n"
         "  --folder PATH        the folder to show (required)\n"
         "  --dll FILE           load this module directly instead of registering a copy\n"
         "  --settings M,OPTS    write the setting file first (numbers, 0x for hex)\n"
         "  --tree               show the folder tree pane\n"
         "  --dui                put the list view on the DirectUI path\n"
         "  --no-band            show the folder without the band\n"
         "  --history FILE       copy FILE over \"history.txt\" beside the module first\n"
         "  --help               print this text\n"
         "steps, run in order; without any the window stays open until closed:\n"
         "  --type TEXT          type into the input box\n"
         "  --key NAME           enter, tab, escape, alt+s, alt+f to the focused window\n"
         "  --click WHERE        a real left click on the input box: mode, clear or text\n"
         "  --menu ITEM          after --click mode: select, filter, settings or dismiss (Escape,\n"
         "                       also what happens to a menu without --menu)\n"
         "  --menu-screenshot F  after --click mode: save the frame as PNG while the menu is open\n"
         "  --hover WHERE        move the pointer over the input box: mode, clear or text\n"
         "  --print WHAT         selected, shown, state, box, history (the file, oldest first),\n"
         "                       dropdown (the rows of the visible history drop-down; \"nodropdown\"\n"
         "                       when the band has no drop-down window), setting (the file as it\n"
         "                       is now), dialog or placement\n"
         "  --navigate PATH      browse to another folder\n"
         "  --refresh            refresh the view\n"
         "  --screenshot FILE    save the frame as PNG\n") +
         kWindowStepsUsage;
}

std::string Utf8(const std::wstring& text) {
  if (text.empty()) return std::string();
  int size = WideCharToMultiByte(CP_UTF8, 0, text.data(), static_cast<int>(text.size()), nullptr, 0, nullptr, nullptr);
  std::string result(static_cast<size_t>(size > 0 ? size : 0), '\0');
  if (size > 0) {
    WideCharToMultiByte(CP_UTF8, 0, text.data(), static_cast<int>(text.size()), &result[0], size, nullptr, nullptr);
  }
  return result;
}

void WriteLine(HANDLE out, const std::string& line) {
  std::string data = line + "\n";
  const char* p = data.data();
  DWORD left = static_cast<DWORD>(data.size());
  while (left > 0) {
    DWORD written = 0;
    if (!WriteFile(out, p, left, &written, nullptr) || written == 0) return;
    p += written;
    left -= written;
  }
}

bool WriteSettingsFile(const std::wstring& path, uint32_t runMode, uint32_t options) {
  unsigned char bytes[8];
  for (int i = 0; i < 4; ++i) {
    bytes[i] = static_cast<unsigned char>(runMode >> (8 * i));
    bytes[4 + i] = static_cast<unsigned char>(options >> (8 * i));
  }
  UniqueFile file(CreateFileW(path.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr));
  DWORD written = 0;
  return file && WriteFile(file.get(), bytes, 8, &written, nullptr) && written == 8;
}

bool ReadSettingsFile(const std::wstring& path, uint32_t& runMode, uint32_t& options) {
  UniqueFile file(CreateFileW(path.c_str(), GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr, OPEN_EXISTING,
                              FILE_ATTRIBUTE_NORMAL, nullptr));
  unsigned char bytes[8];
  DWORD read = 0;
  if (!file || !ReadFile(file.get(), bytes, 8, &read, nullptr) || read != 8) return false;
  runMode = options = 0;
  for (int i = 3; i >= 0; --i) {
    runMode = (runMode << 8) | bytes[i];
    options = (options << 8) | bytes[4 + i];
  }
  return true;
}

bool SaveWindowPng(HWND window, const std::wstring& path, std::wstring& error) {
  RECT rc;
  if (!window || !GetWindowRect(window, &rc) || rc.right <= rc.left || rc.bottom <= rc.top) {
    error = L"no window to capture";
    return false;
  }
  int w = rc.right - rc.left, h = rc.bottom - rc.top;
  RedrawWindow(window, nullptr, nullptr, RDW_INVALIDATE | RDW_ERASE | RDW_ALLCHILDREN | RDW_UPDATENOW | RDW_FRAME);
  HDC screen = GetDC(nullptr);
  HDC memory = CreateCompatibleDC(screen);
  UniqueBitmap bitmap(CreateCompatibleBitmap(screen, w, h));
  bool copied = false;
  if (memory && bitmap) {
    HGDIOBJ old = SelectObject(memory, bitmap.get());
    copied = BitBlt(memory, 0, 0, w, h, screen, rc.left, rc.top, SRCCOPY | CAPTUREBLT) != FALSE;
    SelectObject(memory, old);
  }
  if (memory) DeleteDC(memory);
  ReleaseDC(nullptr, screen);
  if (!copied) {
    error = L"could not copy the frame from the screen";
    return false;
  }
  ComPtr<IWICImagingFactory> factory;
  ComPtr<IWICBitmap> source;
  ComPtr<IWICStream> stream;
  ComPtr<IWICBitmapEncoder> encoder;
  ComPtr<IWICBitmapFrameEncode> frame;
  HRESULT hr = CoCreateInstance(CLSID_WICImagingFactory, nullptr, CLSCTX_INPROC_SERVER, IID_IWICImagingFactory,
                                factory.put_void());
  if (SUCCEEDED(hr)) hr = factory->CreateBitmapFromHBITMAP(bitmap.get(), nullptr, WICBitmapIgnoreAlpha, source.put());
  if (SUCCEEDED(hr)) hr = factory->CreateStream(stream.put());
  if (SUCCEEDED(hr)) hr = stream->InitializeFromFilename(path.c_str(), GENERIC_WRITE);
  if (SUCCEEDED(hr)) hr = factory->CreateEncoder(GUID_ContainerFormatPng, nullptr, encoder.put());
  if (SUCCEEDED(hr)) hr = encoder->Initialize(stream.get(), WICBitmapEncoderNoCache);
  if (SUCCEEDED(hr)) hr = encoder->CreateNewFrame(frame.put(), nullptr);
  if (SUCCEEDED(hr)) hr = frame->Initialize(nullptr);
  if (SUCCEEDED(hr)) hr = frame->SetSize(static_cast<UINT>(w), static_cast<UINT>(h));
  WICPixelFormatGUID format = GUID_WICPixelFormat24bppBGR;
  if (SUCCEEDED(hr)) hr = frame->SetPixelFormat(&format);
  if (SUCCEEDED(hr)) hr = frame->WriteSource(source.get(), nullptr);
  if (SUCCEEDED(hr)) hr = frame->Commit();
  if (SUCCEEDED(hr)) hr = encoder->Commit();
  if (FAILED(hr)) {
    wchar_t text[64];
    wsprintfW(text, L"PNG encoding failed (0x%08lX)", static_cast<unsigned long>(hr));
    error = text;
    return false;
  }
  return true;
}

// --- LoadedBand --------------------------------------------------------------------------

LoadedBand::~LoadedBand() {
  if (module_) {
    using CanUnload = HRESULT(STDAPICALLTYPE*)();
    auto canUnload = reinterpret_cast<CanUnload>(GetProcAddress(module_, "DllCanUnloadNow"));
    // A module that still has live objects stays loaded.
    if (!canUnload || canUnload() == S_OK) FreeLibrary(module_);
  }
  CoFreeUnusedLibraries();
}

bool LoadedBand::LoadDirect(const std::wstring& dllPath, std::wstring& error) {
  wchar_t full[MAX_PATH];
  if (!GetFullPathNameW(dllPath.c_str(), MAX_PATH, full, nullptr)) {
    error = L"bad module path " + dllPath;
    return false;
  }
  module_ = LoadLibraryW(full);
  if (!module_ || !GetProcAddress(module_, "DllGetClassObject")) {
    error = L"cannot load " + std::wstring(full);
    return false;
  }
  modulePath_ = full;
  return true;
}

bool LoadedBand::LoadRegistered(const std::wstring& sourceDll, const std::wstring& targetDir, std::wstring& error) {
  if (!PathFileExistsW(sourceDll.c_str())) {
    error = L"no band module at " + sourceDll;
    return false;
  }
  SHCreateDirectoryExW(nullptr, targetDir.c_str(), nullptr);
  std::wstring copy = targetDir + L"\\Vantorel.dll";
  if (!CopyFileW(sourceDll.c_str(), copy.c_str(), FALSE)) {
    error = L"cannot copy the band module to " + copy;
    return false;
  }
  // What regsvr32 does, in this process.
  HMODULE module = LoadLibraryW(copy.c_str());
  using Register = HRESULT(STDAPICALLTYPE*)();
  auto reg = module ? reinterpret_cast<Register>(GetProcAddress(module, "DllRegisterServer")) : nullptr;
  HRESULT hr = reg ? reg() : E_FAIL;
  if (FAILED(hr)) {
    if (module) FreeLibrary(module);
    error = L"DllRegisterServer failed for " + copy;
    return false;
  }
  module_ = module;  // kept loaded; CoCreateInstance finds the same module
  modulePath_ = copy;
  registered_ = true;
  return true;
}

HRESULT LoadedBand::NewBand(ComPtr<IUnknown>& band) const {
  band.reset();
  if (!module_) return E_UNEXPECTED;
  if (registered_) {
    return CoCreateInstance(CLSID_SelectorCore, nullptr, CLSCTX_INPROC_SERVER, IID_IUnknown, band.put_void());
  }
  using GetClassObject = HRESULT(STDAPICALLTYPE*)(REFCLSID, REFIID, void**);
  auto get = reinterpret_cast<GetClassObject>(GetProcAddress(module_, "DllGetClassObject"));
  ComPtr<IClassFactory> factory;
  HRESULT hr = get ? get(CLSID_SelectorCore, IID_IClassFactory, factory.put_void()) : E_NOINTERFACE;
  if (SUCCEEDED(hr)) hr = factory->CreateInstance(nullptr, IID_IUnknown, band.put_void());
  return hr;
}

// --- ScenarioRunner ----------------------------------------------------------------------

HWND ScenarioRunner::InputBox() const {
  HWND band = host_.BandWindow();
  if (!band) return nullptr;
  HWND box = FindWindowExW(band, nullptr, L"Vantorel Editbox", nullptr);
  return box ? box : band;
}

std::wstring ScenarioRunner::ItemName(HWND list, int index) const {
  LVITEMW item = {};
  item.mask = LVIF_PARAM;
  item.iItem = index;
  if (!SendMessageW(list, LVM_GETITEMW, 0, reinterpret_cast<LPARAM>(&item)) || !item.lParam) return L"?";
  UniquePidl full(ILCombine(reinterpret_cast<LPCITEMIDLIST>(host_.CurrentFolder()),
                            ILFindLastID(reinterpret_cast<LPCITEMIDLIST>(item.lParam))));
  wchar_t path[MAX_PATH];
  if (!full || !SHGetPathFromIDListW(full.get(), path)) return L"?";
  return PathFindFileNameW(path);
}

bool ScenarioRunner::Run(const ScenarioStep& step, std::wstring& error) {
  switch (step.kind) {
    case ScenarioStep::Kind::Type:
      return Type(step.argument, error);
    case ScenarioStep::Kind::Key:
      return Key(step.argument, error);
    case ScenarioStep::Kind::Print:
      return Print(step.argument, error);
    case ScenarioStep::Kind::Click:
      return Click(step.argument, error);
    case ScenarioStep::Kind::Menu:
      pendingMenu_ = step.argument;
      return true;
    case ScenarioStep::Kind::MenuScreenshot:
      pendingMenuShot_ = step.argument;
      return true;
    case ScenarioStep::Kind::Hover:
      return Hover(step.argument, error);
    case ScenarioStep::Kind::Navigate:
      if (!host_.Navigate(step.argument.c_str())) {
        error = L"cannot navigate to " + step.argument;
        return false;
      }
      host_.PumpMessages();
      output_("navigated\t" + Utf8(step.argument));
      return true;
    case ScenarioStep::Kind::Refresh:
      if (!host_.Refresh()) {
        error = L"refresh failed";
        return false;
      }
      host_.PumpMessages();
      return true;
    case ScenarioStep::Kind::Dialog:
      return Dialog(step.argument, error);
    case ScenarioStep::Kind::In:
    case ScenarioStep::Kind::Close:
      error = L"--in and --close choose windows; they are not steps of one window";
      return false;
    case ScenarioStep::Kind::Screenshot:
      host_.PumpMessages();
      if (!SaveWindowPng(host_.Frame(), step.argument, error)) return false;
      output_("screenshot\t" + Utf8(step.argument));
      return true;
  }
  error = L"unknown step";
  return false;
}

bool ScenarioRunner::Type(const std::wstring& text, std::wstring& error) {
  HWND box = InputBox();
  if (!box) {
    error = L"--type: no band input box";
    return false;
  }
  if (GetFocus() != box) {
    // As Explorer does when the band is tabbed into or clicked.
    ComPtr<IInputObject> input;
    if (host_.Band() && SUCCEEDED(host_.Band()->QueryInterface(IID_IInputObject, input.put_void()))) {
      input->UIActivateIO(TRUE, nullptr);
    }
    if (GetFocus() != box) SetFocus(box);
  }
  host_.PumpMessages();
  if (GetFocus() != box) {
    error = L"--type: the input box does not take the focus";
    return false;
  }
  for (wchar_t c : text) {
    PostMessageW(GetFocus(), WM_CHAR, c, 1);
    host_.PumpMessages();
  }
  return true;
}

bool ScenarioRunner::Key(const std::wstring& name, std::wstring& error) {
  HWND target = GetFocus();
  if (!target) {
    error = L"--key " + name + L": nothing has the focus";
    return false;
  }
  WPARAM vk = 0;
  bool alt = false;
  if (name == L"enter") vk = VK_RETURN;
  else if (name == L"tab") vk = VK_TAB;
  else if (name == L"escape") vk = VK_ESCAPE;
  else if (name == L"alt+s") { vk = 'S'; alt = true; }
  else if (name == L"alt+f") { vk = 'F'; alt = true; }
  if (!vk) {
    error = L"unknown key " + name;
    return false;
  }
  // Only the key messages are posted; the character messages come from TranslateMessage in the
  // host's or the band's handling of them, as with a real keyboard.
  PostMessageW(target, alt ? WM_SYSKEYDOWN : WM_KEYDOWN, vk, KeyData(vk, false, alt));
  host_.PumpMessages();
  HWND now = GetFocus();
  PostMessageW(now ? now : target, alt ? WM_SYSKEYUP : WM_KEYUP, vk, KeyData(vk, true, alt));
  host_.PumpMessages();
  return true;
}

// history: the entries of "history.txt" beside the module, oldest first, read as the band reads
// them; dropdown: the rows of the visible history drop-down of this window's thread, top to bottom.
void ScenarioRunner::PrintHistory(bool dropDown) {
  if (!dropDown) {
    wchar_t path[MAX_PATH];
    lstrcpynW(path, settingsPath_.c_str(), MAX_PATH);
    PathRemoveFileSpecW(path);
    HistoryList list;
    if (PathAppendW(path, L"history.txt")) LoadHistoryFrom(path, list);
    for (const std::wstring& entry : list) output_("history\t" + Utf8(entry));
    return;
  }
  host_.PumpMessages();
  bool exists = false;
  for (HWND box = nullptr; (box = FindWindowExW(nullptr, box, L"Vantorel HistoryBox", nullptr)) != nullptr;) {
    if (GetWindowThreadProcessId(box, nullptr) != GetCurrentThreadId()) continue;
    exists = true;
    if (!IsWindowVisible(box)) continue;
    for (const std::wstring& row : ListBoxRows(box)) output_("dropdown\t" + Utf8(row));
  }
  if (!exists) output_("nodropdown");
}

// setting: the two words of the file beside the module as they are at this moment.
void ScenarioRunner::PrintSettingFile() {
  uint32_t mode = 0, options = 0;
  if (!ReadSettingsFile(settingsPath_, mode, options)) {
    output_("setting\tnone");
    return;
  }
  char hex[16];
  wsprintfA(hex, "0x%X", options);
  output_("setting\tmode=" + std::to_string(mode) + "\toptions=" + hex);
}

bool ScenarioRunner::Print(const std::wstring& what, std::wstring& error) {
  if (what == L"dialog") return PrintDialog();
  if (what == L"placement") return PrintPlacement();
  if (what == L"setting") {
    PrintSettingFile();
    return true;
  }
  if (what == L"history" || what == L"dropdown") {
    PrintHistory(what == L"dropdown");
    return true;
  }
  HWND list = host_.ListView();
  if (what == L"selected" || what == L"shown") {
    if (!list) {
      error = L"--print " + what + L": no folder list view";
      return false;
    }
    bool selectedOnly = what == L"selected";
    int count = static_cast<int>(SendMessageW(list, LVM_GETITEMCOUNT, 0, 0));
    for (int i = 0; i < count; ++i) {
      if (selectedOnly && !(SendMessageW(list, LVM_GETITEMSTATE, i, LVIS_SELECTED) & LVIS_SELECTED)) continue;
      output_((selectedOnly ? "selected\t" : "shown\t") + Utf8(ItemName(list, i)));
    }
    return true;
  }
  if (what == L"box") return PrintBox(error);
  PrintState();
  return true;
}

// The band's live record comes from its window (a registered query message); the no-match
// flag from the colours the band gives its input box; then the focus. Without a band the mode
// and options are those of the setting file.
void ScenarioRunner::PrintState() {
  uint32_t mode = 0, options = 0;
  HWND band = host_.BandWindow();
  UINT query = RegisterWindowMessageW(kBandStateQueryMessage);
  DWORD_PTR reply = 0;
  if (band && query && ClassName(band) == L"Vantorel Toolbar" &&
      SendMessageTimeoutW(band, query, 0, 0, SMTO_NORMAL, 5000, &reply)) {
    mode = static_cast<uint32_t>(reply & 0xFFFFFFFFu);
    options = static_cast<uint32_t>(static_cast<unsigned long long>(reply) >> 32);
  } else if (!ReadSettingsFile(settingsPath_, mode, options)) {
    mode = options = 0;
  }
  int noMatch = 0;
  HWND box = InputBox();
  if (band && box) {
    HDC screen = GetDC(nullptr);
    HDC dc = CreateCompatibleDC(screen);
    ReleaseDC(nullptr, screen);
    if (dc) {
      SetBkColor(dc, RGB(1, 2, 3));
      SendMessageW(band, WM_CTLCOLOREDIT, reinterpret_cast<WPARAM>(dc), reinterpret_cast<LPARAM>(box));
      noMatch = GetBkColor(dc) == kNoMatchBackground ? 1 : 0;
      DeleteDC(dc);
    }
  }
  std::wstring focusName = L"-";
  HWND list = host_.ListView();
  if (list) {
    int focused = static_cast<int>(SendMessageW(list, LVM_GETNEXTITEM, static_cast<WPARAM>(-1), LVNI_FOCUSED));
    if (focused >= 0) focusName = ItemName(list, focused);
  }
  char hex[16];
  wsprintfA(hex, "0x%X", options);
  output_("state\tmode=" + std::to_string(mode) + "\toptions=" + hex + "\tnomatch=" + std::to_string(noMatch) +
          "\tfocus=" + Utf8(focusName) + "\tfocuswindow=" + Utf8(ClassName(GetFocus())));
}

}  // namespace vantorel::host
