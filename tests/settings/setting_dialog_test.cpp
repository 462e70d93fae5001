#include <windows.h>
#include <commctrl.h>
#include <shlwapi.h>
#include <gtest/gtest.h>

#include <algorithm>
#include <cstdlib>
#include <string>
#include <vector>

#include "framework/module.h"
#include "tests/settings/setting_path.h"
#include "framework/ui_language.h"
#include "settings/setting_dialog.h"

using namespace vantorel;
using vantorel::test::SettingPath;

namespace {

constexpr UINT kChangedMessage = WM_APP + 8;  // what the band asks for
constexpr UINT kDiagnosisMessage = WM_APP + 9;

std::wstring TextOf(HWND window) {
  wchar_t text[260] = L"";
  GetWindowTextW(window, text, 260);
  return text;
}

// A visible top-level window that counts the settings-changed notifications it gets.
struct NotifyTarget {
  static inline int changes = 0;
  static inline int diagnoses = 0;
  static inline LRESULT copied = 1;  // the answer to the diagnosis message
  static LRESULT CALLBACK Proc(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam) {
    if (msg == kChangedMessage) ++changes;
    if (msg == kDiagnosisMessage) return ++diagnoses, copied;
    return DefWindowProcW(hwnd, msg, wParam, lParam);
  }
  NotifyTarget() {
    WNDCLASSW cls = {};
    cls.lpfnWndProc = &Proc;
    cls.hInstance = GetModuleHandleW(nullptr);
    cls.lpszClassName = L"Vantorel Settings Test Owner";
    RegisterClassW(&cls);
    hwnd = CreateWindowExW(0, cls.lpszClassName, L"owner", WS_OVERLAPPEDWINDOW | WS_VISIBLE, 100, 100, 400, 300,
                           nullptr, nullptr, cls.hInstance, nullptr);
    changes = 0;
  }
  ~NotifyTarget() { DestroyWindow(hwnd); }
  HWND hwnd = nullptr;
};

void Click(HWND dialog, int id) {
  SendMessageW(dialog, WM_COMMAND, MAKEWPARAM(id, BN_CLICKED), reinterpret_cast<LPARAM>(GetDlgItem(dialog, id)));
}

// Which of the check boxes and option buttons are checked.
std::vector<int> CheckedIds(HWND dialog) {
  std::vector<int> ids;
  for (int id : {201, 202, 205, 206, 207, 209, 210}) {
    if (IsDlgButtonChecked(dialog, id) == BST_CHECKED) ids.push_back(id);
  }
  return ids;
}

class SettingDialog : public ::testing::Test {
 protected:
  void SetUp() override {
    DeleteFileW(SettingPath().c_str());
    ASSERT_NE(nullptr, dialog.Create(owner.hwnd, kJapaneseUi));
  }
  void TearDown() override { DeleteFileW(SettingPath().c_str()); }
  HWND Show() {
    dialog.Show(&settings, owner.hwnd, kChangedMessage);
    return dialog.hwnd();
  }
  NotifyTarget owner;
  Settings settings{0, 0x33};  // as a file written before 0x200 had a meaning holds it
  CSettingDlg dialog;
};

}  // namespace

