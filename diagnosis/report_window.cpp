#include "diagnosis/report_window.h"

#include "diagnosis/diagnosis_ids.h"
#include "diagnosis/report.h"
#include "look/scheme_colors.h"
#include "framework/dpi.h"
#include "framework/window.h"

namespace vantorel {
namespace {

constexpr int kCopyId = 1001;
constexpr int kMargin = 8, kButtonWidth = 88, kButtonHeight = 26;
constexpr int kWidth = 720, kHeight = 420;
const WindowClassSpec kReportClass = {L"Vantorel Diagnosis", nullptr, CS_HREDRAW | CS_VREDRAW, nullptr, IDC_ARROW};

class CReportWindow : public Window {
 public:
  CReportWindow(const std::wstring& text, LANGID language) : text_(text), language_(language) {}

  bool Open() {
    const std::wstring title = Text(language_, IDS_WINDOW_TITLE);
    if (!Create(kReportClass, nullptr, title.c_str(), WS_OVERLAPPEDWINDOW | WS_CLIPCHILDREN, 0, CW_USEDEFAULT,
                CW_USEDEFAULT, kWidth, kHeight, nullptr)) {
      return false;
    }
    const DWORD child = WS_CHILD | WS_VISIBLE | WS_TABSTOP;
    edit_ = CreateWindowExW(WS_EX_CLIENTEDGE, L"EDIT", text_.c_str(),
                            child | WS_VSCROLL | ES_MULTILINE | ES_READONLY | ES_AUTOVSCROLL, 0, 0, 0, 0, hwnd(),
                            nullptr, Module::Instance(), nullptr);
    copy_ = CreateWindowExW(0, L"BUTTON", Text(language_, IDS_COPY).c_str(), child | BS_DEFPUSHBUTTON, 0, 0, 0, 0, hwnd(),
                            reinterpret_cast<HMENU>(static_cast<INT_PTR>(kCopyId)), Module::Instance(), nullptr);
    close_ = CreateWindowExW(0, L"BUTTON", Text(language_, IDS_CLOSE).c_str(), child | BS_PUSHBUTTON, 0, 0, 0, 0, hwnd(),
                             reinterpret_cast<HMENU>(static_cast<INT_PTR>(IDCANCEL)), Module::Instance(), nullptr);
    FollowColorScheme();
    LayOut();
    ShowWindow(hwnd(), SW_SHOWNORMAL);
    SetFocus(copy_);
    return true;
  }

 protected:
  bool HandleMessage(UINT msg, WPARAM wParam, LPARAM lParam, LRESULT& result) override {
    result = 0;
    if (IsColorSchemeNotice(msg, wParam, lParam)) {
      FollowColorScheme();
      return false;
    }
    switch (msg) {
      case WM_SIZE:
      case kDpiChangedAfterParent:
        LayOut();
        return true;
      case WM_COMMAND:
        if (LOWORD(wParam) == kCopyId) CopyToClipboard(hwnd(), text_);
        if (LOWORD(wParam) == IDCANCEL) DestroyWindow(hwnd());
        return true;
      case WM_CTLCOLORSTATIC:  // a read-only edit control asks with this
      case WM_CTLCOLOREDIT:
        result = OnColor(reinterpret_cast<HDC>(wParam), colors_.box);
        return true;
      case WM_CTLCOLORBTN:
        result = OnColor(reinterpret_cast<HDC>(wParam), {colors_.band, colors_.box.text, colors_.box.text});
        return true;
      case WM_ERASEBKGND: {
        RECT client;
        GetClientRect(hwnd(), &client);
        SetDCBrushColor(reinterpret_cast<HDC>(wParam), colors_.band);
        FillRect(reinterpret_cast<HDC>(wParam), &client, static_cast<HBRUSH>(GetStockObject(DC_BRUSH)));
        result = 1;
        return true;
      }
      case WM_DESTROY:
        PostQuitMessage(0);
        return false;
      default:
        return false;
    }
  }

 private:
  LRESULT OnColor(HDC dc, const ColorPair& pair) {
    SetBkColor(dc, pair.back);
    SetTextColor(dc, pair.text);
    SetDCBrushColor(dc, pair.back);
    return reinterpret_cast<LRESULT>(GetStockObject(DC_BRUSH));
  }

  void FollowColorScheme() {
    colors_ = ColorsOf(CurrentColorScheme());
    RedrawWindow(hwnd(), nullptr, nullptr, RDW_INVALIDATE | RDW_ERASE | RDW_FRAME | RDW_ALLCHILDREN);
  }

  void LayOut() {
    const UINT dpi = WindowDpi(hwnd());
    font_.Make(dpi);
    for (HWND control : {edit_, copy_, close_}) SendMessageW(control, WM_SETFONT, reinterpret_cast<WPARAM>(font_.get()), FALSE);
    RECT client;
    GetClientRect(hwnd(), &client);
    const int margin = ScaleForDpi(kMargin, dpi), width = ScaleForDpi(kButtonWidth, dpi);
    const int height = ScaleForDpi(kButtonHeight, dpi);
    const int buttonsTop = client.bottom - margin - height;
    MoveWindow(edit_, margin, margin, client.right - 2 * margin, buttonsTop - 2 * margin, TRUE);
    MoveWindow(close_, client.right - margin - width, buttonsTop, width, height, TRUE);
    MoveWindow(copy_, client.right - 2 * (margin + width) + margin, buttonsTop, width, height, TRUE);
  }

  std::wstring text_;
  LANGID language_;
  HWND edit_ = nullptr, copy_ = nullptr, close_ = nullptr;
  SchemeColors colors_ = ColorsOf(ColorScheme::Light);
  ScaledGuiFont font_;
};

}  // namespace

void ShowReportWindow(const std::wstring& text, LANGID language) noexcept {
  try {
    CReportWindow window(text, language);
    if (!window.Open()) return;
    MSG msg;
    while (GetMessageW(&msg, nullptr, 0, 0) > 0) {
      if (msg.message == WM_KEYDOWN && msg.wParam == VK_ESCAPE) {
        DestroyWindow(window.hwnd());
        continue;
      }
      if (IsDialogMessageW(window.hwnd(), &msg)) continue;
      TranslateMessage(&msg);
      DispatchMessageW(&msg);
    }
  } catch (...) {
  }
}

}  // namespace vantorel
