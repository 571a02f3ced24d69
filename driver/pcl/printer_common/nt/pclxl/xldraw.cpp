// The drawing entry points while the driver cannot draw yet: bit-block
// transfers go to the engine, which hands the result back through
// DrvCopyBits; lines, paths and brushes are refused, so the engine draws
// them itself. Nothing reaches the printer's page yet.
#include "driver/pcl/printer_common/nt/pclxl/xldevice.h"
#include "driver/pcl/printer_common/nt/pclxl/xlgraph.h"
#include "driver/pcl/printer_common/nt/pclxl/xlpunt.h"
#include "driver/pcl/printer_common/nt/pclxl/xltrace.h"

namespace {

constexpr ULONG kWhite = 0xFFFFFFFF;

BOOL Invalid() {
  XlTrace("bValidatePDEV function failed \n");
  SetLastError(ERROR_INVALID_PARAMETER);
  return FALSE;
}

// Left to the engine, which draws it with the calls the driver does take.
BOOL Refused() {
  SetLastError(ERROR_NOT_SUPPORTED);
  return FALSE;
}

}  // namespace

K460_API BOOL DrvBitBlt(SURFOBJ* psoTrg, SURFOBJ* psoSrc, SURFOBJ* psoMask, CLIPOBJ* pco, XLATEOBJ* pxlo,
                        RECTL* prclTrg, POINTL* pptlSrc, POINTL* pptlMask, BRUSHOBJ* pbo, POINTL* pptlBrush,
                        ROP4 rop4) {
  if (!bValidatePDEV(PdevOfSurface(psoTrg))) return Invalid();
  return PuntBitBlt(psoTrg, psoSrc, psoMask, pco, pxlo, prclTrg, pptlSrc, pptlMask, pbo, pptlBrush, rop4);
}

K460_API BOOL DrvStretchBlt(SURFOBJ* psoDest, SURFOBJ* psoSrc, SURFOBJ* psoMask, CLIPOBJ* pco, XLATEOBJ* pxlo,
                            COLORADJUSTMENT* pca, POINTL* pptlHTOrg, RECTL* prclDest, RECTL* prclSrc,
                            POINTL* pptlMask, ULONG iMode) {
  if (!bValidatePDEV(PdevOfSurface(psoDest))) return Invalid();
  return PuntStretchBlt(psoDest, psoSrc, psoMask, pco, pxlo, pca, pptlHTOrg, prclDest, prclSrc, pptlMask, iMode);
}

K460_API BOOL DrvCopyBits(SURFOBJ* psoDest, SURFOBJ* psoSrc, CLIPOBJ*, XLATEOBJ*, RECTL* prclDest, POINTL*) {
  if (!psoDest || !psoSrc || !prclDest) {
    SetLastError(ERROR_INVALID_PARAMETER);
    return FALSE;
  }
  // The engine reads the device surface back: the page is taken as white.
  if (psoSrc->iType != STYPE_BITMAP) return PuntEraseSurface(psoDest, prclDest, kWhite);
  if (psoDest->iType != STYPE_DEVICE) {
    SetLastError(ERROR_INVALID_PARAMETER);
    return FALSE;
  }
  if (!bValidatePDEV(PdevOfSurface(psoDest))) return Invalid();
  return TRUE;  // images are not sent yet
}

K460_API BOOL DrvLineTo(SURFOBJ* pso, CLIPOBJ*, BRUSHOBJ*, LONG, LONG, LONG, LONG, RECTL*, MIX) {
  if (!bValidatePDEV(PdevOfSurface(pso))) return Invalid();
  return Refused();
}

K460_API BOOL DrvStrokePath(SURFOBJ* pso, PATHOBJ*, CLIPOBJ*, XFORMOBJ*, BRUSHOBJ*, POINTL*, LINEATTRS*, MIX) {
  if (!bValidatePDEV(PdevOfSurface(pso))) return Invalid();
  return Refused();
}

K460_API BOOL DrvFillPath(SURFOBJ* pso, PATHOBJ*, CLIPOBJ*, BRUSHOBJ*, POINTL*, MIX, FLONG) {
  if (!bValidatePDEV(PdevOfSurface(pso))) return Invalid();
  return Refused();
}

K460_API BOOL DrvStrokeAndFillPath(SURFOBJ* pso, PATHOBJ*, CLIPOBJ*, XFORMOBJ*, BRUSHOBJ*, LINEATTRS*, BRUSHOBJ*,
                                   POINTL*, MIX, FLONG) {
  if (!bValidatePDEV(PdevOfSurface(pso))) return Invalid();
  return Refused();
}

K460_API BOOL DrvRealizeBrush(BRUSHOBJ*, SURFOBJ* psoTarget, SURFOBJ*, SURFOBJ*, XLATEOBJ*, ULONG) {
  if (!bValidatePDEV(PdevOfSurface(psoTarget))) {
    XlTrace("Exiting DrvRealizeBrush. bValidatePDEV = FALSE\n");
    SetLastError(ERROR_INVALID_PARAMETER);
    return FALSE;
  }
  return Refused();
}