TEST_F(SettingDialog, IsCreatedHiddenFromItsJapaneseTemplate) {
  HWND hwnd = dialog.hwnd();
  EXPECT_FALSE(IsWindowVisible(hwnd));
  EXPECT_EQ(nullptr, dialog.settings());
  EXPECT_EQ(nullptr, dialog.notifyWindow());
  EXPECT_EQ(owner.hwnd, GetWindow(hwnd, GW_OWNER));
  EXPECT_EQ(L"Vantorel\u306e\u8a2d\u5b9a", TextOf(hwnd));

  DWORD style = static_cast<DWORD>(GetWindowLongPtrW(hwnd, GWL_STYLE));
  EXPECT_EQ(static_cast<DWORD>(WS_POPUP | WS_CAPTION | WS_SYSMENU), style & (WS_POPUP | WS_CAPTION | WS_SYSMENU));
  EXPECT_TRUE(GetWindowLongPtrW(hwnd, GWL_EXSTYLE) & WS_EX_DLGMODALFRAME);

  RECT client;
  GetClientRect(hwnd, &client);
  RECT size = {0, 0, 175, 264};
  MapDialogRect(hwnd, &size);
  EXPECT_EQ(size.right, client.right);
  EXPECT_EQ(size.bottom, client.bottom);

  const LONG S = SS_LEFT | WS_GROUP;
  const struct {
    int id;
    const wchar_t* cls;
    const wchar_t* text;
    RECT units;  // left, top, width, height in dialog units
    DWORD style;
  } items[] = {
      {IDOK, L"Button", L"OK", {60, 242, 50, 16}, BS_DEFPUSHBUTTON | WS_TABSTOP},
      {IDCANCEL, L"Button", L"\u30ad\u30e3\u30f3\u30bb\u30eb", {114, 242, 50, 16}, BS_PUSHBUTTON | WS_TABSTOP},
      {201, L"Button", L"\u5927\u6587\u5b57\u3068\u5c0f\u6587\u5b57\u3092\u533a\u5225\u3059\u308b", {6, 6, 162, 12}, BS_AUTOCHECKBOX | WS_TABSTOP},
      {202, L"Button", L"\u534a\u89d2\u6570\u5b57\u3068\u5168\u89d2\u6570\u5b57\u3092\u533a\u5225\u3059\u308b", {6, 24, 162, 12}, BS_AUTOCHECKBOX | WS_TABSTOP},
      {203, L"Button", L"\u5168\u89d2\u3068\u534a\u89d2\u306e\u82f1\u5b57\u30fb\u8a18\u53f7\u30fb\u30ab\u30ca\u3092\u533a\u5225\u3059\u308b", {6, 42, 162, 12}, BS_AUTOCHECKBOX | WS_TABSTOP},
      {205, L"Button", L"\u5165\u529b\u6bce\u306b\u5b9f\u884c\u3059\u308b", {6, 60, 162, 12}, BS_AUTOCHECKBOX | WS_TABSTOP},
      {-1, L"Button", L"About", {24, 180, 120, 36}, BS_GROUPBOX},
      {-1, L"Static", nullptr, {31, 192, 108, 18}, S},
      {206, L"Button", L"\u5c65\u6b74\u3092\u6709\u52b9\u306b\u3059\u308b", {6, 78, 162, 12}, BS_AUTOCHECKBOX | WS_TABSTOP},
      {207, L"Button", L"\u30d5\u30a9\u30eb\u30c0\u30c4\u30ea\u30fc\u8868\u793a\u6642\u306b\u81ea\u52d5\u7684\u306b\u30d5\u30a3\u30eb\u30bf\u3092\u5b9f\u884c\u3059\u308b", {6, 96, 162, 12}, BS_AUTOCHECKBOX | WS_TABSTOP},
      {-1, L"Static", L"\u8907\u6570\u30ad\u30fc\u30ef\u30fc\u30c9\u5165\u529b\u6642\u306e\u52d5\u4f5c", {12, 120, 150, 12}, S},
      {209, L"Button", L"\u304b\u3064(AND)", {24, 150, 54, 12}, BS_AUTORADIOBUTTON},
      {210, L"Button", L"\u307e\u305f\u306f(OR)", {96, 150, 48, 12}, BS_AUTORADIOBUTTON},
      {-1, L"Static", L"\uff08\uff06(AND)\u3084\uff5c(OR)\u3067\u660e\u793a\u3057\u3066\u3044\u306a\u3044\u3068\u304d\u306e\u52d5\u4f5c\uff09", {18, 131, 150, 12}, S},
      {211, L"Button", L"\u8a3a\u65ad\u60c5\u5831\u3092\u30b3\u30d4\u30fc", {24, 222, 120, 14}, BS_PUSHBUTTON | WS_TABSTOP},
  };
  HWND child = GetWindow(hwnd, GW_CHILD);
  for (const auto& item : items) {
    ASSERT_NE(nullptr, child) << item.id;
    EXPECT_EQ(item.id, static_cast<int>(static_cast<short>(GetDlgCtrlID(child))));
    wchar_t cls[64] = L"";
    GetClassNameW(child, cls, 64);
    EXPECT_EQ(0, lstrcmpiW(item.cls, cls)) << item.id;
    std::wstring text = TextOf(child);
    if (item.text) {
      EXPECT_EQ(item.text, text) << item.id;
    } else {
      EXPECT_EQ(0u, text.find(L"Vantorel")) << "about text";
      EXPECT_NE(std::wstring::npos, text.find(L"2.1"));
    }
    DWORD childStyle = static_cast<DWORD>(GetWindowLongPtrW(child, GWL_STYLE));
    EXPECT_TRUE(childStyle & WS_VISIBLE) << item.id;
    EXPECT_EQ(item.style & 0xF, childStyle & 0xF) << item.id;
    EXPECT_EQ(item.style & (WS_TABSTOP | WS_GROUP), childStyle & (WS_TABSTOP | WS_GROUP)) << item.id;
    RECT expected = item.units;  // each field is converted on its own, as the dialog does
    MapDialogRect(hwnd, &expected);
    RECT actual;
    GetWindowRect(child, &actual);
    MapWindowPoints(nullptr, hwnd, reinterpret_cast<POINT*>(&actual), 2);
    EXPECT_EQ((std::vector<LONG>{expected.left, expected.top, expected.right, expected.bottom}),
              (std::vector<LONG>{actual.left, actual.top, actual.right - actual.left, actual.bottom - actual.top}))
        << item.id;
    child = GetWindow(child, GW_HWNDNEXT);
  }
  EXPECT_EQ(nullptr, child) << "more than 15 items";
}

