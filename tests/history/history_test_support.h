#pragma once
// Files and windows for the history tests: the history file beside the program, a frame with
// an edit box that counts the run requests it receives, and real mouse input.
#include <windows.h>

#include <functional>
#include <string>
#include <vector>

namespace vantorel::test {

constexpr UINT kRunMessage = 0x8007;

std::wstring HistoryPath();
std::wstring FolderOfProgram();
// Replaces the history file beside the program with exactly these bytes.
void WriteHistoryBytes(const std::string& bytes, const std::wstring& path = HistoryPath());
// Writes every entry followed by CR LF (ASCII only).
void WriteHistoryEntries(const std::vector<std::wstring>& entries);
std::string ReadBytes(const std::wstring& path = HistoryPath());
void RemoveHistory(const std::wstring& path = HistoryPath());
// Files "his*.tmp" left in folder.
int StrayTemporaryFiles(const std::wstring& folder = FolderOfProgram());

// Pumps this thread's messages until done() holds, for at most about five seconds.
bool PumpUntil(const std::function<bool()>& done);
// Pumps whatever is queued now.
void PumpPending();
// Pumps until the input sent so far has been handled: no button held, no input queued.
bool PumpInput();

// A captioned top-level window of this thread that can be clicked and that counts the
// run requests (kRunMessage) that reach it, sent or posted.
class TestFrame {
 public:
  TestFrame(int x, int y, int width, int height);
  ~TestFrame();
  TestFrame(const TestFrame&) = delete;
  TestFrame& operator=(const TestFrame&) = delete;
  HWND hwnd() const { return hwnd_; }
  int runs() const;
  // A plain edit control in the frame, for tests that need an owner without a history.
  HWND AddEdit();

 private:
  HWND hwnd_ = nullptr;
};

// Real input through SendInput at screen coordinates.
void MouseMoveTo(POINT screen);
void Click(POINT screen, DWORD downFlag, DWORD upFlag, DWORD data = 0);
void LeftClick(POINT screen);
void Wheel(POINT screen, int delta);
POINT CenterOf(HWND window);
// Centre of the list box item, in screen coordinates.
POINT ItemCenter(HWND listBox, int index);
// A point in the caption of a top-level window.
POINT CaptionPoint(HWND window);

int WindowHeight(HWND window);

// The first height asked of a window of this thread (SetWindowPos, MoveWindow) while this
// lives, before the window's own adjustments: a list box cuts itself to whole rows.
class SizeRequests {
 public:
  explicit SizeRequests(HWND window);
  ~SizeRequests();
  SizeRequests(const SizeRequests&) = delete;
  SizeRequests& operator=(const SizeRequests&) = delete;
  int firstHeight() const;

 private:
  HHOOK hook_ = nullptr;
};

}  // namespace vantorel::test
