// The band's sizes as the stand-in sees them, and the band moved between display scales.
#include <cstdlib>
#include <string>

#include "band/band_messages.h"
#include "framework/dpi.h"
#include "host/scenario_runner.h"
#include "input/input_icons.h"

namespace vantorel::host {
namespace {

// Per-thread DPI awareness (Windows 10 1607 on), looked up at run time.
using SetContextFn = HANDLE(WINAPI*)(HANDLE);
using WindowContextFn = HANDLE(WINAPI*)(HWND);
const HANDLE kUnawareContext = reinterpret_cast<HANDLE>(-1);  // DPI_AWARENESS_CONTEXT_UNAWARE

// While it lives the thread works in the given DPI awareness (when there is one to take).
class ThreadDpiAwareness {
 public:
  explicit ThreadDpiAwareness(HANDLE context) {
    if (context && setContext_) previous_ = setContext_(context);
  }
  ~ThreadDpiAwareness() {
    if (previous_) setContext_(previous_);
  }
  bool taken() const { return previous_ != nullptr; }

 private:
  SetContextFn setContext_ = User32Function<SetContextFn>("SetThreadDpiAwarenessContext");
  HANDLE previous_ = nullptr;
};

// A hidden window made while the thread is unaware of DPI: it and its children stay at 96 DPI.
HWND MakeUnscaledWindow() {
  ThreadDpiAwareness unaware(kUnawareContext);
  if (!unaware.taken()) return nullptr;
  return CreateWindowExW(0, L"STATIC", L"", WS_POPUP, 0, 0, 0, 0, nullptr, nullptr, nullptr, nullptr);
}

// "N", or "N-stretched" when the module's mode icon holds no image drawn at N pixels.
std::string IconText(HMODULE module, int size) {
  std::string text = std::to_string(size);
  HRSRC found = module ? FindResourceW(module, MAKEINTRESOURCEW(IDI_SELECT_MODE), RT_GROUP_ICON) : nullptr;
  HGLOBAL loaded = found ? LoadResource(module, found) : nullptr;
  const BYTE* directory = loaded ? static_cast<const BYTE*>(LockResource(loaded)) : nullptr;
  const DWORD bytes = found ? SizeofResource(module, found) : 0;
  // The group's directory: three words, then an entry of 14 bytes per image, its width first.
  const size_t count = directory && bytes >= 6 ? *reinterpret_cast<const WORD*>(directory + 4) : 0;
  for (size_t i = 0; i < count && 6 + 14 * (i + 1) <= bytes; ++i) {
    if (directory[6 + 14 * i] == size) return text;
  }
  return text + "-stretched";
}

}  // namespace

// layout: dpi=N min=W,H box=H mode=W clear=W icon=N font=H row=H, each as the stand-in measures it.
bool ScenarioRunner::PrintLayout(const std::wstring&, std::wstring& error) {
  host_.PumpMessages();
  HWND band = host_.BandWindow();
  HWND box = band ? FindWindowExW(band, nullptr, L"Vantorel Editbox", nullptr) : nullptr;
  LOGFONTW font = {};
  HGDIOBJ boxFont = box ? reinterpret_cast<HGDIOBJ>(SendMessageW(box, WM_GETFONT, 0, 0)) : nullptr;
  if (!boxFont || !GetObjectW(boxFont, sizeof(font), &font)) {
    error = L"--print layout: no band input box with a font";
    return false;
  }
  // The box's sizes are read as the band window has them, not scaled to the thread's own DPI.
  static const auto windowContext = User32Function<WindowContextFn>("GetWindowDpiAwarenessContext");
  ThreadDpiAwareness sameScale(windowContext ? windowContext(band) : nullptr);
  RECT window = {}, client = {}, text = {};
  GetWindowRect(box, &window);
  GetClientRect(box, &client);
  // The text's rectangle lies inside the band's glyph areas by the edit control's own margins.
  SendMessageW(box, EM_GETRECT, 0, reinterpret_cast<LPARAM>(&text));
  const LRESULT margins = SendMessageW(box, EM_GETMARGINS, 0, 0);
  static const UINT glyphQuery = RegisterWindowMessageW(kGlyphSizeQueryMessage);
  const int icon = static_cast<int>(SendMessageW(band, glyphQuery, 0, 0));
  HWND list = NextThreadWindow(L"Vantorel HistoryBox");
  const std::string row = list ? std::to_string(SendMessageW(list, LB_GETITEMHEIGHT, 0, 0)) : "-";
  const POINTL minimum = host_.BandMinSize();
  HMODULE module = reinterpret_cast<HMODULE>(GetClassLongPtrW(band, GCLP_HMODULE));
  output_("layout\tdpi=" + std::to_string(WindowDpi(band)) + "\tmin=" + std::to_string(minimum.x) + "," +
          std::to_string(minimum.y) + "\tbox=" + std::to_string(window.bottom - window.top) +
          "\tmode=" + std::to_string(text.left - client.left - LOWORD(margins)) +
          "\tclear=" + std::to_string(client.right - text.right - HIWORD(margins)) +
          "\ticon=" + IconText(module, icon) + "\tfont=" + std::to_string(std::abs(font.lfHeight)) + "\trow=" + row);
  return true;
}

// Windows moves no window between displays under Wine. What a move to a display of another scale
// does to the band is done here instead: its window goes under a window at 96 DPI (a child takes
// its parent's DPI) and, like every child of a window whose DPI changed, hears
// WM_DPICHANGED_AFTERPARENT; the second step brings it back into the strip at the system's DPI.
bool ScenarioRunner::Rescale(const std::wstring&, std::wstring& error) {
  HWND band = park_.window ? park_.band : host_.BandWindow();
  if (!band || !IsWindow(band)) {
    error = L"--rescale: no band window";
    return false;
  }
  if (!park_.window) {
    park_.window = MakeUnscaledWindow();
    if (!park_.window) {
      error = L"--rescale: no window at 96 DPI can be made here";
      return false;
    }
    park_.band = band;
    park_.strip = GetParent(band);
    SetParent(band, park_.window);
  } else {
    SetParent(band, park_.strip);
    DestroyWindow(park_.window);
    park_ = UnscaledPark();
  }
  SendMessageW(band, kDpiChangedAfterParent, 0, 0);
  host_.PumpMessages();
  return true;
}

}  // namespace vantorel::host