// A shown tooltip of the dialog's: the balloon on the diagnosis button.
bool BalloonShows(HWND dialog) {
  for (HWND w = nullptr; (w = FindWindowExW(nullptr, w, TOOLTIPS_CLASSW, nullptr)) != nullptr;) {
    if (GetWindow(w, GW_OWNER) == dialog && IsWindowVisible(w)) return true;
  }
  return false;
}

// The diagnosis button asks the band for the report; only a copy that was made gets the balloon,
// which goes with the dialog. A dialog shown without the message asks nothing.
TEST_F(SettingDialog, DiagnosisButtonAsksTheBandAndSaysWhenCopied) {
  const struct {
    UINT message;
    LRESULT copied;
    int asked;
    bool balloon;
  } cases[] = {{kDiagnosisMessage, 1, 1, true}, {kDiagnosisMessage, 0, 1, false}, {0, 1, 0, false}};
  for (const auto& c : cases) {
    NotifyTarget::diagnoses = 0;
    NotifyTarget::copied = c.copied;
    dialog.Show(&settings, owner.hwnd, kChangedMessage, c.message);
    Click(dialog.hwnd(), 211);
    EXPECT_EQ(c.asked, NotifyTarget::diagnoses) << c.message << "," << c.copied;
    EXPECT_EQ(c.balloon, BalloonShows(dialog.hwnd())) << c.message << "," << c.copied;
    Click(dialog.hwnd(), IDCANCEL);
    EXPECT_FALSE(BalloonShows(dialog.hwnd()));
  }
}

