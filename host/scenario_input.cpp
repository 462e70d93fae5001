// The scripted steps that use the mouse on the band's input box, and the box as it looks on the
// screen: real clicks through SendInput (so capture, hooks and hit-testing take part), the mode
// menu driven from inside its own modal loop, and the glyphs read back from the pixels.
#include <windows.h>

#include <cstdlib>
#include <initializer_list>
#include <utility>
#include <vector>

#include "framework/key_input.h"
#include "framework/unique_handle.h"
#include "host/real_input.h"
#include "host/scenario_runner.h"
#include "input/edit_window.h"
#include "input/input_icons.h"

namespace vantorel::host {
namespace {

constexpr int kIcon = kGlyphIconSize;  // the box is read at 96 DPI
constexpr COLORREF kWhite = RGB(255, 255, 255);
constexpr UINT kMenuPollMs = 10;

// Dispatches what is queued until no input is left, within a bound.
void Settle(ExplorerHost& host) {
  for (int round = 0; round < 50; ++round) {
    host.PumpMessages();
    if (HIWORD(GetQueueStatus(QS_ALLINPUT)) == 0) break;
    MsgWaitForMultipleObjects(0, nullptr, FALSE, 20, QS_ALLINPUT);
  }
  host.PumpMessages();
}

// Two scripted clicks on one spot are two clicks, as a user makes them, not a double-click:
// the second waits until the double-click time of the first has run out.
struct LastClick {
  bool made = false;
  POINT at = {};
  DWORD tick = 0;
};
thread_local LastClick g_lastClick;  // per window thread

void AvoidDoubleClick(ExplorerHost& host, POINT at) {
  if (!g_lastClick.made || std::abs(at.x - g_lastClick.at.x) > GetSystemMetrics(SM_CXDOUBLECLK) ||
      std::abs(at.y - g_lastClick.at.y) > GetSystemMetrics(SM_CYDOUBLECLK)) {
    return;
  }
  DWORD interval = GetDoubleClickTime();
  for (int round = 0; round < 100 && GetTickCount() - g_lastClick.tick <= interval; ++round) {
    host.PumpMessages();
    MsgWaitForMultipleObjects(0, nullptr, FALSE, 20, QS_ALLINPUT);
  }
}

// The mode menu is modal inside the click that opens it: a thread timer, dispatched by the
// menu's own loop, finds the menu window and acts on it with real input.
struct MenuDriver {
  std::wstring choice;  // select, filter, settings, dismiss
  bool buttonUpSent = false;
  bool acted = false;
  UINT_PTR timer = 0;
  std::string checked;  // the radio check found on the menu
  HWND frame = nullptr;
  std::wstring screenshot;  // saved while the menu is open
  std::wstring screenshotError;
  bool printItems = false;
  std::vector<std::string> items;  // the items' texts as shown, when printItems

