// The capabilities and device information the driver reports for a device:
// paper geometry at the job's resolution, the printer's colour description
// and the default fonts.
#include <algorithm>
#include <cmath>
#include <cstring>

#include "driver/pcl/printer_common/nt/pclxl/xlpdev.h"
#include "driver/pcl/printer_common/nt/pclxl/xltrace.h"

namespace {

constexpr ULONG kGdiInfoVersion = 0x400;
constexpr FLONG kTextCaps = 0x19EF;
constexpr ULONG kHalftonePattern16x16M = 15;
constexpr FLONG kVectorGraphicsCaps = GCAPS_BEZIERS | GCAPS_GEOMETRICWIDE | GCAPS_ALTERNATEFILL |
                                      GCAPS_WINDINGFILL | GCAPS_HALFTONE | GCAPS_HORIZSTRIKE | GCAPS_VERTSTRIKE |
                                      GCAPS_OPAQUERECT | GCAPS_ARBRUSHOPAQUE | GCAPS_SCREENPRECISION;
static_assert(kVectorGraphicsCaps == 0x200081DF);
// Curves are offered to the driver only in vector graphics mode.
constexpr FLONG kRasterGraphicsCaps = kVectorGraphicsCaps & ~GCAPS_BEZIERS;

// A length of the 600-dpi table at the device's resolution.
LONG AtResolution(const PDEV* pdev, LONG pixels600) {
  if (pdev->resolution == 300) return pixels600 / 2;
  if (pdev->resolution == 1200) return pixels600 * 2;
  return pixels600;
}

// The job's scale in percent; a record without one prints at 100.
LONG ScalePercent(const PDEV* pdev) {
  SHORT scale = LeGet(pdev->settings.dm.dmScale);
  return scale > 0 ? scale : 100;
}

// Millimetres of the unprintable margin the capabilities leave out.
LONG MarginMm(LONG marginPixels600) {
  return static_cast<LONG>(std::floor(static_cast<double>(marginPixels600 * 508 / 6000) + 0.55));
}

void FillLogFont(LOGFONTW& font, LONG height, BYTE pitchAndFamily, const WCHAR* face) {
  font = LOGFONTW{};
  font.lfHeight = height;
  font.lfWeight = 400;
  font.lfCharSet = 1;
  font.lfPitchAndFamily = pitchAndFamily;
  for (int i = 0; face[i] && i < LF_FACESIZE - 1; ++i) font.lfFaceName[i] = face[i];
}

}  // namespace

int SelectPaperRow(PDEV* pdev) {
  const DEVMODEW& dm = pdev->settings.dm;
  const PrivateSettings& pv = pdev->settings.pv;
  int landscape = LeGet(dm.dmOrientation) == DMORIENT_LANDSCAPE ? kLandscapeRowOffset : 0;

  pdev->customRows[1] = pv.pvPrintToPaper ? CustomPaperRow(pv.pvPrintToPaperWidth, pv.pvPrintToPaperLength)
                                          : PaperRow{};
  LONG width = LeGet(dm.dmPaperWidth), length = LeGet(dm.dmPaperLength);
  pdev->customRows[0] = CustomPaperRow(width, length);
  if (width != 0 && length != 0 && IsUsablePaperRow(pdev->customRows[0])) return kCustomPaperRow + landscape;
  // A paper the table does not know is printed as Letter, the paper that
  // the PJL header and BeginPage name for it; never as an empty row.
  int index = FindPaperListIndex(LeGet(dm.dmPaperSize));
  return std::max(index, 0) + landscape;
}