namespace {

// The texts of a dialog that do not fit their controls at dpi, each "id: text". The dialog's
// own font and controls at 96 DPI; at another scale the font at that scale and the controls
// recomputed from their dialog units, as Windows lays a dialog out for that scale.
std::vector<std::wstring> TextsCutOff(HWND dialog, UINT dpi) {
  HDC dc = GetDC(dialog);
  LOGFONTW face = {};
  GetObjectW(reinterpret_cast<HFONT>(SendMessageW(dialog, WM_GETFONT, 0, 0)), sizeof(face), &face);
  // The dialog base units of a font, as the dialog manager takes them; cy is also a line's height.
  auto baseUnits = [dc](HFONT font) {
    HGDIOBJ old = SelectObject(dc, font);
    TEXTMETRICW metrics = {};
    GetTextMetricsW(dc, &metrics);
    SIZE letters = {};
    GetTextExtentPoint32W(dc, L"ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz", 52, &letters);
    SelectObject(dc, old);
    return SIZE{(letters.cx / 26 + 1) / 2, metrics.tmHeight};
  };
  HFONT at96 = CreateFontIndirectW(&face);
  face.lfHeight = MulDiv(face.lfHeight, static_cast<int>(dpi), 96);
  HFONT scaled = CreateFontIndirectW(&face);
  const SIZE base96 = baseUnits(at96), base = baseUnits(scaled);
  const int mark = MulDiv(16, static_cast<int>(dpi), 96);  // a check box's box and the gap after it
  std::vector<std::wstring> cut;
  HGDIOBJ old = SelectObject(dc, scaled);
  for (HWND child = GetWindow(dialog, GW_CHILD); child; child = GetWindow(child, GW_HWNDNEXT)) {
    std::wstring text = TextOf(child);
    RECT box;
    GetClientRect(child, &box);
    // The control at dpi: its dialog units in the scaled font's base units.
    const LONG width = MulDiv(box.right, base.cx, base96.cx);
    const LONG height = MulDiv(box.bottom, base.cy, base96.cy);
    const LONG kind = GetWindowLongPtrW(child, GWL_STYLE) & 0xF;
    wchar_t cls[16] = L"";
    GetClassNameW(child, cls, 16);
    const bool button = lstrcmpiW(cls, L"Button") == 0;
    const LONG room = !button ? width
                      : kind == BS_AUTOCHECKBOX || kind == BS_AUTORADIOBUTTON ? width - mark
                      : kind == BS_GROUPBOX ? width - 2 * mark
                                            : width - mark / 2;
    std::wstring::size_type start = 0;
    int lines = 0;
    bool fits = true;
    while (start <= text.size()) {  // each line of the text on its own
      std::wstring::size_type end = text.find(L'\n', start);
      if (end == std::wstring::npos) end = text.size();
      std::wstring shown = text.substr(start, end - start);
      for (auto at = shown.find(L"&&"); at != std::wstring::npos; at = shown.find(L"&&", at + 1)) shown.erase(at, 1);
      SIZE extent = {};
      GetTextExtentPoint32W(dc, shown.c_str(), static_cast<int>(shown.size()), &extent);
      fits = fits && extent.cx <= room;
      ++lines;
      start = end + 1;
    }
    if (!fits || lines * base.cy > height) cut.push_back(std::to_wstring(GetDlgCtrlID(child)) + L": " + text);
  }
  SelectObject(dc, old);
  DeleteObject(at96);
  DeleteObject(scaled);
  ReleaseDC(dialog, dc);
  return cut;
}

// The texts of a dialog that hold a character its font has no glyph for, each "id: text", after
// the font's face: a text measured in such a font is measured as empty boxes, not as it shows.
std::vector<std::wstring> TextsWithoutGlyphs(HWND dialog) {
  HDC dc = GetDC(dialog);
  HGDIOBJ old = SelectObject(dc, reinterpret_cast<HFONT>(SendMessageW(dialog, WM_GETFONT, 0, 0)));
  wchar_t face[LF_FACESIZE] = L"";
  GetTextFaceW(dc, LF_FACESIZE, face);
  std::vector<std::wstring> missing;
  for (HWND child = GetWindow(dialog, GW_CHILD); child; child = GetWindow(child, GW_HWNDNEXT)) {
    std::wstring text;
    for (wchar_t c : TextOf(child)) {
      if (c >= L' ') text += c;  // line breaks are no glyphs
    }
    std::vector<WORD> glyphs(text.size() + 1);
    GetGlyphIndicesW(dc, text.c_str(), static_cast<int>(text.size()), glyphs.data(), GGI_MARK_NONEXISTING_GLYPHS);
    if (std::find(glyphs.begin(), glyphs.begin() + text.size(), 0xFFFF) != glyphs.begin() + text.size()) {
      missing.push_back(std::wstring(face) + L": " + std::to_wstring(GetDlgCtrlID(child)) + L": " + text);
    }
  }
  SelectObject(dc, old);
  ReleaseDC(dialog, dc);
  return missing;
}

}  // namespace

