// The engine's font and text calls while the driver prints no text yet:
// no device font is described, the default glyph set is offered, and text
// is refused.
#include "driver/pcl/printer_common/nt/pclxl/xldevice.h"
#include "driver/pcl/printer_common/nt/pclxl/xldriver.h"
#include "driver/pcl/printer_common/nt/pclxl/xlgraph.h"
#include "driver/pcl/printer_common/nt/pclxl/xltrace.h"

namespace {

constexpr LONG kFontDataError = -1;
constexpr ULONG kGlyphHandles = 1;  // glyphs are delivered as glyph handles

}  // namespace

K460_API ULONG DrvGetGlyphMode(DHPDEV, FONTOBJ*) { return kGlyphHandles; }

K460_API IFIMETRICS* DrvQueryFont(DHPDEV dhpdev, ULONG_PTR, ULONG, ULONG_PTR*) {
  if (!bValidatePDEV(reinterpret_cast<PDEV*>(dhpdev))) {
    XlTrace("bValidatePDEV function failed \n");
    SetLastError(ERROR_INVALID_PARAMETER);
    return nullptr;
  }
  XlTrace("Validation of font index failed\n");
  SetLastError(ERROR_INVALID_PARAMETER);
  return nullptr;
}

K460_API PVOID DrvQueryFontTree(DHPDEV dhpdev, ULONG_PTR, ULONG, ULONG iMode, ULONG_PTR* pid) {
  if (!bValidatePDEV(reinterpret_cast<PDEV*>(dhpdev))) {
    XlTrace("bValidatePDEV function failed \n");
    SetLastError(ERROR_INVALID_PARAMETER);
    return nullptr;
  }
  if (pid) *pid = 0;
  if (iMode == QFT_GLYPHSET) return DriverState().pDefaultGlyphSet;
  return nullptr;
}

K460_API LONG DrvQueryFontData(DHPDEV dhpdev, FONTOBJ*, ULONG, HGLYPH, GLYPHDATA*, PVOID, ULONG) {
  if (!bValidatePDEV(reinterpret_cast<PDEV*>(dhpdev))) {
    XlTrace("bValidatePDEV function failed \n");
    SetLastError(ERROR_INVALID_PARAMETER);
    return kFontDataError;
  }
  XlTrace("Validation of the PCLFontIndex failed\n");
  SetLastError(ERROR_INVALID_PARAMETER);
  return kFontDataError;
}

K460_API BOOL DrvTextOut(SURFOBJ* pso, STROBJ* pstro, FONTOBJ* pfo, CLIPOBJ*, RECTL*, RECTL*, BRUSHOBJ*,
                         BRUSHOBJ*, POINTL*, MIX) {
  if (!pso || !pstro || !pfo) {
    SetLastError(ERROR_INVALID_PARAMETER);
    return FALSE;
  }
  if (!bValidatePDEV(PdevOfSurface(pso))) {
    XlTrace("bValidatePDEV function failed \n");
    SetLastError(ERROR_INVALID_PARAMETER);
    return FALSE;
  }
  SetLastError(ERROR_NOT_SUPPORTED);
  return FALSE;
}