void FillPclDevCaps(PDEV* pdev, GDIINFO* pGdiInfo) {
  PaperRow row = DevicePaperRow(pdev, SelectPaperRow(pdev));
  GDIINFO& g = *pGdiInfo;
  g = GDIINFO{};
  g.ulVersion = kGdiInfoVersion;
  g.ulTechnology = DT_RASPRINTER;

  LONG scale = ScalePercent(pdev);
  LONG horzMm = (row.widthMm - MarginMm(row.leftMargin)) * 100 / scale;
  LONG vertMm = (row.heightMm - MarginMm(row.topMargin)) * 100 / scale;
  g.ulHorzSize = static_cast<ULONG>(horzMm);
  g.ulVertSize = static_cast<ULONG>(vertMm);
  g.ulHorzRes = static_cast<ULONG>(AtResolution(pdev, row.printableWidth));
  g.ulVertRes = static_cast<ULONG>(AtResolution(pdev, row.printableHeight));
  g.cBitsPixel = 1;
  g.cPlanes = 1;
  g.ulNumColors = 0xFFFFFF;
  g.flRaster = 0;
  ULONG logPixels = static_cast<ULONG>(std::floor(pdev->resolution * scale / 100.0 + 0.5));
  g.ulLogPixelsX = g.ulLogPixelsY = logPixels;
  g.flTextCaps = kTextCaps;
  g.ulAspectX = g.ulAspectY = static_cast<ULONG>(pdev->resolution / 10);
  g.ulAspectXY = g.ulAspectX * 1414 / 1000;
  g.xStyleStep = g.yStyleStep = 1;
  g.denStyleStep = static_cast<LONG>(std::floor(pdev->resolution / 25.0 + 0.5));
  g.ptlPhysOffset = {AtResolution(pdev, row.leftMargin), AtResolution(pdev, row.topMargin)};
  g.szlPhysSize = {AtResolution(pdev, row.physicalWidth), AtResolution(pdev, row.physicalHeight)};
  g.ulNumPalReg = 256;

  COLORINFO& c = g.ciDevice;
  c.Red = {6700, 3300, 0};
  c.Green = {2100, 7100, 0};
  c.Blue = {1400, 800, 0};
  c.AlignmentWhite = {3127, 3290, 0};
  c.RedGamma = c.GreenGamma = c.BlueGamma = 20000;

  g.ulDevicePelsDPI = logPixels;
  g.ulPrimaryOrder = 0;
  g.ulHTPatternSize = kHalftonePattern16x16M;
  g.ulHTOutputFormat = HT_FORMAT_1BPP;
  g.flHTFlags = HT_FLAG_ADDITIVE_PRIMS;

  pdev->horzSizeMm = horzMm;
  pdev->vertSizeMm = vertMm;
  pdev->surfaceWidth = static_cast<LONG>(g.ulHorzRes);
  pdev->surfaceHeight = static_cast<LONG>(g.ulVertRes);
}

BOOL FillPclDevInfo(PDEV* pdev, DEVINFO* pDevInfo) {
  DEVINFO& d = *pDevInfo;
  d = DEVINFO{};
  d.flGraphicsCaps = pdev->settings.pv.pvGraphicsMode == 0 ? kVectorGraphicsCaps : kRasterGraphicsCaps;
  LONG height = -(pdev->resolution * 10 / 72);  // a 10-point font
  FillLogFont(d.lfDefaultFont, height, 0x32, u"");
  FillLogFont(d.lfAnsiVarFont, height, 0x22, u"CG Times (WN)");
  FillLogFont(d.lfAnsiFixFont, height, 0x32, u"CG Times (WN)");
  d.cFonts = pdev->settings.pv.pvWatermarkIndex != 0 ? XL_DEVICE_FONT_COUNT : pdev->fonts.cDeviceFonts;
  d.iDitherFormat = BMF_24BPP;
  d.cxDither = d.cyDither = 0;

  if (pdev->hpalDefault) EngDeletePalette(pdev->hpalDefault);
  pdev->hpalDefault = EngCreatePalette(PAL_RGB, 0, nullptr, 0, 0, 0);
  if (!pdev->hpalDefault) {
    XlTrace("EngCreatePalette");
    return FALSE;
  }
  d.hpalDefault = pdev->hpalDefault;
  return TRUE;
}
