#include <windows.h>
#include <commctrl.h>
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "framework/module.h"
#include "framework/window.h"

using namespace vantorel;

namespace {

// Records what reaches it; consumes WM_APP and passes everything else on.
class Recorder : public Window {
 public:
  std::vector<UINT> seen;
  int finals = 0;

 protected:
  bool HandleMessage(UINT msg, WPARAM, LPARAM, LRESULT& result) override {
    seen.push_back(msg);
    if (msg == WM_APP + 1) throw 1;  // must not leave the window procedure
    if (msg == WM_APP) result = 42;
    return msg == WM_APP;
  }
  void OnFinalMessage(HWND) override { ++finals; }
};

const WindowClassSpec kOwnClass = {L"Vantorel Test Window", nullptr, CS_DBLCLKS,
                                   reinterpret_cast<HBRUSH>(COLOR_WINDOW + 1), IDC_ARROW};
const WindowClassSpec kEditSuperclass = {L"Vantorel Test Edit", L"EDIT", 0, nullptr, nullptr};

HWND MakeEdit() {
  return CreateWindowExW(0, L"EDIT", L"", WS_POPUP, 0, 0, 100, 20, nullptr, nullptr, nullptr, nullptr);
}

WNDPROC g_previousOfForeign = nullptr;
int g_foreignCalls = 0;
LRESULT CALLBACK ForeignSubclass(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam) {
  ++g_foreignCalls;
  return CallWindowProcW(g_previousOfForeign, hwnd, msg, wParam, lParam);
}

// Layers in front of an edit control, each noting its letter as WM_GETTEXTLENGTH passes: a and b
// objects of ours, L a procedure put in with SetWindowLongPtrW, S a common-controls subclass.
std::string g_passed;
void Note(UINT msg, char letter) { if (msg == WM_GETTEXTLENGTH) g_passed += letter; }
template <char kLetter>
struct Layer : Window {
  bool HandleMessage(UINT msg, WPARAM, LPARAM, LRESULT&) override { return Note(msg, kLetter), false; }
};
WNDPROC g_underL = nullptr;
LRESULT CALLBACK LayerL(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam) {
  return Note(msg, 'L'), CallWindowProcW(g_underL, hwnd, msg, wParam, lParam);
}
LRESULT CALLBACK LayerS(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam, UINT_PTR, DWORD_PTR) {
  return Note(msg, 'S'), DefSubclassProc(hwnd, msg, wParam, lParam);
}

}  // namespace

TEST(Window, OwnClassRoutesMessagesAndHoldsTheModuleLock) {
  LONG before = Module::LockCount();
  {
    Recorder window;
    EXPECT_EQ(before + 1, Module::LockCount());
    HWND hwnd = window.Create(kOwnClass, nullptr, L"t", WS_OVERLAPPEDWINDOW, 0, 0, 0, 100, 100, nullptr);
    ASSERT_NE(nullptr, hwnd);
    EXPECT_EQ(hwnd, window.hwnd());
    EXPECT_EQ(42, SendMessageW(hwnd, WM_APP, 0, 0));
    // An exception in the handler is swallowed and the message goes on to the default procedure.
    EXPECT_EQ(0, SendMessageW(hwnd, WM_APP + 1, 0, 0));
    ASSERT_FALSE(window.seen.empty());
    DestroyWindow(hwnd);
    EXPECT_EQ(nullptr, window.hwnd());
    EXPECT_EQ(1, window.finals);
    EXPECT_EQ(WM_NCDESTROY, window.seen.back());
  }
  EXPECT_EQ(before, Module::LockCount());
}

TEST(Window, DestroyingTheObjectDestroysItsWindow) {
  HWND hwnd = nullptr;
  {
    Recorder window;
    hwnd = window.Create(kOwnClass, nullptr, L"", WS_POPUP, 0, 0, 0, 10, 10, nullptr);
    ASSERT_TRUE(IsWindow(hwnd));
  }
  EXPECT_FALSE(IsWindow(hwnd));
}

TEST(Window, SuperclassKeepsTheBaseControlWorking) {
  Recorder edit;
  HWND hwnd = edit.Create(kEditSuperclass, nullptr, L"hello", WS_POPUP, 0, 0, 0, 100, 20, nullptr);
  ASSERT_NE(nullptr, hwnd);
  wchar_t cls[64] = {};
  GetClassNameW(hwnd, cls, 64);
  EXPECT_STREQ(L"Vantorel Test Edit", cls);
  wchar_t text[16] = {};
  GetWindowTextW(hwnd, text, 16);
  EXPECT_STREQ(L"hello", text);
  SendMessageW(hwnd, WM_CHAR, L'x', 0);
  GetWindowTextW(hwnd, text, 16);
  EXPECT_STREQ(L"xhello", text);
  // A second object of the same class reuses the registration.
  Recorder second;
  EXPECT_NE(nullptr, second.Create(kEditSuperclass, nullptr, L"", WS_POPUP, 0, 0, 0, 10, 10, nullptr));
}