  // The press that opened the menu ends over the glyph, as a user's click does.
  void ReleaseButton() {
    if (!buttonUpSent) SendMouse(MOUSEEVENTF_LEFTUP);
    buttonUpSent = true;
  }
};
thread_local MenuDriver* g_menu = nullptr;  // the menu of this thread's click

HWND FindOwnMenuWindow() {
  for (HWND w = nullptr; (w = NextThreadWindow(L"#32768", w)) != nullptr;) {
    if (IsWindowVisible(w)) return w;
  }
  return nullptr;
}

bool ItemChecked(HMENU menu, UINT position) {
  MENUITEMINFOW item = {};
  item.cbSize = sizeof(item);
  item.fMask = MIIM_STATE | MIIM_FTYPE;
  return GetMenuItemInfoW(menu, position, TRUE, &item) && (item.fState & MFS_CHECKED) &&
         (item.fType & MFT_RADIOCHECK);
}

void CALLBACK MenuTimer(HWND, UINT, UINT_PTR id, DWORD) {
  MenuDriver* driver = g_menu;
  if (!driver || driver->acted) {
    KillTimer(nullptr, id);
    return;
  }
  HWND menuWindow = FindOwnMenuWindow();
  if (!menuWindow) return;
  KillTimer(nullptr, id);
  driver->timer = 0;
  driver->acted = true;
  driver->ReleaseButton();
  if (!driver->screenshot.empty() && !SaveWindowPng(driver->frame, driver->screenshot, driver->screenshotError) &&
      driver->screenshotError.empty()) {
    driver->screenshotError = L"cannot save " + driver->screenshot;
  }
  HMENU menu = reinterpret_cast<HMENU>(SendMessageW(menuWindow, MN_GETHMENU, 0, 0));
  driver->checked = !menu                  ? "?"
                    : ItemChecked(menu, 0) ? "select"
                    : ItemChecked(menu, 1) ? "filter"
                                           : "none";
  for (int i = 0, count = menu && driver->printItems ? GetMenuItemCount(menu) : 0; i < count; ++i) {
    wchar_t text[128] = L"";
    if (GetMenuStringW(menu, static_cast<UINT>(i), text, 128, MF_BYPOSITION) > 0) driver->items.push_back(Utf8(text));
  }
  if (driver->choice == L"keys") {  // as a user picks the first item from the keyboard
    PressKey(VK_DOWN);
    PressKey(VK_RETURN);
    return;
  }
  int position = driver->choice == L"select" ? 0 : driver->choice == L"filter" ? 1 : driver->choice == L"settings" ? 3 : -1;
  RECT item;
  if (position < 0 || !menu || !GetMenuItemRect(menuWindow, menu, static_cast<UINT>(position), &item)) {
    PressKey(VK_ESCAPE);
    return;
  }
  ClickPoint({(item.left + item.right) / 2, (item.top + item.bottom) / 2});
}

// The system menu that alt+space opens: the class of the window it belongs to, seen from inside
// its modal loop, and Escape until the thread has left the menu.
struct SystemMenuWatch {
  bool seen = false;
  std::string owner;
};
thread_local SystemMenuWatch* g_systemMenu = nullptr;

bool InMenuMode(GUITHREADINFO& info) {
  info = {};
  info.cbSize = sizeof(info);
  return GetGUIThreadInfo(GetCurrentThreadId(), &info) && (info.flags & GUI_INMENUMODE) != 0;
}

void CALLBACK SystemMenuTimer(HWND, UINT, UINT_PTR, DWORD) {
  GUITHREADINFO info;
  SystemMenuWatch* watch = g_systemMenu;
  if (!watch || !InMenuMode(info)) return;
  if (!watch->seen) {
    wchar_t name[64] = L"-";
    if (info.hwndMenuOwner) GetClassNameW(info.hwndMenuOwner, name, 64);
    watch->owner = Utf8(name);
    watch->seen = true;
  }
  PressKey(VK_ESCAPE);
}

bool Near(COLORREF a, COLORREF b, int tolerance) {
  return std::abs(GetRValue(a) - GetRValue(b)) <= tolerance && std::abs(GetGValue(a) - GetGValue(b)) <= tolerance &&
         std::abs(GetBValue(a) - GetBValue(b)) <= tolerance;
}

// A top-down 32-bit bitmap selected into a memory context.
class Canvas {
 public:
  Canvas(int width, int height) : width_(width), height_(height) {
    BITMAPINFO info = {};
    info.bmiHeader.biSize = sizeof(info.bmiHeader);
    info.bmiHeader.biWidth = width;
    info.bmiHeader.biHeight = -height;
    info.bmiHeader.biPlanes = 1;
    info.bmiHeader.biBitCount = 32;
    bitmap_.reset(CreateDIBSection(nullptr, &info, DIB_RGB_COLORS, &pixels_, nullptr, 0));
    dc_ = bitmap_ ? CreateCompatibleDC(nullptr) : nullptr;
    if (dc_) old_ = SelectObject(dc_, bitmap_.get());
  }
  ~Canvas() {
    if (dc_) {
      SelectObject(dc_, old_);
      DeleteDC(dc_);
    }
  }
  HDC dc() const { return dc_; }
  std::vector<DWORD> Pixels() const {
    GdiFlush();
    auto* first = static_cast<const DWORD*>(pixels_);
    return std::vector<DWORD>(first, first + static_cast<size_t>(width_) * height_);
  }