// Both languages: the same controls with the same ids in the same order, every text drawn with
// glyphs of the dialog's font (Japanese in a Japanese font) and whole at 100 % and at 200 %.
TEST(SettingDialogLanguages, SameControlsInEachLanguageAndNoTextCutOff) {
  const struct {
    LANGID language;
    const wchar_t* caption;
    const wchar_t* cancel;
  } languages[] = {{kJapaneseUi, L"Vantorel\u306e\u8a2d\u5b9a", L"\u30ad\u30e3\u30f3\u30bb\u30eb"},
                   {kEnglishUi, L"Vantorel settings", L"Cancel"}};
  for (const auto& language : languages) {
    SCOPED_TRACE(language.language);
    NotifyTarget owner;
    CSettingDlg dialog;
    HWND hwnd = dialog.Create(owner.hwnd, language.language);
    ASSERT_NE(nullptr, hwnd);
    EXPECT_EQ(language.caption, TextOf(hwnd));
    EXPECT_EQ(language.cancel, TextOf(GetDlgItem(hwnd, IDCANCEL)));
    std::vector<int> ids;
    for (HWND child = GetWindow(hwnd, GW_CHILD); child; child = GetWindow(child, GW_HWNDNEXT)) {
      ids.push_back(static_cast<short>(GetDlgCtrlID(child)));
    }
    EXPECT_EQ((std::vector<int>{1, 2, 201, 202, 203, 205, -1, -1, 206, 207, -1, 209, 210, -1, 211}), ids);
    ASSERT_EQ(std::vector<std::wstring>{}, TextsWithoutGlyphs(hwnd))
        << "the dialog's font has no glyphs for these texts (Wine without a Japanese font: scripts/ensure-deps.sh)";
    for (UINT dpi : {96u, 192u}) {
      EXPECT_EQ(std::vector<std::wstring>{}, TextsCutOff(hwnd, dpi)) << dpi << " DPI";
    }
  }
}

TEST_F(SettingDialog, ShowsTheDefaultOptionsAndOkWithoutChangeWritesNothing) {
  HWND hwnd = Show();
  EXPECT_TRUE(IsWindowVisible(hwnd));
  EXPECT_EQ(&settings, dialog.settings());
  EXPECT_EQ(owner.hwnd, dialog.notifyWindow());
  EXPECT_EQ((std::vector<int>{205, 206, 210}), CheckedIds(hwnd));

  // Centred over the visible owner.
  RECT ownerRect, self;
  GetWindowRect(owner.hwnd, &ownerRect);
  GetWindowRect(hwnd, &self);
  EXPECT_LE(std::abs((ownerRect.left + ownerRect.right) - (self.left + self.right)), 2);
  EXPECT_LE(std::abs((ownerRect.top + ownerRect.bottom) - (self.top + self.bottom)), 2);

  Click(hwnd, IDOK);
  EXPECT_FALSE(IsWindowVisible(hwnd));
  EXPECT_EQ(1, NotifyTarget::changes);
  EXPECT_EQ(0x33u, settings.Options);
  EXPECT_FALSE(PathFileExistsW(SettingPath().c_str()));
}

