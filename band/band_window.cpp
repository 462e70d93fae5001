// The band window's message map: layout and colours of the input box, focus reports, runs,
// the mode menu and the clear command.
#include <windows.h>
#include <uxtheme.h>

#include "band/band_resources.h"
#include "band/selector_core.h"
#include "framework/unique_handle.h"
#include "band/band_messages.h"
#include "diagnosis/checks.h"
#include "diagnosis/window_lines.h"
#include "view/item_name.h"
#include "view/view_locator.h"

namespace vantorel {
namespace {

constexpr int kInputHeight = 22;
constexpr int kMenuOffsetY = 19;
constexpr int kTextInsetTop = 2;  // the text's formatting rectangle, below the box's top

}  // namespace

bool CSelectorCore::HandleMessage(UINT msg, WPARAM wParam, LPARAM lParam, LRESULT& result) {
  result = 0;
  static const UINT stateQuery = RegisterWindowMessageW(kBandStateQueryMessage);
  if (msg == stateQuery && stateQuery != 0) {
    result = static_cast<LRESULT>(BandStateReply(settings_.RunMode, settings_.Options));
    return true;
  }
  static const UINT glyphQuery = RegisterWindowMessageW(kGlyphSizeQueryMessage);
  if (msg == glyphQuery && glyphQuery != 0) {
    result = editBox_.LoadedGlyphSize();
    return true;
  }
  if (IsColorSchemeNotice(msg, wParam, lParam)) {
    FollowColorScheme();
    return false;  // and on to the default procedure
  }
  switch (msg) {
    case WM_SIZE:
      LayOut();
      return true;
    case kDpiChangedAfterParent:
      OnDpiChanged();
      return true;
    case WM_LBUTTONDBLCLK:
      return true;
    case WM_CTLCOLOREDIT:
      result = OnColorEdit(reinterpret_cast<HDC>(wParam));
      return true;
    case WM_ERASEBKGND:
      result = PaintBackground(reinterpret_cast<HDC>(wParam)) ? 1 : 0;
      return true;
    case WM_BAND_FOCUS_INPUT:
      if (editBox_.hwnd()) SetFocus(editBox_.hwnd());
      return true;
    case WM_BAND_MODE_MENU:
      result = OnModeMenu(lParam);
      return true;
    case WM_BAND_CLEAR:
      OnClear();
      return true;
    case WM_BAND_RUN:
      if (settings_.Options & kRunOnInputOption) view_.RunCurrentMode(false);
      return true;
    case WM_BAND_SETTINGS_CHANGED:
      OnSettingsChanged();
      return true;
    case WM_BAND_COPY_DIAGNOSIS:
      result = CopyDiagnosis() ? 1 : 0;
      return true;
    case WM_COMMAND:
      switch (HIWORD(wParam)) {
        case EN_SETFOCUS:
          ReportFocus();
          return true;
        case EN_CHANGE:
          if (settings_.Options & kRunOnInputOption) view_.RunCurrentMode(false);
          editBox_.DropDownHistory();
          return false;  // and on to the default procedure
        default:
          return false;
      }
    default:
      return false;
  }
}

void CSelectorCore::LayOut() {
  HWND box = editBox_.hwnd();
  if (!box) return;
  RECT client;
  GetClientRect(hwnd(), &client);
  int height = client.bottom - client.top;
  int boxHeight = ScaleForDpi(kInputHeight, dpi_);
  int top = client.top + (height - boxHeight) / 2;
  MoveWindow(box, client.left, top, client.right - client.left, boxHeight, FALSE);
  RECT format;
  GetClientRect(box, &format);
  format.left += editBox_.ModeGlyphWidth();
  format.right -= editBox_.ClearGlyphWidth();
  format.top += ScaleForDpi(kTextInsetTop, dpi_);
  format.bottom += ScaleForDpi(kTextInsetTop, dpi_);
  SendMessageW(box, EM_SETRECTNP, 0, reinterpret_cast<LPARAM>(&format));
  InvalidateRect(hwnd(), nullptr, FALSE);
}

void CSelectorCore::OnDpiChanged() {
  dpi_ = WindowDpi(hwnd());
  editBox_.SetScale(dpi_);
  LayOut();
  // As a band tells its container (CGID_DeskBand): the container asks GetBandInfo again.
  ComPtr<IOleCommandTarget> container;
  if (inputObjectSite_ && SUCCEEDED(inputObjectSite_.As(container)) && container) {
    VARIANT band;
    VariantInit(&band);
    V_VT(&band) = VT_I4;
    V_I4(&band) = static_cast<LONG>(bandId_);
    container->Exec(&CGID_DeskBand, DBID_BANDINFOCHANGED, OLECMDEXECOPT_DODEFAULT, &band, nullptr);
  }
}

LRESULT CSelectorCore::OnColorEdit(HDC dc) {
  const ColorPair colors = BoxColors(ColorsOf(scheme_), view_.NoMatch() != 0);
  SetBkColor(dc, colors.back);
  SetTextColor(dc, colors.text);
  SetDCBrushColor(dc, colors.back);
  return reinterpret_cast<LRESULT>(GetStockObject(DC_BRUSH));
}

void CSelectorCore::FollowColorScheme() {
  scheme_ = CurrentColorScheme();
  editBox_.SetColorScheme(scheme_);
  RedrawWindow(hwnd(), nullptr, nullptr, RDW_INVALIDATE | RDW_ERASE | RDW_FRAME | RDW_ALLCHILDREN);
}

// The light band shows the background of the toolbar that holds it, as it always has; asked for
// here, so that nothing of a dark background stays after a switch to light.
bool CSelectorCore::PaintBackground(HDC dc) {
  const SchemeColors colors = ColorsOf(scheme_);
  RECT client, box;
  if (!dc || !GetClientRect(hwnd(), &client)) return false;
  const int saved = SaveDC(dc);
  // The box is not always painted again after the band: its place is left to it.
  if (editBox_.hwnd() && GetWindowRect(editBox_.hwnd(), &box)) {
    MapWindowPoints(nullptr, hwnd(), reinterpret_cast<POINT*>(&box), 2);
    ExcludeClipRect(dc, box.left, box.top, box.right, box.bottom);
  }
  bool painted;
  if (colors.paintsBand) {
    SetDCBrushColor(dc, colors.band);
    painted = FillRect(dc, &client, static_cast<HBRUSH>(GetStockObject(DC_BRUSH))) != 0;
  } else {
    painted = SUCCEEDED(DrawThemeParentBackground(hwnd(), dc, &client));
  }
  RestoreDC(dc, saved);
  return painted;
}

LRESULT CSelectorCore::OnModeMenu(LPARAM lParam) {
  if (suppressNextMenu_) {
    suppressNextMenu_ = 0;
    return 1;
  }
  RECT glyph;
  if (!GetWindowRect(editBox_.hwnd(), &glyph)) return 1;
  const int glyphWidth = editBox_.ModeGlyphWidth(), menuOffset = ScaleForDpi(kMenuOffsetY, dpi_);
  glyph.right = glyph.left + glyphWidth;
  POINT click = {glyph.left + static_cast<LONG>(LOWORD(lParam)), glyph.top + static_cast<LONG>(HIWORD(lParam))};
  if (!PtInRect(&glyph, click)) return 1;

  UniqueMenu menu(LoadMenuIn(IDR_MODE_MENU, uiLanguage_));
  HMENU popup = menu ? GetSubMenu(menu.get(), 0) : nullptr;
  UINT command = 0;
  if (popup) {
    int checked = settings_.RunMode == kRunModeSelect ? 0 : settings_.RunMode == kRunModeFilter ? 1 : -1;
    if (checked >= 0) {
      MENUITEMINFOW item = {};
      item.cbSize = sizeof(item);
      item.fMask = MIIM_STATE | MIIM_FTYPE;
      item.fType = MFT_RADIOCHECK;
      item.fState = MFS_CHECKED;
      SetMenuItemInfoW(popup, static_cast<UINT>(checked), TRUE, &item);
    }
    TPMPARAMS params = {};
    params.cbSize = sizeof(params);
    params.rcExclude = {glyph.left, glyph.top, glyph.left + glyphWidth, glyph.top + menuOffset};
    command = static_cast<UINT>(TrackPopupMenuEx(popup, TPM_RETURNCMD | TPM_VERTICAL, glyph.left,
                                                 glyph.top + menuOffset, hwnd(), &params));
    // The menu loop ran messages: the band window may have been destroyed meanwhile.
    if (!hwnd()) return 0;
  }
  switch (command) {
    case 0: {
      POINT cursor;
      if (GetCursorPos(&cursor) && PtInRect(&glyph, cursor)) suppressNextMenu_ = 1;
      break;
    }
    case ID_MODE_SELECT:
      if (settings_.RunMode != kRunModeSelect) {
        settings_.RunMode = kRunModeSelect;
        if (GetWindowTextLengthW(editBox_.hwnd()) > 0) view_.RemoveFilter(FindFolderListView(view_.Browser()));
        EndModeChange();
      }
      break;
    case ID_MODE_FILTER:
      if (settings_.RunMode != kRunModeFilter) {
        settings_.RunMode = kRunModeFilter;
        view_.ClearSelection();
        EndModeChange();
      }
      break;
    case ID_MODE_SETTINGS:
      settingDialog_.Show(&settings_, hwnd(), WM_BAND_SETTINGS_CHANGED, WM_BAND_COPY_DIAGNOSIS);
      break;
    default:
      break;
  }
  return 0;
}

void CSelectorCore::EndModeChange() {
  view_.ResetNoMatch();
  editBox_.SelectText(0, -1);
  SetFocus(editBox_.hwnd());
  editBox_.SetRunState(settings_.RunMode, 0);
  InvalidateRect(hwnd(), nullptr, FALSE);
}

// The dialog's OK wrote the whole record to the file where the options changed.
void CSelectorCore::OnSettingsChanged() {
  if (settings_.Options != stored_.Options) stored_ = settings_;
  editBox_.UpdateHistoryBox((settings_.Options & kKeepHistoryOption) != 0,
                            (settings_.Options & kSortHistoryOption) != 0);
}

// The report of the checks, with this window's own lines after them.
bool CSelectorCore::CopyDiagnosis() {
  Report report = RunChecks(UiLanguage());
  const bool inBox = GetAncestor(hwnd(), GA_ROOT) != BrowserWindow(view_.Browser());
  AddWindowLines(view_.Browser(), {inBox, dpi_, scheme_}, UiLanguage(), report);
  return CopyToClipboard(hwnd(), FormatReport(report));
}

void CSelectorCore::OnClear() {
  view_.RemoveFilter(FindFolderListView(view_.Browser()));
  view_.ResetNoMatch();
  SetWindowTextW(editBox_.hwnd(), L"");
  editBox_.SetRunState(settings_.RunMode, 0);
  InvalidateRect(hwnd(), nullptr, FALSE);
}

}  // namespace vantorel