 private:
  int width_, height_;
  void* pixels_ = nullptr;
  UniqueBitmap bitmap_;
  HDC dc_ = nullptr;
  HGDIOBJ old_ = nullptr;
};

}  // namespace

COLORREF PixelAt(const std::vector<DWORD>& bits, int width, int x, int y) {
  DWORD p = bits[static_cast<size_t>(y) * width + x];
  return RGB((p >> 16) & 0xFF, (p >> 8) & 0xFF, p & 0xFF);
}

bool CaptureClient(HWND window, int width, int height, std::vector<DWORD>& bits) {
  Canvas canvas(width, height);
  if (!canvas.dc()) return false;
  HDC source = GetDC(window);
  bool ok = BitBlt(canvas.dc(), 0, 0, width, height, source, 0, 0, SRCCOPY) != FALSE;
  ReleaseDC(window, source);
  if (ok) bits = canvas.Pixels();
  return ok;
}

namespace {

// The icon drawn over the given background, as the box draws it.
bool RenderIcon(HMODULE module, int id, COLORREF background, std::vector<DWORD>& bits) {
  UniqueIcon icon(static_cast<HICON>(LoadImageW(module, MAKEINTRESOURCEW(id), IMAGE_ICON, 0, 0, 0)));
  Canvas canvas(kIcon, kIcon);
  if (!icon || !canvas.dc()) return false;
  UniqueBrush brush(CreateSolidBrush(background));
  RECT all = {0, 0, kIcon, kIcon};
  FillRect(canvas.dc(), &all, brush.get());
  if (!DrawIconEx(canvas.dc(), 0, 0, icon.get(), kIcon, kIcon, 0, nullptr, DI_NORMAL)) return false;
  bits = canvas.Pixels();
  return true;
}

// Whether the 16x16 cell at (left, top) of the capture shows the icon over the background.
bool CellShows(const std::vector<DWORD>& screen, int width, int height, int left, int top, HMODULE module, int id,
               COLORREF background) {
  std::vector<DWORD> icon;
  if (!RenderIcon(module, id, background, icon)) return false;
  for (int y = 0; y < kIcon; ++y) {
    for (int x = 0; x < kIcon; ++x) {
      int sx = left + x, sy = top + y;
      if (sx < 0 || sy < 0 || sx >= width || sy >= height) continue;
      if (!Near(PixelAt(screen, width, sx, sy), PixelAt(icon, kIcon, x, y), 8)) return false;
    }
  }
  return true;
}

// Which of the glyphs with these resource numbers the 16x16 cell at (left, top) shows; the
// name of the first that it shows, or null.
const char* GlyphIn(const std::vector<DWORD>& screen, int width, int height, int left, int top, HMODULE module,
                    COLORREF background, std::initializer_list<std::pair<int, const char*>> glyphs) {
  for (const auto& glyph : glyphs) {
    if (CellShows(screen, width, height, left, top, module, glyph.first, background)) return glyph.second;
  }
  return nullptr;
}

// The colours of the box: its background, and text pixels in the colour that goes with it.
std::string BoxColours(const std::vector<DWORD>& screen, int width, int height, COLORREF background, bool hasText) {
  bool red = Near(background, kNoMatchBackground, 8), white = Near(background, kWhite, 8);
  bool textColourSeen = !hasText;
  for (int y = 0; y < height && !textColourSeen; ++y) {
    for (int x = kModeGlyphWidth; x < width - kClearGlyphWidth && !textColourSeen; ++x) {
      COLORREF p = PixelAt(screen, width, x, y);
      textColourSeen = red ? (GetGValue(p) > 220 && GetBValue(p) > 220) : (GetRValue(p) < 90 && GetGValue(p) < 90);
    }
  }
  if (white && textColourSeen) return "black-on-white";
  if (red && textColourSeen) return "white-on-red";
  char other[32];
  wsprintfA(other, "other(%02X%02X%02X)", GetRValue(background), GetGValue(background), GetBValue(background));
  return other;
}

// Whether the cell at (left, top) holds nothing but the background.
bool CellPlain(const std::vector<DWORD>& screen, int width, int height, int left, int top, COLORREF background) {
  for (int y = top; y < top + kIcon && y < height; ++y) {
    for (int x = left; x < width && x < left + kIcon; ++x) {
      if (!Near(PixelAt(screen, width, x, y), background, 8)) return false;
    }
  }
  return true;
}

}  // namespace

bool ScenarioRunner::PressKeys(unsigned code) {
  const WORD key = static_cast<WORD>(code & 0xFFFF);
  WORD held[3] = {};
  UINT heldCount = 0;
  if (code & kWinKey) held[heldCount++] = VK_LWIN;
  if (code & kShiftKey) held[heldCount++] = VK_SHIFT;
  if (code & kAltKey) held[heldCount++] = VK_MENU;
  const bool opensMenu = key == VK_SPACE && (code & kAltKey);
  SystemMenuWatch watch;
  UINT_PTR timer = 0;
  if (opensMenu) {
    g_systemMenu = &watch;
    timer = SetTimer(nullptr, 0, kMenuPollMs, SystemMenuTimer);
  }
  const ULONGLONG pressed = GetTickCount64();
  PressKey(key, held, heldCount);
  Settle(host_);
  if (opensMenu) {
    GUITHREADINFO info;
    PumpUntil([&] { return watch.seen && !InMenuMode(info); }, pressed);
    KillTimer(nullptr, timer);
    g_systemMenu = nullptr;
    output_(watch.seen ? "sysmenu\t" + watch.owner : "nosysmenu");
  }
  return true;
}

bool ScenarioRunner::BoxPoint(const std::wstring& where, POINT& point, std::wstring& error) const {
  HWND box = InputBox();
  if (!box || box == host_.BandWindow()) {
    error = L"no band input box";
    return false;
  }
  RECT client;
  GetClientRect(box, &client);
  int iconTop = (client.bottom - kIcon) / 2;
  point = where == L"mode"    ? POINT{kIcon / 2, iconTop + kIcon / 2}
          : where == L"clear" ? POINT{client.right - kClearGlyphWidth / 2, iconTop + kIcon / 2}
                              : POINT{(kModeGlyphWidth + client.right - kClearGlyphWidth) / 2, client.bottom / 2};
  ClientToScreen(box, &point);
  return true;
}

bool ScenarioRunner::Hover(const std::wstring& where, std::wstring& error) {
  POINT point;
  if (!BoxPoint(where, point, error)) return false;
  MovePointer(point);
  Settle(host_);
  return true;
}

bool ScenarioRunner::Click(const std::wstring& where, std::wstring& error) {
  POINT point;
  if (!BoxPoint(where, point, error)) return false;
  SetForegroundWindow(host_.Frame());
  RestackBoxUnderWine();
  Settle(host_);

  // The step that asked for the menu, named when none appears.
  const std::wstring asked = !pendingMenu_.empty()     ? L"--menu " + pendingMenu_
                             : !pendingMenuShot_.empty() ? L"--menu-screenshot " + pendingMenuShot_
                             : pendingMenuPrint_         ? L"--print menu"
                                                         : L"";
  MenuDriver driver;
  driver.choice = pendingMenu_.empty() ? L"dismiss" : pendingMenu_;  // never leave a menu hanging
  driver.frame = host_.Frame();
  driver.screenshot = pendingMenuShot_;
  driver.printItems = pendingMenuPrint_;
  pendingMenu_.clear();
  pendingMenuShot_.clear();
  pendingMenuPrint_ = false;
  AvoidDoubleClick(host_, point);
  if (where == L"mode") {
    g_menu = &driver;
    driver.timer = SetTimer(nullptr, 0, kMenuPollMs, MenuTimer);
  }
  MovePointer(point);
  Settle(host_);
  const ULONGLONG pressed = GetTickCount64();
  SendMouse(MOUSEEVENTF_LEFTDOWN);
  Settle(host_);  // a menu opens, and is handled, inside this
  driver.ReleaseButton();
  Settle(host_);
  // A menu that is slow to open is still met by the driver, within a bound.
  if (where == L"mode") PumpUntil([&driver] { return driver.acted; }, pressed);
  g_lastClick = {true, point, GetTickCount()};
  if (driver.timer) KillTimer(nullptr, driver.timer);
  g_menu = nullptr;
  if (where == L"mode" && !driver.acted && !asked.empty()) {
    error = asked + L": no menu of this window appeared within " + std::to_wstring(kAppearBound / 1000) +
            L" s of the press of --click mode";
    return false;
  }
  for (const std::string& text : driver.items) output_("menuitem\t" + text);
  if (driver.acted) output_("menu\tchecked=" + driver.checked + "\tchose=" + Utf8(driver.choice));
  if (!driver.screenshotError.empty()) {
    error = driver.screenshotError;
    return false;
  }
  if (driver.acted && !driver.screenshot.empty()) output_("screenshot\t" + Utf8(driver.screenshot));
  return true;
}

// Windows keeps a frame's owned popups (a band's box of its own) above the frame, and the box
// keeps itself directly above it; Wine without a window manager raises the frame's X window over
// them when the frame is activated, whatever their order among the windows. The box's X window
// is put back on top without activating anything: the click itself activates the box.
void ScenarioRunner::RestackBoxUnderWine() {
  HWND box = host_.BoxWindow();
  if (!box || !IsWindowVisible(box)) return;
  // Already first among the windows, the box is moved out of their order and back, which Wine
  // passes on to the X windows.
  for (HWND order : {HWND_TOPMOST, HWND_NOTOPMOST}) {
    SetWindowPos(box, order, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE | SWP_NOACTIVATE);
  }
}

bool ScenarioRunner::ClickAt(POINT point, HWND target, std::wstring& error) {
  HWND under = WindowFromPoint(point);
  if (!under || (under != target && !IsChild(target, under))) {
    wchar_t name[64] = L"-";
    if (under) GetClassNameW(under, name, 64);
    error = L"another window lies over the point to click: " + std::wstring(name) + L" at " +
            std::to_wstring(point.x) + L"," + std::to_wstring(point.y);
    return false;
  }
  AvoidDoubleClick(host_, point);
  MovePointer(point);
  Settle(host_);
  // Both halves are queued before either is handled: a press on a caption button starts a
  // modal loop inside its handling that waits for the release.
  SendMouse(MOUSEEVENTF_LEFTDOWN);
  SendMouse(MOUSEEVENTF_LEFTUP);
  Settle(host_);
  g_lastClick = {true, point, GetTickCount()};
  return true;
}

bool ScenarioRunner::PrintBox(const std::wstring&, std::wstring& error) {
  HWND box = InputBox();
  HWND band = host_.BandWindow();
  if (host_.Tabbed()) {
    PrintBoxWindow();
    if (!band || !IsWindowVisible(band)) return true;  // a hidden box shows no input box to read
  }
  if (!box || box == band) {
    error = L"--print box: no band input box";
    return false;
  }
  host_.PumpMessages();  // what a message loop would paint by now, and nothing more
  RECT client;
  GetClientRect(box, &client);
  int width = client.right, height = client.bottom;
  std::vector<DWORD> screen;
  if (width <= kModeGlyphWidth + kClearGlyphWidth || height <= 0 || !CaptureClient(box, width, height, screen)) {
    error = L"--print box: cannot read the box from the screen";
    return false;
  }
  // The glyphs come from the module that registered the band window's class.
  HMODULE module = reinterpret_cast<HMODULE>(GetClassLongPtrW(band, GCLP_HMODULE));
  COLORREF background = PixelAt(screen, width, kModeGlyphWidth - 2, height / 2);  // beside the arrow
  int iconTop = (height - kIcon) / 2, clearLeft = width - kClearGlyphWidth;
  const char* glyph = GlyphIn(screen, width, height, 0, iconTop, module, background,
                              {{IDI_SELECT_MODE, "select"}, {IDI_FILTER_MODE, "filter"},
                               {IDI_SELECT_MODE_DARK, "select"}, {IDI_FILTER_MODE_DARK, "filter"}});
  const char* clear = GlyphIn(screen, width, height, clearLeft, iconTop, module, background,
                              {{IDI_CLEAR_PRESSED, "pressed"}, {IDI_CLEAR_HOT, "hot"}, {IDI_CLEAR, "normal"},
                               {IDI_CLEAR_PRESSED_DARK, "pressed"}, {IDI_CLEAR_HOT_DARK, "hot"},
                               {IDI_CLEAR_DARK, "normal"}});
  if (!clear) clear = CellPlain(screen, width, height, clearLeft, iconTop, background) ? "hidden" : "unknown";
  wchar_t text[1024] = L"";
  GetWindowTextW(box, text, 1024);
  output_("box\ttext=" + Utf8(text) + "\tglyph=" + (glyph ? glyph : "unknown") + "\tclear=" + clear +
          "\tcolours=" + BoxColours(screen, width, height, background, text[0] != L'\0'));
  return true;
}

}  // namespace vantorel::host
