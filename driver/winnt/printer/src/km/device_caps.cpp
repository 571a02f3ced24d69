#include "driver/winnt/printer/src/km/device_caps.h"

#include <algorithm>
#include <cmath>
#include <iterator>

namespace k460::hbgraph {

namespace {

ULONG Scaled(std::int64_t value, const CapsInputs& in) {
  return static_cast<ULONG>(in.scaledMode ? value * in.scale / 1000 : value);
}

ULONG Millimetres(std::int64_t pixels, const CapsInputs& in) {
  return static_cast<ULONG>(pixels * 2539 / (std::int64_t{std::max(1, in.r)} * 10000));
}

void SetFont(LOGFONTW& font, LONG height, BYTE pitchAndFamily, bool face) {
  font = LOGFONTW{};
  font.lfHeight = height;
  font.lfWeight = 400;
  font.lfCharSet = 128;
  font.lfPitchAndFamily = pitchAndFamily;
  if (face) {
    constexpr char16_t kFace[] = u"CG Times (WN)";
    std::copy(std::begin(kFace), std::end(kFace), font.lfFaceName);
  }
}

}  // namespace

GDIINFO MakeGdiInfo(const CapsInputs& in) {
  GDIINFO g{};
  g.ulVersion = 0x400;
  g.ulTechnology = DT_RASPRINTER;
  g.ulHorzSize = Scaled(Millimetres(in.printableWidth, in), in);
  g.ulVertSize = Scaled(Millimetres(in.printableHeight, in), in);
  g.ulHorzRes = Scaled(in.printableWidth, in);
  g.ulVertRes = Scaled(in.printableHeight, in);
  g.cBitsPixel = in.enhance ? 1 : 24;
  g.cPlanes = 1;
  g.ulNumColors = in.enhance ? 8 : 256;
  g.ulLogPixelsX = Scaled(in.printQuality, in);
  g.ulLogPixelsY = Scaled(in.yResolution, in);
  g.ulAspectX = static_cast<ULONG>(in.printQuality);
  g.ulAspectY = static_cast<ULONG>(in.yResolution);
  g.ulAspectXY = static_cast<ULONG>(in.r * 1414 / 10);
  g.xStyleStep = 1;
  g.yStyleStep = 1;
  g.denStyleStep = in.enhance ? static_cast<LONG>(std::lround(in.printQuality * 0.04)) : in.printQuality / 25;
  LONG offset = in.margin;
  if (in.scaledMode) {
    offset = static_cast<LONG>(std::int64_t{in.scale} * in.margin / 1000);
    if (in.pagesPerSheet == 8) offset -= 1;
  }
  g.ptlPhysOffset = {offset, offset};
  g.szlPhysSize = {static_cast<LONG>(g.ulHorzRes) + 2 * offset, static_cast<LONG>(g.ulVertRes) + 2 * offset};
  g.ulNumPalReg = in.enhance ? 256 : 0;
  if (in.enhance) {
    g.ciDevice.Red = {6700, 3300, 0};
    g.ciDevice.Green = {2100, 7100, 0};
    g.ciDevice.Blue = {1400, 800, 0};
    g.ciDevice.AlignmentWhite = {3127, 3290, 0};
    g.ciDevice.RedGamma = g.ciDevice.GreenGamma = g.ciDevice.BlueGamma = 20000;
    g.ulDevicePelsDPI = static_cast<ULONG>(std::lround(in.printQuality * in.scalePercent * 0.01));
    g.ulHTPatternSize = 15;
    g.flHTFlags = 0x28A;
    g.ulPanningHorzRes = g.ulHorzSize;
    g.ulPanningVertRes = g.ulVertSize;
  } else {
    g.ciDevice.Red = {6380, 3350, 0};
    g.ciDevice.Green = {2345, 6075, 0};
    g.ciDevice.Blue = {1410, 932, 0};
    g.ciDevice.Cyan = {2000, 2450, 0};
    g.ciDevice.Magenta = {5210, 2100, 0};
    g.ciDevice.Yellow = {4750, 5100, 0};
    g.ciDevice.AlignmentWhite = {3127, 3290, 0};
    g.ciDevice.RedGamma = g.ciDevice.GreenGamma = g.ciDevice.BlueGamma = 12500;
    g.ciDevice.MagentaInCyanDye = 585;
    g.ciDevice.YellowInCyanDye = 120;
    g.ciDevice.CyanInMagentaDye = 0;
    g.ciDevice.YellowInMagentaDye = 0;
    g.ciDevice.CyanInYellowDye = 0;
    g.ciDevice.MagentaInYellowDye = 10000;
    g.ulHTPatternSize = 5;
    g.flHTFlags = HT_FLAG_HAS_BLACK_DYE;
  }
  g.ulPrimaryOrder = 0;
  g.ulHTOutputFormat = HT_FORMAT_1BPP;
  return g;
}

DEVINFO MakeDevInfo(const CapsInputs& in) {
  DEVINFO d{};
  d.flGraphicsCaps = in.enhance ? 0x11C : 0x811C;
  const LONG height = (in.printQuality * 10 + 36) / -72;
  SetFont(d.lfDefaultFont, height, 0x31, false);
  SetFont(d.lfAnsiVarFont, height, in.enhance ? 0x21 : 0x31, in.enhance);
  SetFont(d.lfAnsiFixFont, height, 0x31, in.enhance);
  d.cFonts = 0;
  d.iDitherFormat = BMF_24BPP;
  d.cxDither = 0;
  d.cyDither = 0;
  return d;
}

}  // namespace k460::hbgraph