TEST(Window, SubclassAndRestore) {
  HWND edit = MakeEdit();
  WNDPROC original = reinterpret_cast<WNDPROC>(GetWindowLongPtrW(edit, GWLP_WNDPROC));
  LONG before = Module::LockCount();
  {
    Recorder sub;
    ASSERT_TRUE(sub.Subclass(edit));
    EXPECT_TRUE(sub.IsSubclassing());
    EXPECT_FALSE(sub.Subclass(edit));  // one window at a time
    EXPECT_EQ(42, SendMessageW(edit, WM_APP, 0, 0));
    SetWindowTextW(edit, L"abc");
    wchar_t text[8] = {};
    GetWindowTextW(edit, text, 8);
    EXPECT_STREQ(L"abc", text);
    ASSERT_TRUE(sub.Unsubclass());
    EXPECT_EQ(original, reinterpret_cast<WNDPROC>(GetWindowLongPtrW(edit, GWLP_WNDPROC)));
    size_t count = sub.seen.size();
    SendMessageW(edit, WM_APP, 0, 0);
    EXPECT_EQ(count, sub.seen.size());
    // Destroying the object while attached restores the window too.
    ASSERT_TRUE(sub.Subclass(edit));
  }
  EXPECT_EQ(original, reinterpret_cast<WNDPROC>(GetWindowLongPtrW(edit, GWLP_WNDPROC)));
  EXPECT_EQ(before, Module::LockCount());
  EXPECT_FALSE(SendMessageW(edit, WM_APP, 0, 0));
  DestroyWindow(edit);
}

TEST(Window, SubclassSurvivesTheWindowDyingFirst) {
  HWND edit = MakeEdit();
  Recorder sub;
  ASSERT_TRUE(sub.Subclass(edit));
  DestroyWindow(edit);
  EXPECT_FALSE(sub.IsSubclassing());
  EXPECT_EQ(nullptr, sub.hwnd());
  EXPECT_EQ(1, sub.finals);
  EXPECT_TRUE(sub.Unsubclass());
  // The object can be used again on another window.
  HWND other = MakeEdit();
  EXPECT_TRUE(sub.Subclass(other));
  DestroyWindow(other);
}

TEST(Window, ForeignSubclassOnTopKeepsWorkingAfterOursIsRemoved) {
  HWND edit = MakeEdit();
  LONG before = Module::LockCount();
  {
    Recorder sub;
    ASSERT_TRUE(sub.Subclass(edit));
    g_foreignCalls = 0;
    g_previousOfForeign = reinterpret_cast<WNDPROC>(
        SetWindowLongPtrW(edit, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(&ForeignSubclass)));
    EXPECT_EQ(42, SendMessageW(edit, WM_APP, 0, 0));
    ASSERT_TRUE(sub.Unsubclass());
    EXPECT_FALSE(sub.IsSubclassing());
    size_t count = sub.seen.size();
    // The foreign procedure still chains through our stub, which now only passes on.
    EXPECT_EQ(0, SendMessageW(edit, WM_APP, 0, 0));
    EXPECT_EQ(count, sub.seen.size());
    EXPECT_GT(g_foreignCalls, 0);
  }
  // The foreign subclass goes away too and puts our (still valid) stub back.
  SetWindowLongPtrW(edit, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(g_previousOfForeign));
  SetWindowTextW(edit, L"ok");
  wchar_t text[8] = {};
  GetWindowTextW(edit, text, 8);
  EXPECT_STREQ(L"ok", text);
  EXPECT_EQ(before + 1, Module::LockCount());  // our code is still in the chain
  DestroyWindow(edit);
  EXPECT_EQ(before, Module::LockCount());
}

// Layers put on in one order, taken off in another (L only while in front): a message passes every
// layer left, newest first, on to the control; a place of ours still called stays until the end.
TEST(Window, LayersComeOffInAnyOrder) {
  const struct { std::string on, off; bool passThroughLeft; } rows[] = {
      {"aL", "La", false},  {"aS", "Sa", false},   {"aS", "aS", true},   {"ab", "ab", false},
      {"ab", "ba", false}, {"aLb", "abL", true}, {"aSb", "bSa", false}, {"aSb", "baS", true}};
  for (const auto& row : rows) {
    SCOPED_TRACE(row.on + " off " + row.off);
    HWND edit = CreateWindowExW(0, L"EDIT", L"abc", WS_POPUP, 0, 0, 9, 9, nullptr, nullptr, nullptr, nullptr);
    Layer<'a'> a;
    Layer<'b'> b;
    const LONG locks = Module::LockCount();
    std::string on;  // newest first
    for (char layer : row.on + row.off) {
      const size_t at = on.find(layer);
      const bool add = at == std::string::npos;
      if (Window* ours = layer == 'a' ? static_cast<Window*>(&a) : layer == 'b' ? &b : nullptr) {
        EXPECT_TRUE(add ? ours->Subclass(edit) : ours->Unsubclass());
      } else if (layer == 'S') {
        EXPECT_TRUE(add ? SetWindowSubclass(edit, &LayerS, 1, 0) : RemoveWindowSubclass(edit, &LayerS, 1));
      } else {
        const LONG_PTR under = SetWindowLongPtrW(
            edit, GWLP_WNDPROC, add ? reinterpret_cast<LONG_PTR>(&LayerL) : reinterpret_cast<LONG_PTR>(g_underL));
        if (add) g_underL = reinterpret_cast<WNDPROC>(under);
      }
      add ? on.insert(on.begin(), layer) : on.erase(on.begin() + at);
      g_passed.clear();
      EXPECT_EQ(3, SendMessageW(edit, WM_GETTEXTLENGTH, 0, 0));
      EXPECT_EQ(on, g_passed);
    }
    EXPECT_EQ(locks + (row.passThroughLeft ? 1 : 0), Module::LockCount());
    DestroyWindow(edit);
    EXPECT_EQ(locks, Module::LockCount());
  }
}