TEST_F(SettingDialog, OkRebuildsTheOptionWordAndSavesTheWholeRecord) {
  settings = {1, 0x73 | 0x400};  // SortHistory and a meaningless bit are dropped by OK
  Click(Show(), IDOK);
  EXPECT_EQ(0x33u, settings.Options);
  Settings stored;
  EXPECT_TRUE(LoadSettings(stored));
  EXPECT_EQ(1u, stored.RunMode);
  EXPECT_EQ(0x33u, stored.Options);
  EXPECT_EQ(1, NotifyTarget::changes);

  // Every control in its other state.
  HWND hwnd = Show();
  for (int id : {201, 202, 205, 206, 207, 209}) SendDlgItemMessageW(hwnd, id, BM_CLICK, 0, 0);
  EXPECT_EQ((std::vector<int>{201, 202, 207, 209}), CheckedIds(hwnd));
  Click(hwnd, IDOK);
  EXPECT_EQ(0x180u, settings.Options);
  EXPECT_TRUE(LoadSettings(stored));
  EXPECT_EQ(0x180u, stored.Options);

  // Shown again, the controls follow the stored word.
  Show();
  EXPECT_EQ((std::vector<int>{201, 202, 207, 209}), CheckedIds(hwnd));
}

TEST_F(SettingDialog, CancelAndCloseLeaveRecordAndFileAlone) {
  HWND hwnd = Show();
  SendDlgItemMessageW(hwnd, 201, BM_CLICK, 0, 0);
  EXPECT_EQ((std::vector<int>{201, 205, 206, 210}), CheckedIds(hwnd));
  Click(hwnd, IDCANCEL);
  EXPECT_FALSE(IsWindowVisible(hwnd));
  EXPECT_EQ(0x33u, settings.Options);
  EXPECT_EQ(0, NotifyTarget::changes);
  EXPECT_FALSE(PathFileExistsW(SettingPath().c_str()));

  Show();
  EXPECT_EQ((std::vector<int>{205, 206, 210}), CheckedIds(hwnd));
  SendDlgItemMessageW(hwnd, 201, BM_CLICK, 0, 0);
  SendMessageW(hwnd, WM_CLOSE, 0, 0);  // the close box is Cancel, posted by the dialog manager
  for (MSG msg; PeekMessageW(&msg, nullptr, 0, 0, PM_REMOVE);) {
    if (!IsDialogMessageW(hwnd, &msg)) DispatchMessageW(&msg);
  }
  EXPECT_FALSE(IsWindowVisible(hwnd));
  EXPECT_TRUE(IsWindow(hwnd));
  EXPECT_EQ(0x33u, settings.Options);
}

TEST(SettingDialogLifetime, HoldsTheModuleLockAndGoesWithItsOwner) {
  LONG before = Module::LockCount();
  HWND hwnd = nullptr;
  {
    NotifyTarget owner;
    CSettingDlg dialog;
    EXPECT_EQ(before + 1, Module::LockCount());
    hwnd = dialog.Create(owner.hwnd, kJapaneseUi);
    ASSERT_TRUE(IsWindow(hwnd));
  }  // the dialog object goes first and takes its window with it
  EXPECT_FALSE(IsWindow(hwnd));
  EXPECT_EQ(before, Module::LockCount());

  NotifyTarget owner;
  CSettingDlg dialog;
  hwnd = dialog.Create(owner.hwnd, kJapaneseUi);
  DestroyWindow(owner.hwnd);  // the owner goes first
  owner.hwnd = nullptr;
  EXPECT_FALSE(IsWindow(hwnd));
  EXPECT_EQ(nullptr, dialog.hwnd());
  Settings settings;
  dialog.Show(&settings, nullptr, kChangedMessage);  // no window left: nothing happens
  EXPECT_EQ(nullptr, dialog.settings());
}
