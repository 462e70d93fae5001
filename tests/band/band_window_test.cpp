#include <windows.h>
#include <gtest/gtest.h>

#include "tests/band/band_fixture.h"
#include "band/band_messages.h"

using namespace vantorel;
using namespace vantorel::test;

namespace {

RECT ChildRect(HWND child) {
  RECT rect;
  GetWindowRect(child, &rect);
  MapWindowPoints(nullptr, GetParent(child), reinterpret_cast<POINT*>(&rect), 2);
  return rect;
}

struct EditColours {
  COLORREF background;
  COLORREF text;
  COLORREF brush;
};

EditColours ColoursFor(HWND band, HWND box) {
  HDC dc = CreateCompatibleDC(nullptr);
  LRESULT brush = SendMessageW(band, WM_CTLCOLOREDIT, reinterpret_cast<WPARAM>(dc), reinterpret_cast<LPARAM>(box));
  EditColours colours = {GetBkColor(dc), GetTextColor(dc), GetDCBrushColor(dc)};
  EXPECT_EQ(GetStockObject(DC_BRUSH), reinterpret_cast<HGDIOBJ>(brush));
  DeleteDC(dc);
  return colours;
}

}  // namespace

TEST_F(BandTest, InputBoxIsCentredAtItsFixedHeight) {
  ASSERT_NO_FATAL_FAILURE(StartBand());
  HWND band = BandWindow();
  struct Case {
    int bandHeight;
    int top;
  } cases[] = {{30, 4}, {22, 0}, {21, 0}, {40, 9}};
  for (const Case& c : cases) {
    SetWindowPos(band, nullptr, 0, 0, 300, c.bandHeight, SWP_NOZORDER | SWP_NOMOVE);
    RECT box = ChildRect(InputBox());
    EXPECT_EQ(c.top, box.top) << "band height " << c.bandHeight;
    EXPECT_EQ(22, box.bottom - box.top) << "band height " << c.bandHeight;
    EXPECT_EQ(0, box.left);
    EXPECT_EQ(300, box.right);
  }
  // Typed text stays out of the glyph areas.
  RECT format = {};
  SendMessageW(InputBox(), EM_GETRECT, 0, reinterpret_cast<LPARAM>(&format));
  RECT client;
  GetClientRect(InputBox(), &client);
  // The control may add its own margins inside the rectangle it was given.
  EXPECT_GE(format.left, client.left + 25);
  EXPECT_LE(format.right, client.right - 16);
}

TEST_F(BandTest, NoMatchPaintsTheInputBoxWhiteOnLightRed) {
  ASSERT_NO_FATAL_FAILURE(StartBand());
  EditColours normal = ColoursFor(BandWindow(), InputBox());
  EXPECT_EQ(RGB(255, 255, 255), normal.background);
  EXPECT_EQ(RGB(0, 0, 0), normal.text);
  EXPECT_EQ(RGB(255, 255, 255), normal.brush);

  Type(L"nothing-matches-this");
  EXPECT_EQ(1u, core_->NoMatch());
  EXPECT_EQ(1u, core_->InputBox().NoMatch());
  EditColours red = ColoursFor(BandWindow(), InputBox());
  EXPECT_EQ(RGB(255, 102, 102), red.background);
  EXPECT_EQ(RGB(255, 255, 255), red.text);
  EXPECT_EQ(RGB(255, 102, 102), red.brush);
}

TEST_F(BandTest, RunRequestFollowsTheRunOnInputOption) {
  const Settings quiet{kRunModeSelect, kFoldCase};
  ASSERT_NO_FATAL_FAILURE(StartBand(&quiet));
  SetWindowTextW(InputBox(), L"alpha");
  SendMessageW(BandWindow(), WM_BAND_RUN, 0, 0);
  EXPECT_TRUE(SelectedNames(host_->ListView(), folder_->path()).empty());

  core_->CurrentSettings().Options |= kRunOnInputOption;
  // The input box forwards the request to the band after the current message.
  SendMessageW(InputBox(), WM_BAND_RUN, 0, 0);
  EXPECT_TRUE(SelectedNames(host_->ListView(), folder_->path()).empty());
  host_->PumpMessages();
  EXPECT_EQ(std::vector<std::wstring>{L"alpha.txt"}, SelectedNames(host_->ListView(), folder_->path()));
}

TEST_F(BandTest, FocusRequestFromTheViewGoesToTheInputBox) {
  ASSERT_NO_FATAL_FAILURE(StartBand());
  SetFocus(host_->ListView());
  EXPECT_EQ(0, SendMessageW(BandWindow(), WM_BAND_FOCUS_INPUT, 0, 0));
  EXPECT_EQ(InputBox(), GetFocus());
  EXPECT_EQ(1, host_->LastFocusReport());
}

TEST_F(BandTest, ModeMenuRequestOutsideTheGlyphShowsNothing) {
  ASSERT_NO_FATAL_FAILURE(StartBand());
  EXPECT_EQ(1, SendMessageW(BandWindow(), WM_BAND_MODE_MENU, 0, MAKELPARAM(25, 5)));
  EXPECT_EQ(1, SendMessageW(BandWindow(), WM_BAND_MODE_MENU, 0, MAKELPARAM(300, 5)));
}

TEST_F(BandTest, ClearRemovesTheFilterAndEmptiesTheText) {
  const Settings filter{kRunModeFilter, kFoldCase};
  ASSERT_NO_FATAL_FAILURE(StartBand(&filter));
  SetWindowTextW(InputBox(), L"nothing-like-this");
  SetFocus(InputBox());
  Key(WM_KEYDOWN, VK_RETURN);
  host_->PumpMessages();
  EXPECT_TRUE(ItemNames(host_->ListView(), folder_->path()).empty());
  EXPECT_EQ(1u, core_->NoMatch());

  SendMessageW(BandWindow(), WM_BAND_CLEAR, 0, 0);
  host_->PumpMessages();
  EXPECT_EQ(0, GetWindowTextLengthW(InputBox()));
  EXPECT_EQ(0u, core_->NoMatch());
  EXPECT_EQ(0u, core_->InputBox().NoMatch());
  EXPECT_EQ(4u, ItemNames(host_->ListView(), folder_->path()).size());
}
