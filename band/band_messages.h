#pragma once
// Messages of the band window, all based on WM_APP. The windows below the band (input box,
// history drop-down, list view wrapper, settings dialog) are handed the values they send.
#include <windows.h>

namespace vantorel {

constexpr UINT WM_BAND_FOCUS_INPUT = WM_APP + 3;       // 0x8003: put the focus into the input box
constexpr UINT WM_BAND_MODE_MENU = WM_APP + 4;         // 0x8004: show the mode menu
constexpr UINT WM_BAND_CLEAR = WM_APP + 5;             // 0x8005: remove the filter, empty the text
constexpr UINT WM_BAND_RUN = WM_APP + 7;               // 0x8007: run the current mode
constexpr UINT WM_BAND_SETTINGS_CHANGED = WM_APP + 8;  // 0x8008: the option bits were edited
constexpr UINT WM_BAND_COPY_DIAGNOSIS = WM_APP + 9;    // 0x8009: the report to the clipboard; nonzero when copied

// A registered message that the band window answers with its live settings record, for tools
// that drive a band from another module: RunMode in the low 32 bits, the option bits above.
constexpr const wchar_t* kBandStateQueryMessage = L"Vantorel.BandState";
constexpr unsigned long long BandStateReply(DWORD runMode, DWORD options) {
  return (static_cast<unsigned long long>(options) << 32) | runMode;
}

// A registered message that the band window answers with the pixel size of the glyph icons its
// input box has loaded, as measured from the icon itself.
constexpr const wchar_t* kGlyphSizeQueryMessage = L"Vantorel.GlyphSize";

static_assert(WM_BAND_FOCUS_INPUT == 0x8003 && WM_BAND_MODE_MENU == 0x8004 &&
                  WM_BAND_CLEAR == 0x8005 && WM_BAND_RUN == 0x8007 &&
                  WM_BAND_SETTINGS_CHANGED == 0x8008,
              "band message values are fixed");

}  // namespace vantorel
