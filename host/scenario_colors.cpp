// The band's colours as the stand-in sees them on the screen, and the user's colour choice
// switched under the live band.
#include <cmath>
#include <cstdio>
#include <map>
#include <string>
#include <vector>

#include "host/color_scheme_switch.h"
#include "host/scenario_runner.h"

namespace vantorel::host {
namespace {

// The colour most pixels of the area have; keep says which pixels of the capture count.
template <class Keep>
COLORREF MostCommon(const std::vector<DWORD>& pixels, int width, const RECT& area, Keep keep) {
  std::map<COLORREF, int> counts;
  for (int y = area.top; y < area.bottom; ++y) {
    for (int x = area.left; x < area.right; ++x) {
      if (keep(x, y)) ++counts[PixelAt(pixels, width, x, y)];
    }
  }
  COLORREF best = 0;
  int most = 0;
  for (const auto& entry : counts) {
    if (entry.second > most) best = entry.first, most = entry.second;
  }
  return best;
}

int Distance(COLORREF a, COLORREF b) {
  const int r = GetRValue(a) - GetRValue(b), g = GetGValue(a) - GetGValue(b), bl = GetBValue(a) - GetBValue(b);
  return r * r + g * g + bl * bl;
}

// Relative luminance as WCAG 2 defines it.
double Luminance(COLORREF color) {
  auto channel = [](int value) {
    const double c = value / 255.0;
    return c <= 0.04045 ? c / 12.92 : std::pow((c + 0.055) / 1.055, 2.4);
  };
  return 0.2126 * channel(GetRValue(color)) + 0.7152 * channel(GetGValue(color)) + 0.0722 * channel(GetBValue(color));
}

std::string Hex(COLORREF color) {
  char text[8];
  std::snprintf(text, sizeof(text), "#%02X%02X%02X", GetRValue(color), GetGValue(color), GetBValue(color));
  return text;
}

// The WCAG contrast ratio, cut (not rounded) to one decimal, so that 4.5 means at least 4.5.
std::string Contrast(COLORREF a, COLORREF b) {
  double la = Luminance(a), lb = Luminance(b);
  if (la < lb) std::swap(la, lb);
  char text[16];
  std::snprintf(text, sizeof(text), "%.1f", std::floor((la + 0.05) / (lb + 0.05) * 10.0) / 10.0);
  return text;
}

}  // namespace

bool ScenarioRunner::Theme(const std::wstring& scheme, std::wstring& error) {
  if (!SwitchColorScheme(scheme, error)) return false;
  host_.PumpMessages();
  return true;
}

bool ScenarioRunner::PrintColors(const std::wstring&, std::wstring& error) {
  HWND band = host_.BandWindow(), box = InputBox(), strip = band ? GetParent(band) : nullptr;
  RECT placed, row;
  if (!box || box == band || !strip || !GetWindowRect(band, &placed) || !GetClientRect(strip, &row)) {
    error = L"--print colors: no band input box";
    return false;
  }
  // Explorer's toolbar rows are often higher than the band asks to be; here the band fills the
  // strip's whole height while it is read, so that its background shows above and below the box.
  MapWindowPoints(nullptr, strip, reinterpret_cast<POINT*>(&placed), 2);
  const int width = placed.right - placed.left, height = row.bottom - row.top;
  MoveWindow(band, placed.left, row.top, width, height, TRUE);
  HideCaret(box);
  host_.PumpMessages();
  RedrawWindow(band, nullptr, nullptr, RDW_INVALIDATE | RDW_ERASE | RDW_FRAME | RDW_ALLCHILDREN | RDW_UPDATENOW);
  std::vector<DWORD> pixels;
  const bool captured = CaptureClient(band, width, height, pixels);
  // The box and its text area in the band's coordinates.
  RECT boxArea, text, client;
  GetWindowRect(box, &boxArea);
  MapWindowPoints(nullptr, band, reinterpret_cast<POINT*>(&boxArea), 2);
  SendMessageW(box, EM_GETRECT, 0, reinterpret_cast<LPARAM>(&text));
  GetClientRect(box, &client);
  IntersectRect(&text, &text, &client);
  MapWindowPoints(box, band, reinterpret_cast<POINT*>(&text), 2);
  ShowCaret(box);
  MoveWindow(band, placed.left, placed.top, width, placed.bottom - placed.top, TRUE);
  host_.PumpMessages();
  if (!captured) {
    error = L"--print colors: cannot read the band from the screen";
    return false;
  }
  const RECT all = {0, 0, width, height};
  const COLORREF background = MostCommon(pixels, width, all, [&](int x, int y) {
    return !PtInRect(&boxArea, POINT{x, y});
  });
  const COLORREF boxColor = MostCommon(pixels, width, text, [](int, int) { return true; });
  COLORREF textColor = boxColor;
  for (int y = text.top; y < text.bottom; ++y) {
    for (int x = text.left; x < text.right; ++x) {
      const COLORREF p = PixelAt(pixels, width, x, y);
      if (Distance(p, boxColor) > Distance(textColor, boxColor)) textColor = p;
    }
  }
  output_("colors\tband=" + Hex(background) + "\tbox=" + Hex(boxColor) + "\ttext=" + Hex(textColor) +
          "\tcontrast=" + Contrast(textColor, boxColor));
  return true;
}

}  // namespace vantorel::host
