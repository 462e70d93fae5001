#include "tests/history/history_test_support.h"

#include <commctrl.h>
#include <gtest/gtest.h>

#include "framework/module.h"

namespace vantorel::test {
namespace {

constexpr wchar_t kFrameClass[] = L"Vantorel History Test Frame";
constexpr wchar_t kRunsProperty[] = L"runs";

LRESULT CALLBACK FrameProc(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam) {
  switch (msg) {
    case kRunMessage: {
      INT_PTR runs = reinterpret_cast<INT_PTR>(GetPropW(hwnd, kRunsProperty));
      SetPropW(hwnd, kRunsProperty, reinterpret_cast<HANDLE>(runs + 1));
      return 0;
    }
    case WM_CONTEXTMENU:  // no system menu after a right press on the caption
    case WM_NCRBUTTONUP:
      return 0;
    case WM_NCDESTROY:
      RemovePropW(hwnd, kRunsProperty);
      break;
  }
  return DefWindowProcW(hwnd, msg, wParam, lParam);
}

// The plain edit box hands run requests on to its parent, as the input box does.
LRESULT CALLBACK EditProc(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam, UINT_PTR, DWORD_PTR) {
  if (msg == kRunMessage) return SendMessageW(GetParent(hwnd), msg, wParam, lParam);
  if (msg == WM_NCDESTROY) RemoveWindowSubclass(hwnd, EditProc, 0);
  return DefSubclassProc(hwnd, msg, wParam, lParam);
}

void RegisterFrame() {
  static bool registered = [] {
    WNDCLASSW wc = {};
    wc.lpfnWndProc = FrameProc;
    wc.hInstance = GetModuleHandleW(nullptr);
    wc.hCursor = LoadCursorW(nullptr, IDC_ARROW);
    wc.hbrBackground = reinterpret_cast<HBRUSH>(COLOR_WINDOW + 1);
    wc.lpszClassName = kFrameClass;
    return RegisterClassW(&wc) != 0;
  }();
  ASSERT_TRUE(registered);
}

void Send(std::vector<INPUT> inputs) {
  UINT sent = SendInput(static_cast<UINT>(inputs.size()), inputs.data(), sizeof(INPUT));
  ASSERT_EQ(inputs.size(), sent);
}

INPUT MouseInput(DWORD flags, DWORD data = 0) {
  INPUT input = {};
  input.type = INPUT_MOUSE;
  input.mi.dwFlags = flags;
  input.mi.mouseData = data;
  return input;
}

INPUT MoveInput(POINT screen) {
  INPUT input = MouseInput(MOUSEEVENTF_MOVE | MOUSEEVENTF_ABSOLUTE);
  int width = GetSystemMetrics(SM_CXSCREEN), height = GetSystemMetrics(SM_CYSCREEN);
  input.mi.dx = static_cast<LONG>((screen.x * 65535 + width / 2) / (width - 1));
  input.mi.dy = static_cast<LONG>((screen.y * 65535 + height / 2) / (height - 1));
  return input;
}

bool CursorAt(POINT screen) {
  POINT now;
  return GetCursorPos(&now) && now.x == screen.x && now.y == screen.y;
}

}  // namespace

std::wstring HistoryPath() {
  wchar_t path[MAX_PATH];
  EXPECT_TRUE(Module::PathBeside(L"history.txt", path));
  return path;
}

std::wstring FolderOfProgram() {
  wchar_t path[MAX_PATH];
  EXPECT_TRUE(Module::PathBeside(L"", path));
  std::wstring folder = path;
  while (!folder.empty() && folder.back() == L'\\') folder.pop_back();
  return folder;
}

void WriteHistoryBytes(const std::string& bytes, const std::wstring& path) {
  RemoveHistory(path);
  HANDLE file = CreateFileW(path.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_NEW, FILE_ATTRIBUTE_NORMAL, nullptr);
  ASSERT_NE(INVALID_HANDLE_VALUE, file);
  DWORD written = 0;
  if (!bytes.empty()) {
    EXPECT_TRUE(WriteFile(file, bytes.data(), static_cast<DWORD>(bytes.size()), &written, nullptr));
  }
  CloseHandle(file);
}

void WriteHistoryEntries(const std::vector<std::wstring>& entries) {
  std::string bytes;
  for (const std::wstring& entry : entries) {
    bytes.append(entry.begin(), entry.end());
    bytes += "\r\n";
  }
  WriteHistoryBytes(bytes);
}

std::string ReadBytes(const std::wstring& path) {
  std::string bytes;
  HANDLE file = CreateFileW(path.c_str(), GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr, OPEN_EXISTING,
                            FILE_ATTRIBUTE_NORMAL, nullptr);
  if (file == INVALID_HANDLE_VALUE) return bytes;
  char buffer[4096];
  DWORD read = 0;
  while (ReadFile(file, buffer, sizeof(buffer), &read, nullptr) && read) bytes.append(buffer, read);
  CloseHandle(file);
  return bytes;
}

void RemoveHistory(const std::wstring& path) {
  SetFileAttributesW(path.c_str(), FILE_ATTRIBUTE_NORMAL);
  DeleteFileW(path.c_str());
  RemoveDirectoryW(path.c_str());
  ASSERT_EQ(INVALID_FILE_ATTRIBUTES, GetFileAttributesW(path.c_str()));
}

int StrayTemporaryFiles(const std::wstring& folder) {
  std::wstring pattern = folder + L"\\his*.tmp";
  WIN32_FIND_DATAW data;
  HANDLE find = FindFirstFileW(pattern.c_str(), &data);
  if (find == INVALID_HANDLE_VALUE) return 0;
  int count = 0;
  do ++count;
  while (FindNextFileW(find, &data));
  FindClose(find);
  return count;
}

void PumpPending() {
  MSG msg;
  while (PeekMessageW(&msg, nullptr, 0, 0, PM_REMOVE)) {
    TranslateMessage(&msg);
    DispatchMessageW(&msg);
  }
}

bool PumpUntil(const std::function<bool()>& done) {
  for (int round = 0; round < 500; ++round) {
    PumpPending();
    if (done()) return true;
    MsgWaitForMultipleObjects(0, nullptr, FALSE, 10, QS_ALLINPUT);
  }
  PumpPending();
  return done();
}

bool PumpInput() {
  return PumpUntil([] {
    const bool held = (GetAsyncKeyState(VK_LBUTTON) | GetAsyncKeyState(VK_RBUTTON) | GetAsyncKeyState(VK_MBUTTON)) & 0x8000;
    return !held && HIWORD(GetQueueStatus(QS_INPUT)) == 0;
  });
}

TestFrame::TestFrame(int x, int y, int width, int height) {
  RegisterFrame();
  hwnd_ = CreateWindowExW(0, kFrameClass, L"history test", WS_OVERLAPPEDWINDOW | WS_VISIBLE, x, y, width, height,
                          nullptr, nullptr, GetModuleHandleW(nullptr), nullptr);
  EXPECT_NE(nullptr, hwnd_);
  SetForegroundWindow(hwnd_);
  UpdateWindow(hwnd_);
  PumpPending();
}

TestFrame::~TestFrame() {
  if (IsWindow(hwnd_)) DestroyWindow(hwnd_);
  PumpPending();
}

int TestFrame::runs() const { return static_cast<int>(reinterpret_cast<INT_PTR>(GetPropW(hwnd_, kRunsProperty))); }

HWND TestFrame::AddEdit() {
  HWND edit = CreateWindowExW(WS_EX_CLIENTEDGE, L"EDIT", L"", WS_CHILD | WS_VISIBLE | ES_AUTOHSCROLL, 10, 10, 200, 22,
                              hwnd_, nullptr, GetModuleHandleW(nullptr), nullptr);
  EXPECT_NE(nullptr, edit);
  SetWindowSubclass(edit, EditProc, 0, 0);
  return edit;
}

void MouseMoveTo(POINT screen) {
  Send({MoveInput(screen)});
  PumpUntil([&] { return CursorAt(screen); });
}

void Click(POINT screen, DWORD downFlag, DWORD upFlag, DWORD data) {
  MouseMoveTo(screen);
  Send({MouseInput(downFlag, data), MouseInput(upFlag, data)});
}

void LeftClick(POINT screen) { Click(screen, MOUSEEVENTF_LEFTDOWN, MOUSEEVENTF_LEFTUP); }

void Wheel(POINT screen, int delta) {
  MouseMoveTo(screen);
  Send({MouseInput(MOUSEEVENTF_WHEEL, static_cast<DWORD>(delta))});
}

POINT CenterOf(HWND window) {
  RECT rect = {};
  GetWindowRect(window, &rect);
  return {(rect.left + rect.right) / 2, (rect.top + rect.bottom) / 2};
}

POINT ItemCenter(HWND listBox, int index) {
  RECT item = {};
  EXPECT_NE(LB_ERR, SendMessageW(listBox, LB_GETITEMRECT, static_cast<WPARAM>(index), reinterpret_cast<LPARAM>(&item)));
  POINT point = {(item.left + item.right) / 2, (item.top + item.bottom) / 2};
  ClientToScreen(listBox, &point);
  return point;
}

POINT CaptionPoint(HWND window) {
  RECT rect = {};
  GetWindowRect(window, &rect);
  return {(rect.left + rect.right) / 2,
          rect.top + GetSystemMetrics(SM_CYFRAME) + GetSystemMetrics(SM_CYCAPTION) / 2};
}

namespace {
thread_local HWND t_sizeWatched = nullptr;
thread_local int t_requestedHeight = -1;
LRESULT CALLBACK WatchSizes(int code, WPARAM wParam, LPARAM lParam) {
  const CWPSTRUCT* call = reinterpret_cast<const CWPSTRUCT*>(lParam);
  if (code == HC_ACTION && call->hwnd == t_sizeWatched && call->message == WM_WINDOWPOSCHANGING) {
    const WINDOWPOS* pos = reinterpret_cast<const WINDOWPOS*>(call->lParam);
    if (!(pos->flags & SWP_NOSIZE) && t_requestedHeight < 0) t_requestedHeight = pos->cy;
  }
  return CallNextHookEx(nullptr, code, wParam, lParam);
}
}  // namespace

SizeRequests::SizeRequests(HWND window) {
  t_sizeWatched = window;
  t_requestedHeight = -1;
  hook_ = SetWindowsHookExW(WH_CALLWNDPROC, WatchSizes, nullptr, GetCurrentThreadId());
  EXPECT_NE(nullptr, hook_);
}

SizeRequests::~SizeRequests() {
  if (hook_) UnhookWindowsHookEx(hook_);
  t_sizeWatched = nullptr;
}

int SizeRequests::firstHeight() const { return t_requestedHeight; }

int WindowHeight(HWND window) {
  RECT rect = {};
  GetWindowRect(window, &rect);
  return rect.bottom - rect.top;
}

}  // namespace vantorel::test
